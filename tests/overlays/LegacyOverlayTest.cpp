// A definition without overlays but with a `center` parameter gets the single-point interact:
// a cross, a circle and "center", dragged within 15 units, green while dragged.

#include "BundleSession.h"

#include "ofx/ofxDrawSuite.h"

#include <gtest/gtest.h>

namespace {

using namespace overlaytest;
using ofxhost::DrawCall;
using ofxhost::ParamValue;

TEST(LegacyOverlay, DrawsAndDragsTheCentreInFrameFractions) {
    BundleSession session("DaVinciResolve", "halden_v01_legacy_overlay");
    // The renamed parameter keeps the shipped range: y within -0.5 to 0.5.
    session.instance.setValue("center", ParamValue::of({0.25, 0.25}));
    const auto idle = session.draw();
    ASSERT_EQ(idle.size(), 6u); // colour, width, stipple, cross, circle, text
    for (const DrawCall& call : idle) {
        EXPECT_EQ(call.colour.r, 1.0f);
        if (call.kind == DrawCall::Kind::Draw && call.primitive == kOfxDrawPrimitiveLines) {
            EXPECT_EQ(call.points.at(0).x, 480.0 - 15.0);
            EXPECT_EQ(call.points.at(3).y, 270.0 + 15.0);
        } else if (call.kind == DrawCall::Kind::Draw) {
            EXPECT_EQ(call.points.at(1).x - call.points.at(0).x, 21.0);
        } else if (call.kind == DrawCall::Kind::DrawText) {
            EXPECT_EQ(call.text, "center");
            EXPECT_EQ(call.points.at(0).y, 270.0 - 22.5);
        }
    }

    EXPECT_EQ(session.overlay.penDown(penAt(480.0 + 16.0, 270.0)), kOfxStatReplyDefault);
    ASSERT_EQ(session.overlay.penDown(penAt(480.0 + 15.0, 270.0 - 15.0)), kOfxStatOK);
    EXPECT_EQ(session.overlay.penMotion(penAt(1440.0, 405.0)), kOfxStatOK);
    EXPECT_EQ(session.instance.value("center").numbers, (std::vector<double>{0.75, 0.375}));
    EXPECT_EQ(session.instance.params().editDepth(), 1) << "written inside the drag's block";
    const auto dragged = session.draw();
    ASSERT_FALSE(dragged.empty());
    EXPECT_EQ(dragged[0].colour.r, 0.0f);
    EXPECT_EQ(dragged[0].colour.g, 1.0f);
    EXPECT_EQ(session.overlay.penUp(penAt(1440.0, 405.0)), kOfxStatOK);
    EXPECT_EQ(session.overlay.penUp(penAt(1440.0, 405.0)), kOfxStatReplyDefault);
    EXPECT_EQ(session.instance.params().editDepth(), 0);
    // A drag the viewer loses, and one whose interact goes away, close their blocks too.
    ASSERT_EQ(session.overlay.penDown(penAt(1440.0, 405.0)), kOfxStatOK);
    EXPECT_EQ(session.overlay.loseFocus(ofxhost::InteractArgs{}), kOfxStatOK);
    EXPECT_EQ(session.instance.params().editDepth(), 0);
    ASSERT_EQ(session.overlay.penDown(penAt(1440.0, 405.0)), kOfxStatOK);
    session.instance.destroyOverlay(session.overlay);
    EXPECT_EQ(session.instance.params().editDepth(), 0);
    EXPECT_EQ(session.instance.params().editBlocks(), std::vector<std::string>(3, "Drag center"));
    EXPECT_EQ(session.plugin.escapedExceptions(), 0);
}

} // namespace
