#include "kernels/RowThreadPool.h"

#include "platform/LibraryUnload.h"

#include <atomic>

namespace kernels {

struct RowThreadPool::Job {
    int rows;
    const std::function<void(int)>* body;
    std::atomic<int> next{0};
};

RowThreadPool::RowThreadPool(unsigned threads) : threads_(threads == 0 ? 1 : threads) {}

RowThreadPool::~RowThreadPool() {
    shutdown();
}

void RowThreadPool::startWorkers() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
    // Workers wait for the generation after this one, so none takes a job it was not counted for.
    const unsigned current = generation_;
    for (unsigned i = 1; i < threads_; ++i) {
        workers_.emplace_back([this, current] { workerLoop(current); });
    }
}

void RowThreadPool::shutdown() {
    std::lock_guard<std::mutex> runLock(runMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

RowThreadPool& RowThreadPool::shared() {
    if (platform::kCanJoinThreadsWhileUnloading) {
        static RowThreadPool pool;
        return pool;
    }
    // Never destroyed: its workers stay parked, never woken again, and end with the process.
    static RowThreadPool* const pool = new RowThreadPool;
    return *pool;
}

void RowThreadPool::drain(Job& job) {
    for (int row = job.next.fetch_add(1); row < job.rows; row = job.next.fetch_add(1)) {
        (*job.body)(row);
    }
}

void RowThreadPool::run(int rows, const std::function<void(int)>& body) {
    if (rows <= 0) {
        return;
    }
    std::lock_guard<std::mutex> runLock(runMutex_);
    if (workers_.empty() && threads_ > 1) {
        startWorkers();
    }
    Job job;
    job.rows = rows;
    job.body = &body;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = &job;
        ++generation_;
        busyWorkers_ = static_cast<unsigned>(workers_.size());
    }
    wake_.notify_all();
    drain(job);
    // The job lives on this stack frame: wait until no worker can still touch it.
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busyWorkers_ == 0; });
    job_ = nullptr;
}

void RowThreadPool::workerLoop(unsigned seen) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
        if (stopping_) {
            return;
        }
        seen = generation_;
        Job* job = job_;
        lock.unlock();
        drain(*job);
        lock.lock();
        if (--busyWorkers_ == 0) {
            done_.notify_one();
        }
    }
}

} // namespace kernels
