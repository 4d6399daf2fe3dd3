#include "ofx/support/PluginRegistry.h"

#include "ofx/ofxImageEffect.h"
#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"
#include "ofx/support/ImageEffectHostDescription.h"
#include "ofx/support/SupportLog.h"

#include <map>
#include <mutex>
#include <vector>

namespace OFX {

namespace {

struct Registry {
    std::vector<PluginFactory*> factories;
    std::vector<OfxPlugin> plugins;
    std::map<std::string, PluginFactory*> byUid;
};

void setHostEntry(OfxHost* host) {
    try {
        PluginRegistry::setHost(host);
    } catch (...) {
        // Nothing may unwind into the host; Load reports the missing suites.
    }
}

void fill(Registry& registry) {
    PluginFactoryArray factories;
    try {
        Plugin::getPluginIDs(factories);
    } catch (const std::exception& e) {
        SupportLog::write("Plug-in list not built: %s", e.what());
        return;
    } catch (...) {
        SupportLog::write("Plug-in list not built: unknown exception");
        return;
    }
    for (PluginFactory* factory : factories) {
        if (factory == nullptr || registry.byUid.count(factory->getUID()) != 0) {
            continue;
        }
        registry.factories.push_back(factory);
        registry.byUid.emplace(factory->getUID(), factory);
    }
    // Reserved once: the host keeps pointers to these records.
    registry.plugins.reserve(registry.factories.size());
    for (PluginFactory* factory : registry.factories) {
        OfxPlugin plugin;
        plugin.pluginApi = kOfxImageEffectPluginApi;
        plugin.apiVersion = kOfxImageEffectPluginApiVersion;
        plugin.pluginIdentifier = factory->getPluginIdentifier().c_str();
        plugin.pluginVersionMajor = factory->getVersionMajor();
        plugin.pluginVersionMinor = factory->getVersionMinor();
        plugin.setHost = &setHostEntry;
        plugin.mainEntry = factory->getMainEntry();
        registry.plugins.push_back(plugin);
    }
}

Registry& registry() {
    static Registry instance;
    static std::once_flag filled;
    std::call_once(filled, [] { fill(instance); });
    return instance;
}

std::mutex& loadMutex() {
    static std::mutex mutex;
    return mutex;
}

int& loadCount() {
    static int count = 0;
    return count;
}

} // namespace

int PluginRegistry::count() {
    return static_cast<int>(registry().plugins.size());
}

OfxPlugin* PluginRegistry::plugin(int index) {
    Registry& r = registry();
    if (index < 0 || index >= static_cast<int>(r.plugins.size())) {
        SupportLog::write("Host attempted to get plugin %d, when there is only %d plugin(s), so "
                          "it should have asked for 0.",
                          index, static_cast<int>(r.plugins.size()));
        return nullptr;
    }
    return &r.plugins[static_cast<size_t>(index)];
}

PluginFactory* PluginRegistry::findFactory(const std::string& uid) {
    const Registry& r = registry();
    const auto found = r.byUid.find(uid);
    return found != r.byUid.end() ? found->second : nullptr;
}

void PluginRegistry::setHost(const OfxHost* host) {
    // Only the suite tables are kept: they outlive the host pointer, which OfxSetHost only
    // guarantees until OfxGetPlugin.
    suites().fetch(host);
}

void PluginRegistry::noteLoaded() {
    std::lock_guard<std::mutex> lock(loadMutex());
    ++loadCount();
}

void PluginRegistry::noteUnloaded() {
    std::lock_guard<std::mutex> lock(loadMutex());
    if (loadCount() > 0 && --loadCount() == 0) {
        clearImageEffectHostDescription();
    }
}

} // namespace OFX

// The exported C entry points. Nothing may unwind out of them.
extern "C" {

OfxExport int OfxGetNumberOfPlugins(void) {
    try {
        return OFX::PluginRegistry::count();
    } catch (...) {
        return 0;
    }
}

OfxExport OfxPlugin* OfxGetPlugin(int nth) {
    try {
        return OFX::PluginRegistry::plugin(nth);
    } catch (...) {
        return nullptr;
    }
}

OfxExport OfxStatus OfxSetHost(const OfxHost* host) {
    try {
        OFX::PluginRegistry::setHost(host);
        return kOfxStatOK;
    } catch (...) {
        return kOfxStatFailed;
    }
}

} // extern "C"
