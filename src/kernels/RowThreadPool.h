#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kernels {

// Runs the rows of a frame in parallel on worker threads sized to the machine; the calling
// thread works too. One frame at a time: concurrent callers queue on the pool.
class RowThreadPool {
public:
    explicit RowThreadPool(unsigned threads = std::thread::hardware_concurrency());
    ~RowThreadPool();

    // Joins the worker threads; the next run starts them again. Hosts unload the plug-in after
    // its unload action, which calls this, so no thread is left running in unloaded code.
    void shutdown();
    RowThreadPool(const RowThreadPool&) = delete;
    RowThreadPool& operator=(const RowThreadPool&) = delete;

    // Calls body(row) once for every row in [0, rows); returns when all are done.
    void run(int rows, const std::function<void(int)>& body);

    unsigned threadCount() const { return threads_; }

    // The pool the CPU backend's kernel launches use.
    static RowThreadPool& shared();

private:
    struct Job;
    void workerLoop(unsigned seen);
    void startWorkers();
    static void drain(Job& job);

    unsigned threads_;
    std::mutex runMutex_; // one frame at a time
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    Job* job_ = nullptr;
    unsigned generation_ = 0;
    unsigned busyWorkers_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace kernels
