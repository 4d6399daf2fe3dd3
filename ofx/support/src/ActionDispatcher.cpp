#include "ofx/support/ActionDispatcher.h"

#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"
#include "ofx/support/ImageEffect.h"
#include "ofx/support/ImageEffectDescriptor.h"
#include "ofx/support/ImageEffectHostDescription.h"
#include "ofx/support/PluginFactory.h"
#include "ofx/support/PluginRegistry.h"

#include <cstring>
#include <memory>

namespace OFX {

namespace {

bool is(const char* action, const char* name) {
    return std::strcmp(action, name) == 0;
}

OfxImageEffectHandle effectHandle(const void* handle) {
    // The C API hands every handle over as const void*.
    return static_cast<OfxImageEffectHandle>(const_cast<void*>(handle));
}

ImageEffect& instanceFor(const void* handle) {
    ImageEffect* effect = ImageEffect::fromHandle(effectHandle(handle));
    if (effect == nullptr) {
        throw Exception(kOfxStatErrBadHandle, "no effect instance for this handle");
    }
    return *effect;
}

OfxStatus load(PluginFactory& factory) {
    if (const char* missing = suites().missingMandatorySuite()) {
        throw Exception(kOfxStatErrMissingHostFeature,
                        std::string("host does not offer the mandatory suite ") + missing);
    }
    loadImageEffectHostDescription();
    factory.load();
    PluginRegistry::noteLoaded();
    return kOfxStatOK;
}

OfxStatus unload(PluginFactory& factory) {
    try {
        factory.unload();
    } catch (...) {
        PluginRegistry::noteUnloaded();
        throw;
    }
    PluginRegistry::noteUnloaded();
    return kOfxStatOK;
}

OfxStatus describeInContext(PluginFactory& factory, const void* handle,
                            OfxPropertySetHandle inArgs) {
    const ContextEnum context =
        mapStringToContext(PropertySet(inArgs).getString(kOfxImageEffectPropContext));
    ImageEffectDescriptor desc(effectHandle(handle));
    factory.describeInContext(desc, context);
    return kOfxStatOK;
}

OfxStatus createInstance(PluginFactory& factory, const void* handle) {
    const OfxImageEffectSuiteV1& suite = requireSuite(suites().imageEffect, kOfxImageEffectSuite);
    OfxPropertySetHandle props = nullptr;
    throwIfFailed(suite.getPropertySet(effectHandle(handle), &props), "getPropertySet");
    std::string contextName;
    PropertySet(props).tryGetString(kOfxImageEffectPropContext, contextName);
    const ContextEnum context = mapStringToContext(contextName);
    // The ImageEffect constructor records the instance on the handle; DestroyInstance frees it.
    std::unique_ptr<ImageEffect> effect(factory.createInstance(effectHandle(handle), context));
    if (effect == nullptr) {
        throw Exception(kOfxStatFailed, "the factory made no instance");
    }
    effect.release();
    return kOfxStatOK;
}

OfxStatus isIdentity(ImageEffect& effect, OfxPropertySetHandle inArgs,
                     OfxPropertySetHandle outArgs) {
    const IsIdentityArguments args = IsIdentityArguments::read(inArgs);
    Clip* clip = nullptr;
    double time = args.time;
    if (!effect.isIdentity(args, clip, time) || clip == nullptr) {
        return kOfxStatReplyDefault;
    }
    const PropertySet out(outArgs);
    out.setString(kOfxPropName, clip->name());
    out.setDouble(kOfxPropTime, time);
    return kOfxStatOK;
}

OfxStatus regionOfDefinition(ImageEffect& effect, OfxPropertySetHandle inArgs,
                             OfxPropertySetHandle outArgs) {
    OfxRectD rod{0.0, 0.0, 0.0, 0.0};
    if (!effect.getRegionOfDefinition(RegionOfDefinitionArguments::read(inArgs), rod)) {
        return kOfxStatReplyDefault;
    }
    PropertySet(outArgs).setDoubleN(kOfxImageEffectPropRegionOfDefinition,
                                    {rod.x1, rod.y1, rod.x2, rod.y2});
    return kOfxStatOK;
}

OfxStatus timeDomain(ImageEffect& effect, OfxPropertySetHandle outArgs) {
    OfxRangeD range{0.0, 0.0};
    if (!effect.getTimeDomain(range)) {
        return kOfxStatReplyDefault;
    }
    PropertySet(outArgs).setDoubleN(kOfxImageEffectPropFrameRange, {range.min, range.max});
    return kOfxStatOK;
}

OfxStatus instanceChanged(ImageEffect& effect, OfxPropertySetHandle inArgs) {
    const PropertySet in(inArgs);
    const std::string type = in.getString(kOfxPropType);
    const std::string name = in.getString(kOfxPropName);
    const InstanceChangedArgs args = InstanceChangedArgs::read(inArgs);
    if (type == kOfxTypeParameter) {
        effect.changedParam(args, name);
    } else if (type == kOfxTypeClip) {
        effect.changedClip(args, name);
    } else {
        return kOfxStatReplyDefault;
    }
    return kOfxStatOK;
}

InstanceChangeReason changeReason(OfxPropertySetHandle inArgs) {
    return InstanceChangedArgs::read(inArgs).reason;
}

// Actions on an existing instance; ReplyDefault for anything not recognised.
OfxStatus dispatchToInstance(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                             OfxPropertySetHandle outArgs) {
    if (is(action, kOfxImageEffectActionRender)) {
        instanceFor(handle).render(RenderArguments::read(inArgs));
        return kOfxStatOK;
    }
    if (is(action, kOfxImageEffectActionIsIdentity)) {
        return isIdentity(instanceFor(handle), inArgs, outArgs);
    }
    if (is(action, kOfxImageEffectActionGetClipPreferences)) {
        ClipPreferencesSetter setter(outArgs);
        instanceFor(handle).getClipPreferences(setter);
        return setter.changed() ? kOfxStatOK : kOfxStatReplyDefault;
    }
    if (is(action, kOfxImageEffectActionGetRegionOfDefinition)) {
        return regionOfDefinition(instanceFor(handle), inArgs, outArgs);
    }
    if (is(action, kOfxImageEffectActionGetRegionsOfInterest)) {
        RegionOfInterestSetter setter(outArgs);
        instanceFor(handle).getRegionsOfInterest(RegionsOfInterestArguments::read(inArgs), setter);
        return setter.changed() ? kOfxStatOK : kOfxStatReplyDefault;
    }
    if (is(action, kOfxImageEffectActionGetFramesNeeded)) {
        FramesNeededSetter setter(outArgs);
        instanceFor(handle).getFramesNeeded(FramesNeededArguments::read(inArgs), setter);
        return setter.changed() ? kOfxStatOK : kOfxStatReplyDefault;
    }
    if (is(action, kOfxImageEffectActionGetTimeDomain)) {
        return timeDomain(instanceFor(handle), outArgs);
    }
    if (is(action, kOfxImageEffectActionBeginSequenceRender)) {
        instanceFor(handle).beginSequenceRender(SequenceRenderArguments::read(inArgs));
        return kOfxStatOK;
    }
    if (is(action, kOfxImageEffectActionEndSequenceRender)) {
        instanceFor(handle).endSequenceRender(SequenceRenderArguments::read(inArgs));
        return kOfxStatOK;
    }
    if (is(action, kOfxActionInstanceChanged)) {
        return instanceChanged(instanceFor(handle), inArgs);
    }
    if (is(action, kOfxActionBeginInstanceChanged)) {
        instanceFor(handle).beginChanged(changeReason(inArgs));
        return kOfxStatOK;
    }
    if (is(action, kOfxActionEndInstanceChanged)) {
        instanceFor(handle).endChanged(changeReason(inArgs));
        return kOfxStatOK;
    }
    if (is(action, kOfxActionBeginInstanceEdit)) {
        instanceFor(handle).beginEdit();
        return kOfxStatOK;
    }
    if (is(action, kOfxActionEndInstanceEdit)) {
        instanceFor(handle).endEdit();
        return kOfxStatOK;
    }
    if (is(action, kOfxActionPurgeCaches)) {
        instanceFor(handle).purgeCaches();
        return kOfxStatOK;
    }
    if (is(action, kOfxActionSyncPrivateData)) {
        instanceFor(handle).syncPrivateData();
        return kOfxStatOK;
    }
    return kOfxStatReplyDefault;
}

} // namespace

OfxStatus ActionDispatcher::dispatch(const std::string& uid, const char* action, const void* handle,
                                     OfxPropertySetHandle inArgs,
                                     OfxPropertySetHandle outArgs) noexcept {
    PluginFactory* factory = nullptr;
    try {
        factory = PluginRegistry::findFactory(uid);
    } catch (...) {
        factory = nullptr;
    }
    if (factory == nullptr) {
        return kOfxStatErrUnknown;
    }
    return dispatch(*factory, action, handle, inArgs, outArgs);
}

OfxStatus ActionDispatcher::dispatch(PluginFactory& factory, const char* action, const void* handle,
                                     OfxPropertySetHandle inArgs,
                                     OfxPropertySetHandle outArgs) noexcept {
    if (action == nullptr) {
        return kOfxStatErrValue;
    }
    return guardAction(action, [&]() -> OfxStatus {
        if (is(action, kOfxActionLoad)) {
            return load(factory);
        }
        if (is(action, kOfxActionUnload)) {
            return unload(factory);
        }
        if (is(action, kOfxActionDescribe)) {
            ImageEffectDescriptor desc(effectHandle(handle));
            factory.describe(desc);
            return kOfxStatOK;
        }
        if (is(action, kOfxImageEffectActionDescribeInContext)) {
            return describeInContext(factory, handle, inArgs);
        }
        if (is(action, kOfxActionCreateInstance)) {
            return createInstance(factory, handle);
        }
        if (is(action, kOfxActionDestroyInstance)) {
            delete &instanceFor(handle);
            return kOfxStatOK;
        }
        return dispatchToInstance(action, handle, inArgs, outArgs);
    });
}

} // namespace OFX
