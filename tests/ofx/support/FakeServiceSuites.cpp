#include "FakeHost.h"
#include "FakeSuites.h"

#include <thread>
#include <vector>

namespace fakehost {

namespace {

thread_local unsigned int threadIndex = 0;
thread_local bool spawnedThread = false;

// Message suite: no test reads what the plug-in says.

OfxStatus message(void*, const char*, const char*, const char*, ...) {
    return kOfxStatOK;
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

// Interact suite; no draw suite: the overlay test checks the support layer without one.

OfxStatus interactSwapBuffers(OfxInteractHandle) {
    return kOfxStatOK;
}
OfxStatus interactRedraw(OfxInteractHandle) {
    return kOfxStatOK;
}
OfxStatus interactGetPropertySet(OfxInteractHandle interact, OfxPropertySetHandle* props) {
    *props = reinterpret_cast<FakeInteract*>(interact)->props.handle();
    return kOfxStatOK;
}

} // namespace

const OfxMessageSuiteV2 messageSuite = {message, message, clearPersistentMessage};

const OfxMultiThreadSuiteV1 multiThreadSuite = {
    multiThread, multiThreadNumCPUs, multiThreadIndex, multiThreadIsSpawnedThread,
    mutexCreate, mutexCall,          mutexCall,        mutexCall,
    mutexCall};

const OfxInteractSuiteV1 interactSuite = {interactSwapBuffers, interactRedraw,
                                          interactGetPropertySet};

} // namespace fakehost
