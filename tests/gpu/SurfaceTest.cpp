#include "HostRuntimeFixture.h"
#include "gpu/DeviceCompat.h"

#include <gtest/gtest.h>

#include <vector>

// Surface objects of the CPU backend: what kernels write lands in the array, and writes out of
// range never touch memory but are reported like a trapped kernel.

namespace {

using gpu::Error;
using gpu::Texel;

constexpr std::size_t kTexel = gpu::kTexelBytes;

class Surface : public HostRuntimeTest {
protected:
    void SetUp() override {
        const std::vector<Texel> zeros(kWidth * kHeight, Texel{0, 0, 0, 0});
        array_ = array(kWidth, kHeight, gpu::kArraySurfaceLoadStore, zeros.data());
        surface_ = surface(array_);
        ASSERT_FALSE(HasFailure());
    }

    std::vector<Texel> readBack() {
        std::vector<Texel> texels(kWidth * kHeight);
        EXPECT_EQ(rt_.memcpy2DFromArrayAsync(texels.data(), kWidth * kTexel, array_, 0, 0,
                                             kWidth * kTexel, kHeight,
                                             gpu::MemcpyKind::DeviceToHost, 0),
                  Error::Success);
        return texels;
    }

    const gpu::EmulatedSurface* runs() const {
        return reinterpret_cast<const gpu::EmulatedSurface*>(surface_);
    }

    static constexpr int kWidth = 3;
    static constexpr int kHeight = 2;
    gpu::ArrayHandle array_ = 0;
    gpu::SurfaceObject surface_ = 0;
};

TEST_F(Surface, WrittenPixelsReadBackThroughCopiesSurfacesAndTextures) {
    gpu::surfWrite(make_float4(1.0f, 2.0f, 3.0f, 4.0f), surface_, 2, 1);
    gpu::surfWrite(make_float4(5.0f, 6.0f, 7.0f, 8.0f), surface_, 0, 0);
    // A run of texels given channel by channel, as the CPU passes write their rows.
    const float r[] = {10.0f, 11.0f}, g[] = {12.0f, 13.0f}, b[] = {14.0f, 15.0f},
                a[] = {16.0f, 17.0f};
    runs()->storeRun(0, 1, 2, r, g, b, a);

    const std::vector<Texel> texels = readBack();
    EXPECT_EQ(texels[1 * kWidth + 2].x, 1.0f);
    EXPECT_EQ(texels[1 * kWidth + 2].w, 4.0f);
    EXPECT_EQ(texels[0].z, 7.0f);
    EXPECT_EQ(texels[1].x, 0.0f);
    EXPECT_EQ(texels[1 * kWidth].x, 10.0f);
    EXPECT_EQ(texels[1 * kWidth + 1].y, 13.0f);
    EXPECT_EQ(texels[1 * kWidth + 1].z, 15.0f);
    EXPECT_EQ(texels[1 * kWidth + 1].w, 17.0f);

    EXPECT_EQ(gpu::surfRead(surface_, 2, 1).y, 2.0f);

    const gpu::TextureObject sampled =
        texture(gpu::ResourceDesc::fromArray(array_), gpu::TextureDesc::standard());
    EXPECT_EQ(gpu::texFetch(sampled, 2.5f / kWidth, 1.5f / kHeight).z, 3.0f);
    EXPECT_EQ(rt_.streamSynchronize(0), Error::Success);
}

TEST_F(Surface, OutOfRangeAccessTouchesNothingAndFailsTheNextSynchronisation) {
    // x = width on row 0 would be row 1's first texel if unchecked.
    gpu::surfWrite(make_float4(9.0f, 9.0f, 9.0f, 9.0f), surface_, kWidth, 0);
    gpu::surfWrite(make_float4(9.0f, 9.0f, 9.0f, 9.0f), surface_, -1, 1);
    gpu::surfWrite(make_float4(9.0f, 9.0f, 9.0f, 9.0f), surface_, 0, kHeight);
    const float nines[] = {9.0f, 9.0f};
    runs()->storeRun(kWidth - 1, 0, 2, nines, nines, nines, nines); // would reach row 1
    runs()->storeRun(0, kHeight, 1, nines, nines, nines, nines);
    runs()->storeRun(-1, 0, 1, nines, nines, nines, nines);
    for (const Texel& texel : readBack()) {
        EXPECT_EQ(texel.x, 0.0f);
    }

    EXPECT_EQ(rt_.streamSynchronize(0), Error::LaunchFailure);
    EXPECT_EQ(rt_.getLastError(), Error::LaunchFailure);
    EXPECT_EQ(rt_.deviceSynchronize(), Error::Success); // reported once

    const float4 outside = gpu::surfRead(surface_, 0, -1);
    EXPECT_EQ(outside.x + outside.y + outside.z + outside.w, 0.0f);
    EXPECT_EQ(rt_.deviceSynchronize(), Error::LaunchFailure);
    EXPECT_EQ(rt_.getLastError(), Error::LaunchFailure);
}

TEST_F(Surface, NeedsAnArrayMadeForSurfaceAccess) {
    gpu::ArrayHandle plain = 0;
    ASSERT_EQ(rt_.mallocArray(&plain, 2, 2, 0), Error::Success);
    gpu::SurfaceObject refused = 0;
    EXPECT_EQ(rt_.createSurfaceObject(&refused, plain), Error::InvalidValue);
    EXPECT_EQ(rt_.createSurfaceObject(&refused, plain + 12345), Error::InvalidResourceHandle);
    EXPECT_EQ(rt_.liveCounts().surfaces, 1u);
    EXPECT_EQ(rt_.freeArray(plain), Error::Success);
    EXPECT_EQ(rt_.getLastError(), Error::InvalidResourceHandle);
}

} // namespace
