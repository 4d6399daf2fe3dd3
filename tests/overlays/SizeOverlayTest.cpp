// The overlays that size something around a centre: radius, ellipse and scale2d. Which handle
// edits which component, and the limits of the values.

#include "OverlayFakes.h"

#include "overlays/EllipseOverlay.h"
#include "overlays/RadiusOverlay.h"
#include "overlays/Scale2DOverlay.h"

#include <gtest/gtest.h>

namespace {

using namespace overlaytest;
using OFX::EllipseOverlay;
using OFX::RadiusOverlay;
using OFX::Scale2DOverlay;

// Centres at the frame centre; sizes are fractions of the 1080-unit smaller side.
TEST(RadiusOverlay, IsGrabbedOnItsRingAndCappedAtOneAndFloorsAtOneThousandth) {
    FakeOverlayParams params;
    params.doubles["r"] = 0.25;
    RadiusOverlay radius(&params, "r", "c");
    EXPECT_FALSE(radius.penDown(penAt(960.0, 540.0)));
    EXPECT_FALSE(radius.penDown(penAt(960.0, 540.0 + 270.0 + 26.0)));
    ASSERT_TRUE(radius.penDown(penAt(960.0, 540.0 - 270.0 - 20.0)));
    EXPECT_TRUE(radius.penMotion(penAt(960.0 + 540.0, 540.0)));
    EXPECT_EQ(params.doubles["r"], 0.5);
    EXPECT_TRUE(radius.penMotion(penAt(5000.0, 540.0)));
    EXPECT_EQ(params.doubles["r"], 1.0);
    EXPECT_TRUE(radius.penMotion(penAt(960.0, 540.0)));
    EXPECT_EQ(params.doubles["r"], 0.001);
    EXPECT_TRUE(radius.penUp(penAt(960.0, 540.0)));
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag radius"}));
    EXPECT_EQ(params.openBlocks, 0);
}

TEST(RadiusOverlay, WithoutItsParameterDrawsTheDefaultAndCannotBeGrabbed) {
    FakeOverlayParams params;
    RadiusOverlay radius(&params, "r", "c");
    RecordingCanvas canvas;
    radius.draw(canvas, drawArgs(2.0));
    // 0.1 of the frame's smaller side, whatever the zoom.
    EXPECT_EQ(canvas.circleRadii(), (std::vector<double>{108.0}));
    EXPECT_FALSE(radius.penDown(penAt(960.0 + 108.0, 540.0)));
}

// Radii of 432 and 216 units around the frame centre.
struct EllipseFixture : ::testing::Test {
    EllipseFixture() {
        params.double2D["c"] = {0.5, 0.5};
        params.double2D["radii"] = {0.4, 0.2};
    }
    FakeOverlayParams params;
    EllipseOverlay ellipse{&params, "radii", "c"};
};

TEST_F(EllipseFixture, EachHandleEditsOnlyItsOwnRadius) {
    ASSERT_TRUE(ellipse.penDown(penAt(960.0 + 432.0, 550.0)));
    EXPECT_TRUE(ellipse.penMotion(penAt(960.0 - 108.0, 900.0)));
    EXPECT_EQ(params.double2D["radii"].x, 0.1);
    EXPECT_EQ(params.double2D["radii"].y, 0.2);
    EXPECT_TRUE(ellipse.penUp(penAt(0.0, 0.0)));

    ASSERT_TRUE(ellipse.penDown(penAt(960.0, 540.0 + 216.0)));
    EXPECT_TRUE(ellipse.penMotion(penAt(0.0, 541.0)));
    EXPECT_EQ(params.double2D["radii"].y, 0.01);
    EXPECT_TRUE(ellipse.penMotion(penAt(0.0, 5000.0)));
    EXPECT_EQ(params.double2D["radii"].y, 1.0);
    EXPECT_EQ(params.double2D["radii"].x, 0.1);
    EXPECT_TRUE(ellipse.penUp(penAt(0.0, 0.0)));
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag ellipse X", "Drag ellipse Y"}));

    params.double2D.erase("c"); // both parameters are needed
    EXPECT_FALSE(ellipse.penDown(penAt(960.0 + 108.0, 540.0)));
}

// A centre at (0.25, 0.5) of the frame even in centered_aspect; half sizes 0.1 × 1920 and
// 0.2 × 1080.
struct ScaleFixture : ::testing::Test {
    ScaleFixture() {
        params.double2D["c"] = {0.25, 0.5};
        params.double2D["s"] = {0.1, 0.2};
        scale.setCoordSystem(2);
    }
    FakeOverlayParams params;
    Scale2DOverlay scale{&params, "s", "c"};
};

TEST_F(ScaleFixture, CornerHandleSizesBothAxesAndWinsWhereHandlesOverlap) {
    params.double2D["s"] = {0.1, 0.02}; // flat: the pen is near the X handle too
    ASSERT_TRUE(scale.penDown(penAt(480.0 + 192.0, 550.0)));
    EXPECT_TRUE(scale.penMotion(penAt(480.0 + 384.0, 540.0 - 108.0)));
    EXPECT_EQ(params.double2D["s"].x, 0.2);
    EXPECT_EQ(params.double2D["s"].y, 0.1);
    EXPECT_TRUE(scale.penUp(penAt(0.0, 0.0)));
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag scale corner"}));
}

TEST_F(ScaleFixture, SideHandlesSizeOneAxisWithinLimits) {
    ASSERT_TRUE(scale.penDown(penAt(480.0 + 192.0, 540.0)));
    EXPECT_TRUE(scale.penMotion(penAt(480.0, 0.0)));
    EXPECT_EQ(params.double2D["s"].x, 0.01);
    EXPECT_EQ(params.double2D["s"].y, 0.2);
    scale.penUp(penAt(0.0, 0.0));
    // Left of the corner handle, which now sits 19.2 units right of the centre.
    ASSERT_TRUE(scale.penDown(penAt(470.0, 540.0 + 216.0)));
    EXPECT_TRUE(scale.penMotion(penAt(0.0, 540.0 + 4000.0)));
    EXPECT_EQ(params.double2D["s"].y, 1.0);
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag scale X", "Drag scale Y"}));
}

} // namespace
