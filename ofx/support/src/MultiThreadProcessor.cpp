#include "ofx/support/MultiThreadProcessor.h"

#include "ofx/support/HostSuites.h"

namespace OFX {
namespace MultiThread {

void Processor::threadEntry(unsigned int threadIndex, unsigned int threadCount, void* self) {
    static_cast<Processor*>(self)->runGuarded(threadIndex, threadCount);
}

void Processor::runGuarded(unsigned int threadIndex, unsigned int threadCount) noexcept {
    try {
        multiThreadFunction(threadIndex, threadCount);
    } catch (...) {
        std::lock_guard<std::mutex> lock(errorMutex_);
        if (!firstError_) {
            firstError_ = std::current_exception();
        }
    }
}

void Processor::multiThread(unsigned int threadCount) {
    if (threadCount == 0) {
        threadCount = getNumCPUs();
    }
    {
        std::lock_guard<std::mutex> lock(errorMutex_);
        firstError_ = nullptr;
    }
    const OfxMultiThreadSuiteV1* suite = suites().multiThread;
    bool ran = false;
    if (threadCount > 1 && suite != nullptr) {
        ran = suite->multiThread(&Processor::threadEntry, threadCount, this) == kOfxStatOK;
    }
    if (!ran) {
        runGuarded(0, 1);
    }
    std::exception_ptr error;
    {
        std::lock_guard<std::mutex> lock(errorMutex_);
        error = firstError_;
        firstError_ = nullptr;
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

unsigned int getNumCPUs() {
    const OfxMultiThreadSuiteV1* suite = suites().multiThread;
    unsigned int count = 1;
    if (suite == nullptr || suite->multiThreadNumCPUs(&count) != kOfxStatOK || count == 0) {
        return 1;
    }
    return count;
}

bool isSpawnedThread() {
    const OfxMultiThreadSuiteV1* suite = suites().multiThread;
    return suite != nullptr && suite->multiThreadIsSpawnedThread() != 0;
}

} // namespace MultiThread
} // namespace OFX
