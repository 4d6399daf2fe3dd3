// The shipped bundle's overlays through the headless host: the cyan optical-centre target and
// the magenta falloff line, drawn through the draw suite and dragged with the pen.

#include "BundleSession.h"

#include "host/effect/HostImage.h"

#include "kernels/KernelMath.h"

#include "ofx/ofxDrawSuite.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using namespace overlaytest;
using ofxhost::DrawCall;
using ofxhost::HostImage;
using ofxhost::ParamValue;

// OFX names of host presets: one with the draw suite, one that also has the overlay switch
// among the framework controls, one that draws overlays only with OpenGL.
const char* const kDrawingHost = "DaVinciResolve";
const char* const kSwitchHost = "com.autodesk.flame";
const char* const kOpenGlHost = "uk.co.thefoundry.nuke";

bool colourIs(const DrawCall& call, float r, float g, float b) {
    return call.colour.r == r && call.colour.g == g && call.colour.b == b && call.colour.a == 1.0f;
}

std::vector<DrawCall> drawn(const std::vector<DrawCall>& calls, int primitive) {
    std::vector<DrawCall> found;
    for (const DrawCall& call : calls) {
        if (call.kind == DrawCall::Kind::Draw && call.primitive == primitive) {
            found.push_back(call);
        }
    }
    return found;
}

// The shipped bundle on a host with the draw suite, with a 1920 × 1080 source.
struct ShippedOverlay : ::testing::Test {
    ShippedOverlay() {
        session.instance.setClipImage("Source",
                                      std::make_shared<HostImage>(OfxRectI{0, 0, 1920, 1080}));
    }
    BundleSession session{kDrawingHost};
};

TEST_F(ShippedOverlay, AtDefaultsTheCyanTargetSitsAtTheFrameCentreWithoutTheLine) {
    OfxStatus status = kOfxStatFailed;
    const auto calls = session.draw(&status);
    EXPECT_EQ(status, kOfxStatOK);
    const auto circles = drawn(calls, kOfxDrawPrimitiveEllipse);
    ASSERT_EQ(circles.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const OfxPointD a = circles[i].points[0];
        const OfxPointD b = circles[i].points[1];
        EXPECT_EQ((a.x + b.x) / 2.0, 960.0);
        EXPECT_EQ((a.y + b.y) / 2.0, 540.0);
        EXPECT_EQ((b.x - a.x) / 2.0, i == 0 ? 7.5 : 15.0);
    }
    for (const DrawCall& call : calls) {
        EXPECT_TRUE(colourIs(call, 0.0f, 1.0f, 1.0f)) << "the magenta line is hidden";
    }
}

TEST_F(ShippedOverlay, FalloffTypeOneDrawsTheLineAcrossTheFrameAndItRotates) {
    session.draw();
    EXPECT_EQ(session.overlay.penDown(penAt(1060.0, 540.0)), kOfxStatReplyDefault);

    session.instance.setValue("falloff_type", ParamValue::of(1.0));
    const auto lines = drawn(session.draw(), kOfxDrawPrimitiveLines);
    // After the target's cross: the line, then its ticks.
    ASSERT_EQ(lines.size(), 3u);
    const DrawCall& line = lines[1];
    EXPECT_TRUE(colourIs(line, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ(line.points.at(0).y, 540.0);
    EXPECT_EQ(line.points.at(1).y, 540.0);
    EXPECT_LT(line.points[0].x, 0.0);
    EXPECT_GT(line.points[1].x, 1920.0);

    ASSERT_EQ(session.overlay.penDown(penAt(1060.0, 540.0)), kOfxStatOK);
    EXPECT_EQ(session.overlay.penMotion(penAt(960.0, 700.0)), kOfxStatOK);
    EXPECT_DOUBLE_EQ(session.instance.value("falloff_angle").numbers.at(0), 90.0);
    EXPECT_EQ(session.overlay.penMotion(penAt(960.0, 380.0)), kOfxStatOK);
    EXPECT_DOUBLE_EQ(session.instance.value("falloff_angle").numbers.at(0), -90.0);
    EXPECT_EQ(session.overlay.penUp(penAt(960.0, 380.0)), kOfxStatOK);
    EXPECT_TRUE(session.hasEditBlock("Rotate line"));
    EXPECT_EQ(session.instance.params().editDepth(), 0);
}

TEST(BundleOverlay, TheTargetAndTheFalloffLineLieWhereTheBlurPutsThem) {
    // 960 × 1080 pixels twice as wide as tall, lying from (-100, 50) in canonical coordinates.
    BundleSession session(kDrawingHost);
    session.instance.setClipImage("Source",
                                  std::make_shared<HostImage>(OfxRectI{-50, 50, 910, 1130}));
    session.instance.clip("Source").properties().setDouble(kOfxImagePropPixelAspectRatio, 2.0);
    const auto canonical = [](int x, int y) {
        return OfxPointD{-100.0 + (x + 0.5) * 2.0, 50.0 + y + 0.5};
    };
    // The optical_center value that the blur kernel takes as pixel (x, y) itself.
    const auto centreAt = [](int x, int y) {
        kernels::AnimatedParameters params{};
        params.floatParams[kernels::slot::optical_scale] = 1.0f;
        const kernels::PixelFrame f = kernels::pixelFrame(x, y, 960, 1080, params);
        return std::vector<double>{f.cx, f.cy};
    };

    session.instance.setValue("optical_center", ParamValue::of(centreAt(695, 647)));
    session.instance.setValue("falloff_type", ParamValue::of(1.0));
    session.instance.setValue("falloff_angle", ParamValue::of(45.0));
    const auto calls = session.draw();
    const auto circles = drawn(calls, kOfxDrawPrimitiveEllipse);
    ASSERT_EQ(circles.size(), 3u); // the target's two, the line's centre
    const OfxPointD target = canonical(695, 647);
    for (const DrawCall& circle : circles) {
        EXPECT_NEAR((circle.points[0].x + circle.points[1].x) / 2.0, target.x, 1e-3);
        EXPECT_NEAR((circle.points[0].y + circle.points[1].y) / 2.0, target.y, 1e-3);
    }
    // 45 degrees in the image's pixels leans (2, 1) in canonical units.
    const auto line = drawn(calls, kOfxDrawPrimitiveLines).at(1).points;
    EXPECT_NEAR((line[1].y - line[0].y) / (line[1].x - line[0].x), 0.5, 1e-9);

    // Dragged onto pixel (100, 200), the target moves the blur's centre there.
    ASSERT_EQ(session.overlay.penDown(penAt(target.x, target.y)), kOfxStatOK);
    EXPECT_EQ(session.overlay.penMotion(penAt(canonical(100, 200).x, canonical(100, 200).y)),
              kOfxStatOK);
    const auto value = session.instance.value("optical_center").numbers;
    EXPECT_NEAR(value.at(0), centreAt(100, 200)[0], 1e-6);
    EXPECT_NEAR(value.at(1), centreAt(100, 200)[1], 1e-6);
}

TEST(BundleOverlay, DraggingTheTargetSetsOpticalCenterInOneEditBlockHoweverTheDragEnds) {
    // Pen up, the overlay switch turned off, focus lost, the interact destroyed. The switch is
    // among the framework controls on this host.
    const std::function<void(BundleSession&)> ends[] = {
        [](BundleSession& s) { EXPECT_EQ(s.overlay.penUp(penAt(1440.0, 540.0)), kOfxStatOK); },
        [](BundleSession& s) { // and then nothing is drawn and no pen is taken
            s.instance.setValue("show_overlays", ParamValue::of(0.0));
            EXPECT_EQ(s.overlay.penMotion(penAt(1440.0, 600.0)), kOfxStatReplyDefault);
            OfxStatus status = kOfxStatOK;
            EXPECT_TRUE(s.draw(&status).empty());
            EXPECT_EQ(status, kOfxStatReplyDefault);
            EXPECT_EQ(s.overlay.penDown(penAt(1440.0, 540.0)), kOfxStatReplyDefault);
        },
        [](BundleSession& s) {
            EXPECT_EQ(s.overlay.loseFocus(ofxhost::InteractArgs{}), kOfxStatOK);
        },
        [](BundleSession& s) { s.instance.destroyOverlay(s.overlay); }};
    for (const auto& end : ends) {
        BundleSession session(kSwitchHost);
        EXPECT_EQ(session.overlay.penDown(penAt(960.0, 540.0)), kOfxStatReplyDefault)
            << "taken before the first draw built the overlays";
        session.draw();
        ASSERT_EQ(session.overlay.penDown(penAt(960.0, 540.0)), kOfxStatOK);
        EXPECT_EQ(session.overlay.penMotion(penAt(1440.0, 540.0)), kOfxStatOK);
        // Aspect-corrected units, written while the drag's block is open.
        EXPECT_EQ(session.instance.params().editDepth(), 1);
        const auto value = session.instance.value("optical_center").numbers;
        EXPECT_NEAR(value.at(0), 4.0 / 9.0, 1e-12);
        EXPECT_NEAR(value.at(1), 0.0, 1e-12);
        end(session);
        EXPECT_EQ(session.instance.params().editDepth(), 0);
        EXPECT_EQ(session.instance.params().editBlocks(),
                  std::vector<std::string>{"Drag optical_center"});
        EXPECT_EQ(session.plugin.escapedExceptions(), 0);
    }
}

// This process has no OpenGL loaded, so the overlay has nothing to draw with.
TEST(BundleOverlay, AHostWithNeitherTheDrawSuiteNorOpenGlGetsNoDrawingAndNoFailure) {
    BundleSession session(kOpenGlHost);
    OfxStatus status = kOfxStatOK;
    EXPECT_TRUE(session.draw(&status).empty());
    EXPECT_EQ(status, kOfxStatReplyDefault);
    // Dragging needs no drawing.
    EXPECT_EQ(session.overlay.penDown(penAt(960.0, 540.0)), kOfxStatOK);
    EXPECT_EQ(session.overlay.penUp(penAt(960.0, 540.0)), kOfxStatOK);
    session.instance.destroyOverlay(session.overlay);
    EXPECT_EQ(session.plugin.escapedExceptions(), 0);
}

} // namespace
