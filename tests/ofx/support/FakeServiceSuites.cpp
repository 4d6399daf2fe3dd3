#include "FakeHost.h"
#include "FakeSuites.h"

#include <cstdarg>
#include <cstdio>
#include <thread>
#include <vector>

namespace fakehost {

namespace {

thread_local unsigned int threadIndex = 0;
thread_local bool spawnedThread = false;

// Message suite: records every message.

OfxStatus record(const char* type, const char* id, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    FakeHost::current().messages.push_back(
        Message{type != nullptr ? type : "", id != nullptr ? id : "", text});
    return kOfxStatOK;
}
OfxStatus message(void*, const char* type, const char* id, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const OfxStatus status = record(type, id, format, args);
    va_end(args);
    return status;
}
OfxStatus setPersistentMessage(void*, const char* type, const char* id, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const OfxStatus status = record(type, id, format, args);
    va_end(args);
    return status;
}
OfxStatus clearPersistentMessage(void*) {
    return kOfxStatOK;
}

// Multithread suite: real threads.

OfxStatus multiThread(OfxThreadFunctionV1 function, unsigned int count, void* argument) {
    FakeHost& host = FakeHost::current();
    if (host.refuseMultiThread) {
        return kOfxStatFailed;
    }
    ++host.multiThreadCalls;
    if (count > host.largestThreadCount) {
        host.largestThreadCount = count;
    }
    std::vector<std::thread> threads;
    for (unsigned int i = 0; i < count; ++i) {
        threads.emplace_back([=] {
            threadIndex = i;
            spawnedThread = true;
            function(i, count, argument);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return kOfxStatOK;
}
OfxStatus multiThreadNumCPUs(unsigned int* count) {
    *count = FakeHost::current().cpuCount;
    return kOfxStatOK;
}
OfxStatus multiThreadIndex(unsigned int* index) {
    *index = threadIndex;
    return kOfxStatOK;
}
int multiThreadIsSpawnedThread() {
    return spawnedThread ? 1 : 0;
}
OfxStatus mutexCreate(OfxMutexHandle*, int) {
    return kOfxStatErrUnsupported;
}
OfxStatus mutexCall(const OfxMutexHandle) {
    return kOfxStatErrUnsupported;
}

} // namespace

const OfxMessageSuiteV2 messageSuite = {message, setPersistentMessage, clearPersistentMessage};

const OfxMultiThreadSuiteV1 multiThreadSuite = {
    multiThread, multiThreadNumCPUs, multiThreadIndex, multiThreadIsSpawnedThread,
    mutexCreate, mutexCall,          mutexCall,        mutexCall,
    mutexCall};

} // namespace fakehost
