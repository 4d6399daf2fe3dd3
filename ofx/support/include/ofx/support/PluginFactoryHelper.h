#pragma once

#include "ofx/support/ActionDispatcher.h"
#include "ofx/support/PluginFactory.h"

#include <string>

namespace OFX {

// Gives a factory class its own C entry point for the host: the entry point reaches the
// dispatcher with the factory's unique id, since the C API passes no user data. One object
// per factory class.
template <class Factory>
class PluginFactoryHelper : public PluginFactory {
public:
    PluginFactoryHelper(const std::string& identifier, unsigned int versionMajor,
                        unsigned int versionMinor)
        : PluginFactory(identifier, versionMajor, versionMinor) {
        uid() = getUID();
    }

    OfxPluginEntryPoint* getMainEntry() const override { return &mainEntry; }

private:
    static std::string& uid() {
        static std::string value;
        return value;
    }

    static OfxStatus mainEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                               OfxPropertySetHandle outArgs) {
        return ActionDispatcher::dispatch(uid(), action, handle, inArgs, outArgs);
    }
};

} // namespace OFX
