#pragma once

#include "PluginCommand.h"

#include "host/effect/EffectInstance.h"
#include "host/effect/HostImage.h"
#include "host/plugin/Host.h"
#include "host/plugin/PluginBundle.h"

#include "ofx/ofxImageEffect.h"

#include <memory>

namespace testplugin {

// The real bundle loaded through the headless host, with an instance in the filter context.
struct PluginSession {
    explicit PluginSession(const std::string& hostName = "resolve",
                           const std::string& bundleName = "halden_v01", bool isolate = true)
        : ownUser(isolate ? std::make_unique<IsolatedUser>() : nullptr),
          host(ofxhost::HostProfile::forName(hostName)), bundle(host, bundlePath(bundleName)),
          plugin(bundle.plugin(0)), instance(plugin.createInstance(kOfxImageEffectContextFilter)) {}

    // Renders source (and an output of the same bounds) at a time; returns the status.
    OfxStatus render(const std::shared_ptr<ofxhost::HostImage>& source,
                     const std::shared_ptr<ofxhost::HostImage>& output, double time = 0.0) {
        instance.setClipImage("Source", source);
        instance.setClipImage("Output", output);
        ofxhost::RenderArgs args;
        args.time = time;
        args.window = output->bounds();
        return instance.render(args);
    }

    // Folders for the log and presets; a test that reads the log after the session ends keeps
    // an IsolatedUser of its own alive instead (the plug-in flushes its log on unload).
    std::unique_ptr<IsolatedUser> ownUser;
    ofxhost::Host host;
    ofxhost::PluginBundle bundle;
    ofxhost::Plugin& plugin;
    ofxhost::EffectInstance& instance;
};

} // namespace testplugin
