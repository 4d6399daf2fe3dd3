// The lens-blur kernel: the per-pixel code is shared with the CPU backend.
#include "kernels/LensBlurKernel.h"
#include "kernels/cuda/CudaLaunch.h"

namespace kernels {

__global__ void halden_v01Kernel(SystemParameters system, PipelineParameters /*pipeline*/,
                                 std::uint64_t /*workingImageTex*/, SourceConnections sources,
                                 std::uint64_t outputSurface, AnimatedParameters animated,
                                 BundledResources bundled, int x0, int y0) {
    const int x = x0 + blockIdx.x * blockDim.x + threadIdx.x;
    const int y = y0 + blockIdx.y * blockDim.y + threadIdx.y;
    lensBlurPixel(x, y, system, sources, outputSurface, animated, bundled);
}

namespace cuda {

void launchLensBlur(void* stream, const SystemParameters& system,
                    const PipelineParameters& pipeline, std::uint64_t workingImage,
                    const SourceConnections& sources, std::uint64_t outputSurface,
                    const AnimatedParameters& animated, const BundledResources& bundled,
                    const LaunchTile& tile) {
    const dim3 block(BLOCK_SIZE, BLOCK_SIZE, 1);
    const dim3 grid(gridSize(tile.width), gridSize(tile.height), 1);
    halden_v01Kernel<<<grid, block, 0, static_cast<cudaStream_t>(stream)>>>(
        system, pipeline, workingImage, sources, outputSurface, animated, bundled, tile.x0,
        tile.y0);
}

} // namespace cuda
} // namespace kernels
