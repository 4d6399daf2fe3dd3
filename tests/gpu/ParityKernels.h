#pragma once

#include <cstdint>

// Device-side halves of the parity tests, compiled by nvcc. Plain types only, so the test
// itself stays plain C++ with the CPU backend's float4.
namespace parity {

// rgba[4i..4i+3] = texFetch(texture, uv[2i], uv[2i+1]) run in a CUDA kernel. Returns the CUDA
// error code, 0 on success.
int fetchOnDevice(std::uint64_t texture, const float* uv, int count, float* rgba);

// surfWrite(rgba[4i..4i+3], surface, xy[2i], xy[2i+1]) run in a CUDA kernel.
int writeOnDevice(std::uint64_t surface, const int* xy, const float* rgba, int count);

} // namespace parity
