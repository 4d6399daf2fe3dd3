#include "render/BufferPool.h"

#include "log/Logger.h"

#include <algorithm>

namespace render {

std::atomic<int>& BufferPool::livePools() {
    static std::atomic<int> count{0};
    return count;
}

std::size_t BufferPool::capacityFor(int width, int height, std::size_t processBuffers,
                                    std::size_t budgetMB) {
    // One float RGBA frame in whole MiB, truncated.
    const std::size_t frameMB = (std::size_t(width) * std::size_t(height)) >> 16;
    const std::size_t entryMB = frameMB * (processBuffers + 1);
    if (entryMB == 0) {
        return kMaxEntries;
    }
    const std::size_t fits = budgetMB / entryMB;
    if (budgetMB < kBudgetMB && fits < kMinEntries) {
        return std::max<std::size_t>(1, fits);
    }
    return std::clamp(fits, kMinEntries, kMaxEntries);
}

std::size_t BufferPool::budgetMB(std::size_t entryMB) const {
    std::size_t free = 0, total = 0;
    if (runtime_.memGetInfo(&free, &total) != gpu::Error::Success) {
        runtime_.getLastError();
        return kBudgetMB;
    }
    const double heldMB = double(entries_.size()) * double(entryMB);
    const double shareMB =
        (double(free) / 1048576.0 + heldMB) / 2.0 / std::max(1, livePools().load());
    return std::min(kBudgetMB, static_cast<std::size_t>(shareMB));
}

RenderBufferManager& BufferPool::acquireBufferManager(const void* outputBuffer, int width,
                                                      int height, std::size_t processBuffers) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++useCounter_;
    const std::uintptr_t key = reinterpret_cast<std::uintptr_t>(outputBuffer);
    const auto hit = entries_.find(key);
    if (hit != entries_.end()) {
        hit->second.lastUse = useCounter_;
        HALDEN_LOG_DEBUG("Buffer pool HIT for dstImgBuffer=%p (pool size=%zu)", outputBuffer,
                         entries_.size());
        return *hit->second.manager;
    }

    const std::size_t frameMB = (std::size_t(width) * std::size_t(height)) >> 16;
    const std::size_t budget = budgetMB(frameMB * (processBuffers + 1));
    const std::size_t capacity = capacityFor(width, height, processBuffers, budget);
    if (!capacityLogged_) {
        capacityLogged_ = true;
        HALDEN_LOG_INFO("💾 Pool capacity: %zu entries (entry=%zuMB: ping-pong=%zuMB + "
                        "%zu×pipeline=%zuMB, budget=%zuMB, resolution=%dx%d)",
                        capacity, frameMB * (processBuffers + 1), frameMB, processBuffers,
                        frameMB * processBuffers, budget, width, height);
    }
    // A manager's arrays are scratch, tied to no address: the evicted one serves the new
    // address, so a host that hands a new output buffer every frame does not make and free
    // (which waits for the whole device) arrays every frame.
    std::unique_ptr<RenderBufferManager> reused;
    while (entries_.size() >= capacity) {
        // Oldest stamp; on a tie the lowest address, which map order gives first.
        auto oldest = entries_.begin();
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->second.lastUse < oldest->second.lastUse) {
                oldest = it;
            }
        }
        HALDEN_LOG_INFO("Pool at cap (%zu) - LRU evicting entry last used frame %d (age=%d frames)",
                        capacity, oldest->second.lastUse, useCounter_ - oldest->second.lastUse);
        reused = std::move(oldest->second.manager);
        entries_.erase(oldest);
    }
    Entry entry;
    entry.manager = reused ? std::move(reused) : std::make_unique<RenderBufferManager>(runtime_);
    entry.lastUse = useCounter_;
    RenderBufferManager& manager = *entry.manager;
    entries_.emplace(key, std::move(entry));
    HALDEN_LOG_INFO("Buffer pool MISS - created RenderBufferManager for dstImgBuffer=%p (pool size "
                    "now=%zu, cap=%zu)",
                    outputBuffer, entries_.size(), capacity);
    return manager;
}

std::size_t BufferPool::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

void BufferPool::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

} // namespace render
