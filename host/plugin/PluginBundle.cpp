#include "host/plugin/PluginBundle.h"

#include "host/core/HostError.h"
#include "host/plugin/Host.h"

#include "ofx/ofxImageEffect.h"

#include <algorithm>
#include <cstring>

namespace ofxhost {

namespace {

using SetHostFunction = OfxStatus (*)(const OfxHost*);
using CountFunction = int (*)();
using GetPluginFunction = OfxPlugin* (*)(int);

template <class Function>
Function entryPoint(const DynamicLibrary& library, const char* name) {
    return reinterpret_cast<Function>(library.symbol(name));
}

} // namespace

std::string PluginBundle::architectureFolder() {
#if defined(_WIN64)
    return "Win64";
#elif defined(_WIN32)
    return "Win32";
#elif defined(__APPLE__)
    return "MacOS";
#elif defined(__linux__) && defined(__x86_64__)
    return "Linux-x86-64";
#elif defined(__linux__) && defined(__aarch64__)
    return "Linux-aarch64";
#else
    return "Linux-x86";
#endif
}

std::filesystem::path PluginBundle::binaryPath(const std::filesystem::path& bundle) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_regular_file(bundle, error) && bundle.extension() == ".ofx") {
        return bundle;
    }
    if (!fs::is_directory(bundle, error)) {
        throw HostError(kOfxStatErrUnknown, "no plug-in bundle at " + bundle.string());
    }
    const fs::path folder = bundle / "Contents" / architectureFolder();
    // "name.ofx.bundle" holds "name.ofx".
    const std::string bundleName = bundle.filename().string();
    const std::string suffix = ".bundle";
    if (bundleName.size() > suffix.size() &&
        bundleName.compare(bundleName.size() - suffix.size(), suffix.size(), suffix) == 0) {
        const fs::path named = folder / bundleName.substr(0, bundleName.size() - suffix.size());
        if (fs::is_regular_file(named, error)) {
            return named;
        }
    }
    std::vector<fs::path> candidates;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".ofx" && entry.is_regular_file(error)) {
            candidates.push_back(entry.path());
        }
    }
    if (candidates.empty()) {
        throw HostError(kOfxStatErrUnknown, "no .ofx binary in " + folder.string() + " (bundle " +
                                                bundle.string() + ")");
    }
    std::sort(candidates.begin(), candidates.end());
    return candidates.front();
}

PluginBundle::PluginBundle(Host& host, const std::filesystem::path& bundle) : bundle_(bundle) {
    library_ = std::make_unique<DynamicLibrary>(binaryPath(bundle));
    auto setHost = entryPoint<SetHostFunction>(*library_, "OfxSetHost");
    auto count = entryPoint<CountFunction>(*library_, "OfxGetNumberOfPlugins");
    auto getPlugin = entryPoint<GetPluginFunction>(*library_, "OfxGetPlugin");
    if (count == nullptr || getPlugin == nullptr) {
        throw HostError(kOfxStatErrFatal,
                        library_->path().string() + " does not export the OFX entry points");
    }
    // kOfxStatFailed from OfxSetHost: the binary has nothing for this host.
    if (setHost != nullptr && setHost(host.ofxHost()) == kOfxStatFailed) {
        return;
    }
    const int available = count();
    for (int i = 0; i < available; ++i) {
        OfxPlugin* plugin = getPlugin(i);
        if (plugin == nullptr) {
            continue;
        }
        const bool imageEffect = plugin->pluginApi != nullptr &&
                                 std::strcmp(plugin->pluginApi, kOfxImageEffectPluginApi) == 0 &&
                                 plugin->apiVersion == kOfxImageEffectPluginApiVersion;
        if (!imageEffect) {
            skipped_.push_back(plugin->pluginIdentifier ? plugin->pluginIdentifier : "");
            continue;
        }
        plugins_.push_back(std::make_unique<Plugin>(host, *plugin, bundle.string()));
    }
}

PluginBundle::~PluginBundle() {
    // Instances and Unload first, while the binary is still mapped.
    plugins_.clear();
    library_.reset();
}

Plugin& PluginBundle::plugin(size_t index) {
    if (index >= plugins_.size()) {
        throw HostError(kOfxStatErrBadIndex, "bundle " + bundle_.string() + " has " +
                                                 std::to_string(plugins_.size()) + " effect(s)");
    }
    return *plugins_[index];
}

Plugin* PluginBundle::findPlugin(const std::string& identifier) {
    for (const auto& plugin : plugins_) {
        if (plugin->identifier() == identifier) {
            return plugin.get();
        }
    }
    return nullptr;
}

} // namespace ofxhost
