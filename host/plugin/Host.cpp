#include "host/plugin/Host.h"

#include "host/core/ActionScope.h"
#include "host/suites/DrawSuite.h"
#include "host/suites/ImageEffectSuite.h"
#include "host/suites/InteractSuite.h"
#include "host/suites/MemorySuite.h"
#include "host/suites/MessageSuite.h"
#include "host/suites/MultiThreadSuite.h"
#include "host/suites/ParameterSuite.h"
#include "host/suites/ParametricSuite.h"
#include "host/suites/ProgressSuite.h"
#include "host/suites/PropertySuite.h"
#include "host/suites/TimeLineSuite.h"

#include "ofx/ofxColour.h"
#include "ofx/ofxDrawSuite.h"
#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/ofxParametricParam.h"
#include "ofx/ofxProgress.h"
#include "ofx/ofxTimeLine.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace ofxhost {

namespace {

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<Host*>& registry() {
    static std::vector<Host*> hosts;
    return hosts;
}

struct ViolationStore {
    std::mutex mutex;
    std::vector<Violation> violations;
};

ViolationStore& processStore() {
    static ViolationStore store;
    return store;
}

bool strictFromEnvironment() {
    const char* value = std::getenv("HALDEN_HOST_STRICT");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

const void* fetchSuiteEntry(OfxPropertySetHandle handle, const char* name, int version) {
    try {
        Host* host = Host::fromHandle(handle);
        return host != nullptr && name != nullptr ? host->fetchSuite(name, version) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

const char* flag(bool value) {
    return value ? "true" : "false";
}

void addHostProperties(PropertySet& set, const HostProfile& profile) {
    set.addString(kOfxPropType, {kOfxTypeImageEffectHost});
    set.addString(kOfxPropName, {profile.name});
    set.addString(kOfxPropLabel, {profile.label});
    set.addInt(kOfxPropAPIVersion, {1, 5}, 0);
    set.addInt(kOfxPropVersion, profile.version, 0);
    set.addString(kOfxPropVersionLabel, {profile.versionLabel});
    set.addPointer(kOfxPropHostOSHandle, {nullptr});
    set.addInt(kOfxImageEffectHostPropIsBackground, {profile.isBackground ? 1 : 0});
    set.addInt(kOfxImageEffectPropSupportsOverlays, {profile.supportsOverlays ? 1 : 0});
    set.addInt(kOfxImageEffectPropSupportsMultiResolution, {1});
    set.addInt(kOfxImageEffectPropSupportsTiles, {1});
    set.addInt(kOfxImageEffectPropTemporalClipAccess, {1});
    set.addString(kOfxImageEffectPropSupportedComponents,
                  {kOfxImageComponentRGBA, kOfxImageComponentAlpha}, 0);
    set.addString(kOfxImageEffectPropSupportedContexts,
                  {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral,
                   kOfxImageEffectContextTransition, kOfxImageEffectContextGenerator},
                  0);
    // Host images are RGBA float.
    set.addString(kOfxImageEffectPropSupportedPixelDepths, {kOfxBitDepthFloat}, 0);
    set.addInt(kOfxImageEffectPropSupportsMultipleClipDepths, {0});
    set.addInt(kOfxImageEffectPropSupportsMultipleClipPARs, {0});
    set.addInt(kOfxImageEffectPropSetableFrameRate, {0});
    set.addInt(kOfxImageEffectPropSetableFielding, {0});
    set.addInt(kOfxImageEffectInstancePropSequentialRender, {1});
    set.addInt(kOfxImageEffectPropRenderQualityDraft, {0});
    if (profile.sparseDescription) {
        set.addString(kOfxImageEffectHostPropNativeOrigin, {}, 0);
    } else {
        set.addString(kOfxImageEffectHostPropNativeOrigin, {kOfxHostNativeOriginBottomLeft});
    }
    set.addInt(kOfxParamHostPropSupportsCustomInteract, {0});
    set.addInt(kOfxParamHostPropSupportsCustomAnimation, {0});
    set.addInt(kOfxParamHostPropSupportsStringAnimation, {1});
    set.addInt(kOfxParamHostPropSupportsBooleanAnimation, {1});
    set.addInt(kOfxParamHostPropSupportsChoiceAnimation, {1});
    set.addInt(kOfxParamHostPropSupportsStrChoice, {1});
    set.addInt(kOfxParamHostPropSupportsStrChoiceAnimation, {0});
    if (!profile.sparseDescription) {
        set.addInt(kOfxParamHostPropSupportsParametricAnimation, {0});
    }
    set.addInt(kOfxParamHostPropMaxParameters, {-1});
    set.addInt(kOfxParamHostPropMaxPages, {profile.maxPages});
    set.addInt(kOfxParamHostPropPageRowColumnCount, {profile.pageColumns, profile.pageRows});
    if (profile.gpuRenderProperties) {
        set.addString(kOfxImageEffectPropOpenGLRenderSupported, {"false"});
        set.addString(kOfxImageEffectPropCPURenderSupported, {"true"});
        set.addString(kOfxImageEffectPropCudaRenderSupported, {flag(profile.cudaRender)});
        set.addString(kOfxImageEffectPropCudaStreamSupported,
                      {flag(profile.cudaRender && profile.cudaStream)});
        set.addString(kOfxImageEffectPropMetalRenderSupported, {"false"});
        set.addString(kOfxImageEffectPropOpenCLRenderSupported, {"false"});
        set.addString(kOfxImageEffectPropOpenCLSupported, {"false"});
    }
    set.addString(kOfxImageEffectPropColourManagementStyle, {kOfxImageEffectColourManagementNone});
    set.makeHostOnly();
}

} // namespace

Host::Host(HostProfile profile) : profile_(std::move(profile)) {
    if (strictFromEnvironment()) {
        profile_.strict = true;
    }
    addHostProperties(properties_, profile_);
    ofxHost_.host = properties_.handle();
    ofxHost_.fetchSuite = fetchSuiteEntry;
    MultiThreadSuite::configure(profile_.threadCount);
    std::lock_guard<std::mutex> lock(registryMutex());
    registry().push_back(this);
}

Host::~Host() {
    std::lock_guard<std::mutex> lock(registryMutex());
    auto& hosts = registry();
    hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
}

Host* Host::fromHandle(OfxPropertySetHandle handle) {
    std::lock_guard<std::mutex> lock(registryMutex());
    for (Host* host : registry()) {
        if (host->properties_.handle() == handle) {
            return host;
        }
    }
    return nullptr;
}

Host* Host::latest() {
    std::lock_guard<std::mutex> lock(registryMutex());
    return registry().empty() ? nullptr : registry().back();
}

void Host::addViolation(const std::string& description, const char* action) {
    Violation violation{actionName(action != nullptr ? action : ActionScope::current()),
                        description};
    recorder_.addViolation(violation);
    ViolationStore& store = processStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.violations.push_back(std::move(violation));
}

std::vector<Violation> Host::processViolations() {
    ViolationStore& store = processStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    return store.violations;
}

void Host::clearProcessViolations() {
    ViolationStore& store = processStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.violations.clear();
}

std::string Host::actionName(const char* action) {
    if (action == nullptr || *action == '\0') {
        return "no action";
    }
    std::string name = action;
    for (const char* prefix : {"OfxImageEffectAction", "OfxInteractAction", "OfxAction"}) {
        const size_t length = std::strlen(prefix);
        if (name.size() > length && name.compare(0, length, prefix) == 0) {
            name = name.substr(length);
            name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
            break;
        }
    }
    return name;
}

const void* Host::fetchSuite(const char* name, int version) {
    const std::string suite = name;
    const void* table = nullptr;
    if (version == 1 && suite == kOfxPropertySuite) {
        table = propertySuiteV1();
    } else if (version == 1 && suite == kOfxImageEffectSuite) {
        table = imageEffectSuiteV1();
    } else if (version == 1 && suite == kOfxParameterSuite) {
        table = parameterSuiteV1();
    } else if (version == 1 && suite == kOfxParametricParameterSuite && profile_.parametricSuite) {
        table = parametricSuiteV1();
    } else if (version == 1 && suite == kOfxMemorySuite) {
        table = memorySuiteV1();
    } else if (version == 1 && suite == kOfxMultiThreadSuite) {
        table = profile_.stubThreading ? MultiThreadSuite::stubTable()
                                       : MultiThreadSuite::table(profile_.multiThreading);
    } else if ((version == 1 || version == 2) && suite == kOfxMessageSuite) {
        // Version 2 starts with version 1's member: one table answers both.
        table = messageSuiteV2();
    } else if (version == 1 && suite == kOfxInteractSuite && profile_.supportsOverlays) {
        table = interactSuiteV1();
    } else if (version == 1 && suite == kOfxDrawSuite && profile_.supportsOverlays &&
               profile_.drawSuite) {
        table = drawSuiteV1();
    } else if (version == 1 && suite == kOfxProgressSuite) {
        table = progressSuiteV1();
    } else if (version == 2 && suite == kOfxProgressSuite) {
        table = progressSuiteV2();
    } else if (version == 1 && suite == kOfxTimeLineSuite) {
        table = timeLineSuiteV1();
    }
    recorder_.addSuiteRequest({suite, version, table != nullptr});
    return table;
}

} // namespace ofxhost
