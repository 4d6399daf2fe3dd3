#include "host/core/ActionScope.h"

namespace ofxhost {

namespace {

thread_local const char* gCurrent = nullptr;

} // namespace

ActionScope::ActionScope(const char* action) : previous_(gCurrent) {
    gCurrent = action;
}

ActionScope::~ActionScope() {
    gCurrent = previous_;
}

const char* ActionScope::current() {
    return gCurrent;
}

} // namespace ofxhost
