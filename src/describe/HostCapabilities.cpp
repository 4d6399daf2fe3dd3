#include "describe/HostCapabilities.h"

#include "log/Logger.h"

#include "ofx/support/ImageEffectHostDescription.h"

namespace {

HostCapabilities resolveProfile() {
    HostCapabilities caps;
    caps.hostId = "DaVinciResolve";
    caps.hostName = "Resolve";
    caps.resetOptions = true;
    caps.pages = false;
    caps.supportsOverlays = true;
    caps.drawSuite = true;
    caps.showOverlaysToggle = false;
    caps.cudaReported = true;
    caps.cudaFallback = false;
    caps.presetPrePop = false;
    return caps;
}

HostCapabilities flameProfile() {
    HostCapabilities caps;
    caps.hostId = "com.autodesk.flame";
    caps.hostName = "Flame";
    caps.resetOptions = false;
    caps.pages = true;
    caps.supportsOverlays = true;
    caps.drawSuite = true;
    caps.showOverlaysToggle = true;
    caps.cudaReported = false;
    caps.cudaFallback = true;
    caps.presetPrePop = true;
    return caps;
}

HostCapabilities nukeProfile(const std::string& name) {
    HostCapabilities caps;
    caps.hostId = name;
    caps.hostName = "Nuke";
    caps.resetOptions = true;
    caps.pages = true;
    caps.supportsOverlays = true;
    caps.drawSuite = false;
    caps.showOverlaysToggle = false;
    caps.cudaReported = true;
    caps.cudaFallback = false;
    caps.presetPrePop = false;
    return caps;
}

} // namespace

HostCapabilities HostCapabilities::forHost(const OFX::ImageEffectHostDescription& host) {
    const std::string& name = host.hostName;
    HostCapabilities caps;
    if (name == "DaVinciResolve") {
        caps = resolveProfile();
    } else if (name == "com.autodesk.flame") {
        caps = flameProfile();
    } else if (name == "uk.co.thefoundry.nuke" || name.find("nuke") != std::string::npos ||
               name.find("Nuke") != std::string::npos) {
        caps = nukeProfile(name);
    } else {
        caps.hostId = name;
        caps.hostName = name;
        HALDEN_LOG_INFO("HostCapabilities: Unknown host '%s' — using conservative default profile",
                        name.c_str());
    }
    caps.supportsOverlays = host.supportsOverlays;
    HALDEN_LOG_INFO("HostCapabilities: Detected '%s' — pages=%d, resetOptions=%d, "
                    "presetPrePop=%d, cudaReported=%d, cudaFallback=%d, drawSuite=%d",
                    caps.hostName.c_str(), caps.pages, caps.resetOptions, caps.presetPrePop,
                    caps.cudaReported, caps.cudaFallback, caps.drawSuite);
    return caps;
}

HostCapabilities HostCapabilities::detect() {
    const OFX::ImageEffectHostDescription* host = OFX::getImageEffectHostDescription();
    if (host == nullptr) {
        HALDEN_LOG_ERROR("HostCapabilities::detect() - no host description available, using "
                         "default profile");
        return HostCapabilities{};
    }
    return forHost(*host);
}
