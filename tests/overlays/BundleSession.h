#pragma once

#include "TestEnvironment.h"

#include "host/interact/OverlayInteract.h"
#include "host/plugin/Host.h"
#include "host/plugin/PluginBundle.h"

#include "ofx/ofxImageEffect.h"

#include <algorithm>
#include <string>

namespace overlaytest {

// A bundle of the build loaded through the headless host, with a filter instance and its
// overlay in a viewer of pixel scale 1. The plug-in's log and presets go to test folders.
struct BundleSession {
    explicit BundleSession(const std::string& hostName,
                           const std::string& bundleName = "halden_v01")
        : host(ofxhost::HostProfile::forName(hostName)),
          bundle(host, std::string(HALDEN_BUNDLES_DIR) + "/" + bundleName + ".ofx.bundle"),
          plugin(bundle.plugin(0)), instance(plugin.createInstance(kOfxImageEffectContextFilter)) {}

    // Draws once; status gets the plug-in's answer.
    std::vector<ofxhost::DrawCall> draw(OfxStatus* status = nullptr) {
        host.recorder().clearDrawCalls();
        const OfxStatus drawn = overlay.draw(ofxhost::InteractArgs{});
        if (status != nullptr) {
            *status = drawn;
        }
        return host.recorder().drawCalls();
    }
    bool hasEditBlock(const std::string& label) {
        const auto& blocks = instance.params().editBlocks();
        return std::find(blocks.begin(), blocks.end(), label) != blocks.end();
    }

    testenv::IsolatedUser user;
    ofxhost::Host host;
    ofxhost::PluginBundle bundle;
    ofxhost::Plugin& plugin;
    ofxhost::EffectInstance& instance;
    ofxhost::OverlayInteract& overlay = instance.createOverlay(ofxhost::InteractSettings{});
};

inline ofxhost::PenArgs penAt(double x, double y) {
    ofxhost::PenArgs args;
    args.position = OfxPointD{x, y};
    return args;
}

} // namespace overlaytest
