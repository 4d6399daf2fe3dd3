// Kernel unit tests run on the CPU backend even where a CUDA device answers; the parity
// against CUDA is the gpu-labelled test's job.
#include "TestEnvironment.h"

namespace {
const bool kForceCpu = (testenv::setVariable("HALDEN_BACKEND", std::string("cpu")), true);
} // namespace
