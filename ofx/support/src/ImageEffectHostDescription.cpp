#include "ofx/support/ImageEffectHostDescription.h"

#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/ofxParametricParam.h"
#include "ofx/support/HostSuites.h"
#include "ofx/support/PropertySet.h"

#include <algorithm>
#include <memory>
#include <mutex>

namespace OFX {

namespace {

std::mutex& descriptionMutex() {
    static std::mutex mutex;
    return mutex;
}

// Descriptions are never freed while the binary is loaded: a pointer handed out stays valid
// even if the host loads the plug-in again.
std::vector<std::unique_ptr<ImageEffectHostDescription>>& allDescriptions() {
    static std::vector<std::unique_ptr<ImageEffectHostDescription>> descriptions;
    return descriptions;
}

const ImageEffectHostDescription*& currentDescription() {
    static const ImageEffectHostDescription* current = nullptr;
    return current;
}

bool readFlag(const PropertySet& host, const char* name, bool fallback = false) {
    int value = 0;
    return host.tryGetInt(name, value) == kOfxStatOK ? value != 0 : fallback;
}

int readInt(const PropertySet& host, const char* name, int fallback, int index = 0) {
    int value = 0;
    return host.tryGetInt(name, value, index) == kOfxStatOK ? value : fallback;
}

std::string readString(const PropertySet& host, const char* name) {
    std::string value;
    host.tryGetString(name, value);
    return value;
}

bool readTrueString(const PropertySet& host, const char* name) {
    return readString(host, name) == "true";
}

template <class Enum>
std::vector<Enum> readEnums(const PropertySet& host, const char* name,
                            Enum (*map)(const std::string&)) {
    std::vector<Enum> values;
    for (const std::string& text : host.getStringN(name)) {
        values.push_back(map(text));
    }
    return values;
}

} // namespace

bool ImageEffectHostDescription::supportsContext(ContextEnum context) const {
    return std::find(supportedContexts.begin(), supportedContexts.end(), context) !=
           supportedContexts.end();
}

bool ImageEffectHostDescription::supportsPixelDepth(BitDepthEnum depth) const {
    return std::find(supportedPixelDepths.begin(), supportedPixelDepths.end(), depth) !=
           supportedPixelDepths.end();
}

const ImageEffectHostDescription* getImageEffectHostDescription() {
    std::lock_guard<std::mutex> lock(descriptionMutex());
    return currentDescription();
}

void loadImageEffectHostDescription() {
    const HostSuites& table = suites();
    const PropertySet host(table.hostProperties, false);
    auto description = std::make_unique<ImageEffectHostDescription>();
    ImageEffectHostDescription& d = *description;
    d.hostName = readString(host, kOfxPropName);
    d.hostLabel = readString(host, kOfxPropLabel);
    d.version = host.getIntN(kOfxPropVersion);
    d.versionLabel = readString(host, kOfxPropVersionLabel);
    d.apiVersion = host.getIntN(kOfxPropAPIVersion);
    if (d.apiVersion.empty()) {
        d.apiVersion = {1, 0};
    }
    d.hostIsBackground = readFlag(host, kOfxImageEffectHostPropIsBackground);
    d.supportsOverlays = readFlag(host, kOfxImageEffectPropSupportsOverlays);
    d.supportsMultiResolution = readFlag(host, kOfxImageEffectPropSupportsMultiResolution);
    d.supportsTiles = readFlag(host, kOfxImageEffectPropSupportsTiles);
    d.temporalClipAccess = readFlag(host, kOfxImageEffectPropTemporalClipAccess);
    d.supportsMultipleClipDepths = readFlag(host, kOfxImageEffectPropSupportsMultipleClipDepths);
    d.supportsMultipleClipPARs = readFlag(host, kOfxImageEffectPropSupportsMultipleClipPARs);
    d.supportsSetableFrameRate = readFlag(host, kOfxImageEffectPropSetableFrameRate);
    d.supportsSetableFielding = readFlag(host, kOfxImageEffectPropSetableFielding);
    d.sequentialRender = readInt(host, kOfxImageEffectInstancePropSequentialRender, 0);
    d.supportsStringAnimation = readFlag(host, kOfxParamHostPropSupportsStringAnimation);
    d.supportsChoiceAnimation = readFlag(host, kOfxParamHostPropSupportsChoiceAnimation);
    d.supportsBooleanAnimation = readFlag(host, kOfxParamHostPropSupportsBooleanAnimation);
    d.supportsCustomAnimation = readFlag(host, kOfxParamHostPropSupportsCustomAnimation);
    d.supportsCustomInteract = readFlag(host, kOfxParamHostPropSupportsCustomInteract);
    d.supportsParametricAnimation = readFlag(host, kOfxParamHostPropSupportsParametricAnimation);
    d.supportsRenderQualityDraft = readFlag(host, kOfxImageEffectPropRenderQualityDraft);
    d.maxParameters = readInt(host, kOfxParamHostPropMaxParameters, -1);
    d.maxPages = readInt(host, kOfxParamHostPropMaxPages, 0);
    d.pageColumnCount = readInt(host, kOfxParamHostPropPageRowColumnCount, 0, 0);
    d.pageRowCount = readInt(host, kOfxParamHostPropPageRowColumnCount, 0, 1);
    d.nativeOrigin = readString(host, kOfxImageEffectHostPropNativeOrigin);
    d.supportedContexts = readEnums(host, kOfxImageEffectPropSupportedContexts, mapStringToContext);
    d.supportedPixelDepths =
        readEnums(host, kOfxImageEffectPropSupportedPixelDepths, mapStringToBitDepth);
    d.supportedComponents =
        readEnums(host, kOfxImageEffectPropSupportedComponents, mapStringToPixelComponent);
    d.supportsOpenGLRender = readTrueString(host, kOfxImageEffectPropOpenGLRenderSupported);
    d.supportsCudaRender = readTrueString(host, kOfxImageEffectPropCudaRenderSupported);
    d.supportsCudaStream = readTrueString(host, kOfxImageEffectPropCudaStreamSupported);
    d.supportsMetalRender = readTrueString(host, kOfxImageEffectPropMetalRenderSupported);
    d.supportsOpenCLRender = readTrueString(host, kOfxImageEffectPropOpenCLRenderSupported);

    d.supportsParametricParameter = table.parametric != nullptr;
    d.supportsDrawSuite = table.draw != nullptr;
    d.supportsMessageSuiteV2 = table.messageV2 != nullptr;
    d.supportsProgressSuite = table.progressV1 != nullptr || table.progressV2 != nullptr;
    d.isMultiThreaded = table.multiThread != nullptr;
    if (table.multiThread != nullptr) {
        unsigned int cpus = 0;
        if (table.multiThread->multiThreadNumCPUs(&cpus) == kOfxStatOK && cpus > 0) {
            d.maxThreads = cpus;
        }
    }

    std::lock_guard<std::mutex> lock(descriptionMutex());
    allDescriptions().push_back(std::move(description));
    currentDescription() = allDescriptions().back().get();
}

void clearImageEffectHostDescription() {
    std::lock_guard<std::mutex> lock(descriptionMutex());
    currentDescription() = nullptr;
}

} // namespace OFX
