// The post-blur passes, the vignette and colour re-encoding, and the final global blend.
#include "KernelHarness.h"
#include "kernels/GaussianLut.h"
#include "kernels/KernelPasses.h"
#include "kernels/cpu/FastPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using harness::DeviceImage;
using harness::Image;
using harness::Pixel;
using namespace kernels;

namespace {

TEST(GaussianTable, HoldsExpOfMinusXSquaredUpToIndex185) {
    for (int i = 0; i < GAUSSIAN_LUT_SIZE; ++i) {
        const double expected = i <= 185 ? std::exp(-std::pow(i / 42.5, 2.0)) : 0.0;
        EXPECT_NEAR(GAUSSIAN_LUT_HOST[i], expected, 1e-7 * expected + 1e-12) << i;
    }
    EXPECT_FLOAT_EQ(gaussianWeight(1.0f),
                    GAUSSIAN_LUT_HOST[42] + (GAUSSIAN_LUT_HOST[43] - GAUSSIAN_LUT_HOST[42]) * 0.5f);
    EXPECT_EQ(gaussianWeight(6.0f), 0.0f);
}

// One impulse on a row, blurred horizontally by the first post-blur execution.
class PostBlur : public ::testing::Test {
protected:
    static constexpr int kWidth = 32;
    static constexpr int kHeight = 108; // blur_radius 100 -> R = 10 px

    Image run(const Image& working, int execution, int executions) {
        gpu::Runtime& runtime = gpu::runtime();
        DeviceImage in(runtime, working);
        DeviceImage out(runtime, working.width, working.height);
        harness::Sources sources(0, 0, false);
        SystemParameters system = harness::systemFor(working.width, working.height);
        system.currentKernelExecution = execution;
        system.totalKernelExecutions = executions;
        const PipelineParameters pipeline{"BRMR Halden", "1.0"};
        BundledResources bundled{};
        call_post_blur_kernel_Pass(nullptr, &system, &pipeline, &sources.record, &params, &bundled,
                                   "post_blur.cu", in.texture(), out.surface());
        return out.download();
    }

    Image impulse() {
        Image image(kWidth, kHeight);
        image.at(16, 50) = Pixel{1, 1, 1, 1};
        return image;
    }

    void SetUp() override {
        params = harness::defaultParameters();
        params.floatParams[slot::blur_radius] = 100.0f;
    }

    AnimatedParameters params{};
};

// Rp = post_blur_scale x R taps each side (none below one) with weights exp(-(3k / Rp)^2),
// across on the first execution and down on the second.
TEST_F(PostBlur, ThePostRadiusSetsTheTapsAndTheirGaussianWeights) {
    const struct {
        float scale;
        int taps;
        double tolerance[4]; // per tap, from the centre out
    } cases[] = {{0.3f, 3, {1e-4, 1e-4, 1e-5, 2e-6}},
                 {0.2f, 2, {1e-4, 1e-4, 2e-6}},
                 {0.04f, 0, {0.0}}}; // Rp = 0.4 copies the pixel
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        params.floatParams[slot::post_blur_scale] = c.scale;
        const double rp = c.scale * 10.0;
        double total = 1.0;
        for (int k = 1; k <= c.taps; ++k) {
            total += 2.0 * std::exp(-(3.0 * k / rp) * (3.0 * k / rp));
        }
        for (int execution = 0; execution < 2; ++execution) {
            SCOPED_TRACE(execution == 0 ? "across" : "down");
            const Image out = run(impulse(), execution, 2);
            // The impulse's neighbour k along the blur, and along the other axis.
            const auto along = [&](int k) {
                return execution == 0 ? out.at(16 + k, 50).r : out.at(16, 50 + k).r;
            };
            const auto across = [&](int k) {
                return execution == 0 ? out.at(16, 50 + k).r : out.at(16 + k, 50).r;
            };
            for (int k = 0; k <= c.taps; ++k) {
                const double weight = std::exp(-(3.0 * k / rp) * (3.0 * k / rp)) / total;
                EXPECT_NEAR(along(k), weight, c.tolerance[k]) << k;
                EXPECT_NEAR(along(-k), weight, c.tolerance[k]) << -k;
            }
            EXPECT_GT(along(c.taps), 0.0f);
            EXPECT_EQ(along(c.taps + 1), 0.0f);
            EXPECT_EQ(across(1), 0.0f);
        }
    }
}

// Working values at the top of the float range: the sums overflow, the mean does not. Every CPU
// path gives a finite result there and leaves pixels out of reach of the bright ones bit for bit
// as they were.
TEST_F(PostBlur, SumsNearTheTopOfTheFloatRangeStayFinite) {
    params.floatParams[slot::post_blur_scale] = 0.5f;
    Image dim(kWidth, kHeight);
    for (Pixel& p : dim.pixels) {
        p = Pixel{0.25f, 0.5f, 0.125f, 1};
    }
    Image bright = dim;
    for (int x = 10; x < 14; ++x) {
        bright.at(x, 50) = Pixel{FLT_MAX, 0.5f, -FLT_MAX, FLT_MAX};
    }
    const kernels::cpu::CpuPath saved = kernels::cpu::activeCpuPath();
    for (const auto path : {kernels::cpu::CpuPath::Reference, kernels::cpu::CpuPath::Sse2,
                            kernels::cpu::CpuPath::Avx2, kernels::cpu::CpuPath::Avx512}) {
        if (!kernels::cpu::cpuPathSupported(path)) {
            continue;
        }
        kernels::cpu::setCpuPath(path);
        const char* name = kernels::cpu::cpuPathName(path);
        for (int execution = 0; execution < 2; ++execution) {
            const Image plain = run(dim, execution, 2);
            const Image out = run(bright, execution, 2);
            const Pixel& centre = out.at(execution == 0 ? 12 : 11, 50);
            EXPECT_GT(centre.r, FLT_MAX / 4) << name;
            EXPECT_LT(centre.b, -FLT_MAX / 4) << name;
            EXPECT_FLOAT_EQ(centre.g, 0.5f) << name;
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const Pixel& p = out.at(x, y);
                    ASSERT_TRUE(std::isfinite(p.r) && std::isfinite(p.b) && std::isfinite(p.a))
                        << name << " " << x << ", " << y;
                    const bool reached = execution == 0 ? y == 50 : (x >= 10 && x < 14);
                    if (!reached) {
                        ASSERT_EQ(std::memcmp(&p, &plain.at(x, y), sizeof p), 0) << x << ", " << y;
                    }
                }
            }
        }
    }
    kernels::cpu::setCpuPath(saved);
}

TEST_F(PostBlur, VignetteAndRec709EncodingOnlyOnTheLastExecution) {
    params.floatParams[slot::post_blur_scale] = 0.0f;
    params.boolParams[slot::vignette_enable] = 1;
    params.floatParams[slot::vignette_strength] = 1.0f;
    params.floatParams[slot::vignette_exponent] = 2.0f;
    params.intParams[slot::colorspace] = COLORSPACE_REC709;
    const Image flat(kWidth, kHeight, Pixel{0.25f, 0.25f, 0.25f, 0.5f});

    const Image first = run(flat, 0, 2);
    EXPECT_EQ(first.at(0, 0).r, 0.25f);

    const Image last = run(flat, 1, 2);
    const Pixel corner = last.at(0, 0);
    const Pixel centre = last.at(16, 54);
    EXPECT_LT(corner.r, 0.1f); // rNorm close to 1 at the corner: nearly black
    EXPECT_EQ(corner.a, 0.5f);
    // Centre: factor ~1, then encoded: 1.099 * 0.25^0.45 - 0.099.
    EXPECT_NEAR(centre.r, 1.099f * std::pow(0.25f, 0.45f) - 0.099f, 2e-3f);
}

// Colour mixes with the source by the global blend, alpha stays the effect's; without a source
// the effect stays as it was.
TEST(FinalBlend, MixesColourWithTheSourceAndKeepsTheEffectAlpha) {
    gpu::Runtime& runtime = gpu::runtime();
    const auto finish = [](DeviceImage& effect, gpu::SurfaceObject source, float blend) {
        SystemParameters system{};
        system.width = 4;
        system.height = 3;
        system.globalBlend = blend;
        launchFinalProcessing(nullptr, effect.surface(), source, system);
        return effect.download();
    };
    for (const float blend : {0.0f, 0.5f, 1.0f}) {
        SCOPED_TRACE(blend);
        DeviceImage effect(runtime, Image(4, 3, Pixel{1.0f, 0.5f, 0.0f, 0.25f}));
        DeviceImage source(runtime, Image(4, 3, Pixel{0.0f, 0.5f, 1.0f, 1.0f}));
        for (const Pixel& p : finish(effect, source.surface(), blend).pixels) {
            EXPECT_FLOAT_EQ(p.r, blend);
            EXPECT_FLOAT_EQ(p.g, 0.5f);
            EXPECT_FLOAT_EQ(p.b, 1.0f - blend);
            EXPECT_FLOAT_EQ(p.a, 0.25f);
        }
    }
    DeviceImage alone(runtime, Image(4, 3, Pixel{0.7f, 0.6f, 0.5f, 0.4f}));
    for (const Pixel& p : finish(alone, 0, 0.0f).pixels) {
        EXPECT_FLOAT_EQ(p.r, 0.7f);
        EXPECT_FLOAT_EQ(p.a, 0.4f);
    }
}

TEST(KernelChain, Rec709InputWithEveryBlurOffComesBackUnchanged) {
    gpu::Runtime& runtime = gpu::runtime();
    AnimatedParameters params = harness::defaultParameters();
    params.floatParams[slot::blur_radius] = 0.0f;
    params.floatParams[slot::post_blur_scale] = 0.0f;
    params.intParams[slot::colorspace] = COLORSPACE_REC709;
    Image source(16, 9);
    for (std::size_t i = 0; i < source.pixels.size(); ++i) {
        const float value = float(i) / float(source.pixels.size());
        source.pixels[i] = Pixel{value, 1.0f - value, value * value, 0.5f};
    }
    DeviceImage in(runtime, source);
    DeviceImage a(runtime, 16, 9);
    DeviceImage b(runtime, 16, 9);
    harness::Sources sources(in.texture(), 0, false);
    const PipelineParameters pipeline{"BRMR Halden", "1.0"};
    BundledResources bundled{};
    SystemParameters system = harness::systemFor(16, 9);
    // Lens blur into A, post-blur A -> B (horizontal), B -> A (vertical, last execution).
    call_halden_v01_kernel_Pass(nullptr, &system, &pipeline, &sources.record, &params, &bundled,
                                "halden_v01.cu", 0, a.surface());
    harness::postBlurAcrossThenDown(system, sources, params, a, b);
    const Image out = a.download();
    // The Rec. 709 constants meet only approximately at the breakpoint (0.081 encoded against
    // 0.018 linear), so encoded values just above 0.081 come back up to 2.5e-4 low.
    for (std::size_t i = 0; i < source.pixels.size(); ++i) {
        EXPECT_NEAR(out.pixels[i].r, source.pixels[i].r, 3e-4f) << i;
        EXPECT_NEAR(out.pixels[i].g, source.pixels[i].g, 3e-4f) << i;
        EXPECT_NEAR(out.pixels[i].b, source.pixels[i].b, 3e-4f) << i;
        EXPECT_EQ(out.pixels[i].a, 0.5f);
    }
}

} // namespace
