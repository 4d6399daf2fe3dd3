#pragma once

#include <cstdint>

namespace ofxhost {

// A member of every object the host hands out as an opaque handle: it registers the object's
// address and kind while the object lives. A plug-in that passes the wrong kind of handle, or
// one already destroyed, gets kOfxStatErrBadHandle; the host never reads through it.
class HandleTag {
public:
    enum Kind : std::uint32_t {
        PropertySetKind = 1,
        ImageEffectKind,
        ClipKind,
        ParamSetKind,
        ParamKind,
        InteractKind,
        DrawContextKind,
        MutexKind,
        ImageMemoryKind,
    };

    HandleTag(Kind kind, const void* object);
    ~HandleTag();
    HandleTag(const HandleTag&) = delete;
    HandleTag& operator=(const HandleTag&) = delete;

    static bool isLive(const void* object, Kind kind);

private:
    const void* object_;
};

// Turns a handle back into the live object of the expected kind, or nullptr.
template <class Object, class Handle>
Object* objectFromHandle(Handle handle, HandleTag::Kind kind) {
    const void* address = reinterpret_cast<const void*>(handle);
    return HandleTag::isLive(address, kind) ? reinterpret_cast<Object*>(handle) : nullptr;
}

} // namespace ofxhost
