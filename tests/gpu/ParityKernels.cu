#include "ParityKernels.h"

#include "gpu/DeviceCompat.h"

namespace {

__global__ void fetchKernel(std::uint64_t texture, const float2* uv, float4* out, int count) {
    const int i = blockIdx.x * blockDim.x + threadIdx.x;
    if (i < count) {
        out[i] = gpu::texFetch(texture, uv[i].x, uv[i].y);
    }
}

__global__ void writeKernel(std::uint64_t surface, const int2* xy, const float4* values,
                            int count) {
    const int i = blockIdx.x * blockDim.x + threadIdx.x;
    if (i < count) {
        gpu::surfWrite(values[i], surface, xy[i].x, xy[i].y);
    }
}

constexpr int kBlock = 128;

} // namespace

namespace parity {

int fetchOnDevice(std::uint64_t texture, const float* uv, int count, float* rgba) {
    float2* deviceUv = nullptr;
    float4* deviceOut = nullptr;
    cudaError_t error = cudaMalloc(&deviceUv, sizeof(float2) * count);
    if (error == cudaSuccess) {
        error = cudaMalloc(&deviceOut, sizeof(float4) * count);
    }
    if (error == cudaSuccess) {
        error = cudaMemcpy(deviceUv, uv, sizeof(float2) * count, cudaMemcpyHostToDevice);
    }
    if (error == cudaSuccess) {
        fetchKernel<<<(count + kBlock - 1) / kBlock, kBlock>>>(texture, deviceUv, deviceOut, count);
        error = cudaGetLastError();
    }
    if (error == cudaSuccess) {
        error = cudaMemcpy(rgba, deviceOut, sizeof(float4) * count, cudaMemcpyDeviceToHost);
    }
    cudaFree(deviceUv);
    cudaFree(deviceOut);
    return static_cast<int>(error);
}

int writeOnDevice(std::uint64_t surface, const int* xy, const float* rgba, int count) {
    int2* deviceXy = nullptr;
    float4* deviceValues = nullptr;
    cudaError_t error = cudaMalloc(&deviceXy, sizeof(int2) * count);
    if (error == cudaSuccess) {
        error = cudaMalloc(&deviceValues, sizeof(float4) * count);
    }
    if (error == cudaSuccess) {
        error = cudaMemcpy(deviceXy, xy, sizeof(int2) * count, cudaMemcpyHostToDevice);
    }
    if (error == cudaSuccess) {
        error = cudaMemcpy(deviceValues, rgba, sizeof(float4) * count, cudaMemcpyHostToDevice);
    }
    if (error == cudaSuccess) {
        writeKernel<<<(count + kBlock - 1) / kBlock, kBlock>>>(surface, deviceXy, deviceValues,
                                                               count);
        error = cudaGetLastError();
    }
    if (error == cudaSuccess) {
        error = cudaDeviceSynchronize();
    }
    cudaFree(deviceXy);
    cudaFree(deviceValues);
    return static_cast<int>(error);
}

} // namespace parity
