#pragma once

#include "host/effect/EffectInstance.h"
#include "host/effect/ImageEffect.h"
#include "host/effect/ProjectSettings.h"

#include "ofx/ofxCore.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ofxhost {

class Host;

// One effect of a loaded binary, driven through its OfxPlugin: load, describe, describe in
// context, instances. It owns its descriptors (the record of what the plug-in declared) and
// its instances; destroying it destroys the instances, then sends kOfxActionUnload.
class Plugin {
public:
    Plugin(Host& host, OfxPlugin& plugin, const std::string& bundlePath);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    Host& host() { return host_; }
    std::string identifier() const;
    unsigned int versionMajor() const { return plugin_.pluginVersionMajor; }
    unsigned int versionMinor() const { return plugin_.pluginVersionMinor; }

    // Each step runs the ones before it when needed and returns the plug-in's status.
    OfxStatus load();
    OfxStatus describe();
    OfxStatus describeInContext(const std::string& context);

    // Throw HostError when the step has not succeeded.
    ImageEffect& descriptor();
    ImageEffect& contextDescriptor(const std::string& context);
    std::vector<std::string> supportedContexts();

    // Throws HostError with the plug-in's status when describing or creation fails.
    EffectInstance& createInstance(const std::string& context, const ProjectSettings& project = {});
    void destroyInstance(EffectInstance& instance);
    const std::vector<std::unique_ptr<EffectInstance>>& instances() const { return instances_; }

    OfxStatus callEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                        OfxPropertySetHandle outArgs);
    // C++ exceptions that escaped the plug-in's entry point (a plug-in bug; the host survives).
    int escapedExceptions() const { return escapedExceptions_; }
    // Held around each render of a plug-in that declared its renders unsafe (strict hosts).
    std::mutex& renderMutex() { return renderMutex_; }

private:
    Host& host_;
    OfxPlugin& plugin_;
    std::string bundlePath_;
    bool hostSet_ = false;
    OfxStatus loadStatus_ = kOfxStatFailed;
    bool loaded_ = false;
    bool described_ = false;
    std::unique_ptr<ImageEffect> descriptor_;
    std::map<std::string, std::unique_ptr<ImageEffect>> contextDescriptors_;
    std::vector<std::unique_ptr<EffectInstance>> instances_;
    std::atomic<int> escapedExceptions_{0};
    std::mutex renderMutex_;
};

} // namespace ofxhost
