#include "host/effect/DeviceMemory.h"

#include "host/core/HostError.h"
#include "host/platform/DynamicLibrary.h"

#include <string>

namespace ofxhost {

namespace {

template <class Function>
Function exported(const DynamicLibrary& library, const char* name) {
    auto function = reinterpret_cast<Function>(library.symbol(name));
    if (function == nullptr) {
        throw HostError(kOfxStatErrUnsupported, library.path().string() + " does not export " +
                                                    name + " (no shared device memory)");
    }
    return function;
}

} // namespace

DeviceMemory::DeviceMemory(MallocFunction mallocFunction, FreeFunction freeFunction,
                           CopyFunction copyFunction)
    : allocate_(mallocFunction), release_(freeFunction), copy_(copyFunction) {}

DeviceMemory DeviceMemory::fromLibrary(const DynamicLibrary& library) {
    return DeviceMemory(exported<MallocFunction>(library, "haldenEmuDeviceMalloc"),
                        exported<FreeFunction>(library, "haldenEmuDeviceFree"),
                        exported<CopyFunction>(library, "haldenEmuDeviceCopy"));
}

void* DeviceMemory::allocate(std::size_t bytes) const {
    void* pointer = allocate_(bytes);
    if (pointer == nullptr) {
        throw HostError(kOfxStatErrMemory,
                        "cannot allocate " + std::to_string(bytes) + " bytes of device memory");
    }
    return pointer;
}

void DeviceMemory::release(void* pointer) const {
    if (pointer != nullptr) {
        release_(pointer);
    }
}

void DeviceMemory::copyToDevice(void* device, const void* host, std::size_t bytes) const {
    if (copy_(device, host, bytes, 1) != 0) {
        throw HostError(kOfxStatFailed, "copying an image to device memory failed");
    }
}

void DeviceMemory::copyToHost(void* host, const void* device, std::size_t bytes) const {
    if (copy_(host, device, bytes, 0) != 0) {
        throw HostError(kOfxStatFailed, "copying an image from device memory failed");
    }
}

} // namespace ofxhost
