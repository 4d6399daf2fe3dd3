#include "HostRuntimeFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Copies of the CPU backend: pitches on both sides, array sub-regions, and CUDA's refusals of
// bad kinds, pitches and bounds, which must leave the destination untouched.

namespace {

using gpu::Error;
using gpu::MemcpyKind;

constexpr std::size_t kTexel = gpu::kTexelBytes;

// Bytes numbered 0, 1, 2... so a misplaced row shows.
std::vector<std::uint8_t> numbered(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    return bytes;
}

using HostCopy = HostRuntimeTest;

TEST_F(HostCopy, ArrayRoundTripHonoursPaddedPitchesOnBothSides) {
    // Source rows padded, destination rows padded differently or packed; the frame-sized case
    // is copied in bands on several threads.
    auto roundTrip = [&](std::size_t width, std::size_t height, std::size_t sourcePitch,
                         std::size_t outPitch) {
        const std::size_t rowBytes = width * kTexel;
        const gpu::ArrayHandle texels = array(width, height);
        const std::vector<std::uint8_t> source = numbered(sourcePitch * (height - 1) + rowBytes);
        ASSERT_EQ(rt_.memcpy2DToArray(texels, 0, 0, source.data(), sourcePitch, rowBytes, height,
                                      MemcpyKind::HostToDevice),
                  Error::Success);
        std::vector<std::uint8_t> out(outPitch * height, 0xEE);
        ASSERT_EQ(rt_.memcpy2DFromArrayAsync(out.data(), outPitch, texels, 0, 0, rowBytes, height,
                                             MemcpyKind::DeviceToHost, 0),
                  Error::Success);
        for (std::size_t row = 0; row < height; ++row) {
            for (std::size_t byte = 0; byte < outPitch; ++byte) {
                const std::uint8_t expected =
                    byte < rowBytes ? source[row * sourcePitch + byte] : 0xEE;
                ASSERT_EQ(out[row * outPitch + byte], expected) << row << ":" << byte;
            }
        }
    };
    roundTrip(3, 2, 80, 64);
    roundTrip(1000, 700, 1000 * kTexel + 48, 1000 * kTexel);
}

TEST_F(HostCopy, ArrayOffsetsSelectASubRegion) {
    const gpu::ArrayHandle texels = array(4, 3);
    const std::vector<std::uint8_t> zeros(4 * 3 * kTexel, 0);
    ASSERT_EQ(rt_.memcpy2DToArray(texels, 0, 0, zeros.data(), 4 * kTexel, 4 * kTexel, 3,
                                  MemcpyKind::HostToDevice),
              Error::Success);
    // One texel at x = 2, y = 1, through device memory on a stream.
    const std::vector<std::uint8_t> texel(kTexel, 0x5A);
    std::uint8_t* staging = device(kTexel);
    ASSERT_EQ(rt_.memcpyAsync(staging, texel.data(), kTexel, MemcpyKind::HostToDevice, 7),
              Error::Success);
    ASSERT_EQ(rt_.memcpy2DToArrayAsync(texels, 2 * kTexel, 1, staging, kTexel, kTexel, 1,
                                       MemcpyKind::DeviceToDevice, 7),
              Error::Success);
    std::vector<std::uint8_t> out(4 * 3 * kTexel, 0xEE);
    ASSERT_EQ(rt_.memcpy2DFromArrayAsync(out.data(), 4 * kTexel, texels, 0, 0, 4 * kTexel, 3,
                                         MemcpyKind::Default, 0),
              Error::Success);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool inTexel = i / (4 * kTexel) == 1 && (i % (4 * kTexel)) / kTexel == 2;
        ASSERT_EQ(out[i], inTexel ? 0x5A : 0) << i;
    }
}

TEST_F(HostCopy, LinearCopiesMoveRowsBetweenPitches) {
    const std::vector<std::uint8_t> source = numbered(3 * 40);
    std::uint8_t* a = device(3 * 32);
    std::uint8_t* b = device(3 * 32);
    ASSERT_EQ(rt_.memcpy2DAsync(a, 32, source.data(), 40, 24, 3, MemcpyKind::HostToDevice, 0),
              Error::Success);
    ASSERT_EQ(rt_.memcpy2DAsync(b, 32, a, 32, 24, 3, MemcpyKind::DeviceToDevice, 0),
              Error::Success);
    std::vector<std::uint8_t> out(3 * 24, 0);
    ASSERT_EQ(rt_.memcpy2DAsync(out.data(), 24, b, 32, 24, 3, MemcpyKind::Default, 0),
              Error::Success);
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t byte = 0; byte < 24; ++byte) {
            ASSERT_EQ(out[row * 24 + byte], source[row * 40 + byte]);
        }
    }
    std::vector<std::uint8_t> flat(3 * 32, 0);
    ASSERT_EQ(rt_.memcpyAsync(flat.data(), b, flat.size(), MemcpyKind::DeviceToHost, 0),
              Error::Success);
    EXPECT_EQ(flat[2 * 32 + 5], source[2 * 40 + 5]);
    std::vector<std::uint8_t> copy(flat.size(), 0);
    ASSERT_EQ(rt_.memcpyAsync(copy.data(), flat.data(), flat.size(), MemcpyKind::HostToHost, 0),
              Error::Success);
    EXPECT_EQ(copy, flat);
    EXPECT_EQ(rt_.streamSynchronize(0), Error::Success);
}

TEST_F(HostCopy, BadKindsPitchesAndBoundsFailWithCudasCodesAndWriteNothing) {
    const gpu::ArrayHandle texels = array(2, 2);
    std::uint8_t* memory = device(64);
    std::vector<std::uint8_t> host(128, 0x11);
    ASSERT_EQ(rt_.memset(memory, 0, 64), Error::Success);
    EXPECT_EQ(rt_.memcpyAsync(memory, host.data(), 16, static_cast<MemcpyKind>(7), 0),
              Error::InvalidMemcpyDirection);
    EXPECT_EQ(rt_.memcpy2DToArray(texels, 0, 0, host.data(), 32, 32, 2, MemcpyKind::DeviceToHost),
              Error::InvalidMemcpyDirection);
    EXPECT_EQ(rt_.memcpy2DFromArrayAsync(host.data(), 32, texels, 0, 0, 32, 2,
                                         MemcpyKind::HostToDevice, 0),
              Error::InvalidMemcpyDirection);
    EXPECT_EQ(rt_.memcpy2DAsync(memory, 16, host.data(), 32, 32, 2, MemcpyKind::HostToDevice, 0),
              Error::InvalidPitchValue);
    EXPECT_EQ(rt_.memcpy2DToArray(texels, 0, 0, host.data(), 16, 32, 2, MemcpyKind::HostToDevice),
              Error::InvalidPitchValue);
    EXPECT_EQ(rt_.memcpyAsync(memory, host.data(), 0, MemcpyKind::HostToDevice, 0), Error::Success);
    EXPECT_EQ(rt_.getLastError(), Error::InvalidPitchValue);

    // Copies past the device side fail and write nothing.
    EXPECT_EQ(rt_.memcpyAsync(memory + 1, host.data(), 64, MemcpyKind::HostToDevice, 0),
              Error::InvalidValue);
    EXPECT_EQ(rt_.memcpy2DAsync(memory, 32, host.data(), 32, 32, 3, MemcpyKind::Default, 0),
              Error::InvalidValue);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(memory[i], 0) << i;
    }
    // Device kinds need device memory on that side.
    std::vector<std::uint8_t> other(64);
    EXPECT_EQ(rt_.memcpyAsync(other.data(), host.data(), 16, MemcpyKind::HostToDevice, 0),
              Error::InvalidValue);
    EXPECT_EQ(rt_.memcpyAsync(host.data(), other.data(), 16, MemcpyKind::DeviceToHost, 0),
              Error::InvalidValue);
    // Array bounds, whole texels, unknown arrays.
    EXPECT_EQ(
        rt_.memcpy2DToArray(texels, kTexel, 0, host.data(), 32, 32, 1, MemcpyKind::HostToDevice),
        Error::InvalidValue);
    EXPECT_EQ(rt_.memcpy2DToArray(texels, 0, 1, host.data(), 32, 32, 2, MemcpyKind::HostToDevice),
              Error::InvalidValue);
    EXPECT_EQ(rt_.memcpy2DToArray(texels, 8, 0, host.data(), 32, 16, 1, MemcpyKind::HostToDevice),
              Error::InvalidValue);
    EXPECT_EQ(rt_.memcpy2DToArray(0xBAD, 0, 0, host.data(), 32, 32, 1, MemcpyKind::HostToDevice),
              Error::InvalidValue);
    EXPECT_EQ(rt_.memcpy2DToArray(texels, 0, 0, memory + 16, 32, 32, 2, MemcpyKind::DeviceToDevice),
              Error::InvalidValue);
    EXPECT_EQ(rt_.memcpyAsync(memory, nullptr, 16, MemcpyKind::HostToDevice, 0),
              Error::InvalidValue);
}

} // namespace
