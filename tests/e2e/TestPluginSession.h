#pragma once

#include "host/effect/EffectInstance.h"
#include "host/effect/HostImage.h"
#include "host/plugin/Host.h"
#include "host/plugin/PluginBundle.h"

#include "ofx/ofxImageEffect.h"

namespace teste2e {

// The test plug-in's bundle loaded through the headless host, as a host application would.
struct TestPluginSession {
    explicit TestPluginSession(
        ofxhost::HostProfile profile = ofxhost::HostProfile::generic("org.halden.e2e"))
        : host(profile), bundle(host, HALDEN_TEST_PLUGIN_BUNDLE), plugin(bundle.plugin(0)) {}

    ofxhost::EffectInstance& instance(const std::string& context = kOfxImageEffectContextFilter) {
        return plugin.createInstance(context);
    }

    ofxhost::Host host;
    ofxhost::PluginBundle bundle;
    ofxhost::Plugin& plugin;
};

} // namespace teste2e
