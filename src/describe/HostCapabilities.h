#pragma once

#include <string>

namespace OFX {
struct ImageEffectHostDescription;
}

// What the plug-in adapts to the host: pages, overlays, CUDA, preset list handling.
struct HostCapabilities {
    std::string hostId = "unknown";
    std::string hostName = "Unknown Host";
    bool resetOptions = false;
    bool pages = false;
    bool supportsOverlays = false;
    bool drawSuite = false;
    bool showOverlaysToggle = false;
    bool cudaReported = false;
    bool cudaFallback = false;
    bool presetPrePop = true;

    // The profile of the host the support layer knows about (the Unknown profile, with an
    // ERROR line, before a host is known).
    static HostCapabilities detect();
    // The profile for a host description; used by detect().
    static HostCapabilities forHost(const OFX::ImageEffectHostDescription& host);
};
