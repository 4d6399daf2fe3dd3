// Input textures, stand-ins, the ping-pong arrays and their pool, on the CPU backend.
#include "render/BufferPool.h"
#include "render/MemoryKind.h"
#include "render/PipelineBuffers.h"
#include "render/TextureCache.h"

#include "LogCapture.h"
#include "gpu/HostRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace render;
using Op = gpu::HostRuntime::Operation;

namespace {

// Float RGBA rows with padding: pitch in bytes, value = x + 100 y in every channel.
std::vector<float> paddedImage(int width, int height, int pitch) {
    std::vector<float> data(std::size_t(pitch / 4) * height, -1.0f);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 4; ++c) {
                data[std::size_t(y) * (pitch / 4) + x * 4 + c] = float(x + 100 * y);
            }
        }
    }
    return data;
}

class RenderBuffers : public ::testing::Test {
protected:
    testenv::LogCapture log{Logger::DEBUG_LEVEL};
    gpu::HostRuntime runtime;
};

// Host inputs are copied on the render's stream (after what the host queued there), never on
// the legacy default stream; device inputs are viewed in place.
TEST_F(RenderBuffers, HostInputsAreCopiedOnTheRenderStreamAndDeviceInputsViewedInPlace) {
    const int pitch = 4 * 16 + 32; // padded rows
    std::vector<float> host = paddedImage(4, 3, pitch);
    const gpu::StreamHandle stream = 0x5157;
    {
        TextureCache cache(runtime);
        ASSERT_TRUE(cache.createTexture("Source", 4, 3, host.data(), pitch, stream));
        TextureRecord record;
        ASSERT_TRUE(cache.find("Source", record));
        EXPECT_FALSE(record.linear);
        EXPECT_NE(record.array, 0u);

        void* device = nullptr;
        ASSERT_EQ(runtime.malloc(&device, host.size() * 4), gpu::Error::Success);
        ASSERT_EQ(runtime.memcpyAsync(device, host.data(), host.size() * 4,
                                      gpu::MemcpyKind::HostToDevice, 0),
                  gpu::Error::Success);
        // Pitch-2D views need a pitch the texture unit accepts; 96 bytes is one.
        ASSERT_TRUE(cache.createTexture("KernelMap", 4, 3, device, pitch));
        ASSERT_TRUE(cache.find("KernelMap", record));
        EXPECT_TRUE(record.linear);
        EXPECT_EQ(record.array, 0u);
        const std::size_t onDefault = runtime.copiesOn(0);
        EXPECT_TRUE(cache.updateTextureData("KernelMap", device, pitch, stream));
        EXPECT_TRUE(cache.updateTextureData("Source", host.data(), pitch, stream));
        EXPECT_EQ(runtime.copiesOn(stream), 2u);
        EXPECT_EQ(runtime.copiesOn(0), onDefault);
        EXPECT_FALSE(cache.updateTextureData("Missing", host.data(), pitch));
        EXPECT_TRUE(log.contains("[ERROR] No cached texture found for Missing"));
        cache.cleanupTextures();
        runtime.free(device);
    }
    EXPECT_TRUE(runtime.liveCounts().empty());
}

TEST_F(RenderBuffers, ARefusedZeroCopyViewFallsBackToAnArrayCopy) {
    void* device = nullptr;
    ASSERT_EQ(runtime.malloc(&device, 4 * 3 * 16), gpu::Error::Success);
    TextureCache cache(runtime);
    runtime.injectFailure(Op::CreateTextureObject, 1, gpu::Error::InvalidValue);
    ASSERT_TRUE(cache.createTexture("Source", 4, 3, device, 64));
    TextureRecord record;
    ASSERT_TRUE(cache.find("Source", record));
    EXPECT_FALSE(record.linear);
    EXPECT_NE(record.array, 0u);
    cache.cleanupTextures();
    runtime.free(device);
    EXPECT_TRUE(runtime.liveCounts().empty());
}

TEST_F(RenderBuffers, StandInsAreRetriedAfterAFailureWithoutLeaking) {
    {
        TextureCache cache(runtime);
        EXPECT_EQ(cache.getDefaultTexture(2), 0u);
        EXPECT_TRUE(log.contains("[ERROR] Default textures not created yet"));
        // Black is made, white fails.
        runtime.injectFailure(Op::MallocArray, 2, gpu::Error::MemoryAllocation);
        EXPECT_FALSE(cache.createDefaultTextures(8, 8));
        EXPECT_TRUE(log.contains("[ERROR] Failed to allocate white texture array: out of memory"));
        EXPECT_EQ(runtime.liveCounts().arrays, 1u);
        ASSERT_TRUE(cache.createDefaultTextures(8, 8));
        EXPECT_EQ(runtime.liveCounts().arrays, 3u);
        EXPECT_NE(cache.getDefaultTexture(1), 0u);
        EXPECT_NE(cache.getDefaultTexture(2), cache.getDefaultTexture(3));
        EXPECT_EQ(cache.getDefaultTexture(0), 0u);
        EXPECT_EQ(cache.getDefaultTexture(4), 0u);
    }
    EXPECT_TRUE(runtime.liveCounts().empty());
}

TEST_F(RenderBuffers, ThreePassesEndInAAndTheFinalCopyHonoursThePitch) {
    RenderBufferManager manager(runtime);
    EXPECT_EQ(manager.getInputTexture(1), 0u);
    ASSERT_TRUE(manager.initialize(4, 2, 0, nullptr, 3));
    // Which pass reads and writes which array is checked on a rendered frame (plugin tests).
    EXPECT_EQ(manager.getInputTexture(0), 0u);
    EXPECT_TRUE(manager.finalInA());

    // Write a value into A through pass 2's surface, then copy out with padded rows.
    const float texel[4] = {0.5f, 0.25f, 0.125f, 1.0f};
    auto* surface = reinterpret_cast<const gpu::EmulatedSurface*>(manager.getOutputSurface(2));
    surface->store(gpu::Texel{texel[0], texel[1], texel[2], texel[3]}, 3 * 16, 1);
    std::vector<float> out(2 * 24, -7.0f); // 96-byte rows for 64 bytes of pixels
    ASSERT_TRUE(manager.copyFinalToOutput(0, 3, out.data(), 4, 2, 96));
    EXPECT_EQ(out[24 + 12], 0.5f);
    EXPECT_EQ(out[24 + 15], 1.0f);
    EXPECT_EQ(out[16], -7.0f); // padding untouched

    // Same size: reused; two passes end in B.
    const std::size_t arrays = runtime.liveCounts().arrays;
    ASSERT_TRUE(manager.initialize(4, 2, 0, nullptr, 2));
    EXPECT_EQ(runtime.liveCounts().arrays, arrays);
    EXPECT_FALSE(manager.finalInA());
    manager.cleanup();
    EXPECT_TRUE(runtime.liveCounts().empty());
}

TEST_F(RenderBuffers, AFailedAllocationReleasesWhatWasMade) {
    RenderBufferManager manager(runtime);
    runtime.injectFailure(Op::CreateSurfaceObject, 2, gpu::Error::InvalidValue);
    EXPECT_FALSE(manager.initialize(8, 8, 0, nullptr, 3));
    EXPECT_TRUE(log.contains("[ERROR] Failed to create surface object B: invalid argument"));
    EXPECT_TRUE(log.contains("[ERROR] Failed to initialize CUDA buffers"));
    EXPECT_FALSE(manager.initialized());
    EXPECT_TRUE(runtime.liveCounts().empty());
}

// At most 2 GB each; on a device short of memory, an even share of half its free memory among
// the live instances, down to a single manager.
TEST(BufferPoolCapacity, FollowsTheBudgetAndTheDevicesFreeMemory) {
    EXPECT_EQ(BufferPool::capacityFor(3840, 2160, 0), 15u);
    EXPECT_EQ(BufferPool::capacityFor(3840, 2160, 1), 7u);
    EXPECT_EQ(BufferPool::capacityFor(7680, 4320, 1), 4u);
    EXPECT_EQ(BufferPool::capacityFor(100, 100, 3), 16u);
    EXPECT_EQ(BufferPool::capacityFor(3840, 2160, 1, 256), 1u);
    EXPECT_EQ(BufferPool::capacityFor(3840, 2160, 1, 1000), 3u);

    gpu::HostRuntime large;
    EXPECT_EQ(BufferPool(large).budgetMB(252), BufferPool::kBudgetMB);
    gpu::HostRuntime small(std::size_t{1} << 30);
    BufferPool first(small);
    EXPECT_EQ(first.budgetMB(252), 512u);
    {
        BufferPool second(small);
        EXPECT_EQ(first.budgetMB(252), 256u);
        // Its UHD entries, two frames each: one fits.
        char outputs[3] = {};
        for (char& output : outputs) {
            second.acquireBufferManager(&output, 3840, 2160, 1);
        }
        EXPECT_EQ(second.size(), 1u);
    }
    EXPECT_EQ(first.budgetMB(252), 512u);
}

TEST_F(RenderBuffers, ThePoolEvictsTheLeastRecentlyUsedManager) {
    BufferPool pool(runtime);
    // 7680 x 4320 with one process buffer: four managers at most.
    char buffers[6] = {};
    RenderBufferManager& first = pool.acquireBufferManager(&buffers[0], 7680, 4320, 1);
    RenderBufferManager& second = pool.acquireBufferManager(&buffers[1], 7680, 4320, 1);
    for (int i = 2; i < 4; ++i) {
        pool.acquireBufferManager(&buffers[i], 7680, 4320, 1);
    }
    EXPECT_EQ(&pool.acquireBufferManager(&buffers[0], 7680, 4320, 1), &first); // hit, now recent
    EXPECT_EQ(pool.size(), 4u);
    // The evicted manager, arrays and all, serves the new output buffer: nothing is freed.
    EXPECT_EQ(&pool.acquireBufferManager(&buffers[4], 7680, 4320, 1), &second);
    EXPECT_EQ(pool.size(), 4u);
    EXPECT_TRUE(log.contains(
        "[INFO] Pool at cap (4) - LRU evicting entry last used frame 2 (age=4 frames)"));
    EXPECT_EQ(&pool.acquireBufferManager(&buffers[0], 7680, 4320, 1), &first);
}

TEST_F(RenderBuffers, ProcessBuffersAreReusedAndReallocatedOnChange) {
    {
        ProcessBuffers buffers(runtime);
        buffers.prepare(8, 4, 1);
        EXPECT_EQ(buffers.count(), 1u);
        EXPECT_NE(buffers.effectOutput().texture, 0u);
        const void* first = buffers.processOutputs()[0].data;
        buffers.prepare(8, 4, 1);
        EXPECT_EQ(buffers.processOutputs()[0].data, first);
        EXPECT_TRUE(log.contains("[DEBUG] Phase 3a.2: Reusing cached multi-pipeline buffers "
                                 "(CUDA, 1 pipelines, 0.00 MB)"));
        buffers.prepare(8, 4, 3);
        EXPECT_EQ(buffers.count(), 3u);
        EXPECT_EQ(runtime.liveCounts().linear, 4u);
    }
    EXPECT_TRUE(runtime.liveCounts().empty());
}

// Frames nothing reads are not made, but keep their slots (texture 0) so every other buffer
// stays at its index; a change of use makes the set again.
TEST_F(RenderBuffers, ProcessBuffersNothingReadsAreNotMade) {
    ProcessBuffers buffers(runtime);
    ProcessBufferUse use;
    use.effectOutput = false;
    use.processOutputs = {true, false};
    buffers.prepare(8, 4, 2, use);
    EXPECT_EQ(buffers.count(), 2u);
    EXPECT_EQ(buffers.effectOutput().texture, 0u);
    EXPECT_NE(buffers.processOutputs()[0].texture, 0u);
    EXPECT_EQ(buffers.processOutputs()[1].data, nullptr);
    EXPECT_EQ(runtime.liveCounts().linear, 1u);
    const std::size_t made = runtime.allocations();
    buffers.prepare(8, 4, 2, use);
    EXPECT_EQ(runtime.allocations(), made) << "reused while the use stays";
    buffers.prepare(8, 4, 2);
    EXPECT_EQ(runtime.liveCounts().linear, 3u);
}

// Odd widths on a device that wants 256-byte row pitches: the rows are padded to what the
// device reports, so its textures accept them, and the next frame reuses them.
TEST_F(RenderBuffers, FramesArePaddedToTheDevicesPitchAlignment) {
    runtime.setTexturePitchAlignment(256);
    ProcessBuffers buffers(runtime);
    buffers.prepare(33, 5, 1);
    EXPECT_EQ(buffers.effectOutput().pitch % 256, 0u);
    EXPECT_GE(buffers.effectOutput().pitch, 33u * 16);
    EXPECT_NE(buffers.effectOutput().texture, 0u) << "the device refused the pitch";
    const std::size_t made = runtime.allocations();
    buffers.prepare(33, 5, 1);
    EXPECT_EQ(runtime.allocations(), made);
}

TEST_F(RenderBuffers, AFailedProcessBufferAbortsTheRenderAndFreesTheRest) {
    ProcessBuffers buffers(runtime);
    runtime.injectFailure(Op::Malloc, 3, gpu::Error::MemoryAllocation);
    try {
        buffers.prepare(8, 4, 3);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to allocate pipeline CUDA buffer");
    }
    EXPECT_TRUE(log.contains("[ERROR] Phase 3a.2: Failed to allocate pipelineOutput[1] CUDA "
                             "buffer: out of memory"));
    EXPECT_TRUE(runtime.liveCounts().empty());
}

TEST_F(RenderBuffers, AccumulationBuffersStartBlackAndGiveUpWhole) {
    {
        AccumulationBuffers accum(runtime);
        accum.prepare(4, 2, {"trail", "glow"});
        ASSERT_EQ(accum.buffers().size(), 2u);
        std::vector<float> copy(4 * 2 * 4, 1.0f);
        ASSERT_EQ(runtime.memcpyAsync(copy.data(), accum.buffers()[1].data, copy.size() * 4,
                                      gpu::MemcpyKind::DeviceToHost, 0),
                  gpu::Error::Success);
        for (float v : copy) {
            EXPECT_EQ(v, 0.0f);
        }
        EXPECT_FALSE(accum.accumValid);
        EXPECT_EQ(accum.lastRenderedTime, -1.0f);

        runtime.injectFailure(Op::CreateTextureObject, 2, gpu::Error::InvalidValue);
        EXPECT_FALSE(accum.prepare(8, 2, {"trail", "glow"}));
        EXPECT_TRUE(accum.buffers().empty());
        EXPECT_TRUE(log.contains(
            "[ERROR] Accumulation buffer allocation failed - temporal effects will not work"));
    }
    EXPECT_TRUE(runtime.liveCounts().empty());
}

TEST_F(RenderBuffers, StagingReadsOnlyTheImageAndRepeatsItsEdgesFromHostOrDevice) {
    // A 2 x 2 image at (5, 7), stored top row first (value 10 y + x), staged into the 4 x 4
    // frame at (4, 6).
    std::vector<float> topDown(16);
    for (int i = 0; i < 16; ++i) {
        topDown[std::size_t(i)] = float((i / 8 == 0 ? 10 : 0) + i / 4 % 2);
    }
    void* device = nullptr;
    ASSERT_EQ(runtime.malloc(&device, 64), gpu::Error::Success);
    ASSERT_EQ(runtime.memcpyAsync(device, topDown.data(), 64, gpu::MemcpyKind::HostToDevice, 0),
              gpu::Error::Success);
    std::vector<float> staging;
    std::vector<float> scratch;
    for (const bool onDevice : {false, true}) {
        const char* base = onDevice ? static_cast<const char*>(device)
                                    : reinterpret_cast<const char*>(topDown.data());
        const ImageRows image{base + 32, -32, 5, 7, 7, 9, onDevice};
        ASSERT_EQ(stageImage(runtime, image, 4, 6, 4, 4, 0, staging, scratch), gpu::Error::Success);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const float want = float(10 * (std::clamp(y, 1, 2) - 1) + std::clamp(x, 1, 2) - 1);
                EXPECT_EQ(staging[std::size_t(y * 16 + x * 4)], want) << onDevice << x << y;
            }
        }
    }
    runtime.free(device);
    EXPECT_TRUE(runtime.liveCounts().empty());
}

} // namespace
