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

extern "C" HALDEN_EMU_EXPORT long long haldenEmuLiveObjects(void) {
    const auto* host = dynamic_cast<const gpu::HostRuntime*>(&gpu::runtime());
    if (host == nullptr) {
        return -1;
    }
    const gpu::HostRuntime::LiveCounts counts = host->liveCounts();
    return static_cast<long long>(counts.linear + counts.arrays + counts.textures +
                                  counts.surfaces);
}
