// What every overlay shares, seen through a point overlay: coordinate systems, the frame size
// from the source clip, the colour and its highlight while dragging, and `visible_when`.

#include "OverlayFakes.h"

#include "overlays/PointOverlay.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace overlaytest;
using OFX::PointOverlay;

// Where the point's first circle is drawn.
OfxPointD drawnAt(PointOverlay& point) {
    RecordingCanvas canvas;
    point.draw(canvas, drawArgs());
    const auto box = canvas.shapes(kOfxDrawPrimitiveEllipse).at(0).points;
    return OfxPointD{(box[0].x + box[1].x) / 2.0, (box[0].y + box[1].y) / 2.0};
}

TEST(OverlayCoordinates, EachSystemPutsItsOwnNumbersAtTheSamePixel) {
    // Pixel (480, 810) of a 1920 × 1080 frame in uv, centered and centered_aspect numbers.
    const OfxPointD values[] = {{0.25, 0.75}, {-0.25, 0.25}, {-0.25 * 16.0 / 9.0, 0.25}};
    for (std::uint32_t code = 0; code < 3; ++code) {
        FakeOverlayParams params;
        params.double2D["p"] = values[code];
        PointOverlay point(&params, "p", "dot");
        point.setCoordSystem(code);
        EXPECT_NEAR(drawnAt(point).x, 480.0, 1e-9) << code;
        EXPECT_NEAR(drawnAt(point).y, 810.0, 1e-9) << code;
        // Dragging back to the same pixel writes the same numbers.
        ASSERT_TRUE(point.penDown(penAt(480.0, 810.0)));
        params.double2D["p"] = {9.0, 9.0};
        point.penMotion(penAt(480.0, 810.0));
        EXPECT_NEAR(params.double2D["p"].x, values[code].x, 1e-12) << code;
        EXPECT_NEAR(params.double2D["p"].y, values[code].y, 1e-12) << code;
    }
}

TEST(OverlayFrame, FollowsTheSourceClipAndFallsBackPerAxis) {
    FakeOverlayParams params;
    PointOverlay point(&params, "missing", "dot"); // at the frame centre
    params.source = OfxRectD{100.0, -20.0, 1380.0, 700.0};
    EXPECT_DOUBLE_EQ(drawnAt(point).x, 740.0);
    EXPECT_DOUBLE_EQ(drawnAt(point).y, 340.0);
    params.source.reset(); // a clip that goes away leaves the last frame
    EXPECT_DOUBLE_EQ(drawnAt(point).x, 740.0);
    params.source = OfxRectD{500.0, 0.0, 500.0, 720.0}; // empty across: 0 to 1920
    EXPECT_DOUBLE_EQ(drawnAt(point).x, 960.0);
    EXPECT_DOUBLE_EQ(point.frameHeight(), 720.0);
}

TEST(OverlayColour, IsTheDefinitionsColourThenHighlightedWhileDragging) {
    struct Case {
        bool given;
        float rgb[3];
        float dragging[3];
    } const cases[] = {
        {false, {1.0f, 1.0f, 1.0f}, {0.7f, 0.7f, 0.7f}}, // bright: darker
        {true, {0.0f, 1.0f, 1.0f}, {0.2f, 1.0f, 1.0f}},  // cyan averages 0.67: lighter, capped
        {true, {0.0f, 0.0f, 0.0f}, {0.2f, 0.4f, 0.2f}},
    };
    for (const Case& c : cases) {
        FakeOverlayParams params;
        PointOverlay point(&params, "p", "dot");
        if (c.given) {
            point.setColour(c.rgb[0], c.rgb[1], c.rgb[2]);
        }
        point.setLabel("Focus");
        for (const float* expected : {c.rgb, c.dragging}) {
            RecordingCanvas canvas;
            point.draw(canvas, drawArgs());
            for (const CanvasCall& call : canvas.calls) {
                EXPECT_NEAR(call.colour.r, expected[0], 1e-6);
                EXPECT_NEAR(call.colour.g, expected[1], 1e-6);
                EXPECT_NEAR(call.colour.b, expected[2], 1e-6);
                EXPECT_EQ(call.colour.a, 1.0f);
            }
            point.penDown(penAt(960.0, 540.0));
        }
    }
}

// Whether a point under the condition draws; it must then also take the pen.
bool shown(FakeOverlayParams& params, const std::string& condition) {
    PointOverlay point(&params, "p", "dot");
    point.setVisibleWhen(condition);
    RecordingCanvas canvas;
    const bool drew = point.draw(canvas, drawArgs());
    EXPECT_EQ(drew, !canvas.calls.empty()) << condition;
    EXPECT_EQ(drew, point.penDown(penAt(960.0, 540.0))) << condition;
    return drew;
}

TEST(VisibleWhen, ComparesChoicesIntegersDoublesAndBooleansAndIgnoresUnknownNames) {
    FakeOverlayParams params;
    // The shipped falloff line's condition: shown for types 1 and 2.
    for (const int type : {0, 1, 2}) {
        params.choices["falloff_type"] = type;
        EXPECT_EQ(shown(params, "falloff_type != 0"), type != 0) << type;
    }
    params.ints["count"] = 3;
    params.doubles["amount"] = 0.5;
    params.booleans["enabled"] = false;
    EXPECT_TRUE(shown(params, "count >= 3"));
    EXPECT_FALSE(shown(params, "count > 3"));
    EXPECT_TRUE(shown(params, "count<4"));
    EXPECT_TRUE(shown(params, "\tamount <= 0.5 "));
    EXPECT_FALSE(shown(params, "amount == 1"));
    EXPECT_TRUE(shown(params, "enabled == 0"));
    EXPECT_FALSE(shown(params, " enabled "));
    EXPECT_TRUE(shown(params, "no_such_param != 0"));
    EXPECT_TRUE(shown(params, "no_such_switch"));
}

TEST(VisibleWhen, ARightSideThatIsNotANumberIsAnErrorOfTheDefinition) {
    FakeOverlayParams params;
    PointOverlay point(&params, "p", "dot");
    point.setVisibleWhen("falloff_type != radial");
    RecordingCanvas canvas;
    try {
        point.draw(canvas, drawArgs());
        FAIL() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "invalid stod argument");
    }
}

} // namespace
