// The same frames through the CUDA kernels and through the CPU backend's per-pixel code.
//
// Tolerance: device sinf/powf/atan2f are within 2 ulp of the host's, and every sum runs in the
// same order, so colours agree to about 1e-5 relative. A sample that lands exactly on a
// rejection edge (blade, cat's eye) can flip on such a difference and move its pixel by one
// sample's share (about 1/N of the value), so up to 0.5 % of pixels may differ by more than
// 1e-3 relative, and none by more than 5 %.
#include "KernelHarness.h"
#include "gpu/HostRuntime.h"
#include "kernels/KernelPasses.h"
#include "kernels/LensBlurKernel.h"
#include "kernels/PostBlurKernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <ostream>
#include <random>

using harness::DeviceImage;
using harness::Image;
using harness::Pixel;
using namespace kernels;

namespace {

Image demoScene(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float t = float(x) / float(width);
            image.at(x, y) = Pixel{0.05f + 0.1f * t, 0.04f, 0.08f * float(y) / float(height), 1};
        }
    }
    std::mt19937 random(7);
    for (int i = 0; i < width * height / 400; ++i) {
        const int x = int(random() % width);
        const int y = int(random() % height);
        const float v = 0.5f + float(random() % 2000) / 100.0f;
        image.at(x, y) = Pixel{v, v * 0.8f, v * 0.5f, 1};
    }
    return image;
}

// The three passes on one runtime; `pixels` runs a kernel over the frame on that runtime.
Image runPipeline(
    gpu::Runtime& runtime, const Image& source,
    const std::function<void(int pass, const SystemParameters&, const SourceConnections&,
                             std::uint64_t working, std::uint64_t output)>& pass) {
    DeviceImage in(runtime, source);
    DeviceImage a(runtime, source.width, source.height);
    DeviceImage b(runtime, source.width, source.height);
    harness::Sources sources(in.texture(), 0, false);
    SystemParameters system = harness::systemFor(source.width, source.height, 12.0f);
    pass(0, system, sources.record, 0, a.surface());
    system.totalKernelExecutions = 2;
    pass(1, system, sources.record, a.texture(), b.surface());
    system.currentKernelExecution = 1;
    pass(2, system, sources.record, b.texture(), a.surface());
    harness::check(runtime.deviceSynchronize(), "deviceSynchronize");
    return a.download();
}

Image onCuda(const Image& source, const AnimatedParameters& params) {
    const PipelineParameters pipeline{"BRMR Halden", "1.0"};
    const BundledResources bundled{};
    return runPipeline(
        gpu::runtime(), source,
        [&](int pass, const SystemParameters& system, const SourceConnections& sources,
            std::uint64_t working, std::uint64_t output) {
            if (pass == 0) {
                call_halden_v01_kernel_Pass(nullptr, &system, &pipeline, &sources, &params,
                                            &bundled, "halden_v01.cu", working, output);
            } else {
                call_post_blur_kernel_Pass(nullptr, &system, &pipeline, &sources, &params, &bundled,
                                           "post_blur.cu", working, output);
            }
        });
}

Image onCpu(const Image& source, const AnimatedParameters& params) {
    gpu::HostRuntime host;
    const BundledResources bundled{};
    return runPipeline(
        host, source,
        [&](int pass, const SystemParameters& system, const SourceConnections& sources,
            std::uint64_t working, std::uint64_t output) {
            for (int y = 0; y < system.height; ++y) {
                for (int x = 0; x < system.width; ++x) {
                    if (pass == 0) {
                        lensBlurPixel(x, y, system, sources, output, params, bundled);
                    } else {
                        postBlurPixel(x, y, system, working, sources, output, params);
                    }
                }
            }
        });
}

struct Look {
    const char* name;
    std::function<void(AnimatedParameters&)> apply;
};

// Test listings show the look's name rather than its bytes.
void PrintTo(const Look& look, std::ostream* out) {
    *out << look.name;
}

class KernelParity : public ::testing::TestWithParam<Look> {
protected:
    void SetUp() override {
        if (!kernelsRunOnCuda()) {
            GTEST_SKIP() << "no CUDA device";
        }
    }
};

TEST_P(KernelParity, CudaMatchesTheCpuBackend) {
    AnimatedParameters params = harness::defaultParameters();
    params.floatParams[slot::blur_radius] = 60.0f;
    GetParam().apply(params);
    const Image source = demoScene(240, 135);
    const Image gpu = onCuda(source, params);
    const Image cpu = onCpu(source, params);
    int loose = 0;
    float worst = 0.0f;
    for (std::size_t i = 0; i < cpu.pixels.size(); ++i) {
        const float channels[4][2] = {{gpu.pixels[i].r, cpu.pixels[i].r},
                                      {gpu.pixels[i].g, cpu.pixels[i].g},
                                      {gpu.pixels[i].b, cpu.pixels[i].b},
                                      {gpu.pixels[i].a, cpu.pixels[i].a}};
        bool tight = true;
        for (const auto& c : channels) {
            const float relative = std::fabs(c[0] - c[1]) / std::max(1.0f, std::fabs(c[1]));
            worst = std::max(worst, relative);
            tight = tight && relative <= 1e-3f;
        }
        loose += tight ? 0 : 1;
    }
    std::printf("[ parity ] %s: worst relative difference %.3g, %d of %zu pixels above 1e-3\n",
                GetParam().name, worst, loose, cpu.pixels.size());
    EXPECT_LE(loose, int(cpu.pixels.size() / 200));
    EXPECT_LE(worst, 0.05f);
}

INSTANTIATE_TEST_SUITE_P(Looks, KernelParity,
                         ::testing::Values(Look{"defaults", [](AnimatedParameters&) {}},
                                           Look{"rec709_reflect",
                                                [](AnimatedParameters& p) {
                                                    p.intParams[slot::colorspace] =
                                                        COLORSPACE_REC709;
                                                    p.boolParams[slot::edge_mode] = 1;
                                                }},
                                           Look{"blades_catseye",
                                                [](AnimatedParameters& p) {
                                                    p.boolParams[slot::aperture_enable] = 1;
                                                    p.intParams[slot::blade_count] = 6;
                                                    p.boolParams[slot::catseye_enable] = 1;
                                                }},
                                           Look{"swirl_misalign_anamorphic",
                                                [](AnimatedParameters& p) {
                                                    p.boolParams[slot::swirl_enable] = 1;
                                                    p.boolParams[slot::superq_enable] = 1;
                                                    p.vec2Params[slot::anamorphic] = {1.6f, 1.0f};
                                                    p.floatParams[slot::radial_skew] = 0.5f;
                                                }},
                                           Look{"falloff_vignette",
                                                [](AnimatedParameters& p) {
                                                    p.boolParams[slot::falloff_enable] = 1;
                                                    p.intParams[slot::falloff_type] =
                                                        FALLOFF_LINEAR;
                                                    p.floatParams[slot::falloff_angle] = 30.0f;
                                                    p.boolParams[slot::vignette_enable] = 1;
                                                    p.floatParams[slot::dimple_depth] = 0.5f;
                                                    p.floatParams[slot::edge_width] = 0.3f;
                                                }}),
                         [](const ::testing::TestParamInfo<Look>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
