#pragma once

#include "gpu/EmulatedSurface.h"
#include "gpu/EmulatedTexture.h"
#include "gpu/HostAllocation.h"
#include "gpu/Runtime.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace gpu {

// The CPU backend: emulates the CUDA runtime subset on host memory. Device allocations are
// tracked host blocks (the pointer query reports Device for any address inside one), arrays
// are float4 buffers, texture and surface handles are the addresses of EmulatedTexture and
// EmulatedSurface objects that kernel code reaches through DeviceCompat.h, and work is
// synchronous, so streams are no-ops. Bad arguments fail with the codes CUDA gives them.
class HostRuntime final : public Runtime {
public:
    // Emulated device memory; larger requests fail with MemoryAllocation as on a real card.
    static constexpr std::size_t kDefaultCapacity = std::size_t{32} << 30;

    struct LiveCounts {
        std::size_t linear = 0;
        std::size_t arrays = 0;
        std::size_t textures = 0;
        std::size_t surfaces = 0;
        std::size_t bytes = 0; // linear memory and arrays together

        bool empty() const { return linear + arrays + textures + surfaces == 0; }
    };

    // Operations that failure injection can target.
    enum class Operation {
        Malloc,
        Free,
        Memset,
        MallocArray,
        FreeArray,
        CreateTextureObject,
        DestroyTextureObject,
        CreateSurfaceObject,
        DestroySurfaceObject,
        Memcpy2DToArray,
        Memcpy2DToArrayAsync,
        Memcpy2DFromArrayAsync,
        MemcpyAsync,
        Memcpy2DAsync,
        PointerGetAttributes,
        StreamSynchronize,
        DeviceSynchronize,
    };
    static constexpr std::size_t kOperationCount =
        static_cast<std::size_t>(Operation::DeviceSynchronize) + 1;

    explicit HostRuntime(std::size_t capacityBytes = kDefaultCapacity);
    ~HostRuntime() override;

    const char* name() const override { return "cpu"; }

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
    // Devices 0 and 1, current per thread as in CUDA. An array, texture or surface used while
    // another device is current is an invalid handle, as a handle of another context is.
    static constexpr int kDeviceCount = 2;
    Error getDevice(int* device) override;
    Error setDevice(int device) override;
    // False for a texture or surface of another device than the calling thread's; true for 0
    // and for handles this runtime does not know (their own checks refuse those).
    bool usableHere(std::uint64_t handle) const;
    // Records error as the calling thread's last, as a refused launch does.
    Error raise(Error error) { return fail(error); }
    DeviceInfo deviceInfo() override { return {"CPU emulation", 0, 0}; }
    // The capacity this runtime was made with is the device's memory.
    Error memGetInfo(std::size_t* free, std::size_t* total) override;
    std::size_t texturePitchAlignment() override { return pitchAlignment_; }
    // As another device would report it (tests).
    void setTexturePitchAlignment(std::size_t bytes) { pitchAlignment_ = bytes; }
    Error pointerGetAttributes(MemoryType* type, const void* ptr) override;
    // Streams made here belong to the current device; a destroyed one, or one of another
    // device, is an invalid handle to every later call, as in CUDA. Streams this runtime did
    // not make (a host's) are taken as they come.
    Error streamCreate(StreamHandle* stream) override;
    Error streamDestroy(StreamHandle stream) override;
    Error streamWaitFor(StreamHandle stream, StreamHandle after) override;
    Error streamSynchronize(StreamHandle stream) override;
    // False for a destroyed stream or one of another device.
    bool streamUsable(StreamHandle stream) const;
    Error deviceSynchronize() override;
    Error getLastError() override;
    const char* getErrorString(Error error) const override { return errorText(error); }

    LiveCounts liveCounts() const;
    // Buffers and arrays made since construction, freed or not.
    std::size_t allocations() const;
    // Copies issued on a stream, failed ones included; 0 is the legacy default stream, which
    // the synchronous copies use.
    std::size_t copiesOn(StreamHandle stream) const;

    // Makes the nth call from now (1: the next one) of an operation fail with the error,
    // without side effects, as a real failure of that call would; then disarms itself. nth 0
    // disarms. Returns the calls the previous arming of that operation was still waiting for:
    // 0 when it fired or none was armed.
    int injectFailure(Operation operation, int nth, Error error);
    void clearInjectedFailures();

private:
    struct Array {
        std::shared_ptr<HostAllocation> memory;
        int width = 0;
        int height = 0;
        unsigned flags = 0;
        int device = 0;
    };
    struct Texture {
        std::unique_ptr<EmulatedTexture> view;
        std::shared_ptr<HostAllocation> memory;
        int device = 0;
    };
    struct Surface {
        std::unique_ptr<EmulatedSurface> view;
        std::shared_ptr<HostAllocation> memory;
        int device = 0;
    };
    struct Injection {
        int remaining = 0;
        Error error = Error::Success;
    };
    // One side of a copy: where the bytes are and, for device memory, the block kept alive
    // while the copy runs outside the lock.
    struct Region {
        std::byte* bytes = nullptr;
        std::shared_ptr<HostAllocation> memory;
    };

    // Bytes spanned by height rows of width bytes that start pitch bytes apart; false on
    // overflow. height must not be 0.
    static bool extent2D(std::size_t pitch, std::size_t width, std::size_t height,
                         std::size_t* extent);
    Error fail(Error error);
    // The calling thread's device.
    static int currentDevice();
    bool injected(Operation operation, Error* error);
    // The allocation holding [ptr, ptr + size); null when there is none. Caller holds mutex_.
    std::shared_ptr<HostAllocation> findLinear(const void* ptr, std::size_t size) const;
    Error locateLinear(const void* ptr, std::size_t extent, bool device, Region* region) const;
    Error copy2D(Operation operation, void* dst, std::size_t dpitch, const void* src,
                 std::size_t spitch, std::size_t width, std::size_t height, MemcpyKind kind);
    Error copyArray(Operation operation, bool toArray, ArrayHandle array, std::size_t wOffset,
                    std::size_t hOffset, void* linear, std::size_t pitch, std::size_t width,
                    std::size_t height, MemcpyKind kind);
    Error synchronize(Operation operation);
    void countCopy(StreamHandle stream);

    const std::uint64_t serial_;
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::map<std::uintptr_t, std::shared_ptr<HostAllocation>> linear_;
    std::map<ArrayHandle, Array> arrays_;
    std::map<TextureObject, Texture> textures_;
    std::map<SurfaceObject, Surface> surfaces_;
    std::array<Injection, kOperationCount> injections_{};
    std::size_t bytes_ = 0;
    std::size_t allocations_ = 0;
    std::atomic<std::size_t> pitchAlignment_{kTexturePitchAlignment};
    std::map<StreamHandle, std::size_t> streamCopies_;
    // Streams made here, with their device; destroyed ones stay, as -1.
    std::map<StreamHandle, int> streams_;
    StreamHandle nextStream_ = 0x57000;
    ArrayHandle nextArray_ = 0x1000;
    // Raised by surface accesses out of range; reported at the next synchronisation.
    std::atomic<bool> fault_{false};
};

} // namespace gpu
