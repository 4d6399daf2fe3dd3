// The point overlay's seven styles and its drag, and the line overlay's move and rotation.

#include "OverlayFakes.h"

#include "overlays/LineOverlay.h"
#include "overlays/PointOverlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace overlaytest;
using OFX::LineOverlay;
using OFX::PointOverlay;

TEST(PointOverlay, DrawsEachStyleInScreenPixelsWhateverItsLetterCase) {
    const struct {
        const char* style;
        std::vector<double> circles; // screen pixels
        double reach;                // of the lines from the point, screen pixels
    } cases[] = {{"crosshair", {10.5}, 15.0},
                 {"Target", {7.5, 15.0}, 4.5},
                 {"CROSS", {}, 15.0},
                 {"diamond", {}, 15.0},
                 {"dot", {6.0}, 0.0},
                 {"sun", {3.75, 9.0}, 21.0},
                 // Across the whole frame (960 units to each side), whatever the zoom.
                 {"axis", {3.75}, 480.0},
                 {"", {10.5}, 15.0},
                 {"starburst", {10.5}, 15.0}};
    for (const auto& c : cases) {
        FakeOverlayParams params;
        PointOverlay point(&params, "p", c.style);
        RecordingCanvas canvas;
        // Two canonical units per screen pixel.
        ASSERT_TRUE(point.draw(canvas, drawArgs(2.0)));
        std::vector<double> expected;
        for (const double r : c.circles) {
            expected.push_back(2.0 * r);
        }
        EXPECT_EQ(canvas.circleRadii(), expected) << c.style;
        double reach = 0.0;
        for (const auto primitive : {kOfxDrawPrimitiveLines, kOfxDrawPrimitiveLineLoop}) {
            for (const CanvasCall& call : canvas.shapes(primitive)) {
                for (const OfxPointD& p : call.points) {
                    reach = std::max(reach, std::abs(p.x - 960.0));
                }
            }
        }
        EXPECT_NEAR(reach, 2.0 * c.reach, 1e-9) << c.style;
    }
}

TEST(PointOverlay, IsGrabbedWithinTwentyFiveUnitsOnEachAxis) {
    FakeOverlayParams params;
    PointOverlay point(&params, "p", "target");
    EXPECT_FALSE(point.penDown(penAt(990.0, 540.0)));
    EXPECT_FALSE(point.penDown(penAt(960.0, 514.0)));
    EXPECT_TRUE(point.penDown(penAt(985.0, 565.0))); // a square, not a circle
}

TEST(PointOverlay, ADragIsOneEditBlockAndEndsOnItsLastPosition) {
    FakeOverlayParams params;
    params.double2D["centre"] = {0.5, 0.5};
    PointOverlay point(&params, "centre", "dot");
    EXPECT_FALSE(point.penMotion(penAt(100.0, 100.0)));
    EXPECT_FALSE(point.penUp(penAt(100.0, 100.0)));
    ASSERT_TRUE(point.penDown(penAt(960.0, 540.0)));
    EXPECT_TRUE(point.penMotion(penAt(192.0, 108.0)));
    params.double2D["centre"] = {0.9, 0.9}; // changed elsewhere meanwhile
    EXPECT_TRUE(point.penUp(penAt(500.0, 500.0)));
    EXPECT_EQ(params.double2D["centre"].x, 0.1);
    EXPECT_EQ(params.double2D["centre"].y, 0.1);
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag centre"}));
    EXPECT_EQ(params.openBlocks, 0);
    EXPECT_EQ(params.writesOutsideBlock, 0);

    // A click that never moves writes nothing, even over a value changed meanwhile.
    const int writes = params.writesInBlock;
    ASSERT_TRUE(point.penDown(penAt(192.0, 108.0)));
    params.double2D["centre"] = {0.9, 0.9};
    EXPECT_TRUE(point.penUp(penAt(192.0, 108.0)));
    EXPECT_EQ(params.writesInBlock, writes);
    EXPECT_EQ(params.double2D["centre"].x, 0.9);
    EXPECT_EQ(params.openBlocks, 0);
}

// A horizontal line through the frame centre, (0, 0) in centered coordinates.
struct LineFixture : ::testing::Test {
    LineFixture() {
        params.double2D["centre"] = {0.0, 0.0};
        params.doubles["angle"] = 0.0;
        line.setCoordSystem(1);
    }
    FakeOverlayParams params;
    LineOverlay line{&params, "centre", "angle"};
};

TEST_F(LineFixture, GrabbedAwayFromTheCentreItRotatesToThePen) {
    EXPECT_FALSE(line.penDown(penAt(1500.0, 566.0)));
    ASSERT_TRUE(line.penDown(penAt(1060.0, 540.0)));
    EXPECT_TRUE(line.penMotion(penAt(960.0, 700.0)));
    EXPECT_DOUBLE_EQ(params.doubles["angle"], 90.0);
    EXPECT_TRUE(line.penMotion(penAt(960.0, 300.0)));
    EXPECT_DOUBLE_EQ(params.doubles["angle"], -90.0);
    EXPECT_TRUE(line.penMotion(penAt(800.0, 540.0)));
    EXPECT_DOUBLE_EQ(params.doubles["angle"], 180.0);
    EXPECT_TRUE(line.penUp(penAt(800.0, 540.0)));
    EXPECT_FALSE(line.penUp(penAt(800.0, 540.0)));
    EXPECT_EQ(params.double2D["centre"].x, 0.0);
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Rotate line"}));
}

TEST_F(LineFixture, GrabbedAtTheCentreItMovesTheCentre) {
    ASSERT_TRUE(line.penDown(penAt(970.0, 550.0)));
    EXPECT_TRUE(line.penMotion(penAt(1440.0, 810.0)));
    EXPECT_EQ(params.double2D["centre"].x, 0.25);
    EXPECT_EQ(params.double2D["centre"].y, 0.25);
    EXPECT_DOUBLE_EQ(params.doubles["angle"], 0.0);
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag line center"}));
}

} // namespace
