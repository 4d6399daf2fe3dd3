#include "gpu/DeviceCompat.h"
#include "gpu/HostRuntime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

// Emulated device memory of the CPU backend: allocation, the pointer query, live counts and
// the checks CUDA makes when texture objects are laid over memory.

namespace {

using gpu::Error;
using gpu::MemoryType;

constexpr std::size_t kTexel = gpu::kTexelBytes;

MemoryType typeOf(gpu::HostRuntime& rt, const void* ptr) {
    MemoryType type = MemoryType::Managed;
    EXPECT_EQ(rt.pointerGetAttributes(&type, ptr), Error::Success);
    return type;
}

TEST(HostMemory, PointerQuerySaysDeviceForEveryByteOfAnAllocationOnly) {
    gpu::HostRuntime rt;
    void* memory = nullptr;
    ASSERT_EQ(rt.malloc(&memory, 100), Error::Success);
    const auto* bytes = static_cast<const std::uint8_t*>(memory);
    EXPECT_EQ(typeOf(rt, bytes), MemoryType::Device);
    EXPECT_EQ(typeOf(rt, bytes + 37), MemoryType::Device);
    EXPECT_EQ(typeOf(rt, bytes + 99), MemoryType::Device);
    EXPECT_EQ(typeOf(rt, bytes + 100), MemoryType::Unregistered);

    const std::vector<float> host(16);
    int local = 0;
    EXPECT_EQ(typeOf(rt, host.data()), MemoryType::Unregistered);
    EXPECT_EQ(typeOf(rt, &local), MemoryType::Unregistered);
    EXPECT_EQ(typeOf(rt, nullptr), MemoryType::Unregistered);
    EXPECT_EQ(rt.pointerGetAttributes(nullptr, memory), Error::InvalidValue);

    ASSERT_EQ(rt.free(memory), Error::Success);
    EXPECT_EQ(typeOf(rt, bytes), MemoryType::Unregistered);
}

TEST(HostMemory, AllocationEdgeCasesBehaveAsInCuda) {
    gpu::HostRuntime rt;
    void* memory = &rt;
    EXPECT_EQ(rt.malloc(&memory, 0), Error::Success);
    EXPECT_EQ(memory, nullptr);
    EXPECT_EQ(rt.malloc(nullptr, 16), Error::InvalidValue);
    EXPECT_EQ(rt.free(nullptr), Error::Success);
    ASSERT_EQ(rt.malloc(&memory, 64), Error::Success);
    EXPECT_EQ(rt.free(static_cast<char*>(memory) + 16), Error::InvalidValue);
    EXPECT_EQ(rt.free(&rt), Error::InvalidValue);
    EXPECT_EQ(rt.free(memory), Error::Success);
    EXPECT_EQ(rt.free(memory), Error::InvalidValue);

    gpu::ArrayHandle array = 0;
    EXPECT_EQ(rt.mallocArray(&array, 0, 4, 0), Error::InvalidValue);
    EXPECT_EQ(rt.mallocArray(&array, 131073, 1, 0), Error::InvalidValue);
    EXPECT_EQ(rt.mallocArray(&array, 4, 4, 0x80), Error::InvalidValue);
    EXPECT_EQ(rt.freeArray(0), Error::Success);
    EXPECT_EQ(rt.freeArray(0xDEAD), Error::InvalidValue);
    EXPECT_TRUE(rt.liveCounts().empty());
}

TEST(HostMemory, MemsetFillsInsideAnAllocationAndRefusesToRunPastIt) {
    gpu::HostRuntime rt;
    void* memory = nullptr;
    ASSERT_EQ(rt.malloc(&memory, 32), Error::Success);
    auto* bytes = static_cast<std::uint8_t*>(memory);
    ASSERT_EQ(rt.memset(bytes, 0, 32), Error::Success);
    EXPECT_EQ(rt.memset(bytes + 8, 0xAB, 16), Error::Success);
    EXPECT_EQ(bytes[7], 0);
    EXPECT_EQ(bytes[8], 0xAB);
    EXPECT_EQ(bytes[23], 0xAB);
    EXPECT_EQ(bytes[24], 0);

    EXPECT_EQ(rt.memset(bytes + 16, 0xFF, 17), Error::InvalidValue);
    EXPECT_EQ(bytes[16], 0xAB); // nothing written by the refused call
    std::uint8_t host[4] = {};
    EXPECT_EQ(rt.memset(host, 1, sizeof(host)), Error::InvalidValue);
    EXPECT_EQ(rt.free(memory), Error::Success);
}

TEST(HostMemory, CapacityRunsOutLikeACardsMemory) {
    gpu::HostRuntime rt(1024);
    void* memory = nullptr;
    EXPECT_EQ(rt.malloc(&memory, 1025), Error::MemoryAllocation);
    EXPECT_STREQ(rt.getErrorString(rt.getLastError()), "out of memory");
    ASSERT_EQ(rt.malloc(&memory, 1000), Error::Success);
    gpu::ArrayHandle array = 0;
    EXPECT_EQ(rt.mallocArray(&array, 2, 1, 0), Error::MemoryAllocation);
    EXPECT_EQ(rt.liveCounts().bytes, 1000u);
    ASSERT_EQ(rt.free(memory), Error::Success);
    ASSERT_EQ(rt.mallocArray(&array, 2, 1, 0), Error::Success);
    EXPECT_EQ(rt.liveCounts().bytes, 2 * kTexel);
    EXPECT_EQ(rt.freeArray(array), Error::Success);
}

TEST(HostMemory, CountsFollowEveryObjectBackToZero) {
    gpu::HostRuntime rt;
    void* linear = nullptr;
    gpu::ArrayHandle array = 0;
    gpu::TextureObject overArray = 0;
    gpu::TextureObject overLinear = 0;
    gpu::SurfaceObject surface = 0;
    ASSERT_EQ(rt.malloc(&linear, 8 * kTexel), Error::Success);
    ASSERT_EQ(rt.mallocArray(&array, 4, 2, gpu::kArraySurfaceLoadStore), Error::Success);
    ASSERT_EQ(rt.createTextureObject(&overArray, gpu::ResourceDesc::fromArray(array),
                                     gpu::TextureDesc::standard()),
              Error::Success);
    ASSERT_EQ(rt.createTextureObject(&overLinear,
                                     gpu::ResourceDesc::fromPitch2D(linear, 2, 2, 4 * kTexel),
                                     gpu::TextureDesc::standard()),
              Error::Success);
    ASSERT_EQ(rt.createSurfaceObject(&surface, array), Error::Success);

    gpu::HostRuntime::LiveCounts counts = rt.liveCounts();
    EXPECT_EQ(counts.linear, 1u);
    EXPECT_EQ(counts.arrays, 1u);
    EXPECT_EQ(counts.textures, 2u);
    EXPECT_EQ(counts.surfaces, 1u);
    EXPECT_EQ(counts.bytes, 16 * kTexel);

    EXPECT_EQ(rt.destroySurfaceObject(surface), Error::Success);
    EXPECT_EQ(rt.destroyTextureObject(overLinear), Error::Success);
    EXPECT_EQ(rt.destroyTextureObject(overArray), Error::Success);
    EXPECT_EQ(rt.destroyTextureObject(overArray), Error::InvalidValue);
    EXPECT_EQ(rt.destroySurfaceObject(surface), Error::InvalidValue);
    EXPECT_EQ(rt.freeArray(array), Error::Success);
    EXPECT_EQ(rt.free(linear), Error::Success);
    counts = rt.liveCounts();
    EXPECT_TRUE(counts.empty());
    EXPECT_EQ(counts.bytes, 0u);
}

// Objects belong to the device current when they were made: from another device an array,
// texture or surface is an invalid handle, to copies and launches alike, until its own device
// is current again. The current device is the calling thread's.
TEST(HostMemory, HandlesOfAnotherDeviceAreRefused) {
    gpu::HostRuntime rt;
    gpu::ArrayHandle array = 0;
    gpu::TextureObject texture = 0;
    ASSERT_EQ(rt.mallocArray(&array, 4, 2, gpu::kArraySurfaceLoadStore), Error::Success);
    ASSERT_EQ(rt.createTextureObject(&texture, gpu::ResourceDesc::fromArray(array),
                                     gpu::TextureDesc::standard()),
              Error::Success);
    const std::vector<float> texels(4 * 2 * 4, 1.0f);
    ASSERT_EQ(rt.setDevice(1), Error::Success);
    gpu::SurfaceObject surface = 0;
    EXPECT_EQ(rt.createSurfaceObject(&surface, array), Error::InvalidResourceHandle);
    EXPECT_EQ(rt.memcpy2DToArrayAsync(array, 0, 0, texels.data(), 4 * kTexel, 4 * kTexel, 2,
                                      gpu::MemcpyKind::HostToDevice, 0),
              Error::InvalidResourceHandle);
    EXPECT_FALSE(rt.usableHere(texture));
    EXPECT_EQ(rt.destroyTextureObject(texture), Error::InvalidResourceHandle);
    EXPECT_EQ(rt.freeArray(array), Error::InvalidResourceHandle);
    EXPECT_EQ(rt.getLastError(), Error::InvalidResourceHandle);
    int device = -1;
    std::thread([&] { rt.getDevice(&device); }).join();
    EXPECT_EQ(device, 0) << "another thread keeps its own current device";
    EXPECT_EQ(rt.setDevice(2), Error::InvalidValue);
    ASSERT_EQ(rt.setDevice(0), Error::Success);
    EXPECT_TRUE(rt.usableHere(texture));
    EXPECT_EQ(rt.destroyTextureObject(texture), Error::Success);
    EXPECT_EQ(rt.freeArray(array), Error::Success);
    EXPECT_TRUE(rt.liveCounts().empty());
}

// A stream made here works until it is destroyed, and only on its own device; after that
// every copy, wait and synchronisation on it is an invalid handle. A host's streams, which
// this runtime never made, pass.
TEST(HostMemory, DestroyedStreamsAndOtherDevicesStreamsAreRefused) {
    gpu::HostRuntime rt;
    void* linear = nullptr;
    ASSERT_EQ(rt.malloc(&linear, 4 * kTexel), Error::Success);
    const std::vector<float> texels(4 * 4, 1.0f);
    auto copyOn = [&](gpu::StreamHandle stream) {
        return rt.memcpyAsync(linear, texels.data(), 4 * kTexel, gpu::MemcpyKind::HostToDevice,
                              stream);
    };
    gpu::StreamHandle stream = 0;
    ASSERT_EQ(rt.streamCreate(&stream), Error::Success);
    EXPECT_EQ(copyOn(stream), Error::Success);
    EXPECT_EQ(rt.streamWaitFor(stream, 0), Error::Success);
    ASSERT_EQ(rt.setDevice(1), Error::Success);
    EXPECT_EQ(copyOn(stream), Error::InvalidResourceHandle);
    EXPECT_EQ(rt.streamDestroy(stream), Error::InvalidResourceHandle);
    ASSERT_EQ(rt.setDevice(0), Error::Success);
    EXPECT_EQ(rt.streamDestroy(stream), Error::Success);
    EXPECT_EQ(copyOn(stream), Error::InvalidResourceHandle);
    EXPECT_EQ(rt.streamSynchronize(stream), Error::InvalidResourceHandle);
    EXPECT_EQ(rt.streamWaitFor(0, stream), Error::InvalidResourceHandle);
    EXPECT_EQ(rt.streamDestroy(stream), Error::InvalidResourceHandle);
    EXPECT_EQ(copyOn(0x5157), Error::Success) << "a host's stream";
    EXPECT_EQ(rt.free(linear), Error::Success);
}

// Pitch-2D textures need aligned, in-bounds device memory; array ones a live array; both a
// known address mode.
TEST(HostMemory, TextureObjectsCheckTheirMemoryAndDescription) {
    gpu::HostRuntime rt;
    void* memory = nullptr;
    ASSERT_EQ(rt.malloc(&memory, 4096), Error::Success);
    auto* bytes = static_cast<std::uint8_t*>(memory);
    const gpu::TextureDesc desc = gpu::TextureDesc::standard();
    gpu::TextureObject texture = 0;
    const auto create = [&](void* ptr, std::size_t width, std::size_t height, std::size_t pitch) {
        return rt.createTextureObject(
            &texture, gpu::ResourceDesc::fromPitch2D(ptr, width, height, pitch), desc);
    };

    EXPECT_EQ(create(bytes, 2, 2, 48), Error::InvalidValue);      // pitch not a multiple of 32
    EXPECT_EQ(create(bytes, 3, 2, 32), Error::InvalidValue);      // pitch below the row
    EXPECT_EQ(create(bytes + 32, 2, 2, 32), Error::InvalidValue); // base off the 512 alignment
    EXPECT_EQ(create(bytes, 4, 65, 64), Error::InvalidValue);     // rows past the allocation
    EXPECT_EQ(create(bytes, 0, 2, 64), Error::InvalidValue);
    EXPECT_EQ(create(nullptr, 2, 2, 64), Error::InvalidValue);
    alignas(512) static std::uint8_t host[1024];
    EXPECT_EQ(create(host, 2, 2, 64), Error::InvalidValue); // not device memory
    gpu::TextureDesc badMode = desc;
    badMode.addressMode[1] = static_cast<gpu::AddressMode>(7);
    gpu::ArrayHandle array = 0;
    ASSERT_EQ(rt.mallocArray(&array, 2, 2, 0), Error::Success);
    EXPECT_EQ(rt.createTextureObject(&texture, gpu::ResourceDesc::fromArray(array), badMode),
              Error::InvalidValue);
    EXPECT_EQ(rt.createTextureObject(&texture, gpu::ResourceDesc::fromArray(array + 1), desc),
              Error::InvalidValue);
    EXPECT_EQ(rt.freeArray(array), Error::Success);
    EXPECT_EQ(rt.liveCounts().textures, 0u);

    EXPECT_EQ(create(bytes, 4, 64, 64), Error::Success); // exactly the whole allocation
    EXPECT_EQ(rt.destroyTextureObject(texture), Error::Success);
    EXPECT_EQ(rt.free(memory), Error::Success);
}

TEST(HostMemory, ATextureKeepsReadingValidMemoryAfterItsBufferIsFreed) {
    // Freeing first is a caller bug; the emulation must still never read freed memory.
    gpu::HostRuntime rt;
    void* memory = nullptr;
    ASSERT_EQ(rt.malloc(&memory, 2 * kTexel), Error::Success);
    auto* texels = static_cast<gpu::Texel*>(memory);
    texels[0] = {1.0f, 1.0f, 1.0f, 1.0f};
    texels[1] = {3.0f, 3.0f, 3.0f, 3.0f};
    gpu::TextureObject texture = 0;
    ASSERT_EQ(rt.createTextureObject(&texture,
                                     gpu::ResourceDesc::fromPitch2D(memory, 2, 1, 2 * kTexel),
                                     gpu::TextureDesc::standard()),
              Error::Success);
    ASSERT_EQ(rt.free(memory), Error::Success);
    EXPECT_EQ(rt.liveCounts().linear, 0u);
    EXPECT_EQ(gpu::texFetch(texture, 0.5f, 0.5f).x, 2.0f);
    EXPECT_EQ(rt.destroyTextureObject(texture), Error::Success);
}

} // namespace
