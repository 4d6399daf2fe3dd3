#pragma once

// The CPU backend's production path: the same per-sample code as the reference path, run over
// vectors of pixels with the instruction set chosen at run time.

#include "kernels/KernelParameters.h"

#include <cstdint>

namespace kernels {
namespace cpu {

enum class CpuPath { Reference, Sse2, Avx2, Avx512 };

// "reference", "sse2", "avx2" or "avx512".
const char* cpuPathName(CpuPath path);
bool cpuPathSupported(CpuPath path);

// The path passes take: the widest this machine runs, unless HALDEN_CPU_PATH names another
// (one it runs) or setCpuPath chose one.
CpuPath activeCpuPath();
void setCpuPath(CpuPath path);

// The lens pass on the fast path. False when this frame needs the reference path (a source
// texture that does not sample as the effect's image textures do, or the reference chosen).
bool lensBlurFast(const SystemParameters& system, const SourceConnections& sources,
                  std::uint64_t outputSurface, const AnimatedParameters& params,
                  const BundledResources& bundled);

// One post-blur execution on the fast path; false where it needs the reference path.
bool postBlurFast(const SystemParameters& system, std::uint64_t workingImage,
                  const SourceConnections& sources, std::uint64_t outputSurface,
                  const AnimatedParameters& params);

} // namespace cpu
} // namespace kernels
