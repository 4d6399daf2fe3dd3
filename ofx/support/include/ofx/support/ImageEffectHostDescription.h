#pragma once

#include "ofx/support/Enums.h"

#include <string>
#include <vector>

namespace OFX {

// What the host said about itself (its property set and the suites it offers), read once when
// the plug-in is loaded. Absent properties keep the defaults below.
struct ImageEffectHostDescription {
    std::string hostName;  // kOfxPropName, e.g. "DaVinciResolve"
    std::string hostLabel; // kOfxPropLabel
    std::vector<int> version;
    std::string versionLabel;
    std::vector<int> apiVersion; // absent means 1.0
    bool hostIsBackground = false;
    bool supportsOverlays = false;
    bool supportsMultiResolution = false;
    bool supportsTiles = false;
    bool temporalClipAccess = false;
    bool supportsMultipleClipDepths = false;
    bool supportsMultipleClipPARs = false;
    bool supportsSetableFrameRate = false;
    bool supportsSetableFielding = false;
    int sequentialRender = 0;
    bool supportsStringAnimation = false;
    bool supportsChoiceAnimation = false;
    bool supportsBooleanAnimation = false;
    bool supportsCustomAnimation = false;
    bool supportsCustomInteract = false;
    bool supportsParametricAnimation = false;
    bool supportsRenderQualityDraft = false;
    int maxParameters = -1; // -1 = unlimited
    int maxPages = 0;       // 0 = no paged layout
    int pageRowCount = 0;
    int pageColumnCount = 0;
    std::string nativeOrigin;
    std::vector<ContextEnum> supportedContexts;
    std::vector<BitDepthEnum> supportedPixelDepths;
    std::vector<PixelComponentEnum> supportedComponents;
    // GPU rendering ("...Supported" host properties equal to "true").
    bool supportsOpenGLRender = false;
    bool supportsCudaRender = false;
    bool supportsCudaStream = false;
    bool supportsMetalRender = false;
    bool supportsOpenCLRender = false;
    // From the suites the host offers.
    bool supportsParametricParameter = false;
    bool supportsDrawSuite = false;
    bool supportsMessageSuiteV2 = false;
    bool supportsProgressSuite = false;
    bool isMultiThreaded = false;
    unsigned int maxThreads = 1;

    bool supportsContext(ContextEnum context) const;
    bool supportsPixelDepth(BitDepthEnum depth) const;
};

// The description of the host the plug-in was loaded by, or nullptr before the host is known.
const ImageEffectHostDescription* getImageEffectHostDescription();

// Reads the description from the host set by setHost (see HostSuites); called on Load.
void loadImageEffectHostDescription();
// Forgets the host, e.g. after the last Unload.
void clearImageEffectHostDescription();

} // namespace OFX
