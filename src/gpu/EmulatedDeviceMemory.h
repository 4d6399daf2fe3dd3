#pragma once

#include <cstddef>

// Device memory for a host process that shares the plug-in's device runtime: on the CPU backend
// the plug-in's runtime is the "driver", so a host obtains device buffers (and fills them)
// through these exports instead of a CUDA runtime of its own.
extern "C" {
void* haldenEmuDeviceMalloc(std::size_t bytes);
void haldenEmuDeviceFree(void* pointer);
// Copies bytes between host memory and device memory from haldenEmuDeviceMalloc;
// toDevice selects the direction. Returns 0 on success.
int haldenEmuDeviceCopy(void* destination, const void* source, std::size_t bytes, int toDevice);
// Device objects alive in the CPU backend (buffers, arrays, textures, surfaces), so tests can
// prove that destroyed instances leave nothing behind; -1 on the CUDA backend.
long long haldenEmuLiveObjects(void);
// Device buffers and arrays made so far in the CPU backend, freed or not; -1 on CUDA.
long long haldenEmuAllocations(void);
// Bytes of device memory the CPU backend holds now, as cudaMemGetInfo counts them; -1 on CUDA.
long long haldenEmuMemoryInUse(void);
// Makes the nth call from now of a CPU-backend operation (gpu::HostRuntime::Operation, in its
// declaration order from 0) fail with a CUDA error code; nth 0 disarms. Returns how many calls
// the previous arming of that operation was still waiting for (0: it fired, or none was
// armed); -1 on the CUDA backend or for an unknown operation.
int haldenEmuInjectFailure(int operation, int nth, int error);
// Makes device 0 or 1 of the CPU backend current for the calling thread, as a host moving an
// instance to another GPU does with cudaSetDevice. Returns the CUDA error code; -1 on CUDA.
int haldenEmuSetDevice(int device);
}
