#include "gpu/BackendSelection.h"

#include "gpu/HostRuntime.h"
#include "gpu/Runtime.h"
#include "log/Logger.h"

#if defined(HALDEN_WITH_CUDA)
#include "gpu/CudaRuntime.h"
#endif

#include <cctype>
#include <cstdlib>
#include <memory>

namespace gpu {

namespace {

bool sameWord(const char* text, const char* word) {
    for (; *text != '\0' && *word != '\0'; ++text, ++word) {
        if (std::tolower(static_cast<unsigned char>(*text)) != *word) {
            return false;
        }
    }
    return *text == '\0' && *word == '\0';
}

bool cudaCompiledIn() {
#if defined(HALDEN_WITH_CUDA)
    return true;
#else
    return false;
#endif
}

bool probeCuda() {
#if defined(HALDEN_WITH_CUDA)
    return CudaRuntime::deviceAvailable();
#else
    return false;
#endif
}

std::unique_ptr<Runtime> makeRuntime() {
    const BackendChoice choice =
        chooseBackend(std::getenv("HALDEN_BACKEND"), cudaCompiledIn(), probeCuda);
    if (!choice.problem.empty()) {
        Logger::instance().log(Logger::ERROR_LEVEL, "%s", choice.problem.c_str());
    }
    std::unique_ptr<Runtime> made;
#if defined(HALDEN_WITH_CUDA)
    if (choice.backend == Backend::Cuda) {
        made = std::make_unique<CudaRuntime>();
    }
#endif
    if (made == nullptr) {
        made = std::make_unique<HostRuntime>();
    }
    Logger::instance().log(Logger::INFO_LEVEL, "GPU runtime: %s", made->name());
    return made;
}

} // namespace

BackendChoice chooseBackend(const char* forced, bool cudaCompiled, bool (*cudaAnswers)()) {
    BackendChoice choice;
    const bool set = forced != nullptr && *forced != '\0';
    if (set && sameWord(forced, "cpu")) {
        return choice;
    }
    if (set && sameWord(forced, "cuda")) {
        if (!cudaCompiled) {
            choice.problem = "HALDEN_BACKEND=cuda but this build has no CUDA backend; "
                             "using the CPU runtime";
        } else if (!cudaAnswers()) {
            choice.problem = "HALDEN_BACKEND=cuda but no CUDA device answers; "
                             "using the CPU runtime";
        } else {
            choice.backend = Backend::Cuda;
        }
        return choice;
    }
    if (set) {
        choice.problem = std::string("HALDEN_BACKEND=") + forced +
                         " is neither cpu nor cuda; choosing the runtime automatically";
    }
    if (cudaCompiled && cudaAnswers()) {
        choice.backend = Backend::Cuda;
    }
    return choice;
}

Runtime& runtime() {
    static const std::unique_ptr<Runtime> instance = makeRuntime();
    return *instance;
}

} // namespace gpu
