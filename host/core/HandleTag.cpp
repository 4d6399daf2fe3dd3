#include "host/core/HandleTag.h"

#include <mutex>
#include <unordered_map>

namespace ofxhost {

namespace {

// A plain mutex: the lookups are short, and MinGW's reader-writer lock (winpthreads) is the
// least trodden lock on the Windows build.
struct Registry {
    std::mutex mutex;
    std::unordered_map<const void*, HandleTag::Kind> live;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

HandleTag::HandleTag(Kind kind, const void* object) : object_(object) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.live[object] = kind;
}

HandleTag::~HandleTag() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.live.erase(object_);
}

bool HandleTag::isLive(const void* object, Kind kind) {
    if (object == nullptr) {
        return false;
    }
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto found = r.live.find(object);
    return found != r.live.end() && found->second == kind;
}

} // namespace ofxhost
