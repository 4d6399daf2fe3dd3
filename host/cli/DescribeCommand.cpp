#include "host/cli/DescribeCommand.h"

#include "host/core/HostError.h"
#include "host/json/DescriptionJson.h"
#include "host/plugin/Host.h"
#include "host/plugin/PluginBundle.h"

#include "ofx/ofxImageEffect.h"

#include <algorithm>

namespace ofxhost {

namespace {

bool succeeded(OfxStatus status) {
    return status == kOfxStatOK || status == kOfxStatReplyDefault;
}

std::string chooseContext(const CliOptions& options, const std::vector<std::string>& supported,
                          const std::string& identifier) {
    auto supports = [&](const std::string& context) {
        return std::find(supported.begin(), supported.end(), context) != supported.end();
    };
    if (options.context) {
        if (!supports(*options.context)) {
            throw UsageError(identifier + " does not support the context " + *options.context);
        }
        return *options.context;
    }
    for (const char* preferred : {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}) {
        if (supports(preferred)) {
            return preferred;
        }
    }
    if (supported.empty()) {
        throw HostError(kOfxStatErrValue, identifier + " declares no context");
    }
    return supported.front();
}

} // namespace

std::filesystem::path DescribeCommand::bundlePath(const CliOptions& options) const {
    if (options.bundle) {
        return *options.bundle;
    }
    std::error_code error;
    if (!std::filesystem::exists(defaultBundle_, error)) {
        throw UsageError("no --bundle given and the default bundle " + defaultBundle_.string() +
                         " does not exist");
    }
    return defaultBundle_;
}

void DescribeCommand::run(const CliOptions& options, std::ostream& out) const {
    const std::filesystem::path path = bundlePath(options);
    Host host(CommandLine::profile(options));
    PluginBundle bundle(host, path);
    if (bundle.pluginCount() == 0) {
        throw HostError(kOfxStatErrUnknown, path.string() + " holds no image effect for this host");
    }
    Plugin& plugin = bundle.plugin(0);
    const OfxStatus loaded = plugin.load();
    if (!succeeded(loaded)) {
        throw HostError(loaded, plugin.identifier() + " refused to load (status " +
                                    std::to_string(loaded) + ")");
    }
    const OfxStatus described = plugin.describe();
    if (!succeeded(described)) {
        throw HostError(described, plugin.identifier() + " failed to describe itself (status " +
                                       std::to_string(described) + ")");
    }
    const std::string context =
        chooseContext(options, plugin.supportedContexts(), plugin.identifier());
    const OfxStatus inContext = plugin.describeInContext(context);
    if (!succeeded(inContext)) {
        throw HostError(inContext, plugin.identifier() + " failed to describe itself in " +
                                       context + " (status " + std::to_string(inContext) + ")");
    }
    out << DescriptionJson::write(plugin, context);
}

} // namespace ofxhost
