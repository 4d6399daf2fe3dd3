#include "host/cli/PluginSession.h"

#include "host/cli/CommandLine.h"
#include "host/core/HostError.h"

#include "ofx/ofxImageEffect.h"

#include <algorithm>

namespace ofxhost {

namespace {

bool succeeded(OfxStatus status) {
    return status == kOfxStatOK || status == kOfxStatReplyDefault;
}

std::string chooseContext(const std::optional<std::string>& wanted,
                          const std::vector<std::string>& supported,
                          const std::string& identifier) {
    auto supports = [&](const std::string& context) {
        return std::find(supported.begin(), supported.end(), context) != supported.end();
    };
    if (wanted) {
        if (!supports(*wanted)) {
            throw UsageError(identifier + " does not support the context " + *wanted);
        }
        return *wanted;
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

PluginSession::PluginSession(const HostProfile& profile, const std::filesystem::path& bundle,
                             const std::optional<std::string>& context)
    : host_(profile), bundle_(host_, bundle) {
    if (bundle_.pluginCount() == 0) {
        throw HostError(kOfxStatErrUnknown,
                        bundle.string() + " holds no image effect for this host");
    }
    plugin_ = &bundle_.plugin(0);
    const std::string identifier = plugin_->identifier();
    const OfxStatus loaded = plugin_->load();
    if (!succeeded(loaded)) {
        throw HostError(loaded,
                        identifier + " refused to load (status " + std::to_string(loaded) + ")");
    }
    const OfxStatus described = plugin_->describe();
    if (!succeeded(described)) {
        throw HostError(described, identifier + " failed to describe itself (status " +
                                       std::to_string(described) + ")");
    }
    context_ = chooseContext(context, plugin_->supportedContexts(), identifier);
    const OfxStatus inContext = plugin_->describeInContext(context_);
    if (!succeeded(inContext)) {
        throw HostError(inContext, identifier + " failed to describe itself in " + context_ +
                                       " (status " + std::to_string(inContext) + ")");
    }
}

} // namespace ofxhost
