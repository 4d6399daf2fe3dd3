#pragma once

#include "host/core/HandleTag.h"

#include "ofx/ofxImageEffect.h"

#include <atomic>
#include <cstddef>
#include <memory>

namespace ofxhost {

// A block from imageMemoryAlloc, behind an OfxImageMemoryHandle: 16-byte aligned, with a lock
// count (locks nest).
class ImageMemory {
public:
    explicit ImageMemory(size_t bytes);
    ~ImageMemory();
    ImageMemory(const ImageMemory&) = delete;
    ImageMemory& operator=(const ImageMemory&) = delete;

    static ImageMemory* fromHandle(OfxImageMemoryHandle handle);
    OfxImageMemoryHandle handle() { return reinterpret_cast<OfxImageMemoryHandle>(this); }

    void* lock();
    bool unlock();
    int lockCount() const { return locks_; }
    // Blocks allocated and not yet freed, process-wide.
    static int liveCount();

private:
    HandleTag tag_{HandleTag::ImageMemoryKind, this};
    size_t bytes_;
    std::unique_ptr<unsigned char[]> storage_;
    void* aligned_ = nullptr;
    std::atomic<int> locks_{0};
};

} // namespace ofxhost
