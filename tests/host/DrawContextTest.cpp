// The draw suite records overlay drawing as data, and refuses what a host refuses.

#include "host/interact/DrawContext.h"
#include "host/record/Recorder.h"
#include "host/suites/DrawSuite.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::DrawCall;
using ofxhost::DrawContext;
using ofxhost::Recorder;

class DrawSuite : public ::testing::Test {
protected:
    DrawSuite() { context.setActive(true); }

    const OfxDrawSuiteV1& suite = *ofxhost::drawSuiteV1();
    Recorder recorder;
    DrawContext context{recorder};
    OfxDrawContextHandle handle = context.handle();
};

TEST_F(DrawSuite, RecordsEveryCallWithTheStateItDrewWith) {
    const OfxRGBAColourF red{1.0f, 0.0f, 0.0f, 1.0f};
    const OfxPointD square[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const OfxPointD at{0.5, 0.5};
    suite.setColour(handle, &red);
    suite.setLineWidth(handle, 2.0f);
    suite.setLineStipple(handle, kOfxDrawLineStipplePatternDash);
    suite.draw(handle, kOfxDrawPrimitiveLineLoop, square, 4);
    suite.drawText(handle, "label", &at, kOfxDrawTextAlignmentCenterH);

    const auto calls = recorder.drawCalls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[3].kind, DrawCall::Kind::Draw);
    EXPECT_EQ(calls[3].primitive, kOfxDrawPrimitiveLineLoop);
    EXPECT_EQ(calls[3].points.size(), 4u);
    EXPECT_EQ(calls[3].colour.r, 1.0f);
    EXPECT_EQ(calls[3].colour.g, 0.0f);
    EXPECT_EQ(calls[3].width, 2.0f);
    EXPECT_EQ(calls[3].stipple, kOfxDrawLineStipplePatternDash);
    EXPECT_EQ(calls[4].kind, DrawCall::Kind::DrawText);
    EXPECT_EQ(calls[4].text, "label");
    EXPECT_EQ(calls[4].points.at(0).x, 0.5);
    EXPECT_EQ(calls[4].alignment, kOfxDrawTextAlignmentCenterH);
}

TEST_F(DrawSuite, FailsOutsideADrawAction) {
    context.setActive(false);
    const OfxRGBAColourF white{1, 1, 1, 1};
    EXPECT_EQ(suite.setColour(handle, &white), kOfxStatFailed);
    EXPECT_TRUE(recorder.drawCalls().empty());
}

TEST_F(DrawSuite, RefusesPointCountsThePrimitiveCannotUse) {
    const OfxPointD points[] = {{0, 0}, {1, 0}, {1, 1}};
    EXPECT_EQ(suite.draw(handle, kOfxDrawPrimitiveLines, points, 3), kOfxStatErrValue);
    EXPECT_EQ(suite.draw(handle, kOfxDrawPrimitiveRectangle, points, 3), kOfxStatErrValue);
    EXPECT_EQ(suite.draw(handle, kOfxDrawPrimitivePolygon, points, 2), kOfxStatErrValue);
    EXPECT_EQ(suite.draw(handle, static_cast<OfxDrawPrimitive>(7), points, 2), kOfxStatErrValue);
    EXPECT_EQ(suite.drawText(handle, nullptr, points, 0), kOfxStatErrValue);
    EXPECT_EQ(suite.draw(handle, kOfxDrawPrimitiveLineStrip, points, 3), kOfxStatOK);
}

TEST_F(DrawSuite, HandsOutTheStandardOverlayColours) {
    OfxRGBAColourF colour{};
    EXPECT_EQ(suite.getColour(handle, kOfxStandardColourOverlayText, &colour), kOfxStatOK);
    EXPECT_EQ(colour.a, 1.0f);
    EXPECT_EQ(suite.getColour(handle, static_cast<OfxStandardColour>(7), &colour),
              kOfxStatErrValue);
    int notAContext[8] = {};
    EXPECT_EQ(suite.setLineWidth(reinterpret_cast<OfxDrawContextHandle>(notAContext), 1.0f),
              kOfxStatErrBadHandle);
}

} // namespace
