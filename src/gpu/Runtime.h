#pragma once

#include "gpu/Error.h"
#include "gpu/ResourceDesc.h"
#include "gpu/TextureDesc.h"

#include <cstddef>
#include <string>

namespace gpu {

// Values are CUDA's (cudaMemcpyKind); Default infers the direction from the pointers.
enum class MemcpyKind : int {
    HostToHost = 0,
    HostToDevice = 1,
    DeviceToHost = 2,
    DeviceToDevice = 3,
    Default = 4,
};

// Values are CUDA's (cudaMemoryType) as the pointer-attribute query reports them.
enum class MemoryType : int { Unregistered = 0, Host = 1, Device = 2, Managed = 3 };

// mallocArray flag that allows surface objects over the array (cudaArraySurfaceLoadStore).
constexpr unsigned kArraySurfaceLoadStore = 0x02;

// Every texel is float RGBA: 16 bytes.
constexpr std::size_t kTexelBytes = 16;

// Row pitches a pitch-2D texture accepts are multiples of the device's texturePitchAlignment:
// 32 bytes on current cards, which the emulation reports unless told otherwise.
constexpr std::size_t kTexturePitchAlignment = 32;

// The row pitch of a linear frame of `width` texels that textures can sample, for a device
// whose pitch alignment is `alignment` bytes: rows of odd widths are padded.
constexpr std::size_t texturePitch(std::size_t width, std::size_t alignment) {
    return (width * kTexelBytes + alignment - 1) / alignment * alignment;
}

// What the current device is, for reports: name, streaming multiprocessors and their peak
// clock (0 where the runtime has none, as the CPU emulation).
struct DeviceInfo {
    std::string name;
    int multiprocessors = 0;
    int clockKHz = 0;
};

// The subset of the CUDA runtime the render code uses. Arguments follow the CUDA calls of the
// same name (outputs first, widths of copies in bytes, array offsets: x in bytes, y in rows);
// every call returns CUDA's error code and, on failure, records it as the calling thread's
// last error. Arrays and textures always hold float4 texels. Implementations are thread-safe.
class Runtime {
public:
    Runtime() = default;
    virtual ~Runtime() = default;
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // "cpu" or "cuda".
    virtual const char* name() const = 0;

    virtual Error malloc(void** devPtr, std::size_t size) = 0;
    virtual Error free(void* devPtr) = 0;
    virtual Error memset(void* devPtr, int value, std::size_t count) = 0;

    // A width x height array of float4 texels; flags 0 or kArraySurfaceLoadStore.
    virtual Error mallocArray(ArrayHandle* array, std::size_t width, std::size_t height,
                              unsigned flags) = 0;
    virtual Error freeArray(ArrayHandle array) = 0;

    virtual Error createTextureObject(TextureObject* texture, const ResourceDesc& resource,
                                      const TextureDesc& desc) = 0;
    virtual Error destroyTextureObject(TextureObject texture) = 0;
    // The array must have been made with kArraySurfaceLoadStore.
    virtual Error createSurfaceObject(SurfaceObject* surface, ArrayHandle array) = 0;
    virtual Error destroySurfaceObject(SurfaceObject surface) = 0;

    virtual Error memcpy2DToArray(ArrayHandle dst, std::size_t wOffset, std::size_t hOffset,
                                  const void* src, std::size_t spitch, std::size_t width,
                                  std::size_t height, MemcpyKind kind) = 0;
    virtual Error memcpy2DToArrayAsync(ArrayHandle dst, std::size_t wOffset, std::size_t hOffset,
                                       const void* src, std::size_t spitch, std::size_t width,
                                       std::size_t height, MemcpyKind kind,
                                       StreamHandle stream) = 0;
    virtual Error memcpy2DFromArrayAsync(void* dst, std::size_t dpitch, ArrayHandle src,
                                         std::size_t wOffset, std::size_t hOffset,
                                         std::size_t width, std::size_t height, MemcpyKind kind,
                                         StreamHandle stream) = 0;
    virtual Error memcpyAsync(void* dst, const void* src, std::size_t count, MemcpyKind kind,
                              StreamHandle stream) = 0;
    virtual Error memcpy2DAsync(void* dst, std::size_t dpitch, const void* src, std::size_t spitch,
                                std::size_t width, std::size_t height, MemcpyKind kind,
                                StreamHandle stream) = 0;

    // The calling thread's current device, as cudaGetDevice and cudaSetDevice. Objects belong
    // to the device that was current when they were made.
    virtual Error getDevice(int* device) = 0;
    virtual Error setDevice(int device) = 0;
    virtual DeviceInfo deviceInfo() = 0;
    // Free and total memory of the current device, in bytes.
    virtual Error memGetInfo(std::size_t* free, std::size_t* total) = 0;
    // The current device's texturePitchAlignment in bytes (a power of two).
    virtual std::size_t texturePitchAlignment() = 0;

    // Ordinary host memory is Unregistered with Success, as with CUDA 11 and later.
    virtual Error pointerGetAttributes(MemoryType* type, const void* ptr) = 0;

    // A stream of the caller's own that does not wait for the legacy default stream
    // (cudaStreamCreateWithFlags with cudaStreamNonBlocking), and its destruction.
    virtual Error streamCreate(StreamHandle* stream) = 0;
    virtual Error streamDestroy(StreamHandle stream) = 0;
    // Work queued on stream from now on starts after everything queued on `after` so far (an
    // event recorded on `after` that stream waits for).
    virtual Error streamWaitFor(StreamHandle stream, StreamHandle after) = 0;
    virtual Error streamSynchronize(StreamHandle stream) = 0;
    virtual Error deviceSynchronize() = 0;

    // Returns the calling thread's last error and resets it to Success.
    virtual Error getLastError() = 0;
    virtual const char* getErrorString(Error error) const = 0;
};

// The process's runtime, chosen at the first call: CUDA when it is compiled in and a device
// answers, else the CPU emulation. HALDEN_BACKEND=cpu|cuda forces the choice.
Runtime& runtime();

} // namespace gpu
