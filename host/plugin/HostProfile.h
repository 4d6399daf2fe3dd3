#pragma once

#include <string>
#include <vector>

namespace ofxhost {

// What a host application tells a plug-in about itself: its OFX name and the features it
// offers. Presets stand for the host names plug-ins are commonly asked to support; every switch
// can be changed afterwards (tests, command line).
struct HostProfile {
    std::string name;
    std::string label;
    std::vector<int> version{1, 0, 0};
    std::string versionLabel = "1.0";

    bool supportsOverlays = true;
    // OfxDrawSuiteV1 offered (overlays drawn without OpenGL).
    bool drawSuite = true;
    // kOfxParamHostPropMaxPages: -1 unlimited, 0 no paged layout.
    int maxPages = -1;
    int pageColumns = 1;
    int pageRows = 32;
    bool cudaRender = false;
    bool cudaStream = false;
    bool multiThreading = true;
    // CPUs reported by the multithread suite; 0 = what the machine has.
    unsigned int threadCount = 0;
    bool isBackground = false;

    // The GPU-render properties (CUDA, OpenCL, Metal, OpenGL) exist on the host, the effect
    // and the render arguments; without them they answer kOfxStatErrUnknown.
    bool gpuRenderProperties = true;
    // A sparse host description: kOfxImageEffectHostPropNativeOrigin holds no value and
    // kOfxParamHostPropSupportsParametricAnimation does not exist.
    bool sparseDescription = false;
    // OfxParametricParameterSuiteV1 offered.
    bool parametricSuite = true;
    // The multithread suite of a host without threads: one CPU, multiThread calls the function
    // once on the calling thread (index 0 of 1), mutexes are NULL handles that always lock.
    // Takes precedence over multiThreading.
    bool stubThreading = false;
    // Rule enforcement: parameter writes only in the actions OFX allows them in, balanced edit
    // blocks, the declared render thread safety honoured, plug-in edits notified at once
    // (nested), and every breach recorded as a violation. HALDEN_HOST_STRICT=1 turns it on for
    // every host of the process.
    bool strict = false;

    // A preset's short name (as on the command line) or OFX host name selects the preset;
    // anything else is a generic host of that name.
    static HostProfile forName(const std::string& name);
    static HostProfile generic(const std::string& name);
    // The least forgiving host ("strict"): every feature switch above at its sparse end, rule
    // enforcement on, overlays without the draw suite.
    static HostProfile strictHost();
    // The short names of the presets, for help texts.
    static std::vector<std::string> presetNames();
};

} // namespace ofxhost
