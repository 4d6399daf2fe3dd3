#pragma once

#include <string>

namespace gpu {

enum class Backend { Cpu, Cuda };

struct BackendChoice {
    Backend backend = Backend::Cpu;
    // Why the request could not be followed as asked; empty when it could.
    std::string problem;
};

// The rules runtime() follows. forced is HALDEN_BACKEND's value (null when unset);
// cudaAnswers is asked only when CUDA is compiled in and could be chosen.
BackendChoice chooseBackend(const char* forced, bool cudaCompiled, bool (*cudaAnswers)());

} // namespace gpu
