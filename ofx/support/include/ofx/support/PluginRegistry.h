#pragma once

#include "ofx/ofxCore.h"
#include "ofx/support/PluginFactory.h"

#include <string>

namespace OFX {

// The binary's plug-in list behind OfxGetNumberOfPlugins and OfxGetPlugin, filled once from
// Plugin::getPluginIDs on first use.
class PluginRegistry {
public:
    static int count();
    // nullptr (and a note in SupportLog) for an index out of range.
    static OfxPlugin* plugin(int index);
    static PluginFactory* findFactory(const std::string& uid);

    // What OfxPlugin::setHost and OfxSetHost do: remember the host's suites.
    static void setHost(const OfxHost* host);

    // Load bookkeeping, so the host description is dropped after the last Unload.
    static void noteLoaded();
    static void noteUnloaded();
};

} // namespace OFX
