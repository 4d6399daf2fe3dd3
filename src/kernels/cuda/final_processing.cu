// The global-blend kernel run once after the pipeline.
#include "kernels/FinalProcessingKernel.h"
#include "kernels/cuda/CudaLaunch.h"

namespace kernels {

__global__ void applyFinalProcessingKernel(std::uint64_t outputSurface, std::uint64_t sourceSurface,
                                           SystemParameters system) {
    const int x = blockIdx.x * blockDim.x + threadIdx.x;
    const int y = blockIdx.y * blockDim.y + threadIdx.y;
    finalProcessingPixel(x, y, outputSurface, sourceSurface, system);
}

namespace cuda {

void launchFinalProcessing(void* stream, std::uint64_t outputSurface, std::uint64_t sourceSurface,
                           const SystemParameters& system) {
    const dim3 block(BLOCK_SIZE, BLOCK_SIZE, 1);
    const dim3 grid(gridSize(system.width), gridSize(system.height), 1);
    applyFinalProcessingKernel<<<grid, block, 0, static_cast<cudaStream_t>(stream)>>>(
        outputSurface, sourceSurface, system);
}

} // namespace cuda
} // namespace kernels
