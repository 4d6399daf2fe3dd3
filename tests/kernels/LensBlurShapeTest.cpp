#include "KernelHarness.h"
#include "kernels/KernelMath.h"
#include "kernels/KernelPasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

using harness::DeviceImage;
using harness::Image;
using harness::Pixel;
using namespace kernels;

namespace {

constexpr int kSize = 216;
constexpr int kCentre = 108;
// blur_radius 50 at 216 lines: R = 10 pixels.
constexpr float kRadius = 10.0f;

class LensBlurShape : public ::testing::Test {
protected:
    void SetUp() override {
        params = harness::defaultParameters();
        params.floatParams[slot::blur_radius] = 50.0f;
        // Plain disc average and a dense spiral (about 400 samples) so shapes are sharp.
        params.floatParams[slot::bokeh_contrast] = 0.0f;
        params.floatParams[slot::oversample] = 4.0f;
        params.intParams[slot::min_samples] = 512;
    }

    // A single bright pixel on black, blurred by the lens pass alone.
    Image blurPoint(int px = kCentre, int py = kCentre, float value = 100.0f) {
        Image source(kSize, kSize, Pixel{0, 0, 0, 1});
        source.at(px, py) = Pixel{value, value, value, 1};
        return blur(source);
    }

    // Not connected: the pass is given texture 0 for its source.
    Image blur(const Image& source, bool connected = true) {
        gpu::Runtime& runtime = gpu::runtime();
        DeviceImage in(runtime, source);
        DeviceImage out(runtime, source.width, source.height);
        harness::Sources sources(connected ? in.texture() : 0, 0, false);
        const SystemParameters system = harness::systemFor(source.width, source.height);
        const PipelineParameters pipeline{"BRMR Halden", "1.0"};
        call_halden_v01_kernel_Pass(nullptr, &system, &pipeline, &sources.record, &params, &bundled,
                                    "halden_v01.cu", 0, out.surface());
        return out.download();
    }

    float extent(const Image& image, float degrees, int cx = kCentre, int cy = kCentre) {
        return harness::extent(image, cx, cy, degrees, 1e-3f);
    }

    // A 64 x 64 occluder, black where dark(x, y), white elsewhere; opaque, no wind.
    template <class Dark>
    void useOccluder(Dark dark, float scale) {
        Image occluder(64, 64, Pixel{1, 1, 1, 1});
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                if (dark(x, y)) {
                    occluder.at(x, y) = Pixel{0, 0, 0, 1};
                }
            }
        }
        occluderTexture = std::make_unique<DeviceImage>(gpu::runtime(), occluder);
        bundled.resources[0] = {occluderTexture->texture(), "test", 64, 64, 3, 0, 2};
        bundled.resourceCount = 1;
        params.intParams[slot::fg_texture] = 1;
        params.floatParams[slot::fg_opacity] = 1.0f;
        params.floatParams[slot::fg_range] = 0.0f; // no wind, no pivot swing
        params.vec2Params[slot::fg_scale] = {scale, scale};
    }

    AnimatedParameters params{};
    BundledResources bundled{};
    std::unique_ptr<DeviceImage> occluderTexture;
};

TEST_F(LensBlurShape, ABrightPointSpreadsIntoADiscOfTheBlurRadius) {
    const Image out = blurPoint();
    for (float degrees = 0; degrees < 360; degrees += 45) {
        EXPECT_NEAR(extent(out, degrees), kRadius, 1.0f) << degrees << " degrees";
    }
    int lit = 0;
    for (const Pixel& p : out.pixels) {
        lit += p.r > 1e-3f ? 1 : 0;
    }
    EXPECT_NEAR(lit, 3.14159 * kRadius * kRadius, 0.2 * 3.14159 * kRadius * kRadius);
}

TEST_F(LensBlurShape, TheRadiusFollowsTheFrameHeight) {
    // 432 lines: the same blur_radius covers twice the pixels (a narrow frame keeps it quick).
    params.intParams[slot::min_samples] = 1024;
    Image source(64, 2 * kSize, Pixel{0, 0, 0, 1});
    source.at(32, 2 * kCentre) = Pixel{100, 100, 100, 1};
    const Image out = blur(source);
    EXPECT_NEAR(extent(out, 0.0f, 32, 2 * kCentre), 2 * kRadius, 1.0f);
    EXPECT_NEAR(extent(out, 90.0f, 32, 2 * kCentre), 2 * kRadius, 1.0f);
}

TEST_F(LensBlurShape, ThreeStraightBladesGiveATriangleAndFullyCurvedOnesTheDiscAgain) {
    params.boolParams[slot::aperture_enable] = 1;
    params.intParams[slot::blade_count] = 3;
    params.floatParams[slot::blade_curvature] = 0.0f;
    params.floatParams[slot::blade_softness] = 0.0f;
    const Image out = blurPoint();
    // The triangle's inscribed radius is R / 2. The gathered pattern is the aperture mirrored
    // through the point: the aperture's vertex at 0 degrees lights pixels toward 180, its flat
    // side at 180 limits them toward 0.
    for (float side : {0.0f, 120.0f, 240.0f}) {
        EXPECT_NEAR(extent(out, side), 0.5f * kRadius, 1.0f) << side;
    }
    for (float vertex : {60.0f, 180.0f, 300.0f}) {
        EXPECT_GT(extent(out, vertex), 0.8f * kRadius) << vertex;
        EXPECT_LT(extent(out, vertex), kRadius + 1.0f) << vertex;
    }
    params.floatParams[slot::blade_curvature] = 1.0f;
    const Image curved = blurPoint();
    for (float degrees = 0; degrees < 360; degrees += 60) {
        EXPECT_NEAR(extent(curved, degrees), kRadius, 1.0f) << degrees;
    }
}

TEST_F(LensBlurShape, AnamorphicTwoByOneMakesTheDiscTwiceAsWide) {
    params.vec2Params[slot::anamorphic] = {2.0f, 1.0f};
    const Image out = blurPoint();
    EXPECT_NEAR(extent(out, 0.0f), 2 * kRadius, 1.5f);
    EXPECT_NEAR(extent(out, 180.0f), 2 * kRadius, 1.5f);
    EXPECT_NEAR(extent(out, 90.0f), kRadius, 1.0f);
    EXPECT_NEAR(extent(out, 270.0f), kRadius, 1.0f);
}

TEST_F(LensBlurShape, CatsEyeClipsTheSideFacingTheOpticalCentre) {
    params.boolParams[slot::catseye_enable] = 1;
    params.floatParams[slot::catseye_strength] = 2.0f;
    params.floatParams[slot::catseye_exponent] = 1.0f;
    params.floatParams[slot::catseye_radius] = 1.0f;
    params.floatParams[slot::catseye_softness] = 0.0f;
    // Left of the frame centre, so the blocking circle shifts toward +x.
    const int x = 40;
    const Image out = blurPoint(x, kCentre);
    EXPECT_LT(extent(out, 0.0f, x), 0.6f * kRadius);
    EXPECT_NEAR(extent(out, 180.0f, x), kRadius, 1.0f);
    // The same point without the cat's eye is a full disc.
    params.boolParams[slot::catseye_enable] = 0;
    EXPECT_NEAR(extent(blurPoint(x, kCentre), 0.0f, x), kRadius, 1.0f);
}

TEST_F(LensBlurShape, FullDimpleDarkensTheDiscCentre) {
    params.floatParams[slot::dimple_depth] = 1.0f;
    params.floatParams[slot::dimple_exponent] = 2.0f;
    const Image dimpled = blurPoint();
    params.floatParams[slot::dimple_depth] = 0.0f;
    const Image flat = blurPoint();

    const float ring = dimpled.at(kCentre + 7, kCentre).r;
    EXPECT_LT(dimpled.at(kCentre, kCentre).r, 0.05f * ring);
    // Without the dimple the centre is as bright as the ring.
    EXPECT_NEAR(flat.at(kCentre, kCentre).r, flat.at(kCentre + 7, kCentre).r,
                0.5f * flat.at(kCentre + 7, kCentre).r);
}

TEST_F(LensBlurShape, AnOccluderBlocksTheDiscWhereItIsDark) {
    // Black where u < 0.5, white elsewhere; no scaling.
    useOccluder([](int x, int) { return x < 32; }, 1.0f);
    const Image out = blurPoint();
    // Spiral points with x > 0 look up the dark half; they light pixels on the -x side.
    EXPECT_LT(extent(out, 180.0f), 0.2f * kRadius);
    EXPECT_NEAR(extent(out, 0.0f), kRadius, 1.0f);
    // Half opacity lets half the light through on the blocked side.
    params.floatParams[slot::fg_opacity] = 0.5f;
    EXPECT_NEAR(extent(blurPoint(), 180.0f), kRadius, 1.0f);
}

TEST_F(LensBlurShape, TheOccluderSlidesWithScreenPositionByTheParallax) {
    // Occluder dark along its left and bottom edges, white in the middle. At scale 6 the
    // texture has headroom to slide: a disc left of or above the frame centre looks at the dark
    // edges with positive parallax, one right of or below it at white; negative parallax swaps
    // them. Without the slide every disc would look at the white middle.
    useOccluder([](int x, int y) { return x < 22 || y < 22; }, 6.0f);
    // A sparse spiral (29 samples) is enough to tell a lit disc from a blocked one.
    params.floatParams[slot::oversample] = 1.0f;
    params.intParams[slot::min_samples] = 128;

    Image source(kSize, kSize, Pixel{0, 0, 0, 1});
    const int near = 21;
    const int far = kSize - 1 - near;
    const int points[4][2] = {{near, kCentre}, {far, kCentre}, {kCentre, near}, {kCentre, far}};
    for (const auto& point : points) {
        source.at(point[0], point[1]) = Pixel{100, 100, 100, 1};
    }
    // Pixels the point lights around itself (itself excluded: a fully blocked pixel keeps it).
    const auto lit = [](const Image& out, const int* point) {
        int n = 0;
        for (int y = point[1] - 12; y <= point[1] + 12; ++y) {
            for (int x = point[0] - 12; x <= point[0] + 12; ++x) {
                n += (x != point[0] || y != point[1]) && out.at(x, y).r > 1e-3f ? 1 : 0;
            }
        }
        return n;
    };
    for (float parallax : {1.0f, -1.0f}) {
        SCOPED_TRACE(parallax);
        params.floatParams[slot::fg_parallax] = parallax;
        const Image out = blur(source);
        // Left, right, below, above the centre (row 0 is the bottom).
        const int left = lit(out, points[0]);
        const int right = lit(out, points[1]);
        const int below = lit(out, points[2]);
        const int above = lit(out, points[3]);
        const int blocked = 0;
        const int open = 15;
        EXPECT_EQ(parallax > 0 ? left : right, blocked);
        EXPECT_GT(parallax > 0 ? right : left, open);
        EXPECT_EQ(parallax > 0 ? above : below, blocked);
        EXPECT_GT(parallax > 0 ? below : above, open);
    }
}

// No Source connected: the texture handle is 0, which CUDA gives no meaning; the pass reads
// transparent black, as the device code does.
TEST_F(LensBlurShape, WithoutASourceThePassGivesTransparentBlack) {
    for (const Pixel& p : blur(Image(64, 36, Pixel{1, 1, 1, 1}), false).pixels) {
        ASSERT_EQ(p.r, 0.0f);
        ASSERT_EQ(p.g, 0.0f);
        ASSERT_EQ(p.b, 0.0f);
        ASSERT_EQ(p.a, 0.0f);
    }
}

TEST_F(LensBlurShape, BrightHighlightsDominateWithBokehPop) {
    // A bright pixel beside a dim field: with pop the highlight wins the average.
    Image source(kSize, kSize, Pixel{0.2f, 0.2f, 0.2f, 1});
    source.at(kCentre, kCentre) = Pixel{4, 4, 4, 1};
    const float plain = blur(source).at(kCentre + 3, kCentre).r;
    params.floatParams[slot::bokeh_contrast] = 38.0f;
    params.floatParams[slot::bokeh_power] = 2.0f;
    const float popped = blur(source).at(kCentre + 3, kCentre).r;
    EXPECT_GT(popped, plain * 2.0f);
}

TEST_F(LensBlurShape, AnyFiniteOrInfiniteHighlightGivesAFiniteDiscDominatedByIt) {
    // At the defaults' pop (power 9) 1e7 squares past the float range; so does +Inf.
    params.floatParams[slot::bokeh_contrast] =
        harness::defaultParameters().floatParams[slot::bokeh_contrast];
    const Image dim(kSize, kSize, Pixel{0.2f, 0.3f, 0.1f, 1});
    const Image plain = blur(dim);
    for (const float bright : {1e7f, 3.4e38f, INFINITY}) {
        Image source = dim;
        source.at(kCentre, kCentre) = Pixel{bright, 0.3f, bright, bright};
        const Image out = blur(source);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const Pixel& p = out.at(x, y);
                ASSERT_TRUE(std::isfinite(p.r) && std::isfinite(p.g) && std::isfinite(p.b) &&
                            std::isfinite(p.a))
                    << bright << " at " << x << ", " << y;
                if (std::abs(x - kCentre) > kRadius + 1 || std::abs(y - kCentre) > kRadius + 1) {
                    // Beyond the disc nothing changed, to the bit.
                    ASSERT_EQ(std::memcmp(&p, &plain.at(x, y), sizeof p), 0) << x << ", " << y;
                }
            }
        }
        const Pixel& near = out.at(kCentre + 3, kCentre);
        EXPECT_GT(near.r, std::fmin(bright, 3.4e38f) * 0.01f) << "the highlight wins its channel";
        EXPECT_NEAR(near.g, 0.3f, 1e-5f) << "a channel without it keeps its level";
        EXPECT_GT(near.a, 1.0f);
    }
}

TEST_F(LensBlurShape, BelowOnePixelTheSourcePassesThroughLinearisedWhenAsked) {
    params.floatParams[slot::blur_radius] = 4.0f; // 0.8 px at 216 lines
    Image wide(kSize, kSize);
    for (int i = 0; i < 64; ++i) {
        const float value = float(i) / 32.0f - 0.5f;
        wide.at(i % 8, i / 8) = Pixel{value, value * 0.5f, 0.25f, 0.75f};
    }
    const Image raw = blur(wide);
    params.intParams[slot::colorspace] = COLORSPACE_REC709;
    const Image linear = blur(wide);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const Pixel in = wide.at(x, y);
            EXPECT_FLOAT_EQ(raw.at(x, y).r, in.r);
            EXPECT_FLOAT_EQ(raw.at(x, y).a, in.a);
            const float c = std::max(in.r, 0.0f);
            const float expected =
                c < 0.081f ? c / 4.5f : std::pow((c + 0.099f) / 1.099f, 2.2222223f);
            EXPECT_NEAR(linear.at(x, y).r, expected, 1e-6f);
            EXPECT_FLOAT_EQ(linear.at(x, y).a, in.a);
        }
    }
}

TEST_F(LensBlurShape, EveryRejectedSampleLeavesTheSourcePixel) {
    // A cat's-eye circle too small to cover any sample rejects them all.
    params.boolParams[slot::catseye_enable] = 1;
    params.floatParams[slot::catseye_strength] = 0.0f;
    params.floatParams[slot::catseye_radius] = 0.001f;
    Image source(kSize, kSize, Pixel{0.3f, 0.4f, 0.5f, 0.6f});
    const Image out = blur(source);
    EXPECT_FLOAT_EQ(out.at(kCentre, kCentre).g, 0.4f);
    EXPECT_FLOAT_EQ(out.at(kCentre, kCentre).a, 0.6f);
}

// The misalignment's powers follow powf over the bases it can meet, [0, 1] and a little more,
// zero, denormals and NaN included, within a few ulp of z = y log2 x (the float it is computed
// through), and keep powf's special values; a NaN exponent gives NaN.
TEST(ShapePower, FollowsPowfWithItsSpecialValues) {
    const float nan = std::nanf("");
    const float bases[] = {0.0f, 1e-45f, 1e-38f, 1e-20f, 0.001f, 0.3f, 0.7071f, 1.0f, 1.0001f, nan};
    const float exponents[] = {0.0f, 0.001f, 0.381f, 1.0f, 4.0f, 40.0f, nan};
    for (float x : bases) {
        for (float y : exponents) {
            float r[2];
            shapePow2L<float, bool>(x, y, x, -y, r[0], r[1]);
            for (int i = 0; i < 2; ++i) {
                const float e = i == 0 ? y : -y;
                const float want = std::isnan(e) ? nan : std::pow(x, e);
                const float z = std::fabs(e * std::log2(x));
                if (std::isnan(want) || std::isinf(want) || want == 0.0f || want == 1.0f) {
                    EXPECT_TRUE(std::memcmp(&r[i], &want, sizeof want) == 0 ||
                                (std::isnan(r[i]) && std::isnan(want)))
                        << x << "^" << e << " gave " << r[i];
                } else {
                    EXPECT_NEAR(r[i], want, want * (4e-7f + 1.2e-7f * z)) << x << "^" << e;
                }
            }
        }
    }
}
} // namespace
