#pragma once

namespace gpu {

// Enumerator values are CUDA's, so the CUDA backend passes them through unchanged.
enum class AddressMode : int { Wrap = 0, Clamp = 1, Mirror = 2, Border = 3 };
enum class FilterMode : int { Point = 0, Linear = 1 };
// Float texels are returned as stored in either mode; the mode only matters for integer formats.
enum class ReadMode : int { ElementType = 0, NormalizedFloat = 1 };

// How a texture object samples its float4 texels (the fields of cudaTextureDesc we use).
// The defaults are those of a zero-filled cudaTextureDesc.
struct TextureDesc {
    AddressMode addressMode[3] = {AddressMode::Wrap, AddressMode::Wrap, AddressMode::Wrap};
    FilterMode filterMode = FilterMode::Point;
    ReadMode readMode = ReadMode::ElementType;
    // Only 8-bit formats are converted from sRGB, so it has no effect on float4 texels.
    bool sRGB = false;
    float borderColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    bool normalizedCoords = false;

    // The description every image texture of the effect uses: clamp in x and y (wrap in z),
    // linear filtering, element type, normalised coordinates, no sRGB, border colour 0.
    static TextureDesc standard() {
        TextureDesc desc;
        desc.addressMode[0] = AddressMode::Clamp;
        desc.addressMode[1] = AddressMode::Clamp;
        desc.filterMode = FilterMode::Linear;
        desc.normalizedCoords = true;
        return desc;
    }
};

} // namespace gpu
