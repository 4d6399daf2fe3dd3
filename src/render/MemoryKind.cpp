#include "render/MemoryKind.h"

#include "log/Logger.h"

namespace render {

bool inputIsDeviceMemory(gpu::Runtime& runtime, const void* pointer, int* typeOut) {
    gpu::MemoryType type = gpu::MemoryType::Unregistered;
    const gpu::Error error = runtime.pointerGetAttributes(&type, pointer);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_DEBUG("cudaPointerGetAttributes failed (assuming host memory): %s",
                         runtime.getErrorString(error));
        runtime.getLastError();
        if (typeOut) {
            *typeOut = 0;
        }
        return false;
    }
    if (typeOut) {
        *typeOut = static_cast<int>(type);
    }
    return type == gpu::MemoryType::Device;
}

gpu::MemcpyKind outputCopyKind(gpu::Runtime& runtime, const void* pointer, bool copyingOut) {
    gpu::MemoryType type = gpu::MemoryType::Unregistered;
    if (runtime.pointerGetAttributes(&type, pointer) != gpu::Error::Success) {
        HALDEN_LOG_DEBUG("cudaPointerGetAttributes failed for %p, assuming device memory", pointer);
        runtime.getLastError();
        return gpu::MemcpyKind::DeviceToDevice;
    }
    if (type == gpu::MemoryType::Device || type == gpu::MemoryType::Managed) {
        HALDEN_LOG_DEBUG("Buffer %p is device/managed memory (type=%d)", pointer,
                         static_cast<int>(type));
        return gpu::MemcpyKind::DeviceToDevice;
    }
    if (copyingOut) {
        HALDEN_LOG_DEBUG("Buffer %p is host memory (type=%d), using DeviceToHost", pointer,
                         static_cast<int>(type));
        return gpu::MemcpyKind::DeviceToHost;
    }
    HALDEN_LOG_DEBUG("Buffer %p is host memory (type=%d), using HostToDevice", pointer,
                     static_cast<int>(type));
    return gpu::MemcpyKind::HostToDevice;
}

gpu::MemcpyKind accumulationCopyKind(gpu::Runtime& runtime, const void* pointer) {
    gpu::MemoryType type = gpu::MemoryType::Unregistered;
    if (runtime.pointerGetAttributes(&type, pointer) != gpu::Error::Success) {
        runtime.getLastError();
        return gpu::MemcpyKind::DeviceToDevice;
    }
    if (type == gpu::MemoryType::Device || type == gpu::MemoryType::Managed) {
        return gpu::MemcpyKind::DeviceToDevice;
    }
    return gpu::MemcpyKind::HostToDevice;
}

} // namespace render
