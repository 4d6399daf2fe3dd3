// Renders of the test plug-in with host-memory images whose bounds start at (-10, 20) and
// whose rows are padded: exact results, untouched padding, real threads. A render that throws
// is checked at the support layer (tests/ofx/support) and through halden-render (tests/cli).

#include "TestPluginSession.h"

#include "host/suites/MultiThreadSuite.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using ofxhost::EffectInstance;
using ofxhost::HostImage;
using ofxhost::HostProfile;
using ofxhost::MultiThreadSuite;
using ofxhost::ParamValue;
using ofxhost::RenderArgs;
using teste2e::TestPluginSession;

const OfxRectI kBounds{-10, 20, 54, 68};
constexpr float kUntouched = -7.0f;

// A source whose every channel differs, exactly representable so products are exact.
std::shared_ptr<HostImage> makeSource() {
    auto image = std::make_shared<HostImage>(kBounds, 48);
    for (int y = kBounds.y1; y < kBounds.y2; ++y) {
        for (int x = kBounds.x1; x < kBounds.x2; ++x) {
            float* p = image->pixel(x, y);
            p[0] = static_cast<float>(x + 10) / 64.0f;
            p[1] = static_cast<float>(y - 20) / 64.0f;
            p[2] = 0.25f;
            p[3] = static_cast<float>((x + y) & 7) / 8.0f;
        }
    }
    return image;
}

class Render : public ::testing::Test {
protected:
    explicit Render(HostProfile profile = HostProfile::generic("org.halden.e2e"))
        : session(profile), instance(session.instance()) {
        instance.setClipImage("Source", source);
        output->fill(kUntouched, kUntouched, kUntouched, kUntouched);
        instance.setClipImage("Output", output);
        args.window = kBounds;
    }

    // Every pixel inside window is expected(source); every other keeps kUntouched.
    template <class Expected>
    void expectOutput(const OfxRectI& window, Expected expected) {
        int wrong = 0;
        for (int y = kBounds.y1; y < kBounds.y2; ++y) {
            for (int x = kBounds.x1; x < kBounds.x2; ++x) {
                const bool inside =
                    x >= window.x1 && x < window.x2 && y >= window.y1 && y < window.y2;
                const float* in = source->pixel(x, y);
                const float* out = output->pixel(x, y);
                for (int c = 0; c < 4; ++c) {
                    const float want = inside ? expected(in, c) : kUntouched;
                    if (out[c] != want && ++wrong <= 5) {
                        ADD_FAILURE() << "pixel (" << x << ", " << y << ") channel " << c << " is "
                                      << out[c] << ", expected " << want;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(output->paddingUntouched());
        EXPECT_EQ(instance.outstandingImages(), 0u) << "every fetched image is released";
    }

    TestPluginSession session;
    EffectInstance& instance;
    std::shared_ptr<HostImage> source = makeSource();
    std::shared_ptr<HostImage> output = std::make_shared<HostImage>(kBounds, 32);
    RenderArgs args;
};

// The gain is read at the render's time, halfway between keys 1 and 3, and the window is
// split across the host's threads.
TEST_F(Render, WritesOnlyInsideTheRenderWindowWithTheGainAtTheRenderTimeSplitAcrossThreads) {
    MultiThreadSuite::configure(4);
    MultiThreadSuite::resetStats();
    instance.setValueAtTime("gain", 0.0, ParamValue::of(1.0));
    instance.setValueAtTime("gain", 10.0, ParamValue::of(3.0));
    args.time = 5.0;
    args.window = OfxRectI{-3, 25, 17, 40};
    ASSERT_EQ(instance.render(args), kOfxStatOK);
    const auto stats = MultiThreadSuite::stats();
    MultiThreadSuite::configure(0);
    EXPECT_GE(stats.calls, 1);
    EXPECT_GE(stats.largestSplit, 2u);
    EXPECT_GE(stats.distinctThreads, 2u);
    expectOutput(args.window, [](const float* in, int c) { return c < 3 ? in[c] * 2.0f : in[3]; });
    EXPECT_TRUE(source->paddingUntouched());
}

class SingleThreadedRender : public Render {
protected:
    SingleThreadedRender() : Render(singleThreaded()) {}
    static HostProfile singleThreaded() {
        HostProfile profile = HostProfile::generic("org.halden.e2e");
        profile.multiThreading = false;
        return profile;
    }
};

TEST_F(SingleThreadedRender, GivesTheSameResultOnOneThread) {
    MultiThreadSuite::resetStats();
    instance.setValue("gain", ParamValue::of(2.5));
    ASSERT_EQ(instance.render(args), kOfxStatOK);
    // The plug-in may skip the suite when one CPU is reported; it never gets a split.
    EXPECT_LE(MultiThreadSuite::stats().largestSplit, 1u);
    expectOutput(kBounds, [](const float* in, int c) { return c < 3 ? in[c] * 2.5f : in[3]; });
}

} // namespace
