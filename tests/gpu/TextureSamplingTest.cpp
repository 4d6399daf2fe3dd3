#include "HostRuntimeFixture.h"
#include "gpu/DeviceCompat.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// CPU-backend texture objects must sample as CUDA's texture unit does: normalised coordinates
// with texel centres at (i + 0.5) / size, bilinear weights quantised to 1/256, and the four
// address modes. Hand-computed values throughout.

namespace {

using gpu::AddressMode;
using gpu::FilterMode;
using gpu::Texel;

constexpr std::size_t kTexel = gpu::kTexelBytes;

gpu::TextureDesc desc(AddressMode mode, FilterMode filter = FilterMode::Linear) {
    gpu::TextureDesc d = gpu::TextureDesc::standard();
    d.addressMode[0] = mode;
    d.addressMode[1] = mode;
    d.filterMode = filter;
    return d;
}

float fetchX(gpu::TextureObject texture, float u) {
    return gpu::texFetch(texture, u, 0.5f).x;
}

class TextureSampling : public HostRuntimeTest {
protected:
    // A texture over a width x height array holding the texels row by row.
    gpu::TextureObject arrayTexture(int width, int height, const std::vector<Texel>& texels,
                                    const gpu::TextureDesc& d) {
        return texture(gpu::ResourceDesc::fromArray(array(width, height, 0, texels.data())), d);
    }

    // One row: texel i holds (values[i], 0, 0, 1).
    gpu::TextureObject row(const std::vector<float>& values, const gpu::TextureDesc& d) {
        std::vector<Texel> texels;
        for (float value : values) {
            texels.push_back({value, 0.0f, 0.0f, 1.0f});
        }
        return arrayTexture(static_cast<int>(values.size()), 1, texels, d);
    }
};

TEST_F(TextureSampling, TexelCentresReturnTheStoredTexelExactly) {
    std::vector<Texel> texels;
    for (int i = 0; i < 8; ++i) {
        texels.push_back({0.1f * i, 1.0f + i, -2.5f * i, 0.125f * i});
    }
    const gpu::TextureObject stored = arrayTexture(4, 2, texels, desc(AddressMode::Clamp));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const float4 t = gpu::texFetch(stored, (x + 0.5f) / 4.0f, (y + 0.5f) / 2.0f);
            const Texel& expected = texels[y * 4 + x];
            EXPECT_EQ(t.x, expected.x) << x << "," << y;
            EXPECT_EQ(t.y, expected.y) << x << "," << y;
            EXPECT_EQ(t.z, expected.z) << x << "," << y;
            EXPECT_EQ(t.w, expected.w) << x << "," << y;
        }
    }
}

TEST_F(TextureSampling, LinearFilterWeighsTheNearestCentresIn256ths) {
    const gpu::TextureObject line = row({0.0f, 1.0f}, desc(AddressMode::Clamp));
    EXPECT_EQ(fetchX(line, 0.5f), 0.5f);    // x = 1.0, midway between the centres
    EXPECT_EQ(fetchX(line, 0.375f), 0.25f); // x = 0.75
    // Fractions 0.3 and 76.4 / 256 land on the nearest 1/256: 77 / 256 and 76 / 256.
    EXPECT_EQ(fetchX(line, (0.5f + 0.3f) / 2.0f), 77.0f / 256.0f);
    EXPECT_EQ(fetchX(line, (0.5f + 76.4f / 256.0f) / 2.0f), 76.0f / 256.0f);
    // Less than half a step from a centre gives that texel exactly.
    EXPECT_EQ(fetchX(line, (0.5f + 0.4f / 256.0f) / 2.0f), 0.0f);
    EXPECT_EQ(fetchX(line, (1.5f - 0.4f / 256.0f) / 2.0f), 1.0f);

    // 2 x 2 texels 0 1 / 2 3 at x weight 1/4 and y weight 3/4:
    // 0 * 3/16 + 1 * 1/16 + 2 * 9/16 + 3 * 3/16 = 1.75.
    const gpu::TextureObject square = arrayTexture(
        2, 2, {{0, 0, 0, 0}, {1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}}, desc(AddressMode::Clamp));
    EXPECT_EQ(gpu::texFetch(square, 0.75f / 2.0f, 1.25f / 2.0f).x, 1.75f);
}

// The row 10 20 30 40 sampled at u under each address mode and filter.
TEST_F(TextureSampling, AddressModesAndFiltersPlaceEveryCoordinate) {
    gpu::TextureDesc borderPoints = desc(AddressMode::Border, FilterMode::Point);
    borderPoints.borderColor[0] = 1.0f;
    gpu::TextureDesc texelUnits = desc(AddressMode::Wrap);
    texelUnits.normalizedCoords = false;
    const struct {
        const char* name;
        gpu::TextureDesc d;
        std::vector<std::pair<float, float>> expected; // u, value
    } cases[] = {
        {"point: the texel under u",
         desc(AddressMode::Clamp, FilterMode::Point),
         {{0.01f, 10}, {0.24f, 10}, {0.26f, 20}, {0.99f, 40}, {1.5f, 40}}},
        {"clamp: the edge texels repeat",
         desc(AddressMode::Clamp),
         {{0.0f, 10}, {-0.5f, 10}, {1.0f, 40}, {7.0f, 40}}},
        // u = 0 lies between the last and the first texel.
        {"wrap: the image repeats",
         desc(AddressMode::Wrap),
         {{0.0f, 25}, {1.375f, 20}, {-0.625f, 20}, {1000.875f, 40}}},
        // Two reflections at 2.125: the image itself again.
        {"mirror: reflected at each edge",
         desc(AddressMode::Mirror),
         {{0.0f, 10}, {-0.125f, 10}, {-0.375f, 20}, {1.125f, 40}, {1.375f, 30}, {2.125f, 10}}},
        {"border, point: the border colour outside",
         borderPoints,
         {{0.99f, 40}, {1.01f, 1}, {-0.01f, 1}}},
        // Wrap needs normalised coordinates; CUDA clamps instead.
        {"unnormalised: u in texels", texelUnits, {{1.5f, 20}, {2.0f, 25}, {9.0f, 40}}},
    };
    for (const auto& c : cases) {
        const gpu::TextureObject line = row({10.0f, 20.0f, 30.0f, 40.0f}, c.d);
        for (const auto& [u, value] : c.expected) {
            EXPECT_EQ(fetchX(line, u), value) << c.name << ", u = " << u;
        }
    }
}

TEST_F(TextureSampling, LinearBorderBlendsInTheWholeBorderColour) {
    gpu::TextureDesc d = desc(AddressMode::Border);
    d.borderColor[0] = 1.0f;
    d.borderColor[1] = 2.0f;
    d.borderColor[2] = 3.0f;
    d.borderColor[3] = 4.0f;
    const gpu::TextureObject line = row({10.0f, 20.0f, 30.0f, 40.0f}, d);
    EXPECT_EQ(fetchX(line, 0.0f), 5.5f); // half border, half first texel
    const float4 outside = gpu::texFetch(line, 1.5f, 0.5f);
    EXPECT_EQ(outside.x, 1.0f);
    EXPECT_EQ(outside.y, 2.0f);
    EXPECT_EQ(outside.z, 3.0f);
    EXPECT_EQ(outside.w, 4.0f);
}

TEST_F(TextureSampling, Pitch2DHonoursARowPitchWiderThanTheImage) {
    // 3 x 2 texels in rows of 4 (64 bytes); the fourth texel of each row is padding.
    constexpr std::size_t kPitch = 4 * kTexel;
    auto* texels = reinterpret_cast<Texel*>(device(2 * kPitch));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const float value = x == 3 ? 999.0f : static_cast<float>(10 * y + x);
            texels[y * 4 + x] = {value, 0.0f, 0.0f, 1.0f};
        }
    }
    const gpu::TextureObject pitched =
        texture(gpu::ResourceDesc::fromPitch2D(texels, 3, 2, kPitch), desc(AddressMode::Clamp));
    ASSERT_NE(pitched, 0u);
    EXPECT_EQ(gpu::texFetch(pitched, 0.5f / 3.0f, 1.5f / 2.0f).x, 10.0f);
    EXPECT_EQ(gpu::texFetch(pitched, 2.5f / 3.0f, 1.5f / 2.0f).x, 12.0f);
    EXPECT_EQ(gpu::texFetch(pitched, 1.0f, 0.25f).x, 2.0f); // clamps to the image, not the padding
    EXPECT_EQ(gpu::texFetch(pitched, 1.5f / 3.0f, 0.5f).x, 6.0f); // midway between the rows
}

TEST_F(TextureSampling, NullTextureReadsZerosOnTheHost) {
    const float4 t = gpu::texFetch(0, 0.5f, 0.5f);
    EXPECT_EQ(t.x + t.y + t.z + t.w, 0.0f);
}

} // namespace
