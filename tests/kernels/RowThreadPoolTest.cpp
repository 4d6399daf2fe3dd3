#include "kernels/RowThreadPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

TEST(RowThreadPool, EveryRowRunsOnceAlsoAfterAShutdown) {
    kernels::RowThreadPool pool(3);
    for (int round = 0; round < 3; ++round) {
        std::vector<std::atomic<int>> hits(257);
        pool.run(257, [&](int row) { hits[std::size_t(row)]++; });
        for (const std::atomic<int>& hit : hits) {
            EXPECT_EQ(hit.load(), 1);
        }
        // Unloading stops the workers; the next frame starts them again.
        pool.shutdown();
    }
    pool.shutdown();
}

} // namespace
