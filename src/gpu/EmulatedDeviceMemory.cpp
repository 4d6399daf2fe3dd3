#include "gpu/EmulatedDeviceMemory.h"

#include "gpu/HostRuntime.h"
#include "gpu/Runtime.h"

#if defined(_WIN32)
#define HALDEN_EMU_EXPORT __declspec(dllexport)
#else
#define HALDEN_EMU_EXPORT __attribute__((visibility("default")))
#endif

extern "C" HALDEN_EMU_EXPORT void* haldenEmuDeviceMalloc(std::size_t bytes) {
    void* pointer = nullptr;
    return gpu::runtime().malloc(&pointer, bytes) == gpu::Error::Success ? pointer : nullptr;
}

extern "C" HALDEN_EMU_EXPORT void haldenEmuDeviceFree(void* pointer) {
    if (pointer != nullptr) {
        gpu::runtime().free(pointer);
    }
}

extern "C" HALDEN_EMU_EXPORT int haldenEmuDeviceCopy(void* destination, const void* source,
                                                     std::size_t bytes, int toDevice) {
    gpu::Runtime& runtime = gpu::runtime();
    const gpu::Error error = runtime.memcpyAsync(
        destination, source, bytes,
        toDevice ? gpu::MemcpyKind::HostToDevice : gpu::MemcpyKind::DeviceToHost, 0);
    if (error != gpu::Error::Success) {
        return static_cast<int>(error);
    }
    return static_cast<int>(runtime.streamSynchronize(0));
}

namespace {

gpu::HostRuntime* hostRuntime() {
    return dynamic_cast<gpu::HostRuntime*>(&gpu::runtime());
}

} // namespace

extern "C" HALDEN_EMU_EXPORT long long haldenEmuLiveObjects(void) {
    const gpu::HostRuntime* host = hostRuntime();
    if (host == nullptr) {
        return -1;
    }
    const gpu::HostRuntime::LiveCounts counts = host->liveCounts();
    return static_cast<long long>(counts.linear + counts.arrays + counts.textures +
                                  counts.surfaces);
}

extern "C" HALDEN_EMU_EXPORT long long haldenEmuAllocations(void) {
    const gpu::HostRuntime* host = hostRuntime();
    return host == nullptr ? -1 : static_cast<long long>(host->allocations());
}

extern "C" HALDEN_EMU_EXPORT long long haldenEmuMemoryInUse(void) {
    gpu::HostRuntime* host = hostRuntime();
    std::size_t free = 0, total = 0;
    if (host == nullptr || host->memGetInfo(&free, &total) != gpu::Error::Success) {
        return -1;
    }
    return static_cast<long long>(total - free);
}

extern "C" HALDEN_EMU_EXPORT int haldenEmuInjectFailure(int operation, int nth, int error) {
    gpu::HostRuntime* host = hostRuntime();
    if (host == nullptr || operation < 0 ||
        static_cast<std::size_t>(operation) >= gpu::HostRuntime::kOperationCount) {
        return -1;
    }
    return host->injectFailure(static_cast<gpu::HostRuntime::Operation>(operation), nth,
                               static_cast<gpu::Error>(error));
}

extern "C" HALDEN_EMU_EXPORT int haldenEmuSetDevice(int device) {
    gpu::HostRuntime* host = hostRuntime();
    return host == nullptr ? -1 : static_cast<int>(host->setDevice(device));
}
