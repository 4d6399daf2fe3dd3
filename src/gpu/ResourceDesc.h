#pragma once

#include <cstddef>
#include <cstdint>

namespace gpu {

// Handles are plain 64-bit values, as CUDA's texture and surface objects are; arrays and
// streams (pointers in CUDA) are carried the same way.
using TextureObject = std::uint64_t;
using SurfaceObject = std::uint64_t;
using ArrayHandle = std::uint64_t;
using StreamHandle = std::uint64_t;

// What a texture object reads: an array, or float4 rows in linear device memory.
struct ResourceDesc {
    enum class Type { Array, Pitch2D };

    Type type = Type::Array;
    ArrayHandle array = 0;
    // Pitch-2D: width and height in texels, pitch in bytes between row starts.
    void* devPtr = nullptr;
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t pitchInBytes = 0;

    static ResourceDesc fromArray(ArrayHandle array) {
        ResourceDesc desc;
        desc.array = array;
        return desc;
    }

    static ResourceDesc fromPitch2D(void* devPtr, std::size_t width, std::size_t height,
                                    std::size_t pitchInBytes) {
        ResourceDesc desc;
        desc.type = Type::Pitch2D;
        desc.devPtr = devPtr;
        desc.width = width;
        desc.height = height;
        desc.pitchInBytes = pitchInBytes;
        return desc;
    }
};

} // namespace gpu
