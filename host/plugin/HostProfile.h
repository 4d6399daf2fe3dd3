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

    // A preset's short name (as on the command line) or OFX host name selects the preset;
    // anything else is a generic host of that name.
    static HostProfile forName(const std::string& name);
    static HostProfile generic(const std::string& name);
    // The short names of the presets, for help texts.
    static std::vector<std::string> presetNames();
};

} // namespace ofxhost
