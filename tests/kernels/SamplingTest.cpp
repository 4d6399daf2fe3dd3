// Sample counts, edge rules and colour transfer of the lens-blur kernel.
#include "KernelHarness.h"
#include "kernels/LaunchTiles.h"
#include "kernels/LensBlurKernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace kernels;

namespace {

TEST(LensBlurSampling, ThirdQualityUsesPointThreeThreeThreeNotOneThird) {
    AnimatedParameters p = harness::defaultParameters();
    p.floatParams[slot::oversample] = 1.0f;
    p.floatParams[slot::sample_divisor] = 7.5f;
    p.intParams[slot::min_samples] = 0;
    p.intParams[slot::max_samples] = 100000;
    // R = 150 px at 1080 lines: R^2 / divisor = 3000; 0.333 * 3000 = 999 (1/3 would give 1000).
    // An unknown preset is full quality.
    const std::pair<int, int> presets[] = {{1, 999}, {0, 750}, {2, 1500}, {7, 3000}};
    for (const auto& [preset, samples] : presets) {
        p.intParams[slot::quality_preset] = preset;
        EXPECT_EQ(sampleCount(150.0f, 1080, p), samples) << preset;
    }
}

TEST(LensBlurSampling, DefaultsGive350SamplesAt1080AndCountsRoundToTheNearest) {
    const AnimatedParameters p = harness::defaultParameters();
    // R = 35: 35^2 / 3.5 = 350, inside [128, 512].
    EXPECT_EQ(sampleCount(35.0f, 1080, p), 350);
    // Tiny radius: the min bound, which doubles at 2160 lines.
    EXPECT_EQ(sampleCount(2.0f, 1080, p), 128);
    EXPECT_EQ(sampleCount(2.0f, 2160, p), 256);
    // Huge radius: the max bound, likewise.
    EXPECT_EQ(sampleCount(400.0f, 1080, p), 512);
    EXPECT_EQ(sampleCount(800.0f, 2160, p), 1024);
    // Fractional counts round to the nearest whole sample: at 540 lines the default radius is
    // 17.5 px and 17.5^2 / 3.5 = 87.5 samples.
    EXPECT_EQ(sampleCount(17.5f, 540, p), 88);
    EXPECT_EQ(sampleCount(18.0f, 540, p), 93); // 92.57
    EXPECT_EQ(sampleCount(16.0f, 540, p), 73); // 73.14
}

TEST(LensBlurSampling, ReflectEdgesMirrorOnceAndStretchClamps) {
    EXPECT_FLOAT_EQ(edgeCoordinate(-0.2f, true), 0.2f);
    EXPECT_FLOAT_EQ(edgeCoordinate(1.3f, true), 0.7f);
    EXPECT_FLOAT_EQ(edgeCoordinate(0.4f, true), 0.4f);
    EXPECT_FLOAT_EQ(edgeCoordinate(-0.2f, false), 0.0f);
    EXPECT_FLOAT_EQ(edgeCoordinate(1.3f, false), 1.0f);
}

TEST(LensBlurSampling, Rec709TransfersInvertEachOther) {
    for (float c : {0.0f, 0.01f, 0.08f, 0.1f, 0.5f, 0.9f, 1.0f, 2.0f}) {
        EXPECT_NEAR(linearToRec709(rec709ToLinear(c)), c, 2e-6f * (1.0f + c)) << c;
    }
    EXPECT_FLOAT_EQ(rec709ToLinear(0.045f), 0.01f);
    EXPECT_FLOAT_EQ(linearToRec709(-1.0f), 0.0f);
}

TEST(LensBlurSampling, NegativeSourceValuesCountAsZero) {
    const Rgba<float> c = blurInput(Rgba<float>{-1.0f, 0.5f, -0.0f, -2.0f}, false);
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_EQ(c.y, 0.5f);
    EXPECT_EQ(c.w, -2.0f); // alpha as sampled
}

TEST(LensBlurSampling, RadialFalloffKeepsTheOpticalCentreSharp) {
    AnimatedParameters p = harness::defaultParameters();
    p.boolParams[slot::falloff_enable] = 1;
    p.floatParams[slot::blur_radius] = 100.0f;
    SourceConnections none{};
    // At the optical centre the factor is 0^2 = 0, at a corner 1 (optical_scale 1).
    const PixelFrame centre = pixelFrame(960, 540, 1920, 1080, p);
    EXPECT_LT(localBlurRadius(centre, 1080, p, none), 0.01f);
    const PixelFrame corner = pixelFrame(0, 0, 1920, 1080, p);
    EXPECT_NEAR(localBlurRadius(corner, 1080, p, none), 100.0f, 0.5f);
    // Half strength keeps half the blur at the centre.
    p.floatParams[slot::falloff_strength] = 0.5f;
    EXPECT_NEAR(localBlurRadius(centre, 1080, p, none), 50.0f, 0.1f);
    // Rack focus moves the sharp zone: at the centre the factor becomes 0.5^2.
    p.floatParams[slot::falloff_strength] = 1.0f;
    p.floatParams[slot::rack_focus] = 0.5f;
    EXPECT_NEAR(localBlurRadius(centre, 1080, p, none), 25.0f, 0.1f);
}

TEST(LensBlurSampling, LinearFalloffIsMeasuredFromALineThroughTheCentre) {
    AnimatedParameters p = harness::defaultParameters();
    p.boolParams[slot::falloff_enable] = 1;
    p.intParams[slot::falloff_type] = FALLOFF_LINEAR;
    p.floatParams[slot::falloff_exponent] = 1.0f;
    p.floatParams[slot::blur_radius] = 100.0f;
    SourceConnections none{};
    // Horizontal line: a pixel on the centre row is sharp wherever it is along the row.
    EXPECT_LT(localBlurRadius(pixelFrame(10, 540, 1920, 1080, p), 1080, p, none), 0.2f);
    const float above = localBlurRadius(pixelFrame(960, 900, 1920, 1080, p), 1080, p, none);
    EXPECT_GT(above, 20.0f);
    // Turned to vertical, the same pixel above the centre lies on the line.
    p.floatParams[slot::falloff_angle] = 90.0f;
    EXPECT_LT(localBlurRadius(pixelFrame(960, 900, 1920, 1080, p), 1080, p, none), 0.2f);
}

// Device launches of the lens pass: each within the sample budget (the most samples any pixel
// can take, whatever its radius), on block boundaries, every pixel once; one launch where the
// frame fits, as at small sizes.
TEST(LensBlurSampling, LaunchTilesStayWithinTheBudgetAndCoverTheFrameOnce) {
    AnimatedParameters p = harness::defaultParameters();
    const int atDefaults = maxSamplesPerPixel(1080, p);
    for (const float radius : {0.0f, 35.0f, 1e4f}) {
        EXPECT_LE(sampleCount(radius, 1080, p), atDefaults) << radius;
    }
    p.intParams[slot::max_samples] = 1024;
    p.floatParams[slot::oversample] = 4.0f;
    struct Frame {
        int width, height;
    };
    for (const Frame frame : {Frame{1920, 1080}, Frame{3840, 2160}, Frame{8192, 4320}, Frame{17, 9},
                              Frame{100000, 3}}) {
        const int perPixel = maxSamplesPerPixel(frame.height, p);
        std::vector<int> covered(std::size_t(frame.width) * frame.height, 0);
        const std::vector<LaunchTile> tiles = launchTiles(frame.width, frame.height, perPixel);
        for (const LaunchTile& tile : tiles) {
            EXPECT_EQ(tile.x0 % BLOCK_SIZE, 0);
            EXPECT_EQ(tile.y0 % BLOCK_SIZE, 0);
            EXPECT_LE(double(gridSize(tile.width)) * gridSize(tile.height) * BLOCK_SIZE *
                          BLOCK_SIZE * perPixel,
                      std::max(LAUNCH_SAMPLE_BUDGET, double(BLOCK_SIZE * BLOCK_SIZE) * perPixel))
                << frame.width << "x" << frame.height;
            for (int y = tile.y0; y < tile.y0 + tile.height; ++y) {
                for (int x = tile.x0; x < tile.x0 + tile.width; ++x) {
                    ++covered[std::size_t(y) * frame.width + x];
                }
            }
        }
        EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), std::ptrdiff_t(covered.size()))
            << frame.width << "x" << frame.height;
    }
    EXPECT_EQ(maxSamplesPerPixel(2160, p), 8192) << "4 x 1024 at UHD";
    EXPECT_EQ(launchTiles(64, 36, 350).size(), 1u);
}

} // namespace
