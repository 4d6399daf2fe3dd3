#include "ofx/support/ImageEffect.h"

#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"

namespace OFX {

namespace {

OfxPointD readPoint(const PropertySet& props, const char* name) {
    return OfxPointD{props.getDouble(name, 0), props.getDouble(name, 1)};
}

} // namespace

ImageEffect::ImageEffect(OfxImageEffectHandle handle) : handle_(handle) {
    const OfxImageEffectSuiteV1& suite = requireSuite(suites().imageEffect, kOfxImageEffectSuite);
    OfxPropertySetHandle props = nullptr;
    throwIfFailed(suite.getPropertySet(handle, &props), "getPropertySet(effect instance)");
    props_ = PropertySet(props);
    OfxParamSetHandle paramSet = nullptr;
    throwIfFailed(suite.getParamSet(handle, &paramSet), "getParamSet(effect instance)");
    setParamSetHandle(paramSet);
    std::string context;
    if (props_.tryGetString(kOfxImageEffectPropContext, context) == kOfxStatOK) {
        context_ = mapStringToContext(context);
    }
    props_.setPointer(kOfxPropInstanceData, this);
}

ImageEffect::~ImageEffect() {
    // A failed derived constructor or a destroyed instance must not leave a dangling pointer.
    props_.trySetPointer(kOfxPropInstanceData, nullptr);
}

ImageEffect* ImageEffect::fromHandle(OfxImageEffectHandle handle) {
    const OfxImageEffectSuiteV1* suite = suites().imageEffect;
    OfxPropertySetHandle props = nullptr;
    if (suite == nullptr || handle == nullptr ||
        suite->getPropertySet(handle, &props) != kOfxStatOK) {
        return nullptr;
    }
    void* data = nullptr;
    PropertySet(props, false).tryGetPointer(kOfxPropInstanceData, data);
    return static_cast<ImageEffect*>(data);
}

Clip* ImageEffect::fetchClip(const std::string& name) {
    std::lock_guard<std::mutex> lock(clipsMutex_);
    const auto found = clips_.find(name);
    if (found != clips_.end()) {
        return found->second.get();
    }
    const OfxImageEffectSuiteV1& suite = requireSuite(suites().imageEffect, kOfxImageEffectSuite);
    OfxImageClipHandle clipHandle = nullptr;
    OfxPropertySetHandle clipProps = nullptr;
    const OfxStatus status = suite.clipGetHandle(handle_, name.c_str(), &clipHandle, &clipProps);
    if (status == kOfxStatErrUnknown) {
        return nullptr;
    }
    throwIfFailed(status, "clipGetHandle(" + name + ")");
    if (clipProps == nullptr) {
        throwIfFailed(suite.clipGetPropertySet(clipHandle, &clipProps),
                      "clipGetPropertySet(" + name + ")");
    }
    auto clip = std::make_unique<Clip>(name, clipHandle, clipProps);
    Clip* result = clip.get();
    clips_.emplace(name, std::move(clip));
    return result;
}

OfxPointD ImageEffect::getProjectSize() const {
    return readPoint(props_, kOfxImageEffectPropProjectSize);
}

OfxPointD ImageEffect::getProjectOffset() const {
    return readPoint(props_, kOfxImageEffectPropProjectOffset);
}

OfxPointD ImageEffect::getProjectExtent() const {
    return readPoint(props_, kOfxImageEffectPropProjectExtent);
}

double ImageEffect::getProjectPixelAspectRatio() const {
    return props_.getDouble(kOfxImageEffectPropProjectPixelAspectRatio);
}

double ImageEffect::getEffectDuration() const {
    return props_.getDouble(kOfxImageEffectInstancePropEffectDuration);
}

double ImageEffect::getFrameRate() const {
    return props_.getDouble(kOfxImageEffectPropFrameRate);
}

bool ImageEffect::isInteractive() const {
    return props_.getInt(kOfxPropIsInteractive) != 0;
}

bool ImageEffect::abort() const {
    const OfxImageEffectSuiteV1* suite = suites().imageEffect;
    return suite != nullptr && suite->abort(handle_) != 0;
}

OfxStatus ImageEffect::postMessage(bool persistent, MessageTypeEnum type, const std::string& id,
                                   const std::string& text) const {
    const HostSuites& table = suites();
    const char* typeName = mapMessageTypeToString(type);
    void* handle = static_cast<void*>(handle_);
    // The text goes through "%s" so a '%' in it is never read as a format directive.
    if (persistent) {
        if (table.messageV2 == nullptr) {
            return kOfxStatErrMissingHostFeature;
        }
        return table.messageV2->setPersistentMessage(handle, typeName, id.c_str(), "%s",
                                                     text.c_str());
    }
    if (table.messageV1 == nullptr) {
        return kOfxStatErrMissingHostFeature;
    }
    return table.messageV1->message(handle, typeName, id.c_str(), "%s", text.c_str());
}

OfxStatus ImageEffect::sendMessage(MessageTypeEnum type, const std::string& id,
                                   const std::string& text) const {
    return postMessage(false, type, id, text);
}

OfxStatus ImageEffect::setPersistentMessage(MessageTypeEnum type, const std::string& id,
                                            const std::string& text) const {
    return postMessage(true, type, id, text);
}

OfxStatus ImageEffect::clearPersistentMessage() const {
    const OfxMessageSuiteV2* suite = suites().messageV2;
    if (suite == nullptr) {
        return kOfxStatErrMissingHostFeature;
    }
    return suite->clearPersistentMessage(static_cast<void*>(handle_));
}

void ImageEffect::progressStart(const std::string& message, const std::string& id) {
    const HostSuites& table = suites();
    void* handle = static_cast<void*>(handle_);
    progressV2_ = table.progressV2 != nullptr;
    if (progressV2_) {
        table.progressV2->progressStart(handle, message.c_str(), id.c_str());
    } else if (table.progressV1 != nullptr) {
        table.progressV1->progressStart(handle, message.c_str());
    }
}

bool ImageEffect::progressUpdate(double fraction) {
    const HostSuites& table = suites();
    void* handle = static_cast<void*>(handle_);
    OfxStatus status = kOfxStatOK;
    if (progressV2_ && table.progressV2 != nullptr) {
        status = table.progressV2->progressUpdate(handle, fraction);
    } else if (table.progressV1 != nullptr) {
        status = table.progressV1->progressUpdate(handle, fraction);
    }
    return status != kOfxStatReplyNo;
}

void ImageEffect::progressEnd() {
    const HostSuites& table = suites();
    void* handle = static_cast<void*>(handle_);
    if (progressV2_ && table.progressV2 != nullptr) {
        table.progressV2->progressEnd(handle);
    } else if (table.progressV1 != nullptr) {
        table.progressV1->progressEnd(handle);
    }
}

bool ImageEffect::isIdentity(const IsIdentityArguments&, Clip*&, double&) {
    return false;
}

void ImageEffect::getClipPreferences(ClipPreferencesSetter&) {}

void ImageEffect::changedParam(const InstanceChangedArgs&, const std::string&) {}

void ImageEffect::changedClip(const InstanceChangedArgs&, const std::string&) {}

bool ImageEffect::getRegionOfDefinition(const RegionOfDefinitionArguments&, OfxRectD&) {
    return false;
}

void ImageEffect::getRegionsOfInterest(const RegionsOfInterestArguments&, RegionOfInterestSetter&) {
}

void ImageEffect::getFramesNeeded(const FramesNeededArguments&, FramesNeededSetter&) {}

bool ImageEffect::getTimeDomain(OfxRangeD&) {
    return false;
}

void ImageEffect::beginSequenceRender(const BeginSequenceRenderArguments&) {}

void ImageEffect::endSequenceRender(const EndSequenceRenderArguments&) {}

void ImageEffect::beginChanged(InstanceChangeReason) {}

void ImageEffect::endChanged(InstanceChangeReason) {}

void ImageEffect::beginEdit() {}

void ImageEffect::endEdit() {}

void ImageEffect::purgeCaches() {}

void ImageEffect::syncPrivateData() {}

} // namespace OFX
