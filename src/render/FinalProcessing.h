#pragma once

#include "gpu/Runtime.h"
#include "kernels/KernelParameters.h"

namespace render {

// An array with a surface over it, of width x height texels.
struct SurfaceArray {
    gpu::Runtime* runtime = nullptr;
    gpu::ArrayHandle array = 0;
    gpu::SurfaceObject surface = 0;
    int width = 0;
    int height = 0;

    // The first error of the two releases; both are tried.
    gpu::Error release();
};

// The final pass of a render: mixes the effect's result in outputBuffer with the unprocessed
// source by record.globalBlend, in place, on the render's stream. Buffers may be host or
// device memory with any row pitch, negative ones included; the source must cover the
// output's width x height pixels and may be null. Its two arrays are kept from frame to frame
// and made again only for another size: freeing one waits for the whole device.
class FinalBlend {
public:
    FinalBlend() = default;
    ~FinalBlend();
    FinalBlend(const FinalBlend&) = delete;
    FinalBlend& operator=(const FinalBlend&) = delete;

    // False (with an ERROR line) when a step fails; the arrays are released then.
    bool apply(gpu::Runtime& runtime, gpu::StreamHandle stream,
               const kernels::SystemParameters& record, const void* sourceBuffer,
               void* outputBuffer, int width, int height, int sourcePitch, int outputPitch);
    gpu::Error release();

private:
    bool blend(gpu::Runtime& runtime, gpu::StreamHandle stream,
               const kernels::SystemParameters& record, const void* sourceBuffer,
               void* outputBuffer, int width, int height, int sourcePitch, int outputPitch);

    SurfaceArray output_;
    SurfaceArray source_;
};

} // namespace render
