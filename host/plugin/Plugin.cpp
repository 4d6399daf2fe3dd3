#include "host/plugin/Plugin.h"

#include "host/core/ActionScope.h"
#include "host/core/HostError.h"
#include "host/plugin/Host.h"

#include <algorithm>

namespace ofxhost {

Plugin::Plugin(Host& host, OfxPlugin& plugin, const std::string& bundlePath)
    : host_(host), plugin_(plugin), bundlePath_(bundlePath) {}

Plugin::~Plugin() {
    while (!instances_.empty()) {
        destroyInstance(*instances_.back());
    }
    if (loaded_) {
        callEntry(kOfxActionUnload, nullptr, nullptr, nullptr);
    }
}

std::string Plugin::identifier() const {
    return plugin_.pluginIdentifier ? plugin_.pluginIdentifier : "";
}

OfxStatus Plugin::callEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                            OfxPropertySetHandle outArgs) {
    if (plugin_.mainEntry == nullptr) {
        return kOfxStatErrFatal;
    }
    try {
        ActionScope scope(action);
        return plugin_.mainEntry(action, handle, inArgs, outArgs);
    } catch (...) {
        ++escapedExceptions_;
        return kOfxStatErrFatal;
    }
}

OfxStatus Plugin::load() {
    if (loaded_) {
        return kOfxStatOK;
    }
    if (!hostSet_) {
        if (plugin_.setHost != nullptr) {
            plugin_.setHost(host_.ofxHost());
        }
        hostSet_ = true;
    }
    loadStatus_ = callEntry(kOfxActionLoad, nullptr, nullptr, nullptr);
    // Not trapping Load is fine; anything else is the plug-in declining.
    loaded_ = loadStatus_ == kOfxStatOK || loadStatus_ == kOfxStatReplyDefault;
    return loadStatus_;
}

OfxStatus Plugin::describe() {
    if (described_) {
        return kOfxStatOK;
    }
    const OfxStatus loadStatus = load();
    if (!loaded_) {
        return loadStatus;
    }
    descriptor_ = std::make_unique<ImageEffect>(
        host_, EffectRole::Descriptor,
        ImageEffect::descriptorProperties(bundlePath_, host_.profile().gpuRenderProperties));
    const OfxStatus status = callEntry(kOfxActionDescribe, descriptor_->handle(), nullptr, nullptr);
    described_ = status == kOfxStatOK || status == kOfxStatReplyDefault;
    // The OFX default (instance-safe) is assumed by some hosts and not by others.
    if (described_ && host_.strict() &&
        !descriptor_->properties()
             .property(kOfxImageEffectPluginRenderThreadSafety)
             .setByPlugin()) {
        host_.addViolation("render thread safety (" kOfxImageEffectPluginRenderThreadSafety
                           ") not declared",
                           kOfxActionDescribe);
    }
    return status;
}

OfxStatus Plugin::describeInContext(const std::string& context) {
    if (contextDescriptors_.count(context) != 0) {
        return kOfxStatOK;
    }
    const OfxStatus describeStatus = describe();
    if (!described_) {
        return describeStatus;
    }
    // Hosts describe only in contexts both sides support.
    const auto mine = host_.properties().getStrings(kOfxImageEffectPropSupportedContexts);
    const auto theirs = supportedContexts();
    if (std::find(mine.begin(), mine.end(), context) == mine.end() ||
        std::find(theirs.begin(), theirs.end(), context) == theirs.end()) {
        return kOfxStatErrUnsupported;
    }
    auto contextDescriptor = std::make_unique<ImageEffect>(host_, EffectRole::ContextDescriptor,
                                                           descriptor_->properties());
    PropertySet in;
    in.addString(kOfxImageEffectPropContext, {context});
    in.makeHostOnly();
    const OfxStatus status = callEntry(kOfxImageEffectActionDescribeInContext,
                                       contextDescriptor->handle(), in.handle(), nullptr);
    if (status == kOfxStatOK || status == kOfxStatReplyDefault) {
        contextDescriptors_.emplace(context, std::move(contextDescriptor));
    }
    return status;
}

ImageEffect& Plugin::descriptor() {
    if (!descriptor_) {
        throw HostError(kOfxStatErrFatal, identifier() + " has not been described");
    }
    return *descriptor_;
}

ImageEffect& Plugin::contextDescriptor(const std::string& context) {
    auto found = contextDescriptors_.find(context);
    if (found == contextDescriptors_.end()) {
        throw HostError(kOfxStatErrFatal,
                        identifier() + " has not been described in context " + context);
    }
    return *found->second;
}

std::vector<std::string> Plugin::supportedContexts() {
    return descriptor().properties().getStrings(kOfxImageEffectPropSupportedContexts);
}

EffectInstance& Plugin::createInstance(const std::string& context, const ProjectSettings& project) {
    const OfxStatus described = describeInContext(context);
    if (contextDescriptors_.count(context) == 0) {
        throw HostError(described, identifier() + " failed to describe itself in context " +
                                       context + " (status " + std::to_string(described) + ")");
    }
    auto instance =
        std::make_unique<EffectInstance>(*this, contextDescriptor(context), context, project);
    const OfxStatus status = instance->callAction(kOfxActionCreateInstance, nullptr, nullptr);
    if (status != kOfxStatOK && status != kOfxStatReplyDefault) {
        throw HostError(status, identifier() + " failed to create an instance (status " +
                                    std::to_string(status) + ")");
    }
    instances_.push_back(std::move(instance));
    EffectInstance& created = *instances_.back();
    // As hosts do once an instance exists and its clips are known.
    created.clipPreferences();
    return created;
}

void Plugin::destroyInstance(EffectInstance& instance) {
    auto found = std::find_if(instances_.begin(), instances_.end(),
                              [&](const auto& held) { return held.get() == &instance; });
    if (found == instances_.end()) {
        return;
    }
    // Overlays go before the effect they draw for.
    instance.destroyOverlays();
    instance.callAction(kOfxActionDestroyInstance, nullptr, nullptr);
    instances_.erase(found);
}

} // namespace ofxhost
