#include "host/plugin/HostProfile.h"

namespace ofxhost {

namespace {

struct Preset {
    const char* shortName;
    // The OFX host name (kOfxPropName) plug-ins match on.
    const char* ofxName;
    std::vector<int> version;
    const char* versionLabel;
    bool drawSuite;
    int maxPages;
    int pageColumns;
    int pageRows;
    bool cudaRender;
    bool cudaStream;
};

// Every preset supports overlays and paged parameters. The first and the third draw overlays
// through the draw suite, the second only with OpenGL; only the first renders with CUDA, on
// streams.
const Preset kPresets[] = {
    {"resolve", "DaVinciResolve", {19, 0, 0}, "19.0", true, 16, 1, 64, true, true},
    {"nuke", "uk.co.thefoundry.nuke", {15, 0, 0}, "15.0", false, -1, 2, 32, false, false},
    {"flame", "com.autodesk.flame", {2025, 0, 0}, "2025", true, 8, 3, 4, false, false},
};

constexpr const char* kStrictShortName = "strict";
constexpr const char* kStrictOfxName = "org.halden.strict";

} // namespace

HostProfile HostProfile::generic(const std::string& name) {
    HostProfile profile;
    profile.name = name;
    profile.label = name;
    return profile;
}

HostProfile HostProfile::strictHost() {
    HostProfile profile = generic(kStrictOfxName);
    profile.label = "Halden Strict Host";
    profile.drawSuite = false;
    profile.cudaRender = false;
    profile.cudaStream = false;
    profile.multiThreading = false;
    profile.stubThreading = true;
    profile.gpuRenderProperties = false;
    profile.sparseDescription = true;
    profile.parametricSuite = false;
    profile.strict = true;
    return profile;
}

HostProfile HostProfile::forName(const std::string& name) {
    if (name == kStrictShortName || name == kStrictOfxName) {
        return strictHost();
    }
    for (const Preset& preset : kPresets) {
        if (name != preset.shortName && name != preset.ofxName) {
            continue;
        }
        HostProfile profile = generic(preset.ofxName);
        profile.version = preset.version;
        profile.versionLabel = preset.versionLabel;
        profile.drawSuite = preset.drawSuite;
        profile.maxPages = preset.maxPages;
        profile.pageColumns = preset.pageColumns;
        profile.pageRows = preset.pageRows;
        profile.cudaRender = preset.cudaRender;
        profile.cudaStream = preset.cudaStream;
        return profile;
    }
    return generic(name);
}

std::vector<std::string> HostProfile::presetNames() {
    std::vector<std::string> names;
    for (const Preset& preset : kPresets) {
        names.emplace_back(preset.shortName);
    }
    names.emplace_back(kStrictShortName);
    return names;
}

} // namespace ofxhost
