#pragma once

#include "host/platform/DynamicLibrary.h"
#include "host/plugin/Plugin.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ofxhost {

class Host;

// A loaded *.ofx.bundle: the binary for this machine's architecture and the effects in it.
// Destruction destroys the effects (their instances, then Unload) before the binary is unloaded.
class PluginBundle {
public:
    // Throws HostError when the binary is missing, fails to load or lacks the entry points.
    PluginBundle(Host& host, const std::filesystem::path& bundle);
    ~PluginBundle();
    PluginBundle(const PluginBundle&) = delete;
    PluginBundle& operator=(const PluginBundle&) = delete;

    // The binary inside a bundle: Contents/<architecture>/<name>.ofx, else any *.ofx there.
    // A path to an .ofx file is taken as it is. Throws HostError when there is none.
    static std::filesystem::path binaryPath(const std::filesystem::path& bundle);
    // "Linux-x86-64", "Win64", ... for the machine this host was built for.
    static std::string architectureFolder();

    const std::filesystem::path& path() const { return bundle_; }
    // The loaded binary, for exports beyond the OFX entry points.
    const DynamicLibrary& library() const { return *library_; }
    size_t pluginCount() const { return plugins_.size(); }
    Plugin& plugin(size_t index);
    // nullptr when no effect has that identifier.
    Plugin* findPlugin(const std::string& identifier);
    // Effects the binary listed but this host cannot drive (wrong API or version).
    const std::vector<std::string>& skipped() const { return skipped_; }

private:
    std::filesystem::path bundle_;
    // Declared first so it is unloaded last.
    std::unique_ptr<DynamicLibrary> library_;
    std::vector<std::unique_ptr<Plugin>> plugins_;
    std::vector<std::string> skipped_;
};

} // namespace ofxhost
