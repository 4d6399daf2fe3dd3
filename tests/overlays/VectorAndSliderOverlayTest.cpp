// The vector (an arrow whose direction and length follow the pen) and the vertical slider.

#include "OverlayFakes.h"

#include "overlays/VSliderOverlay.h"
#include "overlays/VectorOverlay.h"

#include <gtest/gtest.h>

namespace {

using namespace overlaytest;
using OFX::VectorOverlay;
using OFX::VSliderOverlay;

// An arrow from the frame centre pointing right, 0.25 × 1080 = 270 units long.
struct VectorFixture : ::testing::Test {
    VectorFixture() {
        params.doubles["dir"] = 0.0;
        params.doubles["mag"] = 0.25;
    }
    FakeOverlayParams params;
    VectorOverlay vector{&params, "dir", "c", "mag", 0.1};
};

TEST_F(VectorFixture, DraggedStraightDownPoints270AndStretchesWithinLimits) {
    ASSERT_TRUE(vector.penDown(penAt(1230.0, 540.0)));
    EXPECT_TRUE(vector.penMotion(penAt(960.0, 540.0 - 432.0)));
    EXPECT_DOUBLE_EQ(params.doubles["dir"], 270.0);
    EXPECT_EQ(params.doubles["mag"], 0.4);
    EXPECT_TRUE(vector.penMotion(penAt(5000.0, 540.0)));
    EXPECT_EQ(params.doubles["dir"], 0.0);
    EXPECT_EQ(params.doubles["mag"], 1.0);
    EXPECT_TRUE(vector.penMotion(penAt(961.0, 540.0)));
    EXPECT_EQ(params.doubles["mag"], 0.01);
    EXPECT_TRUE(vector.penUp(penAt(0.0, 0.0)));
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag vector"}));
    EXPECT_EQ(params.openBlocks, 0);
}

TEST_F(VectorFixture, IsGrabbedAtItsTipOrOnTheOuterPartOfItsShaft) {
    EXPECT_TRUE(vector.penDown(penAt(960.0 + 135.0, 560.0)));
    vector.penUp(penAt(0.0, 0.0));
    EXPECT_FALSE(vector.penDown(penAt(960.0 + 54.0, 540.0)));
    EXPECT_FALSE(vector.penDown(penAt(960.0 + 135.0, 566.0)));
    EXPECT_TRUE(vector.penDown(penAt(1230.0 + 30.0, 540.0 + 36.0)));
}

TEST(VectorOverlay, WithoutAMagnitudeParameterKeepsItsFixedLength) {
    FakeOverlayParams params;
    params.doubles["dir"] = 90.0;
    VectorOverlay vector(&params, "dir", "c", "", 0.2);
    RecordingCanvas canvas;
    vector.draw(canvas, drawArgs());
    const OfxPointD tip = canvas.shapes(kOfxDrawPrimitiveLines).at(0).points[1];
    EXPECT_NEAR(tip.x, 960.0, 1e-9);
    EXPECT_NEAR(tip.y, 540.0 + 216.0, 1e-9);
    ASSERT_TRUE(vector.penDown(penAt(960.0, 540.0 + 216.0)));
    EXPECT_TRUE(vector.penMotion(penAt(0.0, 540.0)));
    EXPECT_DOUBLE_EQ(params.doubles["dir"], 180.0);
    EXPECT_EQ(params.doubles.size(), 1u);
    params.doubles.clear(); // the direction is needed
    EXPECT_FALSE(vector.penDown(penAt(960.0 + 216.0, 540.0)));
}

// A slider at x = 0.25 × 1920 = 480, its track from y 108 to 972.
struct SliderFixture : ::testing::Test {
    SliderFixture() { params.doubles["v"] = 0.25; }
    FakeOverlayParams params;
    VSliderOverlay slider{&params, "v", 0.25};
};

TEST_F(SliderFixture, DrawsTheHandleAtTheValueClampedToTheTrack) {
    const std::pair<double, double> valueAndY[] = {{0.25, 324.0}, {3.0, 972.0}, {-1.0, 108.0}};
    for (const auto& [value, y] : valueAndY) {
        params.doubles["v"] = value;
        RecordingCanvas canvas;
        ASSERT_TRUE(slider.draw(canvas, drawArgs()));
        const auto handle = canvas.shapes(kOfxDrawPrimitiveRectangle).at(0).points;
        EXPECT_EQ(handle[0].x, 480.0 - 12.0);
        EXPECT_EQ(handle[0].y, y - 6.0) << value;
        EXPECT_EQ(handle[1].y, y + 6.0) << value;
    }
}

TEST_F(SliderFixture, IsGrabbedAlongTheTrackAndClampsToZeroAndOne) {
    EXPECT_FALSE(slider.penDown(penAt(480.0 + 26.0, 500.0)));
    EXPECT_FALSE(slider.penDown(penAt(480.0, 108.0 - 26.0)));
    ASSERT_TRUE(slider.penDown(penAt(480.0 - 25.0, 972.0 + 25.0)));
    EXPECT_TRUE(slider.penMotion(penAt(0.0, 540.0)));
    EXPECT_EQ(params.doubles["v"], 0.5);
    EXPECT_TRUE(slider.penMotion(penAt(0.0, 2000.0)));
    EXPECT_EQ(params.doubles["v"], 1.0);
    EXPECT_TRUE(slider.penMotion(penAt(0.0, -50.0)));
    EXPECT_EQ(params.doubles["v"], 0.0);
    EXPECT_TRUE(slider.penUp(penAt(0.0, 0.0)));
    EXPECT_FALSE(slider.penMotion(penAt(0.0, 540.0)));
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag slider"}));
}

} // namespace
