#include "host/suites/MemorySuite.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace ofxhost {

namespace {

constexpr size_t kAlignment = 16;

// Live blocks by the address handed out, with the address malloc returned: freeing anything
// else is refused instead of corrupting the heap.
struct Blocks {
    std::mutex mutex;
    std::unordered_map<void*, void*> live;
};

Blocks& blocks() {
    static Blocks instance;
    return instance;
}

OfxStatus memoryAlloc(void*, size_t bytes, void** data) {
    if (data == nullptr) {
        return kOfxStatErrValue;
    }
    *data = nullptr;
    void* raw = std::malloc(bytes + kAlignment);
    if (raw == nullptr) {
        return kOfxStatErrMemory;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(raw);
    void* aligned =
        reinterpret_cast<void*>(address + (kAlignment - address % kAlignment) % kAlignment);
    try {
        std::lock_guard<std::mutex> lock(blocks().mutex);
        blocks().live.emplace(aligned, raw);
    } catch (...) {
        std::free(raw);
        return kOfxStatErrMemory;
    }
    *data = aligned;
    return kOfxStatOK;
}

OfxStatus memoryFree(void* data) {
    void* raw = nullptr;
    {
        std::lock_guard<std::mutex> lock(blocks().mutex);
        auto found = blocks().live.find(data);
        if (found == blocks().live.end()) {
            return kOfxStatErrBadHandle;
        }
        raw = found->second;
        blocks().live.erase(found);
    }
    std::free(raw);
    return kOfxStatOK;
}

const OfxMemorySuiteV1 kMemorySuite = {memoryAlloc, memoryFree};

} // namespace

const OfxMemorySuiteV1* memorySuiteV1() {
    return &kMemorySuite;
}

int liveMemoryBlocks() {
    std::lock_guard<std::mutex> lock(blocks().mutex);
    return static_cast<int>(blocks().live.size());
}

} // namespace ofxhost
