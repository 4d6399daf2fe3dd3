#pragma once

// What per-pixel kernel code needs to compile both as CUDA device code and as plain C++ for
// the CPU backend: the HD qualifier, float4, and texture fetch and surface access by handle.

#include "gpu/EmulatedSurface.h"
#include "gpu/EmulatedTexture.h"

#include <cstdint>

#if defined(__CUDACC__)

#include <cuda_runtime.h>
#define HD __host__ __device__

#else

#if defined(__VECTOR_TYPES_H__)
#error "DeviceCompat.h defines float4 for plain C++; include no CUDA header in this file"
#endif
#if defined(HALDEN_LANES)
// The CPU fast path's sample loops: the per-sample code must inline into them, or every call
// passes its vectors through memory.
#define HD __attribute__((always_inline))
#else
#define HD
#endif

struct alignas(16) float4 {
    float x, y, z, w;
};

inline float4 make_float4(float x, float y, float z, float w) {
    return float4{x, y, z, w};
}

#endif

static_assert(sizeof(float4) == sizeof(gpu::Texel) && alignof(float4) == alignof(gpu::Texel),
              "the emulation's texel must match float4");

namespace gpu {

// tex2D<float4>. On the host the handle is a CPU-backend texture object. 0 (an input that is
// not connected) reads transparent black on both: CUDA promises nothing for object 0, so it is
// never sampled. The test is the same for every thread of a launch.
HD inline float4 texFetch(std::uint64_t texture, float u, float v) {
    if (texture == 0) {
        return make_float4(0.0f, 0.0f, 0.0f, 0.0f);
    }
#if defined(__CUDA_ARCH__)
    return tex2D<float4>(static_cast<cudaTextureObject_t>(texture), u, v);
#else
    const Texel t = reinterpret_cast<const EmulatedTexture*>(texture)->fetch(u, v);
    return make_float4(t.x, t.y, t.z, t.w);
#endif
}

// surf2Dwrite at pixel (x, y); the byte offset x * 16 is formed here.
HD inline void surfWrite(float4 value, std::uint64_t surface, int x, int y) {
#if defined(__CUDA_ARCH__)
    surf2Dwrite(value, static_cast<cudaSurfaceObject_t>(surface),
                x * static_cast<int>(sizeof(float4)), y);
#else
    if (surface != 0) {
        reinterpret_cast<const EmulatedSurface*>(surface)->store(
            Texel{value.x, value.y, value.z, value.w}, x * static_cast<int>(sizeof(float4)), y);
    }
#endif
}

// surf2Dread at pixel (x, y).
HD inline float4 surfRead(std::uint64_t surface, int x, int y) {
#if defined(__CUDA_ARCH__)
    float4 value;
    surf2Dread(&value, static_cast<cudaSurfaceObject_t>(surface),
               x * static_cast<int>(sizeof(float4)), y);
    return value;
#else
    if (surface == 0) {
        return make_float4(0.0f, 0.0f, 0.0f, 0.0f);
    }
    const Texel t = reinterpret_cast<const EmulatedSurface*>(surface)->load(
        x * static_cast<int>(sizeof(float4)), y);
    return make_float4(t.x, t.y, t.z, t.w);
#endif
}

} // namespace gpu
