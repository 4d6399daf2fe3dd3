#include "host/suites/MultiThreadSuite.h"

#include "host/core/ActionScope.h"
#include "host/core/HandleTag.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace ofxhost {

namespace {

std::atomic<unsigned int> gConfiguredCpus{0};
std::atomic<int> gLiveMutexes{0};
thread_local unsigned int gThreadIndex = 0;
thread_local bool gSpawned = false;

struct StatsStore {
    std::mutex mutex;
    MultiThreadSuite::Stats stats;
    std::set<std::thread::id> threads;
};

StatsStore& statsStore() {
    static StatsStore store;
    return store;
}

void noteCall(unsigned int split) {
    StatsStore& store = statsStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    ++store.stats.calls;
    store.stats.largestSplit = std::max(store.stats.largestSplit, split);
}

void noteThread() {
    StatsStore& store = statsStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.threads.insert(std::this_thread::get_id());
    store.stats.distinctThreads = store.threads.size();
}

// Runs one share of the work as thread `index`; nothing may unwind out of a thread.
bool runShare(OfxThreadFunctionV1* function, unsigned int index, unsigned int count, void* arg) {
    gThreadIndex = index;
    gSpawned = true;
    bool ok = true;
    try {
        noteThread();
        function(index, count, arg);
    } catch (...) {
        ok = false;
    }
    gSpawned = false;
    gThreadIndex = 0;
    return ok;
}

OfxStatus multiThread(OfxThreadFunctionV1* function, unsigned int count, void* arg) {
    if (function == nullptr) {
        return kOfxStatErrValue;
    }
    if (gSpawned) {
        return kOfxStatErrExists;
    }
    if (count == 0) {
        count = MultiThreadSuite::cpuCount();
    }
    noteCall(count);
    if (count == 1) {
        return runShare(function, 0, 1, arg) ? kOfxStatOK : kOfxStatFailed;
    }
    std::atomic<bool> ok{true};
    std::vector<std::thread> threads;
    // The workers act inside the caller's action (what the plug-in does there is judged so).
    const char* action = ActionScope::current();
    try {
        threads.reserve(count);
        for (unsigned int i = 0; i < count; ++i) {
            threads.emplace_back([&, i] {
                ActionScope scope(action);
                if (!runShare(function, i, count, arg)) {
                    ok = false;
                }
            });
        }
    } catch (...) {
        ok = false;
    }
    for (auto& thread : threads) {
        thread.join();
    }
    return ok ? kOfxStatOK : kOfxStatFailed;
}

OfxStatus multiThreadSequential(OfxThreadFunctionV1* function, unsigned int count, void* arg) {
    if (function == nullptr) {
        return kOfxStatErrValue;
    }
    if (gSpawned) {
        return kOfxStatErrExists;
    }
    count = std::max(count, 1u);
    noteCall(1);
    bool ok = true;
    for (unsigned int i = 0; i < count; ++i) {
        ok = runShare(function, i, count, arg) && ok;
    }
    return ok ? kOfxStatOK : kOfxStatFailed;
}

OfxStatus numCpus(unsigned int* count) {
    if (count == nullptr) {
        return kOfxStatErrValue;
    }
    *count = MultiThreadSuite::cpuCount();
    return kOfxStatOK;
}

OfxStatus numCpusSequential(unsigned int* count) {
    if (count == nullptr) {
        return kOfxStatErrValue;
    }
    *count = 1;
    return kOfxStatOK;
}

OfxStatus threadIndex(unsigned int* index) {
    if (index == nullptr) {
        return kOfxStatErrValue;
    }
    *index = gThreadIndex;
    return kOfxStatOK;
}

OfxStatus multiThreadInline(OfxThreadFunctionV1* function, unsigned int, void* arg) {
    if (function == nullptr) {
        return kOfxStatErrValue;
    }
    noteCall(1);
    try {
        noteThread();
        function(0, 1, arg);
        return kOfxStatOK;
    } catch (...) {
        return kOfxStatFailed;
    }
}

int isSpawnedThread() {
    return gSpawned ? 1 : 0;
}

// A recursive mutex that knows its owner, so unlocking from the wrong thread is an error
// rather than undefined behaviour.
class HostMutex {
public:
    HostMutex() { ++gLiveMutexes; }
    ~HostMutex() { --gLiveMutexes; }

    void lock() {
        std::unique_lock<std::mutex> guard(mutex_);
        const auto self = std::this_thread::get_id();
        released_.wait(guard, [&] { return count_ == 0 || owner_ == self; });
        owner_ = self;
        ++count_;
    }
    bool tryLock() {
        std::lock_guard<std::mutex> guard(mutex_);
        const auto self = std::this_thread::get_id();
        if (count_ != 0 && owner_ != self) {
            return false;
        }
        owner_ = self;
        ++count_;
        return true;
    }
    bool unlock() {
        std::lock_guard<std::mutex> guard(mutex_);
        if (count_ == 0 || owner_ != std::this_thread::get_id()) {
            return false;
        }
        if (--count_ == 0) {
            released_.notify_one();
        }
        return true;
    }

private:
    HandleTag tag_{HandleTag::MutexKind, this};
    std::mutex mutex_;
    std::condition_variable released_;
    std::thread::id owner_;
    int count_ = 0;
};

HostMutex* mutexFrom(OfxMutexHandle handle) {
    return objectFromHandle<HostMutex>(handle, HandleTag::MutexKind);
}

OfxStatus mutexCreate(OfxMutexHandle* handle, int lockCount) {
    if (handle == nullptr) {
        return kOfxStatErrValue;
    }
    try {
        auto* mutex = new HostMutex();
        for (int i = 0; i < lockCount; ++i) {
            mutex->lock();
        }
        *handle = reinterpret_cast<OfxMutexHandle>(mutex);
        return kOfxStatOK;
    } catch (...) {
        return kOfxStatErrMemory;
    }
}

OfxStatus mutexDestroy(const OfxMutexHandle handle) {
    HostMutex* mutex = mutexFrom(handle);
    if (mutex == nullptr) {
        return kOfxStatErrBadHandle;
    }
    delete mutex;
    return kOfxStatOK;
}

OfxStatus mutexLock(const OfxMutexHandle handle) {
    HostMutex* mutex = mutexFrom(handle);
    if (mutex == nullptr) {
        return kOfxStatErrBadHandle;
    }
    mutex->lock();
    return kOfxStatOK;
}

OfxStatus mutexUnLock(const OfxMutexHandle handle) {
    HostMutex* mutex = mutexFrom(handle);
    if (mutex == nullptr) {
        return kOfxStatErrBadHandle;
    }
    return mutex->unlock() ? kOfxStatOK : kOfxStatErrValue;
}

OfxStatus mutexTryLock(const OfxMutexHandle handle) {
    HostMutex* mutex = mutexFrom(handle);
    if (mutex == nullptr) {
        return kOfxStatErrBadHandle;
    }
    return mutex->tryLock() ? kOfxStatOK : kOfxStatFailed;
}

// The stub's mutexes are NULL: there is nothing to exclude without threads.
OfxStatus nullMutexCreate(OfxMutexHandle* handle, int) {
    if (handle == nullptr) {
        return kOfxStatErrValue;
    }
    *handle = nullptr;
    return kOfxStatOK;
}

OfxStatus nullMutexOperation(const OfxMutexHandle handle) {
    return handle == nullptr ? kOfxStatOK : kOfxStatErrBadHandle;
}

int neverSpawned() {
    return 0;
}

const OfxMultiThreadSuiteV1 kThreaded = {multiThread,     numCpus,     threadIndex,
                                         isSpawnedThread, mutexCreate, mutexDestroy,
                                         mutexLock,       mutexUnLock, mutexTryLock};

const OfxMultiThreadSuiteV1 kSequential = {
    multiThreadSequential, numCpusSequential, threadIndex, isSpawnedThread, mutexCreate,
    mutexDestroy,          mutexLock,         mutexUnLock, mutexTryLock};

const OfxMultiThreadSuiteV1 kStub = {multiThreadInline,  numCpusSequential,  threadIndex,
                                     neverSpawned,       nullMutexCreate,    nullMutexOperation,
                                     nullMutexOperation, nullMutexOperation, nullMutexOperation};

} // namespace

const OfxMultiThreadSuiteV1* MultiThreadSuite::table(bool threaded) {
    return threaded ? &kThreaded : &kSequential;
}

const OfxMultiThreadSuiteV1* MultiThreadSuite::stubTable() {
    return &kStub;
}

void MultiThreadSuite::configure(unsigned int count) {
    gConfiguredCpus = count;
}

unsigned int MultiThreadSuite::cpuCount() {
    const unsigned int configured = gConfiguredCpus;
    if (configured != 0) {
        return configured;
    }
    return std::max(std::thread::hardware_concurrency(), 1u);
}

MultiThreadSuite::Stats MultiThreadSuite::stats() {
    StatsStore& store = statsStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    return store.stats;
}

void MultiThreadSuite::resetStats() {
    StatsStore& store = statsStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.stats = Stats{};
    store.threads.clear();
}

int MultiThreadSuite::liveMutexes() {
    return gLiveMutexes;
}

} // namespace ofxhost
