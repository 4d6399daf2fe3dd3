#pragma once

// Entry points of the pipeline kernels: each launches its kernel over the frame on whichever
// backend the device runtime chose (CUDA on the given stream, or rows in parallel on the CPU).

#include "gpu/ResourceDesc.h"
#include "kernels/KernelParameters.h"

#include <cstdint>

#if defined(_WIN32)
#define HALDEN_KERNEL_EXPORT __declspec(dllexport)
#else
#define HALDEN_KERNEL_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Signature shared by every pipeline kernel's pass function. A null stream is the default
// stream. When workingImageTex is 0 the working image is chosen from the sources.
typedef void (*KernelPassFunction)(void* stream, const kernels::SystemParameters* system,
                                   const kernels::PipelineParameters* pipeline,
                                   const kernels::SourceConnections* sources,
                                   const kernels::AnimatedParameters* animated,
                                   const kernels::BundledResources* bundled, const char* kernelFile,
                                   std::uint64_t workingImageTex, std::uint64_t outputSurface);

HALDEN_KERNEL_EXPORT void call_halden_v01_kernel_Pass(
    void* stream, const kernels::SystemParameters* system,
    const kernels::PipelineParameters* pipeline, const kernels::SourceConnections* sources,
    const kernels::AnimatedParameters* animated, const kernels::BundledResources* bundled,
    const char* kernelFile, std::uint64_t workingImageTex, std::uint64_t outputSurface);

HALDEN_KERNEL_EXPORT void call_post_blur_kernel_Pass(
    void* stream, const kernels::SystemParameters* system,
    const kernels::PipelineParameters* pipeline, const kernels::SourceConnections* sources,
    const kernels::AnimatedParameters* animated, const kernels::BundledResources* bundled,
    const char* kernelFile, std::uint64_t workingImageTex, std::uint64_t outputSurface);
}

namespace kernels {

// The working image of a pass when the caller gives none: the output of the previous process
// or effect execution where there is one, else the first source.
std::uint64_t chooseWorkingImage(const SystemParameters& system, const SourceConnections& sources);

// Blends the effect result in outputSurface with sourceSurface (0: none) by globalBlend.
void launchFinalProcessing(void* stream, gpu::SurfaceObject outputSurface,
                           gpu::SurfaceObject sourceSurface, const SystemParameters& system);

// Whether launches go to the CUDA backend (false: the CPU one).
bool kernelsRunOnCuda();

} // namespace kernels
