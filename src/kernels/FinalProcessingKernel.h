#pragma once

#include "gpu/DeviceCompat.h"
#include "kernels/KernelParameters.h"

namespace kernels {

// Mixes the effect's result with the unprocessed source by the global blend; alpha stays the
// effect's. Reads and writes the same texel of the output surface.
HD inline void finalProcessingPixel(int x, int y, std::uint64_t outputSurface,
                                    std::uint64_t sourceSurface, const SystemParameters& sys) {
    if (x >= sys.width || y >= sys.height) {
        return;
    }
    float4 e = gpu::surfRead(outputSurface, x, y);
    const float b = sys.globalBlend;
    if (b < 1.0f && sourceSurface != 0) {
        const float4 s = gpu::surfRead(sourceSurface, x, y);
        e.x = b * e.x + (1.0f - b) * s.x;
        e.y = b * e.y + (1.0f - b) * s.y;
        e.z = b * e.z + (1.0f - b) * s.z;
    }
    gpu::surfWrite(e, outputSurface, x, y);
}

} // namespace kernels
