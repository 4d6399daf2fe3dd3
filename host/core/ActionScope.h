#pragma once

namespace ofxhost {

// The plug-in actions the calling thread is inside, innermost last. A strict host judges what
// the plug-in does by the action it happens in; threads the multithread suite starts work
// inside the action of the thread that started them.
class ActionScope {
public:
    // action must outlive the scope (the action strings are literals).
    explicit ActionScope(const char* action);
    ~ActionScope();
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

    // The innermost action, or nullptr outside any.
    static const char* current();

private:
    const char* previous_;
};

} // namespace ofxhost
