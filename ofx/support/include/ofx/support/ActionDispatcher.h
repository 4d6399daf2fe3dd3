#pragma once

#include "ofx/ofxCore.h"

#include <string>

namespace OFX {

class PluginFactory;

// The body of every plug-in main entry: routes the host's actions to the factory (describe,
// instances) and to effect instances, and turns every exception into a status.
class ActionDispatcher {
public:
    static OfxStatus dispatch(const std::string& uid, const char* action, const void* handle,
                              OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs) noexcept;
    static OfxStatus dispatch(PluginFactory& factory, const char* action, const void* handle,
                              OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs) noexcept;
};

} // namespace OFX
