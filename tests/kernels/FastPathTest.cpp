// The CPU fast path against the per-pixel reference path, lens pass and post-blur: every look,
// every instruction set this machine runs, frame sizes that leave partial vectors and segments.
#include "KernelHarness.h"
#include "kernels/KernelPasses.h"
#include "kernels/cpu/FastPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>

using harness::DeviceImage;
using harness::Image;
using harness::Pixel;
using namespace kernels;
using kernels::cpu::CpuPath;

namespace {

struct Look {
    const char* name;
    std::function<void(AnimatedParameters&)> set;
    bool kernelMap = false;
    int occluderWrap = -1; // bundled occluder's wrap mode; -1 for none
};

const Look kLooks[] = {
    {"defaults", [](AnimatedParameters&) {}},
    {"blades with curvature",
     [](AnimatedParameters& p) {
         p.boolParams[slot::aperture_enable] = 1;
         p.intParams[slot::blade_count] = 6;
         p.floatParams[slot::blade_rotation] = 20.0f;
         p.floatParams[slot::blade_curvature] = 0.35f;
         p.floatParams[slot::blade_softness] = 0.2f;
         p.floatParams[slot::edge_width] = 0.3f;
     }},
    {"cat's eye and swirl",
     [](AnimatedParameters& p) {
         p.boolParams[slot::catseye_enable] = 1;
         p.floatParams[slot::catseye_strength] = 1.2f;
         p.floatParams[slot::catseye_softness] = 0.5f;
         p.boolParams[slot::swirl_enable] = 1;
         p.floatParams[slot::swirl_factor] = 1.8f;
         p.floatParams[slot::radial_skew] = 1.2f;
     }},
    {"anamorphic and misalignment",
     [](AnimatedParameters& p) {
         p.vec2Params[slot::anamorphic] = {1.8f, 1.0f};
         p.boolParams[slot::superq_enable] = 1;
         p.floatParams[slot::superq_scale] = 0.8f;
         p.floatParams[slot::dimple_depth] = 0.8f;
         p.floatParams[slot::bokeh_power] = 3.5f;
     }},
    {"falloff with rack focus and blades",
     [](AnimatedParameters& p) {
         p.boolParams[slot::falloff_enable] = 1;
         p.floatParams[slot::rack_focus] = -0.3f;
         p.vec2Params[slot::optical_center] = {0.3f, 0.1f};
         p.boolParams[slot::aperture_enable] = 1;
         p.intParams[slot::blade_count] = 5;
     }},
    {"occlusion in the wind",
     [](AnimatedParameters& p) {
         p.intParams[slot::fg_texture] = 1;
         p.floatParams[slot::fg_turbulence] = 1.0f;
     },
     false, 0},
    {"occlusion, fractional power",
     [](AnimatedParameters& p) {
         p.intParams[slot::fg_texture] = 1;
         p.floatParams[slot::bokeh_power] = 2.7f;
     },
     false, 0},
    {"occlusion, mirrored texture, no parallax",
     [](AnimatedParameters& p) {
         p.intParams[slot::fg_texture] = 1;
         p.floatParams[slot::fg_parallax] = 0.0f;
     },
     false, 2},
    {"kernel map, half-integral power",
     [](AnimatedParameters& p) {
         p.floatParams[slot::kernel_rotation] = 30.0f;
         p.floatParams[slot::bokeh_power] = 2.5f;
     },
     true},
    {"depth map falloff",
     [](AnimatedParameters& p) {
         p.boolParams[slot::falloff_enable] = 1;
         p.intParams[slot::falloff_type] = FALLOFF_DEPTH_MAP;
     },
     true},
    {"Rec. 709 with reflect edges",
     [](AnimatedParameters& p) {
         p.intParams[slot::colorspace] = COLORSPACE_REC709;
         p.boolParams[slot::edge_mode] = 1;
         p.floatParams[slot::bokeh_power] = 4.0f;
         p.floatParams[slot::post_blur_scale] = 0.4f;
         p.boolParams[slot::vignette_enable] = 1;
         p.floatParams[slot::vignette_strength] = 0.7f;
     }},
};

// Dim noise with bright points; alpha varies unless opaque.
Image picture(int width, int height, unsigned seed, bool opaque) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> dim(-0.05f, 0.3f);
    Image image(width, height);
    for (Pixel& p : image.pixels) {
        p = {dim(random), dim(random), dim(random), opaque ? 1.0f : dim(random) + 0.5f};
        if (random() % 23 == 0) {
            p.r = p.g = p.b = 20.0f + float(random() % 100);
        }
    }
    // Highlights whose pop weights overflow the float range take the scaled pass.
    image.pixels[image.pixels.size() / 2].r = 1e8f;
    image.pixels[image.pixels.size() / 3].b = 1e30f;
    return image;
}

Image render(const Look& look, CpuPath path, const Image& source, int radiusLines) {
    gpu::Runtime& runtime = gpu::runtime();
    AnimatedParameters params = harness::defaultParameters();
    params.floatParams[slot::blur_radius] = float(radiusLines);
    params.boolParams[slot::kernel_enable] = look.kernelMap ? 1 : 0;
    look.set(params);
    DeviceImage in(runtime, source);
    DeviceImage out(runtime, source.width, source.height);
    DeviceImage map(runtime, picture(23, 17, 7, false));
    std::unique_ptr<DeviceImage> occluder;
    BundledResources bundled{};
    if (look.occluderWrap >= 0) {
        occluder = std::make_unique<DeviceImage>(runtime, picture(40, 30, 9, true));
        bundled.resources[0] = {occluder->texture(), "leaves", 40, 30, 4, 0, look.occluderWrap};
        bundled.resourceCount = 1;
    }
    harness::Sources sources(in.texture(), map.texture(), look.kernelMap);
    const SystemParameters system = harness::systemFor(source.width, source.height, 7.0f);
    const PipelineParameters pipeline{"BRMR Halden", "1.0"};
    cpu::setCpuPath(path);
    call_halden_v01_kernel_Pass(nullptr, &system, &pipeline, &sources.record, &params, &bundled,
                                "halden_v01.cu", 0, out.surface());
    DeviceImage across(runtime, source.width, source.height);
    harness::postBlurAcrossThenDown(system, sources, params, out, across);
    return out.download();
}

class FastPath : public ::testing::TestWithParam<CpuPath> {
protected:
    void SetUp() override {
        saved = cpu::activeCpuPath();
        if (!cpu::cpuPathSupported(GetParam())) {
            GTEST_SKIP() << cpu::cpuPathName(GetParam()) << " does not run on this machine";
        }
    }
    void TearDown() override { cpu::setCpuPath(saved); }
    CpuPath saved = CpuPath::Reference;
};

TEST_P(FastPath, EqualsTheReferenceForEveryLookAndOddSizes) {
    const struct {
        int width, height, radiusLines;
        bool opaque;
    } frames[] = {
        {1, 1, 3000, true}, {17, 9, 900, false}, {1000, 3, 600, true}, {70, 40, 200, true}};
    for (const Look& look : kLooks) {
        for (const auto& frame : frames) {
            const Image source = picture(frame.width, frame.height, 1, frame.opaque);
            const Image expected = render(look, CpuPath::Reference, source, frame.radiusLines);
            const Image actual = render(look, GetParam(), source, frame.radiusLines);
            int bad = 0;
            for (std::size_t i = 0; i < expected.pixels.size(); ++i) {
                const float e[4] = {expected.pixels[i].r, expected.pixels[i].g,
                                    expected.pixels[i].b, expected.pixels[i].a};
                const float a[4] = {actual.pixels[i].r, actual.pixels[i].g, actual.pixels[i].b,
                                    actual.pixels[i].a};
                for (int c = 0; c < 4; ++c) {
                    const bool close = a[c] == e[c] || std::fabs(a[c] - e[c]) <=
                                                           1e-5f * std::fmax(1.0f, std::fabs(e[c]));
                    if (!close && bad++ < 3) {
                        ADD_FAILURE() << look.name << " at " << frame.width << "x" << frame.height
                                      << ", pixel " << i << " channel " << c << ": " << a[c]
                                      << " instead of " << e[c];
                    }
                }
            }
        }
    }
}

std::string pathName(const ::testing::TestParamInfo<CpuPath>& path) {
    return cpu::cpuPathName(path.param);
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, FastPath,
                         ::testing::Values(CpuPath::Sse2, CpuPath::Avx2, CpuPath::Avx512),
                         pathName);

} // namespace
