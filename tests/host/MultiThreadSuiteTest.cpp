// The multithread suite runs plug-in work on real threads, refuses nesting and provides
// mutexes that behave across threads; a host without threads runs it inline.

#include "host/suites/MultiThreadSuite.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

using ofxhost::MultiThreadSuite;

struct Work {
    const OfxMultiThreadSuiteV1* suite = nullptr;
    std::mutex mutex;
    std::set<unsigned int> indices;
    std::set<std::thread::id> threads;
    std::vector<unsigned int> maxima;
    std::atomic<int> spawned{0};
    std::atomic<int> nested{kOfxStatOK};
};

void record(unsigned int index, unsigned int max, void* arg) {
    auto& work = *static_cast<Work*>(arg);
    unsigned int reported = 99;
    work.suite->multiThreadIndex(&reported);
    std::lock_guard<std::mutex> lock(work.mutex);
    work.indices.insert(reported == index ? index : 1000 + index);
    work.threads.insert(std::this_thread::get_id());
    work.maxima.push_back(max);
    work.spawned += work.suite->multiThreadIsSpawnedThread();
}

void nest(unsigned int, unsigned int, void* arg) {
    auto& work = *static_cast<Work*>(arg);
    work.nested = work.suite->multiThread(record, 2, arg);
}

TEST(MultiThreadSuite, RunsEveryIndexOnItsOwnThreadAndRefusesToNest) {
    Work work;
    work.suite = MultiThreadSuite::table(true);
    MultiThreadSuite::resetStats();
    EXPECT_EQ(work.suite->multiThread(record, 4, &work), kOfxStatOK);
    EXPECT_EQ(work.indices, (std::set<unsigned int>{0, 1, 2, 3}));
    EXPECT_EQ(work.threads.size(), 4u);
    EXPECT_EQ(work.maxima, (std::vector<unsigned int>(4, 4)));
    EXPECT_EQ(work.spawned, 4);
    EXPECT_EQ(work.suite->multiThreadIsSpawnedThread(), 0);
    const auto stats = MultiThreadSuite::stats();
    EXPECT_EQ(stats.calls, 1);
    EXPECT_EQ(stats.largestSplit, 4u);
    EXPECT_EQ(stats.distinctThreads, 4u);

    // A spawned thread may not split its work again.
    EXPECT_EQ(work.suite->multiThread(nest, 1, &work), kOfxStatOK);
    EXPECT_EQ(work.nested, kOfxStatErrExists);
}

TEST(MultiThreadSuite, SequentialTableRunsAllIndicesOnTheCallingThread) {
    Work work;
    work.suite = MultiThreadSuite::table(false);
    unsigned int cpus = 0;
    work.suite->multiThreadNumCPUs(&cpus);
    EXPECT_EQ(cpus, 1u);
    EXPECT_EQ(work.suite->multiThread(record, 3, &work), kOfxStatOK);
    EXPECT_EQ(work.indices, (std::set<unsigned int>{0, 1, 2}));
    EXPECT_EQ(work.threads, (std::set<std::thread::id>{std::this_thread::get_id()}));
}

TEST(MultiThreadSuite, StubTableRunsTheWholeJobOnceInlineWithNullMutexes) {
    Work work;
    work.suite = MultiThreadSuite::stubTable();
    unsigned int cpus = 0;
    work.suite->multiThreadNumCPUs(&cpus);
    EXPECT_EQ(cpus, 1u);
    EXPECT_EQ(work.suite->multiThread(record, 4, &work), kOfxStatOK);
    // One share, index 0 of 1: a plug-in that splits by the count it is given covers it all.
    EXPECT_EQ(work.indices, (std::set<unsigned int>{0}));
    EXPECT_EQ(work.maxima, (std::vector<unsigned int>{1}));
    EXPECT_EQ(work.threads, (std::set<std::thread::id>{std::this_thread::get_id()}));

    OfxMutexHandle mutex = reinterpret_cast<OfxMutexHandle>(&work);
    ASSERT_EQ(work.suite->mutexCreate(&mutex, 1), kOfxStatOK);
    EXPECT_EQ(mutex, nullptr);
    EXPECT_EQ(work.suite->mutexLock(mutex), kOfxStatOK);
    EXPECT_EQ(work.suite->mutexTryLock(mutex), kOfxStatOK);
    EXPECT_EQ(work.suite->mutexUnLock(mutex), kOfxStatOK);
    EXPECT_EQ(work.suite->mutexUnLock(mutex), kOfxStatOK);
    EXPECT_EQ(work.suite->mutexDestroy(mutex), kOfxStatOK);
}

TEST(MultiThreadSuite, ReportsTheConfiguredCpuCount) {
    MultiThreadSuite::configure(6);
    unsigned int cpus = 0;
    MultiThreadSuite::table(true)->multiThreadNumCPUs(&cpus);
    EXPECT_EQ(cpus, 6u);
    MultiThreadSuite::configure(0);
    MultiThreadSuite::table(true)->multiThreadNumCPUs(&cpus);
    EXPECT_GE(cpus, 1u);
}

TEST(MultiThreadSuite, MutexesAreRecursiveForTheOwnerAndExclusiveForOthers) {
    const OfxMultiThreadSuiteV1& suite = *MultiThreadSuite::table(true);
    const int before = MultiThreadSuite::liveMutexes();
    OfxMutexHandle mutex = nullptr;
    ASSERT_EQ(suite.mutexCreate(&mutex, 1), kOfxStatOK);
    EXPECT_EQ(suite.mutexTryLock(mutex), kOfxStatOK);
    OfxStatus fromOtherThread = kOfxStatOK;
    OfxStatus unlockFromOtherThread = kOfxStatOK;
    std::thread other([&] {
        fromOtherThread = suite.mutexTryLock(mutex);
        unlockFromOtherThread = suite.mutexUnLock(mutex);
    });
    other.join();
    EXPECT_EQ(fromOtherThread, kOfxStatFailed);
    EXPECT_EQ(unlockFromOtherThread, kOfxStatErrValue);
    EXPECT_EQ(suite.mutexUnLock(mutex), kOfxStatOK);
    EXPECT_EQ(suite.mutexUnLock(mutex), kOfxStatOK);
    EXPECT_EQ(suite.mutexUnLock(mutex), kOfxStatErrValue);

    std::thread later([&] { fromOtherThread = suite.mutexTryLock(mutex); });
    later.join();
    EXPECT_EQ(fromOtherThread, kOfxStatOK);
    EXPECT_EQ(suite.mutexDestroy(mutex), kOfxStatOK);
    EXPECT_EQ(MultiThreadSuite::liveMutexes(), before);
}

} // namespace
