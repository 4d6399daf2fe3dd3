#include "gpu/HostRuntime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

// CUDA's error reporting as the CPU backend reproduces it (last error per thread, cleared when
// read), failure injection for callers' error paths, and use from several render threads.

namespace {

using gpu::Error;
using Operation = gpu::HostRuntime::Operation;

TEST(ErrorState, LastErrorIsTheLatestFailureUntilReadThenSuccess) {
    gpu::HostRuntime rt;
    EXPECT_EQ(rt.getLastError(), Error::Success);
    EXPECT_EQ(rt.freeArray(0xBAD), Error::InvalidValue);
    EXPECT_EQ(rt.memcpyAsync(nullptr, nullptr, 4, static_cast<gpu::MemcpyKind>(9), 0),
              Error::InvalidMemcpyDirection);
    void* memory = nullptr;
    ASSERT_EQ(rt.malloc(&memory, 16), Error::Success); // success does not clear it
    EXPECT_EQ(rt.getLastError(), Error::InvalidMemcpyDirection);
    EXPECT_EQ(rt.getLastError(), Error::Success);
    EXPECT_EQ(rt.free(memory), Error::Success);
}

TEST(ErrorState, LastErrorBelongsToOneThreadAndOneRuntime) {
    gpu::HostRuntime a;
    gpu::HostRuntime b;
    EXPECT_EQ(a.free(&a), Error::InvalidValue);
    EXPECT_EQ(b.getLastError(), Error::Success);
    Error seenElsewhere = Error::Unknown;
    std::thread other([&] { seenElsewhere = a.getLastError(); });
    other.join();
    EXPECT_EQ(seenElsewhere, Error::Success);
    EXPECT_EQ(a.getLastError(), Error::InvalidValue);
}

TEST(ErrorState, ErrorStringsAreCudasTexts) {
    gpu::HostRuntime rt;
    EXPECT_STREQ(rt.getErrorString(Error::Success), "no error");
    EXPECT_STREQ(rt.getErrorString(Error::InvalidValue), "invalid argument");
    EXPECT_STREQ(rt.getErrorString(Error::MemoryAllocation), "out of memory");
    EXPECT_STREQ(rt.getErrorString(Error::InvalidMemcpyDirection),
                 "invalid copy direction for memcpy");
    EXPECT_STREQ(rt.getErrorString(static_cast<Error>(12345)), "unrecognized error code");
}

TEST(ErrorState, InjectedFailureHitsTheNthCallOnceWithoutSideEffects) {
    gpu::HostRuntime rt;
    rt.injectFailure(Operation::Malloc, 2, Error::MemoryAllocation);
    void* first = nullptr;
    void* second = nullptr;
    void* third = nullptr;
    EXPECT_EQ(rt.malloc(&first, 16), Error::Success);
    EXPECT_EQ(rt.malloc(&second, 16), Error::MemoryAllocation);
    EXPECT_EQ(rt.liveCounts().linear, 1u);
    EXPECT_EQ(rt.getLastError(), Error::MemoryAllocation);
    EXPECT_EQ(rt.malloc(&third, 16), Error::Success);
    EXPECT_EQ(rt.free(first), Error::Success);
    EXPECT_EQ(rt.free(third), Error::Success);

    gpu::ArrayHandle array = 0;
    ASSERT_EQ(rt.mallocArray(&array, 1, 1, 0), Error::Success);
    rt.injectFailure(Operation::CreateTextureObject, 1, Error::NotSupported);
    gpu::TextureObject texture = 0;
    EXPECT_EQ(rt.createTextureObject(&texture, gpu::ResourceDesc::fromArray(array),
                                     gpu::TextureDesc::standard()),
              Error::NotSupported);
    EXPECT_EQ(rt.liveCounts().textures, 0u);

    rt.injectFailure(Operation::StreamSynchronize, 1, Error::LaunchFailure);
    EXPECT_EQ(rt.streamSynchronize(0), Error::LaunchFailure);
    EXPECT_EQ(rt.streamSynchronize(0), Error::Success);

    rt.injectFailure(Operation::FreeArray, 1, Error::Unknown);
    rt.clearInjectedFailures();
    EXPECT_EQ(rt.freeArray(array), Error::Success);
    EXPECT_TRUE(rt.liveCounts().empty());
}

TEST(ErrorState, RenderThreadsShareOneRuntimeSafely) {
    gpu::HostRuntime rt;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                void* memory = nullptr;
                gpu::ArrayHandle array = 0;
                gpu::TextureObject texture = 0;
                gpu::MemoryType type = gpu::MemoryType::Host;
                const bool ok =
                    rt.malloc(&memory, 256) == Error::Success &&
                    rt.mallocArray(&array, 2, 2, 0) == Error::Success &&
                    rt.createTextureObject(&texture, gpu::ResourceDesc::fromArray(array),
                                           gpu::TextureDesc::standard()) == Error::Success &&
                    rt.pointerGetAttributes(&type, memory) == Error::Success &&
                    type == gpu::MemoryType::Device &&
                    rt.destroyTextureObject(texture) == Error::Success &&
                    rt.freeArray(array) == Error::Success && rt.free(memory) == Error::Success;
                if (!ok) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
    EXPECT_TRUE(rt.liveCounts().empty());
}

} // namespace
