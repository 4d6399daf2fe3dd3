#pragma once

#include <exception>
#include <mutex>

namespace OFX {
namespace MultiThread {

// Runs multiThreadFunction on the host's threads through the multithread suite. Without the
// suite, or when the host refuses (e.g. a nested call), it runs on the calling thread as one
// thread. An exception thrown on any thread is carried over and rethrown by multiThread once
// every thread has returned: it never crosses the host's thread launcher.
class Processor {
public:
    Processor() = default;
    virtual ~Processor() = default;
    Processor(const Processor&) = delete;
    Processor& operator=(const Processor&) = delete;

    // Called once per thread with threadIndex in [0, threadCount).
    virtual void multiThreadFunction(unsigned int threadIndex, unsigned int threadCount) = 0;

    // 0 = as many threads as the host has CPUs.
    virtual void multiThread(unsigned int threadCount = 0);

private:
    static void threadEntry(unsigned int threadIndex, unsigned int threadCount, void* self);
    void runGuarded(unsigned int threadIndex, unsigned int threadCount) noexcept;

    std::mutex errorMutex_;
    std::exception_ptr firstError_;
};

// CPUs the host lets the plug-in use (1 without the multithread suite).
unsigned int getNumCPUs();
// true on a thread the host spawned for multiThread.
bool isSpawnedThread();

} // namespace MultiThread
} // namespace OFX
