#pragma once

#include "gpu/Runtime.h"

namespace gpu {

// The CUDA backend: forwards every call to the CUDA runtime (linked statically). Without a
// driver or device the calls fail with CUDA's codes; nothing aborts.
class CudaRuntime final : public Runtime {
public:
    // True when a driver loads and at least one device answers. Clears the error it causes.
    static bool deviceAvailable();

    const char* name() const override { return "cuda"; }

    Error malloc(void** devPtr, std::size_t size) override;
    Error free(void* devPtr) override;
    Error memset(void* devPtr, int value, std::size_t count) override;
    Error mallocArray(ArrayHandle* array, std::size_t width, std::size_t height,
                      unsigned flags) override;
    Error freeArray(ArrayHandle array) override;
    Error createTextureObject(TextureObject* texture, const ResourceDesc& resource,
                              const TextureDesc& desc) override;
    Error destroyTextureObject(TextureObject texture) override;
    Error createSurfaceObject(SurfaceObject* surface, ArrayHandle array) override;
    Error destroySurfaceObject(SurfaceObject surface) override;
    Error memcpy2DToArray(ArrayHandle dst, std::size_t wOffset, std::size_t hOffset,
                          const void* src, std::size_t spitch, std::size_t width,
                          std::size_t height, MemcpyKind kind) override;
    Error memcpy2DToArrayAsync(ArrayHandle dst, std::size_t wOffset, std::size_t hOffset,
                               const void* src, std::size_t spitch, std::size_t width,
                               std::size_t height, MemcpyKind kind, StreamHandle stream) override;
    Error memcpy2DFromArrayAsync(void* dst, std::size_t dpitch, ArrayHandle src,
                                 std::size_t wOffset, std::size_t hOffset, std::size_t width,
                                 std::size_t height, MemcpyKind kind, StreamHandle stream) override;
    Error memcpyAsync(void* dst, const void* src, std::size_t count, MemcpyKind kind,
                      StreamHandle stream) override;
    Error memcpy2DAsync(void* dst, std::size_t dpitch, const void* src, std::size_t spitch,
                        std::size_t width, std::size_t height, MemcpyKind kind,
                        StreamHandle stream) override;
    Error getDevice(int* device) override;
    Error setDevice(int device) override;
    DeviceInfo deviceInfo() override;
    Error memGetInfo(std::size_t* free, std::size_t* total) override;
    std::size_t texturePitchAlignment() override;
    Error pointerGetAttributes(MemoryType* type, const void* ptr) override;
    Error streamCreate(StreamHandle* stream) override;
    Error streamDestroy(StreamHandle stream) override;
    Error streamWaitFor(StreamHandle stream, StreamHandle after) override;
    Error streamSynchronize(StreamHandle stream) override;
    Error deviceSynchronize() override;
    Error getLastError() override;
    const char* getErrorString(Error error) const override;
};

} // namespace gpu
