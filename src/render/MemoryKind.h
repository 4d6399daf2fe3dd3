#pragma once

// What kind of memory a pixel pointer refers to, by the three rules the render path uses, and
// copies of images laid out as hosts hand them. A failed query clears the runtime's pending
// error so it does not surface at the next launch.

#include "gpu/Runtime.h"

#include <vector>

namespace render {

// Inputs: device only when the runtime says device; host otherwise, also when the query fails.
bool inputIsDeviceMemory(gpu::Runtime& runtime, const void* pointer, int* typeOut = nullptr);

// Whether the runtime owns this pointer as device or managed memory. A host that renders with
// CUDA hands device pointers; one the runtime does not know must not be touched at all.
bool runtimeOwnsDeviceMemory(gpu::Runtime& runtime, const void* pointer);

// Output copies: device or managed memory copies DeviceToDevice; host memory DeviceToHost when
// copying out of the GPU and HostToDevice when copying in; a failed query assumes device.
gpu::MemcpyKind outputCopyKind(gpu::Runtime& runtime, const void* pointer, bool copyingOut);

// Accumulation copies: DeviceToDevice unless the query succeeds with a host type.
gpu::MemcpyKind accumulationCopyKind(gpu::Runtime& runtime, const void* pointer);

// Copies between a width x height float RGBA array (or linear buffer) and an image whose
// lower-left pixel is at `image` and whose rows are rowBytes apart going up. OFX allows
// negative row bytes (rows stored top first): a 2D copy cannot step backwards, so those go one
// row at a time. Asynchronous on the stream; the first failing call's error is returned.
gpu::Error copyImageToArray(gpu::Runtime& runtime, gpu::ArrayHandle array, const void* image,
                            int rowBytes, int width, int height, gpu::MemcpyKind kind,
                            gpu::StreamHandle stream);
gpu::Error copyArrayToImage(gpu::Runtime& runtime, void* image, int rowBytes,
                            gpu::ArrayHandle array, int width, int height, gpu::MemcpyKind kind,
                            gpu::StreamHandle stream);
gpu::Error copyImageToLinear(gpu::Runtime& runtime, void* linear, std::size_t linearPitch,
                             const void* image, int rowBytes, int width, int height,
                             gpu::MemcpyKind kind, gpu::StreamHandle stream);

// An image as a host hands it: float RGBA pixels of the half-open bounds, the lower-left one
// at data, rows rowBytes apart going up (negative: stored top first).
struct ImageRows {
    const void* data = nullptr;
    int rowBytes = 0;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool device = false;
};

// Fills staging with the width x height frame whose lower-left pixel is (frameX, frameY) in the
// image's pixel coordinates: rows packed, bottom row first. Only pixels inside the image's
// bounds are read; frame pixels outside them repeat the nearest edge pixel, as the clamp
// address mode of the textures does (an empty image gives transparent black). Device images
// are read through the runtime (scratch holds their rows) and the stream is synchronised.
// staging and scratch keep their memory between calls of the same size.
gpu::Error stageImage(gpu::Runtime& runtime, const ImageRows& image, int frameX, int frameY,
                      int width, int height, gpu::StreamHandle stream, std::vector<float>& staging,
                      std::vector<float>& scratch);

} // namespace render
