#include "host/effect/ImageEffect.h"

#include "host/core/HostError.h"

#include "ofx/ofxColour.h"
#include "ofx/ofxGPURender.h"

namespace ofxhost {

ImageEffect::ImageEffect(Host& host, EffectRole role, const PropertySet& properties)
    : host_(host), role_(role), properties_(properties) {}

ImageEffect::~ImageEffect() = default;

ImageEffect* ImageEffect::fromHandle(OfxImageEffectHandle handle) {
    return objectFromHandle<ImageEffect>(handle, HandleTag::ImageEffectKind);
}

ImageEffect* ImageEffect::fromHandle(const void* handle) {
    return fromHandle(reinterpret_cast<OfxImageEffectHandle>(const_cast<void*>(handle)));
}

Clip& ImageEffect::defineClip(const std::string& name) {
    if (role_ != EffectRole::ContextDescriptor) {
        throw HostError(kOfxStatErrUnsupported, "clips are defined in describe-in-context only");
    }
    if (findClip(name) != nullptr) {
        throw HostError(kOfxStatErrExists, "clip " + name + " is already defined");
    }
    clips_.push_back(std::make_unique<Clip>(*this, name));
    return *clips_.back();
}

Clip* ImageEffect::findClip(const std::string& name) {
    for (const auto& clip : clips_) {
        if (clip->name() == name) {
            return clip.get();
        }
    }
    return nullptr;
}

PropertySet ImageEffect::descriptorProperties(const std::string& bundlePath,
                                              bool gpuRenderProperties) {
    PropertySet set;
    set.addString(kOfxPropType, {kOfxTypeImageEffect}, 1, true);
    set.addString(kOfxPropLabel, {""});
    set.addString(kOfxPropShortLabel, {""});
    set.addString(kOfxPropLongLabel, {""});
    set.addInt(kOfxPropVersion, {0}, 0);
    set.addString(kOfxPropVersionLabel, {""});
    set.addString(kOfxPropPluginDescription, {""});
    set.addString(kOfxPropIcon, {"", ""});
    set.addString(kOfxPluginPropFilePath, {bundlePath}, 1, true);
    set.addString(kOfxImageEffectPropSupportedContexts, {}, 0);
    set.addString(kOfxImageEffectPropSupportedPixelDepths, {}, 0);
    set.addString(kOfxImageEffectPluginPropGrouping, {""});
    set.addInt(kOfxImageEffectPluginPropSingleInstance, {0});
    set.addString(kOfxImageEffectPluginRenderThreadSafety, {kOfxImageEffectRenderInstanceSafe});
    set.addInt(kOfxImageEffectPluginPropHostFrameThreading, {1});
    set.addPointer(kOfxImageEffectPluginPropOverlayInteractV1, {nullptr});
    set.addPointer(kOfxImageEffectPluginPropOverlayInteractV2, {nullptr});
    set.addInt(kOfxImageEffectPropSupportsMultiResolution, {1});
    set.addInt(kOfxImageEffectPropSupportsTiles, {1});
    set.addInt(kOfxImageEffectPropTemporalClipAccess, {0});
    set.addInt(kOfxImageEffectPluginPropFieldRenderTwiceAlways, {1});
    set.addInt(kOfxImageEffectPropSupportsMultipleClipDepths, {0});
    set.addInt(kOfxImageEffectPropSupportsMultipleClipPARs, {0});
    set.addString(kOfxImageEffectPropClipPreferencesSlaveParam, {}, 0);
    set.addInt(kOfxImageEffectInstancePropSequentialRender, {0});
    set.addString(kOfxImageEffectPropNoSpatialAwareness, {"false"});
    set.addString(kOfxPluginPropParamPageOrder, {}, 0);
    if (gpuRenderProperties) {
        set.addString(kOfxImageEffectPropOpenGLRenderSupported, {"false"});
        set.addString(kOfxOpenGLPropPixelDepth, {}, 0);
        set.addString(kOfxImageEffectPropCPURenderSupported, {"true"});
        set.addString(kOfxImageEffectPropCudaRenderSupported, {"false"});
        set.addString(kOfxImageEffectPropCudaStreamSupported, {"false"});
        set.addString(kOfxImageEffectPropMetalRenderSupported, {"false"});
        set.addString(kOfxImageEffectPropOpenCLRenderSupported, {"false"});
        set.addString(kOfxImageEffectPropOpenCLSupported, {"false"});
    }
    set.addString(kOfxImageEffectPropColourManagementStyle, {kOfxImageEffectColourManagementNone});
    set.addString(kOfxImageEffectPropColourManagementAvailableConfigs, {}, 0);
    return set;
}

} // namespace ofxhost
