// Frames rendered by the real bundle through the headless host, on the CPU backend, and the
// render pipeline as a host sees it: passes and runs (read back from the DEBUG log of the test
// bundles), identity, and instances that leave nothing. What each look does to the picture
// (blend, occlusion, the kernel map) is held by the reference pictures.
#include "PluginSession.h"
#include "kernels/KernelHarness.h"
#include "kernels/KernelPasses.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using ofxhost::HostImage;
using ofxhost::ParamValue;
using testplugin::Emulation;
using testplugin::PluginSession;
using testplugin::pointImage;
using testplugin::randomImage;
using testplugin::setValues;

namespace {

// Farthest lit pixel from (cx, cy) along +x.
int litExtent(const HostImage& image, int cx, int cy) {
    int extent = 0;
    for (int x = cx; x < image.bounds().x2; ++x) {
        if (image.pixel(x, cy)[0] > 1e-3f) {
            extent = x - cx;
        }
    }
    return extent;
}

TEST(RenderBundle, ABrightPointBecomesABokehDiscAndPaddingIsUntouched) {
    PluginSession session;
    // 216 lines: blur_radius 50 gives a 10-pixel disc.
    const OfxRectI bounds{-20, 30, 196, 246};
    // Bounds not starting at 0 and padded rows, as hosts hand them over.
    auto source = pointImage(bounds, 88, 138, 50.0f, 0.0f, 32);
    auto output = std::make_shared<HostImage>(bounds, 32);
    output->fill(-7, -7, -7, -7);
    // A dense spiral, so the disc's rim is sampled without gaps.
    setValues(session.instance, "blur_radius=50 post_blur_scale=0 oversample=4 min_samples=512");
    ASSERT_EQ(session.render(source, output), kOfxStatOK);

    EXPECT_GT(output->pixel(88, 138)[0], 0.0f);
    EXPECT_NEAR(litExtent(*output, 88, 138), 10, 1);
    EXPECT_FLOAT_EQ(output->pixel(bounds.x1, bounds.y1)[3], 1.0f);
    EXPECT_TRUE(output->paddingUntouched());
}

TEST(RenderBundle, SecondFramesFollowKeyframes) {
    PluginSession session;
    const OfxRectI bounds{0, 0, 96, 54};
    auto source = pointImage(bounds, 48, 27, 20.0f);
    auto output = std::make_shared<HostImage>(bounds);
    ASSERT_EQ(session.instance.setValueAtTime("blur_radius", 0.0, ParamValue::of(0.0)), kOfxStatOK);
    ASSERT_EQ(session.instance.setValueAtTime("blur_radius", 10.0, ParamValue::of(200.0)),
              kOfxStatOK);
    ASSERT_EQ(session.render(source, output, 0.0), kOfxStatOK);
    // blur 0: the source comes back.
    EXPECT_FLOAT_EQ(output->pixel(48, 27)[0], 20.0f);
    EXPECT_FLOAT_EQ(output->pixel(50, 27)[0], 0.0f);
    ASSERT_EQ(session.render(source, output, 10.0), kOfxStatOK);
    // blur 200 at 54 lines: a 10-pixel disc around the point.
    EXPECT_GT(output->pixel(54, 27)[0], 0.0f);
    EXPECT_LT(output->pixel(48, 27)[0], 20.0f);
}

TEST(RenderBundle, AnOutputOtherThanFloatRgbaIsRefused) {
    PluginSession session;
    const OfxRectI bounds{0, 0, 8, 8};
    auto source = pointImage(bounds, 4, 4, 1.0f);
    auto output = std::make_shared<HostImage>(bounds);
    session.instance.setClipImage("Source", source);
    session.instance.setClipImage("Output", output);
    session.instance.clip("Output").properties().setString(kOfxImageEffectPropPixelDepth,
                                                           kOfxBitDepthByte);
    ofxhost::RenderArgs args;
    args.window = bounds;
    EXPECT_EQ(session.instance.render(args), kOfxStatErrUnsupported);
}

std::size_t count(const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + 1)) {
        ++n;
    }
    return n;
}

const OfxRectI kFrame{0, 0, 80, 45};

// Renders one frame with a test bundle and returns its log, read after the bundle is unloaded.
std::string renderLog(const std::string& bundle) {
    testplugin::IsolatedUser user;
    {
        PluginSession session("resolve", bundle, false);
        auto output = std::make_shared<HostImage>(kFrame);
        EXPECT_EQ(session.render(randomImage(kFrame, 1), output), kOfxStatOK);
    }
    return testenv::readText(user.logFile());
}

TEST(RenderPipeline, TheShippedProcessRunsThreePingPongPassesIntoTheOutput) {
    const std::string log = renderLog("halden_v01_debug");
    EXPECT_NE(log.find("[DEBUG] CUDA multi-pass rendering: 2 kernels, 3 total passes\n"),
              std::string::npos);
    const std::size_t p1 = log.find("[DEBUG] Pass 1/3: Kernel 0, Execution 0\n");
    const std::size_t p2 = log.find("[DEBUG] Pass 2/3: Kernel 1, Execution 0\n");
    const std::size_t p3 = log.find("[DEBUG] Pass 3/3: Kernel 1, Execution 1\n");
    ASSERT_NE(p1, std::string::npos);
    EXPECT_LT(p1, p2);
    EXPECT_LT(p2, p3);
    EXPECT_NE(log.find("Copying final result from cudaArrayA to output buffer"), std::string::npos);
    EXPECT_EQ(count(log, "runSinglePipeline: calling processor->process()"), 1u);
    EXPECT_EQ(log.find("Feedback"), std::string::npos);
}

TEST(RenderPipeline, ThreeEffectExecutionsOfTwoProcessesRunSixTimesWithFeedback) {
    const std::string log = renderLog("halden_v01_multipass");
    EXPECT_EQ(count(log, "runSinglePipeline: pipeline 0/2"), 3u);
    EXPECT_EQ(count(log, "runSinglePipeline: pipeline 1/2"), 3u);
    EXPECT_EQ(count(log, "CUDA Pipeline 1: Writing to _dstImg (final output)"), 1u);
    EXPECT_EQ(count(log, "CUDA Pipeline 0: Writing to pipelineOutput[0] array"), 3u);
    EXPECT_EQ(count(log, "[ERROR] ✅ Feedback: Copied pipeline 1 output to effectOutput"), 2u);
    // Runs alternate between the processes: 0, 1, 0, 1, 0, 1.
    std::size_t at = 0;
    for (int run = 0; run < 6; ++run) {
        const std::string expected =
            "runSinglePipeline: pipeline " + std::to_string(run % 2) + "/2";
        at = log.find(expected, at);
        ASSERT_NE(at, std::string::npos) << run;
        ++at;
    }
}

harness::Image toHarness(const HostImage& image) {
    const OfxRectI b = image.bounds();
    harness::Image out(b.x2 - b.x1, b.y2 - b.y1);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const float* p = image.pixel(b.x1 + x, b.y1 + y);
            out.at(x, y) = {p[0], p[1], p[2], p[3]};
        }
    }
    return out;
}

// Width and height of the part of the picture that is not black.
std::pair<int, int> litSize(const harness::Image& image) {
    int x0 = image.width, x1 = -1, y0 = image.height, y1 = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.at(x, y).r > 0.0f) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
    return {x1 - x0 + 1, y1 - y0 + 1};
}

// The post-blur's two executions go through the ping-pong arrays: the horizontal one reads the
// lens pass, the vertical one reads the horizontal one's result. The frame equals the lens
// pass followed by the two post-blur passes run on their own, and the spot grows as much
// across as up and down.
TEST(RenderPipeline, ThePostBlurSoftensTheLensPassAcrossAndThenDown) {
    const OfxRectI frame{0, 0, 48, 108};
    auto source = pointImage(frame, 24, 60, 1000.0f);
    const auto render = [&](double postBlurScale) {
        PluginSession session;
        // 108 lines: blur_radius 150 is a 15-pixel disc, densely sampled; post radius 2.25.
        setValues(session.instance,
                  "blur_radius=150 oversample=4 min_samples=512 post_blur_scale=" +
                      std::to_string(postBlurScale));
        auto output = std::make_shared<HostImage>(frame);
        EXPECT_EQ(session.render(source, output), kOfxStatOK);
        return toHarness(*output);
    };
    const harness::Image lens = render(0.0);
    const harness::Image soft = render(0.15); // the default

    kernels::AnimatedParameters params = harness::defaultParameters();
    params.floatParams[kernels::slot::blur_radius] = 150.0f;
    params.floatParams[kernels::slot::oversample] = 4.0f;
    params.intParams[kernels::slot::min_samples] = 512;
    gpu::Runtime& runtime = gpu::runtime();
    harness::DeviceImage a(runtime, lens);
    harness::DeviceImage b(runtime, lens.width, lens.height);
    harness::Sources sources(a.texture(), 0, false);
    harness::postBlurAcrossThenDown(harness::systemFor(lens.width, lens.height), sources, params, a,
                                    b);
    const harness::Image expected = a.download();

    for (int y = 0; y < soft.height; ++y) {
        for (int x = 0; x < soft.width; ++x) {
            const float want = expected.at(x, y).r;
            ASSERT_NEAR(soft.at(x, y).r, want, 1e-5f * want + 1e-7f) << x << "," << y;
        }
    }
    // Two taps of post-blur on every side of the disc, across as well as up and down.
    const auto [lensWidth, lensHeight] = litSize(lens);
    const auto [width, height] = litSize(soft);
    EXPECT_NEAR(lensWidth, lensHeight, 1);
    EXPECT_EQ(width, lensWidth + 4);
    EXPECT_EQ(height, lensHeight + 4);
}

TEST(RenderPipeline, AnIdentityConditionHandsTheSourceBack) {
    PluginSession session("resolve", "halden_v01_multipass");
    session.instance.setClipImage("Source", randomImage(kFrame, 4));
    ofxhost::RenderArgs args;
    args.window = kFrame;
    ASSERT_EQ(session.instance.setValue("blur_radius", ParamValue::of(0.0)), kOfxStatOK);
    ofxhost::IdentityResult identity = session.instance.isIdentity(args);
    EXPECT_TRUE(identity.identity);
    EXPECT_EQ(identity.clip, "Source");
    ASSERT_EQ(session.instance.setValue("blur_radius", ParamValue::of(5.0)), kOfxStatOK);
    EXPECT_FALSE(session.instance.isIdentity(args).identity);
}

TEST(RenderPipeline, DestroyedInstancesLeaveNoDeviceObjectsBehind) {
    PluginSession session;
    Emulation emu(session);
    ASSERT_NE(emu.live, nullptr);
    const OfxRectI frame{0, 0, 32, 18};
    auto source = randomImage(frame, 5);
    for (int cycle = 0; cycle < 50; ++cycle) {
        ofxhost::EffectInstance& instance =
            session.plugin.createInstance(kOfxImageEffectContextFilter);
        ASSERT_EQ(testplugin::renderFrame(instance, source, std::make_shared<HostImage>(frame)),
                  kOfxStatOK);
        session.plugin.destroyInstance(instance);
    }
    session.plugin.destroyInstance(session.instance);
    EXPECT_EQ(emu.live(), 0);
}

// Hosts render on worker threads while the user works the preset controls on the UI thread.
// Four instances, each with both, share one preset folder; every render must succeed. Built
// with HALDEN_SANITIZE=thread this is the check for data races between the two.
TEST(RenderPipeline, InstancesRenderWhileTheirPresetsAreSavedLoadedAndDeleted) {
    PluginSession session("nuke");
    const OfxRectI frame{0, 0, 24, 14};
    auto source = randomImage(frame, 9);
    std::vector<ofxhost::EffectInstance*> instances{&session.instance};
    while (instances.size() < 4) {
        instances.push_back(&session.plugin.createInstance(kOfxImageEffectContextFilter));
    }
    std::atomic<int> failedRenders{0};
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < instances.size(); ++i) {
        ofxhost::EffectInstance& instance = *instances[i];
        instance.setClipImage("Source", source);
        instance.setClipImage("Output", std::make_shared<HostImage>(frame));
        threads.emplace_back([&instance, &failedRenders, frame] {
            ofxhost::RenderArgs args;
            args.window = frame;
            for (int n = 0; n < 4; ++n) {
                failedRenders += instance.render(args) != kOfxStatOK;
            }
        });
        threads.emplace_back([&instance, i] {
            for (int n = 0; n < 4; ++n) {
                instance.setValue("blur_radius", ParamValue::of(10.0 + 5 * n));
                instance.setValue("preset_name",
                                  ParamValue::ofText("Look " + std::to_string((i + n) % 3)));
                instance.pressButton("save_preset");
                instance.setValue("preset_list", ParamValue::of(2 + n % 3));
                instance.pressButton("delete_preset");
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failedRenders, 0);
}

} // namespace
