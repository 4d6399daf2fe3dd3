#pragma once

#include "render/RenderBufferManager.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace render {

// One RenderBufferManager per host output buffer address, bounded by a GPU memory budget:
// when full, the least recently used manager is destroyed.
class BufferPool {
public:
    static constexpr std::size_t kBudgetMB = 2000;
    static constexpr std::size_t kMinEntries = 4;
    static constexpr std::size_t kMaxEntries = 16;

    explicit BufferPool(gpu::Runtime& runtime) : runtime_(runtime) {}

    // The manager for this output buffer; processBuffers is the number of per-process linear
    // buffers the instance holds now, which share the budget.
    RenderBufferManager& acquireBufferManager(const void* outputBuffer, int width, int height,
                                              std::size_t processBuffers);

    // Entries a budget allows for frames of this size.
    static std::size_t capacityFor(int width, int height, std::size_t processBuffers);

    std::size_t size() const;
    void clear();

private:
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
