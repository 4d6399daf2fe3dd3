#include "kernels/KernelPasses.h"

#include "gpu/HostRuntime.h"
#include "gpu/Runtime.h"
#include "kernels/FinalProcessingKernel.h"
#include "kernels/LaunchTiles.h"
#include "kernels/LensBlurKernel.h"
#include "kernels/PostBlurKernel.h"
#include "kernels/RowThreadPool.h"
#include "kernels/cpu/FastPaths.h"
#include "log/Logger.h"

#if defined(HALDEN_WITH_CUDA)
#include "kernels/cuda/CudaLaunch.h"
#endif

#include <cstring>

namespace kernels {
namespace {

// Inputs the shipped definition declares: "Source" and "KernelMap".
constexpr int kDefinitionInputCount = 2;

std::uint64_t sourceTexture(const SourceConnections& sources, int index) {
    return index >= 0 && index < sources.sourceCount && index < MAX_SOURCES
               ? sources.sources[index].textureObject
               : 0;
}

std::uint64_t workingImageFor(const SystemParameters& system, const SourceConnections& sources,
                              std::uint64_t given) {
    if (given != 0) {
        return given;
    }
    const std::uint64_t chosen = chooseWorkingImage(system, sources);
    HALDEN_LOG_DEBUG("[SMART DEBUG] pipelineExec=%d processExec=%d currentPipeline=%d: "
                     "workingImageTex=%p (numInputs=%d, sourceCount=%d)",
                     system.currentPipelineExecution, system.currentProcessExecution,
                     system.currentPipeline, reinterpret_cast<void*>(chosen), kDefinitionInputCount,
                     sources.sourceCount);
    for (int i = 0; i < sources.sourceCount && i < MAX_SOURCES; ++i) {
        HALDEN_LOG_DEBUG("[SMART DEBUG]   sources[%d].textureObject = %p", i,
                         reinterpret_cast<void*>(sources.sources[i].textureObject));
    }
    return chosen;
}

template <typename PixelFunction>
void runOnCpu(int width, int height, const PixelFunction& pixel) {
    RowThreadPool::shared().run(height, [&](int y) {
        for (int x = 0; x < width; ++x) {
            pixel(x, y);
        }
    });
}

bool validFrame(const SystemParameters* system) {
    return system != nullptr && system->width > 0 && system->height > 0;
}

// The emulation refuses a launch as CUDA does when its stream is destroyed or a texture,
// surface or stream it is handed belongs to another device (or context) than the current one:
// invalid handle, as the last error.
bool handlesUsable(void* stream, std::initializer_list<std::uint64_t> handles,
                   const SourceConnections* sources, const BundledResources* bundled) {
    auto* host = dynamic_cast<gpu::HostRuntime*>(&gpu::runtime());
    if (host == nullptr) {
        return true;
    }
    bool usable = host->streamUsable(reinterpret_cast<gpu::StreamHandle>(stream));
    for (const std::uint64_t handle : handles) {
        usable = usable && host->usableHere(handle);
    }
    for (int i = 0; sources != nullptr && i < sources->sourceCount && i < MAX_SOURCES; ++i) {
        usable = usable && host->usableHere(sources->sources[i].textureObject);
    }
    for (int i = 0; bundled != nullptr && i < bundled->resourceCount && i < MAX_BUNDLED_RESOURCES;
         ++i) {
        usable = usable && host->usableHere(bundled->resources[i].textureObject);
    }
    if (!usable) {
        host->raise(gpu::Error::InvalidResourceHandle);
    }
    return usable;
}

} // namespace

bool kernelsRunOnCuda() {
    return std::strcmp(gpu::runtime().name(), "cuda") == 0;
}

std::uint64_t chooseWorkingImage(const SystemParameters& system, const SourceConnections& sources) {
    const int count = sources.sourceCount;
    if (system.currentProcessExecution >= 1) {
        return sourceTexture(sources, system.currentPipeline + 3);
    }
    if (system.currentPipelineExecution > 0 && system.currentPipeline == 0) {
        return count >= 3 ? sourceTexture(sources, 2) : 0;
    }
    if (system.currentPipeline > 0 && system.currentPipeline + 2 < count) {
        return sourceTexture(sources, system.currentPipeline + 2);
    }
    return count >= 1 ? sourceTexture(sources, 0) : 0;
}

void launchFinalProcessing(void* stream, gpu::SurfaceObject outputSurface,
                           gpu::SurfaceObject sourceSurface, const SystemParameters& system) {
    if (system.width <= 0 || system.height <= 0) {
        return;
    }
#if defined(HALDEN_WITH_CUDA)
    if (kernelsRunOnCuda()) {
        cuda::launchFinalProcessing(stream, outputSurface, sourceSurface, system);
        return;
    }
#endif
    if (!handlesUsable(stream, {outputSurface, sourceSurface}, nullptr, nullptr)) {
        return;
    }
    runOnCpu(system.width, system.height, [&](int x, int y) {
        finalProcessingPixel(x, y, outputSurface, sourceSurface, system);
    });
}

} // namespace kernels

namespace kernels {
namespace {

// What both pipeline kernels share around their launch: argument checks, the working image,
// and the backend choice. cudaLaunch, fastCpu and pixel are the kernel's own; fastCpu returns
// false where the frame needs the per-pixel reference path.
template <typename CudaLaunch, typename FastCpu, typename Pixel>
void runPass(void* stream, const SystemParameters* system, const PipelineParameters* pipeline,
             const SourceConnections* sources, const AnimatedParameters* animated,
             const BundledResources* bundled, std::uint64_t workingImageTex,
             std::uint64_t outputSurface, const CudaLaunch& cudaLaunch, const FastCpu& fastCpu,
             const Pixel& pixel) {
    if (!validFrame(system) || !pipeline || !sources || !animated || !bundled) {
        return;
    }
    const std::uint64_t working = workingImageFor(*system, *sources, workingImageTex);
#if defined(HALDEN_WITH_CUDA)
    if (kernelsRunOnCuda()) {
        cudaLaunch(working);
        return;
    }
#endif
    (void)cudaLaunch;
    if (!handlesUsable(stream, {working, outputSurface}, sources, bundled)) {
        return;
    }
    if (fastCpu(working)) {
        return;
    }
    runOnCpu(system->width, system->height, [&](int x, int y) { pixel(x, y, working); });
}

} // namespace
} // namespace kernels

using namespace kernels;

extern "C" void
call_halden_v01_kernel_Pass(void* stream, const SystemParameters* system,
                            const PipelineParameters* pipeline, const SourceConnections* sources,
                            const AnimatedParameters* animated, const BundledResources* bundled,
                            const char* /*kernelFile*/, std::uint64_t workingImageTex,
                            std::uint64_t outputSurface) {
    runPass(
        stream, system, pipeline, sources, animated, bundled, workingImageTex, outputSurface,
        [&](std::uint64_t working) {
#if defined(HALDEN_WITH_CUDA)
            for (const LaunchTile& tile :
                 launchTiles(system->width, system->height,
                             maxSamplesPerPixel(system->height, *animated))) {
                cuda::launchLensBlur(stream, *system, *pipeline, working, *sources, outputSurface,
                                     *animated, *bundled, tile);
            }
#else
            (void)working;
#endif
        },
        [&](std::uint64_t) {
            return cpu::lensBlurFast(*system, *sources, outputSurface, *animated, *bundled);
        },
        [&](int x, int y, std::uint64_t) {
            lensBlurPixel(x, y, *system, *sources, outputSurface, *animated, *bundled);
        });
}

extern "C" void
call_post_blur_kernel_Pass(void* stream, const SystemParameters* system,
                           const PipelineParameters* pipeline, const SourceConnections* sources,
                           const AnimatedParameters* animated, const BundledResources* bundled,
                           const char* /*kernelFile*/, std::uint64_t workingImageTex,
                           std::uint64_t outputSurface) {
    runPass(
        stream, system, pipeline, sources, animated, bundled, workingImageTex, outputSurface,
        [&](std::uint64_t working) {
#if defined(HALDEN_WITH_CUDA)
            cuda::launchPostBlur(stream, *system, *pipeline, working, *sources, outputSurface,
                                 *animated, *bundled);
#else
            (void)working;
#endif
        },
        [&](std::uint64_t working) {
            return cpu::postBlurFast(*system, working, *sources, outputSurface, *animated);
        },
        [&](int x, int y, std::uint64_t working) {
            postBlurPixel(x, y, *system, working, *sources, outputSurface, *animated);
        });
}
