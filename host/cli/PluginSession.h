#pragma once

#include "host/plugin/Host.h"
#include "host/plugin/HostProfile.h"
#include "host/plugin/PluginBundle.h"

#include <filesystem>
#include <optional>
#include <string>

namespace ofxhost {

// The first effect of a bundle loaded, described and described in its context, as a host
// application does before it shows the effect. Failures throw HostError or UsageError with
// one line naming the step.
class PluginSession {
public:
    PluginSession(const HostProfile& profile, const std::filesystem::path& bundle,
                  const std::optional<std::string>& context);
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    Host& host() { return host_; }
    PluginBundle& bundle() { return bundle_; }
    Plugin& plugin() { return *plugin_; }
    // The OFX context it was described in: the one asked for, else filter, else general.
    const std::string& context() const { return context_; }

private:
    Host host_;
    PluginBundle bundle_;
    Plugin* plugin_ = nullptr;
    std::string context_;
};

} // namespace ofxhost
