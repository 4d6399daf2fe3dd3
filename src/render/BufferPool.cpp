#include "render/BufferPool.h"

#include "log/Logger.h"

#include <algorithm>

namespace render {

std::size_t BufferPool::capacityFor(int width, int height, std::size_t processBuffers) {
    // One float RGBA frame in whole MiB, truncated.
    const std::size_t frameMB = (std::size_t(width) * std::size_t(height)) >> 16;
    const std::size_t entryMB = frameMB * (processBuffers + 1);
    if (entryMB == 0) {
        return kMaxEntries;
    }
    return std::clamp(kBudgetMB / entryMB, kMinEntries, kMaxEntries);
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

    const std::size_t capacity = capacityFor(width, height, processBuffers);
    if (!capacityLogged_) {
        capacityLogged_ = true;
        const std::size_t frameMB = (std::size_t(width) * std::size_t(height)) >> 16;
        HALDEN_LOG_INFO("💾 Pool capacity: %zu entries (entry=%zuMB: ping-pong=%zuMB + "
                        "%zu×pipeline=%zuMB, budget=%zuMB, resolution=%dx%d)",
                        capacity, frameMB * (processBuffers + 1), frameMB, processBuffers,
                        frameMB * processBuffers, kBudgetMB, width, height);
    }
    if (entries_.size() >= capacity) {
        // Oldest stamp; on a tie the lowest address, which map order gives first.
        auto oldest = entries_.begin();
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->second.lastUse < oldest->second.lastUse) {
                oldest = it;
            }
        }
        HALDEN_LOG_INFO("Pool at cap (%zu) - LRU evicting entry last used frame %d (age=%d frames)",
                        capacity, oldest->second.lastUse, useCounter_ - oldest->second.lastUse);
        entries_.erase(oldest);
    }
    Entry entry;
    entry.manager = std::make_unique<RenderBufferManager>(runtime_);
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
