#pragma once

#include <cstddef>

namespace ofxhost {

class DynamicLibrary;

// Device memory shared with a plug-in through the device runtime both sides load. When the
// plug-in's runtime is an emulation on the CPU, that runtime is the "driver": the plug-in
// binary exports plain C functions through which a host obtains and fills device buffers.
class DeviceMemory {
public:
    using MallocFunction = void* (*)(std::size_t);
    using FreeFunction = void (*)(void*);
    // Returns 0 on success; toDevice selects the direction.
    using CopyFunction = int (*)(void*, const void*, std::size_t, int);

    DeviceMemory(MallocFunction mallocFunction, FreeFunction freeFunction,
                 CopyFunction copyFunction);

    // The functions the binary exports; throws HostError when one is missing.
    static DeviceMemory fromLibrary(const DynamicLibrary& library);

    // Throw HostError when the runtime refuses.
    void* allocate(std::size_t bytes) const;
    void release(void* pointer) const;
    void copyToDevice(void* device, const void* host, std::size_t bytes) const;
    void copyToHost(void* host, const void* device, std::size_t bytes) const;

private:
    MallocFunction allocate_;
    FreeFunction release_;
    CopyFunction copy_;
};

} // namespace ofxhost
