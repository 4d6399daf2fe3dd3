#pragma once

#include "gpu/TextureDesc.h"

#include <cmath>
#include <cstddef>

namespace gpu {

// One float RGBA texel as the emulation stores it; layout-compatible with float4.
struct alignas(16) Texel {
    float x, y, z, w;
};

// A texture object of the CPU backend: a read-only view of float4 texels that samples as
// CUDA's texture unit does. Its address is the texture handle, so kernel code samples it
// without any look-up or lock.
class EmulatedTexture {
public:
    EmulatedTexture(const Texel* texels, int width, int height, std::size_t rowTexels,
                    const TextureDesc& desc)
        : texels_(texels), width_(width), height_(height), rowTexels_(rowTexels),
          modeX_(desc.normalizedCoords ? desc.addressMode[0] : clampOnly(desc.addressMode[0])),
          modeY_(desc.normalizedCoords ? desc.addressMode[1] : clampOnly(desc.addressMode[1])),
          linear_(desc.filterMode == FilterMode::Linear),
          normalized_(desc.normalizedCoords), border_{desc.borderColor[0], desc.borderColor[1],
                                                      desc.borderColor[2], desc.borderColor[3]} {}

    int width() const { return width_; }
    int height() const { return height_; }
    const Texel* texels() const { return texels_; }
    std::size_t rowTexels() const { return rowTexels_; }
    // The sampling every image texture of the effect uses (TextureDesc::standard()).
    bool clampLinearNormalised() const {
        return linear_ && normalized_ && modeX_ == AddressMode::Clamp &&
               modeY_ == AddressMode::Clamp;
    }

    // tex2D<float4>(texture, u, v).
    Texel fetch(float u, float v) const {
        const float x = toTexels(u, width_, modeX_);
        const float y = toTexels(v, height_, modeY_);
        if (!linear_) {
            return texel(address(static_cast<int>(floorQuantised(x)), width_, modeX_),
                         address(static_cast<int>(floorQuantised(y)), height_, modeY_));
        }
        // Texel centres sit at i + 0.5; the hardware holds the position in fixed point with
        // 8 fractional bits, so the weights are multiples of 1/256.
        const float qx = std::floor((x - 0.5f) * 256.0f + 0.5f);
        const float qy = std::floor((y - 0.5f) * 256.0f + 0.5f);
        const float fx = std::floor(qx * (1.0f / 256.0f));
        const float fy = std::floor(qy * (1.0f / 256.0f));
        const float a = (qx - fx * 256.0f) * (1.0f / 256.0f);
        const float b = (qy - fy * 256.0f) * (1.0f / 256.0f);
        const int x0 = address(static_cast<int>(fx), width_, modeX_);
        const int x1 = address(static_cast<int>(fx) + 1, width_, modeX_);
        const int y0 = address(static_cast<int>(fy), height_, modeY_);
        const int y1 = address(static_cast<int>(fy) + 1, height_, modeY_);
        const Texel t00 = texel(x0, y0);
        const Texel t10 = texel(x1, y0);
        const Texel t01 = texel(x0, y1);
        const Texel t11 = texel(x1, y1);
        const float w00 = (1.0f - a) * (1.0f - b);
        const float w10 = a * (1.0f - b);
        const float w01 = (1.0f - a) * b;
        const float w11 = a * b;
        return {w00 * t00.x + w10 * t10.x + w01 * t01.x + w11 * t11.x,
                w00 * t00.y + w10 * t10.y + w01 * t01.y + w11 * t11.y,
                w00 * t00.z + w10 * t10.z + w01 * t01.z + w11 * t11.z,
                w00 * t00.w + w10 * t10.w + w01 * t01.w + w11 * t11.w};
    }

private:
    // Wrap and mirror exist only for normalised coordinates; otherwise CUDA clamps.
    static AddressMode clampOnly(AddressMode mode) {
        return mode == AddressMode::Border ? mode : AddressMode::Clamp;
    }

    // Position in texels. Wrap and mirror reduce the coordinate to one period first so large
    // coordinates keep their precision; the clamp keeps NaN and huge values safely in range.
    float toTexels(float c, int size, AddressMode mode) const {
        if (normalized_) {
            if (mode == AddressMode::Wrap) {
                c -= std::floor(c);
            } else if (mode == AddressMode::Mirror) {
                c -= 2.0f * std::floor(c * 0.5f);
            }
            c *= static_cast<float>(size);
        }
        constexpr float kLimit = 4194304.0f; // 2^22: q below stays exact in float and int
        return std::fmin(std::fmax(c, -kLimit), kLimit);
    }

    static float floorQuantised(float x) {
        return std::floor(std::floor(x * 256.0f + 0.5f) * (1.0f / 256.0f));
    }

    // Texel index along one axis, or -1 for the border colour.
    static int address(int i, int size, AddressMode mode) {
        if (i >= 0 && i < size) {
            return i;
        }
        switch (mode) {
        case AddressMode::Wrap: {
            const int j = i % size;
            return j < 0 ? j + size : j;
        }
        case AddressMode::Mirror: {
            const int period = 2 * size;
            int j = i % period;
            if (j < 0) {
                j += period;
            }
            return j < size ? j : period - 1 - j;
        }
        case AddressMode::Border:
            return -1;
        case AddressMode::Clamp:
        default:
            return i < 0 ? 0 : size - 1;
        }
    }

    Texel texel(int x, int y) const {
        if (x < 0 || y < 0) {
            return border_;
        }
        return texels_[static_cast<std::size_t>(y) * rowTexels_ + static_cast<std::size_t>(x)];
    }

    const Texel* texels_;
    int width_;
    int height_;
    std::size_t rowTexels_;
    AddressMode modeX_;
    AddressMode modeY_;
    bool linear_;
    bool normalized_;
    Texel border_;
};

} // namespace gpu
