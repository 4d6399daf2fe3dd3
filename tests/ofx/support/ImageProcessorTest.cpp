// OFX::ImageProcessor's split of a render window over the host's threads, in this process
// against the fake host's suites.

#include "FakeHost.h"

#include "ofx/support/HostSuites.h"
#include "ofx/support/Image.h"
#include "ofx/support/ImageEffect.h"
#include "ofx/support/ImageProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <vector>

using fakehost::FakeHost;

namespace {

class NullEffect : public OFX::ImageEffect {
public:
    using ImageEffect::ImageEffect;
    void render(const OFX::RenderArguments&) override {}
};

// Records the band each thread was given.
class BandRecorder : public OFX::ImageProcessor {
public:
    using ImageProcessor::ImageProcessor;

    void multiThreadProcessImages(const OfxRectI& window) override {
        std::lock_guard<std::mutex> lock(mutex);
        bands.push_back(window);
        if (throwOnRow >= window.y1 && throwOnRow < window.y2) {
            throw std::runtime_error("band failed");
        }
    }
    void processImagesCUDA() override { cudaPasses++; }

    std::mutex mutex;
    std::vector<OfxRectI> bands;
    int throwOnRow = -1000;
    int cudaPasses = 0;
};

class ImageProcessorThreads : public testing::Test {
protected:
    void SetUp() override { start(); }

    void start() {
        effect.reset(); // it writes to its host instance when it goes
        OFX::suites().fetch(host.host());
        described = host.newDescriptor();
        instance = host.newInstance(*described, kOfxImageEffectContextFilter);
        effect = std::make_unique<NullEffect>(instance->handle());
    }

    void TearDown() override { OFX::suites().fetch(nullptr); }

    // Processes window and returns the sorted bands, checking they tile its rows exactly once,
    // full width.
    std::vector<OfxRectI> tiled(const OfxRectI& window) {
        BandRecorder processor(*effect);
        processor.setRenderWindow(window);
        processor.process();
        std::vector<OfxRectI> bands = processor.bands;
        std::sort(bands.begin(), bands.end(),
                  [](const OfxRectI& a, const OfxRectI& b) { return a.y1 < b.y1; });
        int next = window.y1;
        for (const OfxRectI& band : bands) {
            EXPECT_EQ(band.y1, next);
            EXPECT_GT(band.y2, band.y1);
            EXPECT_EQ(band.x1, window.x1);
            EXPECT_EQ(band.x2, window.x2);
            next = band.y2;
        }
        EXPECT_EQ(next, window.y2);
        return bands;
    }

    FakeHost host;
    std::unique_ptr<fakehost::FakeEffect> described;
    std::unique_ptr<fakehost::FakeEffect> instance;
    std::unique_ptr<NullEffect> effect;
};

} // namespace

TEST(ImageProcessorBands, RowsAreCutIntoBandsOfCeilRowsOverThreadsCoveringTheWindowOnce) {
    const struct {
        int rows;
        unsigned int threads;
    } cases[] = {{10, 4}, {12, 4}, {1, 1}, {3, 8}, {1080, 16}, {7, 7}, {0, 3}};
    for (const auto& c : cases) {
        const OfxRectI window{-5, -7, 9, -7 + c.rows};
        const int bandRows =
            (c.rows + static_cast<int>(c.threads) - 1) / static_cast<int>(c.threads);
        int next = window.y1;
        for (unsigned int i = 0; i < c.threads; ++i) {
            const OfxRectI band = OFX::ImageProcessor::bandForThread(window, i, c.threads);
            EXPECT_EQ(band.x1, window.x1);
            EXPECT_EQ(band.x2, window.x2);
            EXPECT_EQ(band.y1, next) << c.rows << " rows, thread " << i << " of " << c.threads;
            EXPECT_LE(band.y2 - band.y1, bandRows);
            EXPECT_GE(band.y2, band.y1);
            if (band.y2 < window.y2) {
                EXPECT_EQ(band.y2 - band.y1, bandRows) << "only the last band may be short";
            }
            next = band.y2;
        }
        EXPECT_EQ(next, window.y2) << c.rows << " rows over " << c.threads << " threads";
    }
}

TEST_F(ImageProcessorThreads, ProcessSplitsTheWindowAcrossTheHostsThreads) {
    const std::vector<OfxRectI> bands = tiled({2, 3, 50, 13});
    EXPECT_EQ(host.multiThreadCalls.load(), 1);
    EXPECT_EQ(host.largestThreadCount.load(), 4u);
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[0].y2 - bands[0].y1, 3);
    EXPECT_EQ(bands[3].y2 - bands[3].y1, 1);
}

TEST_F(ImageProcessorThreads, NeverAsksForMoreThreadsThanRows) {
    host.cpuCount = 16;
    EXPECT_EQ(tiled({0, 0, 8, 3}).size(), 3u);
    EXPECT_EQ(host.largestThreadCount.load(), 3u);
}

TEST_F(ImageProcessorThreads, RunsAsOneThreadWhenTheHostRefusesToThreadOrHasNoSuiteForIt) {
    host.refuseMultiThread = true;
    EXPECT_EQ(tiled({0, 0, 8, 9}).size(), 1u);
    // Threads allowed again, but the suite withheld: it must not be called.
    host.refuseMultiThread = false;
    host.withholdSuite(kOfxMultiThreadSuite);
    start();
    EXPECT_EQ(tiled({0, 0, 8, 9}).size(), 1u);
    EXPECT_EQ(host.multiThreadCalls.load(), 0);
}

TEST_F(ImageProcessorThreads, AnExceptionOnAHostThreadIsRethrownToTheCaller) {
    BandRecorder processor(*effect);
    processor.setRenderWindow({0, 0, 8, 8});
    processor.throwOnRow = 5;
    EXPECT_THROW(processor.process(), std::runtime_error);
    EXPECT_EQ(processor.bands.size(), 4u) << "the other threads still ran to the end";
}

TEST_F(ImageProcessorThreads, AWindowTheDestinationCannotHoldIsNotRendered) {
    auto pixels = host.newImage({0, 0, 10, 10}, 40);
    OFX::Image destination(pixels->props.handle());
    BandRecorder processor(*effect);
    processor.setDstImg(&destination);
    processor.setRenderWindow({5, 5, 15, 15});
    processor.process();
    EXPECT_TRUE(processor.bands.empty());
    processor.setRenderWindow({5, 5, 5, 9});
    processor.process();
    EXPECT_TRUE(processor.bands.empty()) << "an empty window is no work";
}

TEST_F(ImageProcessorThreads, TheGpuPathTheHostEnabledReplacesTheCpuBands) {
    BandRecorder processor(*effect);
    OFX::RenderArguments args;
    args.isEnabledCudaRender = true;
    int stream = 0;
    args.pCudaStream = &stream;
    processor.setGPURenderArgs(args);
    processor.setRenderWindow({0, 0, 8, 8});
    processor.process();
    EXPECT_EQ(processor.cudaPasses, 1);
    EXPECT_TRUE(processor.bands.empty());
}
