#pragma once

// What kind of memory a pixel pointer refers to, by the three rules the render path uses. A
// failed query clears the runtime's pending error so it does not surface at the next launch.

#include "gpu/Runtime.h"

namespace render {

// Inputs: device only when the runtime says device; host otherwise, also when the query fails.
bool inputIsDeviceMemory(gpu::Runtime& runtime, const void* pointer, int* typeOut = nullptr);

// Output copies: device or managed memory copies DeviceToDevice; host memory DeviceToHost when
// copying out of the GPU and HostToDevice when copying in; a failed query assumes device.
gpu::MemcpyKind outputCopyKind(gpu::Runtime& runtime, const void* pointer, bool copyingOut);

// Accumulation copies: DeviceToDevice unless the query succeeds with a host type.
gpu::MemcpyKind accumulationCopyKind(gpu::Runtime& runtime, const void* pointer);

} // namespace render
