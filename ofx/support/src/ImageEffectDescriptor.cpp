#include "ofx/support/ImageEffectDescriptor.h"

#include "ofx/ofxGPURender.h"
#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"
#include "ofx/support/InteractDescriptor.h"

namespace OFX {

ImageEffectDescriptor::ImageEffectDescriptor(OfxImageEffectHandle handle) : handle_(handle) {
    const OfxImageEffectSuiteV1& suite = requireSuite(suites().imageEffect, kOfxImageEffectSuite);
    OfxPropertySetHandle props = nullptr;
    throwIfFailed(suite.getPropertySet(handle, &props), "getPropertySet(effect descriptor)");
    props_ = PropertySet(props);
    // Without a parameter set (a host that keeps it for describeInContext) only defining a
    // parameter fails, with the host's status.
    OfxParamSetHandle paramSet = nullptr;
    if (suite.getParamSet(handle, &paramSet) != kOfxStatOK) {
        paramSet = nullptr;
    }
    setParamSetHandles(paramSet, props);
}

ImageEffectDescriptor::~ImageEffectDescriptor() = default;

std::string ImageEffectDescriptor::getPluginFilePath() const {
    std::string path;
    props_.tryGetString(kOfxPluginPropFilePath, path);
    return path;
}

void ImageEffectDescriptor::setLabel(const std::string& label) {
    props_.setString(kOfxPropLabel, label);
}

void ImageEffectDescriptor::setLabels(const std::string& label, const std::string& shortLabel,
                                      const std::string& longLabel) {
    props_.setString(kOfxPropLabel, label);
    props_.setString(kOfxPropShortLabel, shortLabel);
    props_.setString(kOfxPropLongLabel, longLabel);
}

void ImageEffectDescriptor::setPluginGrouping(const std::string& grouping) {
    props_.setString(kOfxImageEffectPluginPropGrouping, grouping);
}

void ImageEffectDescriptor::setPluginDescription(const std::string& description) {
    props_.setString(kOfxPropPluginDescription, description);
}

void ImageEffectDescriptor::setVersionLabel(const std::string& label) {
    props_.setString(kOfxPropVersionLabel, label);
}

void ImageEffectDescriptor::appendString(const char* name, std::vector<std::string>& list,
                                         const std::string& value) {
    for (const std::string& existing : list) {
        if (existing == value) {
            return;
        }
    }
    list.push_back(value);
    props_.setStringN(name, list);
}

void ImageEffectDescriptor::addSupportedContext(ContextEnum context) {
    appendString(kOfxImageEffectPropSupportedContexts, contexts_, mapContextToString(context));
}

void ImageEffectDescriptor::addSupportedBitDepth(BitDepthEnum depth) {
    appendString(kOfxImageEffectPropSupportedPixelDepths, depths_, mapBitDepthToString(depth));
}

void ImageEffectDescriptor::setFlag(const char* name, bool value) {
    props_.setInt(name, value ? 1 : 0);
}

void ImageEffectDescriptor::setSingleInstance(bool single) {
    setFlag(kOfxImageEffectPluginPropSingleInstance, single);
}

void ImageEffectDescriptor::setHostFrameThreading(bool hostThreads) {
    setFlag(kOfxImageEffectPluginPropHostFrameThreading, hostThreads);
}

void ImageEffectDescriptor::setSupportsMultiResolution(bool supports) {
    setFlag(kOfxImageEffectPropSupportsMultiResolution, supports);
}

void ImageEffectDescriptor::setSupportsTiles(bool supports) {
    setFlag(kOfxImageEffectPropSupportsTiles, supports);
}

void ImageEffectDescriptor::setTemporalClipAccess(bool temporalAccess) {
    setFlag(kOfxImageEffectPropTemporalClipAccess, temporalAccess);
}

void ImageEffectDescriptor::setRenderTwiceAlways(bool always) {
    setFlag(kOfxImageEffectPluginPropFieldRenderTwiceAlways, always);
}

void ImageEffectDescriptor::setSupportsMultipleClipPARs(bool supports) {
    setFlag(kOfxImageEffectPropSupportsMultipleClipPARs, supports);
}

void ImageEffectDescriptor::setSupportsMultipleClipDepths(bool supports) {
    setFlag(kOfxImageEffectPropSupportsMultipleClipDepths, supports);
}

void ImageEffectDescriptor::setRenderThreadSafety(RenderSafetyEnum safety) {
    props_.setString(kOfxImageEffectPluginRenderThreadSafety, mapRenderSafetyToString(safety));
}

void ImageEffectDescriptor::setSequentialRender(int mode) {
    props_.setInt(kOfxImageEffectInstancePropSequentialRender, mode);
}

void ImageEffectDescriptor::setNoSpatialAwareness(bool noSpatialAwareness) {
    props_.setString(kOfxImageEffectPropNoSpatialAwareness, noSpatialAwareness ? "true" : "false");
}

void ImageEffectDescriptor::addClipPreferencesSlaveParam(const ParamDescriptor& param) {
    appendString(kOfxImageEffectPropClipPreferencesSlaveParam, slaveParams_, param.getName());
}

void ImageEffectDescriptor::setOpenCLRenderSupported(bool supported) {
    props_.setString(kOfxImageEffectPropOpenCLRenderSupported, supported ? "true" : "false");
}

void ImageEffectDescriptor::setCudaRenderSupported(bool supported) {
    props_.setString(kOfxImageEffectPropCudaRenderSupported, supported ? "true" : "false");
}

void ImageEffectDescriptor::setCudaStreamSupported(bool supported) {
    props_.setString(kOfxImageEffectPropCudaStreamSupported, supported ? "true" : "false");
}

void ImageEffectDescriptor::setMetalRenderSupported(bool supported) {
    props_.setString(kOfxImageEffectPropMetalRenderSupported, supported ? "true" : "false");
}

void ImageEffectDescriptor::setOverlayInteractDescriptor(InteractDescriptor* descriptor) {
    overlay_.reset(descriptor);
    void* entry = nullptr;
    if (overlay_ != nullptr) {
        // A function pointer travels through the pointer property, as the C API intends.
        entry = reinterpret_cast<void*>(overlay_->getMainEntry());
    }
    props_.setPointer(kOfxImageEffectPluginPropOverlayInteractV1, entry);
    // Older hosts do not know V2; they still have V1.
    props_.trySetPointer(kOfxImageEffectPluginPropOverlayInteractV2, entry);
}

ClipDescriptor* ImageEffectDescriptor::defineClip(const std::string& name) {
    const auto found = clips_.find(name);
    if (found != clips_.end()) {
        return found->second.get();
    }
    const OfxImageEffectSuiteV1& suite = requireSuite(suites().imageEffect, kOfxImageEffectSuite);
    OfxPropertySetHandle props = nullptr;
    throwIfFailed(suite.clipDefine(handle_, name.c_str(), &props), "clipDefine(" + name + ")");
    auto clip = std::make_unique<ClipDescriptor>(name, props);
    ClipDescriptor* result = clip.get();
    clips_.emplace(name, std::move(clip));
    return result;
}

} // namespace OFX
