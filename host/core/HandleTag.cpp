#include "host/core/HandleTag.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace ofxhost {

namespace {

struct Registry {
    std::shared_mutex mutex;
    std::unordered_map<const void*, HandleTag::Kind> live;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

HandleTag::HandleTag(Kind kind, const void* object) : object_(object) {
    Registry& r = registry();
    std::unique_lock<std::shared_mutex> lock(r.mutex);
    r.live[object] = kind;
}

HandleTag::~HandleTag() {
    Registry& r = registry();
    std::unique_lock<std::shared_mutex> lock(r.mutex);
    r.live.erase(object_);
}

bool HandleTag::isLive(const void* object, Kind kind) {
    if (object == nullptr) {
        return false;
    }
    Registry& r = registry();
    std::shared_lock<std::shared_mutex> lock(r.mutex);
    auto found = r.live.find(object);
    return found != r.live.end() && found->second == kind;
}

} // namespace ofxhost
