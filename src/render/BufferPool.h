#pragma once

#include "render/RenderBufferManager.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace render {

// One RenderBufferManager per host output buffer address, bounded by a GPU memory budget:
// when full, the least recently used manager is destroyed. The budget is the smaller of
// kBudgetMB and an even share, among the live pools (one per instance), of half the memory the
// device has free plus what this pool holds.
class BufferPool {
public:
    static constexpr std::size_t kBudgetMB = 2000;
    static constexpr std::size_t kMinEntries = 4;
    static constexpr std::size_t kMaxEntries = 16;

    explicit BufferPool(gpu::Runtime& runtime) : runtime_(runtime) { ++livePools(); }
    ~BufferPool() { --livePools(); }
    BufferPool(const BufferPool&) = delete;
    BufferPool& operator=(const BufferPool&) = delete;

    // The manager for this output buffer; processBuffers is the number of per-process linear
    // buffers the instance holds now, which share the budget.
    RenderBufferManager& acquireBufferManager(const void* outputBuffer, int width, int height,
                                              std::size_t processBuffers);

    // Entries a budget allows for frames of this size: budgetMB / entry, within kMinEntries
    // and kMaxEntries, and fewer than kMinEntries only where the budget holds fewer (at least
    // one).
    static std::size_t capacityFor(int width, int height, std::size_t processBuffers,
                                   std::size_t budgetMB = kBudgetMB);
    // This pool's budget now, in MiB.
    std::size_t budgetMB(std::size_t entryMB) const;

    std::size_t size() const;
    void clear();

private:
    static std::atomic<int>& livePools();

    struct Entry {
        std::unique_ptr<RenderBufferManager> manager;
        std::int32_t lastUse = 0;
    };

    gpu::Runtime& runtime_;
    mutable std::mutex mutex_;
    std::map<std::uintptr_t, Entry> entries_;
    std::int32_t useCounter_ = 0;
    bool capacityLogged_ = false;
};

} // namespace render
