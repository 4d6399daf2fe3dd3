#include "host/effect/ImageMemory.h"

#include <cstdint>

namespace ofxhost {

namespace {

constexpr size_t kAlignment = 16;
std::atomic<int> gLiveBlocks{0};

} // namespace

ImageMemory::ImageMemory(size_t bytes)
    : bytes_(bytes), storage_(std::make_unique<unsigned char[]>(bytes + kAlignment)) {
    const auto address = reinterpret_cast<std::uintptr_t>(storage_.get());
    aligned_ = storage_.get() + (kAlignment - address % kAlignment) % kAlignment;
    ++gLiveBlocks;
}

ImageMemory::~ImageMemory() {
    --gLiveBlocks;
}

ImageMemory* ImageMemory::fromHandle(OfxImageMemoryHandle handle) {
    return objectFromHandle<ImageMemory>(handle, HandleTag::ImageMemoryKind);
}

void* ImageMemory::lock() {
    ++locks_;
    return aligned_;
}

bool ImageMemory::unlock() {
    int current = locks_.load();
    while (current > 0) {
        if (locks_.compare_exchange_weak(current, current - 1)) {
            return true;
        }
    }
    return false;
}

int ImageMemory::liveCount() {
    return gLiveBlocks;
}

} // namespace ofxhost
