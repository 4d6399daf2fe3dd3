#pragma once

#include "gpu/Runtime.h"
#include "kernels/KernelParameters.h"

namespace render {

// The final pass of a render: mixes the effect's result in outputBuffer with the unprocessed
// source by record.globalBlend, in place. Buffers may be host or device memory with any row
// pitch, negative ones included; the source must cover the output's width x height pixels
// and may be null. False (with an ERROR line) when a step fails, releasing the arrays
// included; nothing is left allocated either way.
bool applyFinalProcessing(gpu::Runtime& runtime, gpu::StreamHandle stream,
                          const kernels::SystemParameters& record, const void* sourceBuffer,
                          void* outputBuffer, int width, int height, int sourcePitch,
                          int outputPitch);

} // namespace render
