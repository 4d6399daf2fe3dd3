// The wind sway of the occlusion texture, the kernel map and the working-image choice; the slot
// table is checked with the packing of the parameters (tests/render).
#include "KernelHarness.h"
#include "kernels/BokehOcclusion.h"
#include "kernels/KernelPasses.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kernels;

namespace {

double fourSines(double tw) {
    return 0.5 * std::sin(tw) + 0.25 * std::sin(2.3 * tw + 1.7) + 0.15 * std::sin(4.1 * tw + 3.2) +
           0.3 * std::sin(0.37 * tw + 2.1);
}

TEST(WindSway, CalmAirIsTheFourSineSum) {
    AnimatedParameters p = harness::defaultParameters();
    p.floatParams[slot::fg_turbulence] = 0.001f;
    p.floatParams[slot::fg_speed] = 0.0f;
    // Speed 0: a constant tilt, not zero.
    EXPECT_NEAR(windSway(123.0f, p), fourSines(0.0), 1e-6);
    EXPECT_NE(windSway(123.0f, p), 0.0f);
    p.floatParams[slot::fg_speed] = 1.0f;
    p.floatParams[slot::fg_time_offset] = 2.0f;
    // tw = 1.0 * 0.1 * (48 + 2) = 5.
    EXPECT_NEAR(windSway(48.0f, p), fourSines(5.0), 1e-5);
}

TEST(WindSway, TurbulenceBlendsInNoiseAndRepeatsExactlyForAFrame) {
    AnimatedParameters p = harness::defaultParameters();
    p.floatParams[slot::fg_speed] = 1.0f;
    p.floatParams[slot::fg_turbulence] = 1.5f;
    const float a = windSway(17.0f, p);
    EXPECT_EQ(windSway(17.0f, p), a); // scrubbing back repeats the motion
    EXPECT_GT(std::fabs(a - float(0.3 * fourSines(1.7))), 1e-4f);
    // The sway moves from frame to frame.
    EXPECT_NE(windSway(18.0f, p), a);
}

TEST(KernelMap, ConnectedMapShapesTheSampleColourAndAnUnconnectedOneIsIgnored) {
    gpu::Runtime& runtime = gpu::runtime();
    // Left half red, right half blue.
    harness::Image map(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            map.at(x, y) = x < 4 ? harness::Pixel{1, 0, 0, 1} : harness::Pixel{0, 0, 1, 1};
        }
    }
    harness::DeviceImage mapImage(runtime, map);
    AnimatedParameters p = harness::defaultParameters();
    p.boolParams[slot::kernel_enable] = 1;
    BundledResources bundled{};
    const PixelFrame f = pixelFrame(50, 50, 100, 100, p);

    harness::Sources connected(0, mapImage.texture(), true);
    const OcclusionSetup o = occlusionSetup(f, 0.0f, p, connected.record, bundled);
    float r, g, b;
    // Spiral point on the +x side looks up the map's left half (mirrored).
    sampleColour(o, f.aspect, 0.8f, 0.0f, r, g, b);
    EXPECT_FLOAT_EQ(r, 1.0f);
    EXPECT_FLOAT_EQ(b, 0.0f);
    sampleColour(o, f.aspect, -0.8f, 0.0f, r, g, b);
    EXPECT_FLOAT_EQ(b, 1.0f);

    harness::Sources unconnected(0, mapImage.texture(), false);
    const OcclusionSetup off = occlusionSetup(f, 0.0f, p, unconnected.record, bundled);
    sampleColour(off, f.aspect, 0.8f, 0.0f, r, g, b);
    EXPECT_FLOAT_EQ(r, 1.0f);
    EXPECT_FLOAT_EQ(b, 1.0f);
}

TEST(Occlusion, ATextureBeyondTheLoadedOnesOrZeroOpacityIsOff) {
    AnimatedParameters p = harness::defaultParameters();
    BundledResources bundled{};
    bundled.resourceCount = 2;
    bundled.resources[0].textureObject = 1;
    bundled.resources[1].textureObject = 2;
    SourceConnections none{};
    const PixelFrame f = pixelFrame(5, 5, 10, 10, p);
    p.intParams[slot::fg_texture] = 3;
    EXPECT_FALSE(occlusionSetup(f, 0.0f, p, none, bundled).occlusion);
    p.intParams[slot::fg_texture] = 2;
    EXPECT_TRUE(occlusionSetup(f, 0.0f, p, none, bundled).occlusion);
    EXPECT_EQ(occlusionSetup(f, 0.0f, p, none, bundled).occluderTexture, 2u);
    p.floatParams[slot::fg_opacity] = 0.0f;
    EXPECT_FALSE(occlusionSetup(f, 0.0f, p, none, bundled).occlusion);
}

TEST(WorkingImage, FollowsTheExecutionIndices) {
    SystemParameters s{};
    SourceConnections sources{};
    sources.sourceCount = 5;
    for (int i = 0; i < 5; ++i) {
        sources.sources[i].textureObject = 100 + i;
    }
    EXPECT_EQ(chooseWorkingImage(s, sources), 100u);
    s.currentPipelineExecution = 1;
    EXPECT_EQ(chooseWorkingImage(s, sources), 102u);
    s.currentPipelineExecution = 0;
    s.currentPipeline = 2;
    EXPECT_EQ(chooseWorkingImage(s, sources), 104u);
    s.currentProcessExecution = 1;
    s.currentPipeline = 1;
    EXPECT_EQ(chooseWorkingImage(s, sources), 104u);
    s.currentPipeline = 2; // entry 5 does not exist
    EXPECT_EQ(chooseWorkingImage(s, sources), 0u);
    sources.sourceCount = 0;
    s = SystemParameters{};
    EXPECT_EQ(chooseWorkingImage(s, sources), 0u);
}

} // namespace
