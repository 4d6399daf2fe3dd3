#include "kernels/RowThreadPool.h"

#include <atomic>

namespace kernels {

struct RowThreadPool::Job {
    int rows;
    const std::function<void(int)>* body;
    std::atomic<int> next{0};
};

RowThreadPool::RowThreadPool(unsigned threads) {
    const unsigned total = threads == 0 ? 1 : threads;
    for (unsigned i = 1; i < total; ++i) {
        workers_.emplace_back([this] { workerLoop(); });
    }
}

RowThreadPool::~RowThreadPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

RowThreadPool& RowThreadPool::shared() {
    static RowThreadPool pool;
    return pool;
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

void RowThreadPool::workerLoop() {
    unsigned seen = 0;
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
