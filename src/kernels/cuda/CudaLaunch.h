#pragma once

// Launchers of the CUDA kernels, callable from plain C++ (no CUDA types cross this header).
// They queue the launch on the stream and check nothing: the caller asks the runtime for the
// last error, as with any CUDA launch.

#include "kernels/KernelParameters.h"
#include "kernels/LaunchTiles.h"

#include <cstdint>

namespace kernels {
namespace cuda {

// One tile of the frame (launchTiles keeps each within the sample budget).
void launchLensBlur(void* stream, const SystemParameters& system,
                    const PipelineParameters& pipeline, std::uint64_t workingImage,
                    const SourceConnections& sources, std::uint64_t outputSurface,
                    const AnimatedParameters& animated, const BundledResources& bundled,
                    const LaunchTile& tile);

void launchPostBlur(void* stream, const SystemParameters& system,
                    const PipelineParameters& pipeline, std::uint64_t workingImage,
                    const SourceConnections& sources, std::uint64_t outputSurface,
                    const AnimatedParameters& animated, const BundledResources& bundled);

void launchFinalProcessing(void* stream, std::uint64_t outputSurface, std::uint64_t sourceSurface,
                           const SystemParameters& system);

} // namespace cuda
} // namespace kernels
