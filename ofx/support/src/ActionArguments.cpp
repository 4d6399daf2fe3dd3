#include "ofx/support/ActionArguments.h"

#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/support/PropertySet.h"

namespace OFX {

namespace {

// inArgs are read leniently: hosts differ in which optional arguments they send.
PropertySet lenient(OfxPropertySetHandle inArgs) {
    return PropertySet(inArgs, false);
}

bool readFlag(const PropertySet& args, const char* name) {
    int value = 0;
    return args.tryGetInt(name, value) == kOfxStatOK && value != 0;
}

OfxPointD readPoint(const PropertySet& args, const char* name, OfxPointD fallback) {
    args.tryGetDouble(name, fallback.x, 0);
    args.tryGetDouble(name, fallback.y, 1);
    return fallback;
}

OfxRectI readRectI(const PropertySet& args, const char* name) {
    OfxRectI rect{0, 0, 0, 0};
    args.tryGetInt(name, rect.x1, 0);
    args.tryGetInt(name, rect.y1, 1);
    args.tryGetInt(name, rect.x2, 2);
    args.tryGetInt(name, rect.y2, 3);
    return rect;
}

FieldEnum readField(const PropertySet& args) {
    std::string text;
    return args.tryGetString(kOfxImageEffectPropFieldToRender, text) == kOfxStatOK
               ? mapStringToField(text)
               : eFieldNone;
}

} // namespace

void GPURenderArguments::read(OfxPropertySetHandle inArgs) {
    const PropertySet args = lenient(inArgs);
    isEnabledOpenGLRender = readFlag(args, kOfxImageEffectPropOpenGLEnabled);
    isEnabledCudaRender = readFlag(args, kOfxImageEffectPropCudaEnabled);
    isEnabledOpenCLRender = readFlag(args, kOfxImageEffectPropOpenCLEnabled);
    isEnabledMetalRender = readFlag(args, kOfxImageEffectPropMetalEnabled);
    args.tryGetPointer(kOfxImageEffectPropCudaStream, pCudaStream);
    args.tryGetPointer(kOfxImageEffectPropOpenCLCommandQueue, pOpenCLCmdQ);
    args.tryGetPointer(kOfxImageEffectPropMetalCommandQueue, pMetalCmdQ);
}

RenderArguments RenderArguments::read(OfxPropertySetHandle inArgs) {
    const PropertySet args = lenient(inArgs);
    RenderArguments result;
    result.GPURenderArguments::read(inArgs);
    args.tryGetDouble(kOfxPropTime, result.time);
    result.renderScale = readPoint(args, kOfxImageEffectPropRenderScale, result.renderScale);
    result.renderWindow = readRectI(args, kOfxImageEffectPropRenderWindow);
    result.fieldToRender = readField(args);
    result.sequentialRenderStatus = readFlag(args, kOfxImageEffectPropSequentialRenderStatus);
    result.interactiveRenderStatus = readFlag(args, kOfxImageEffectPropInteractiveRenderStatus);
    result.renderQualityDraft = readFlag(args, kOfxImageEffectPropRenderQualityDraft);
    std::string text;
    result.noSpatialAwareness =
        args.tryGetString(kOfxImageEffectPropNoSpatialAwareness, text) == kOfxStatOK &&
        text == "true";
    text.clear();
    result.thumbnailRender =
        args.tryGetString(kOfxImageEffectPropThumbnailRender, text) == kOfxStatOK && text == "true";
    return result;
}

IsIdentityArguments IsIdentityArguments::read(OfxPropertySetHandle inArgs) {
    const PropertySet args = lenient(inArgs);
    IsIdentityArguments result;
    args.tryGetDouble(kOfxPropTime, result.time);
    result.renderScale = readPoint(args, kOfxImageEffectPropRenderScale, result.renderScale);
    result.renderWindow = readRectI(args, kOfxImageEffectPropRenderWindow);
    result.fieldToRender = readField(args);
    return result;
}

SequenceRenderArguments SequenceRenderArguments::read(OfxPropertySetHandle inArgs) {
    const PropertySet args = lenient(inArgs);
    SequenceRenderArguments result;
    result.GPURenderArguments::read(inArgs);
    args.tryGetDouble(kOfxImageEffectPropFrameRange, result.frameRange.min, 0);
    args.tryGetDouble(kOfxImageEffectPropFrameRange, result.frameRange.max, 1);
    args.tryGetDouble(kOfxImageEffectPropFrameStep, result.frameStep);
    result.isInteractive = readFlag(args, kOfxPropIsInteractive);
    result.renderScale = readPoint(args, kOfxImageEffectPropRenderScale, result.renderScale);
    result.sequentialRenderStatus = readFlag(args, kOfxImageEffectPropSequentialRenderStatus);
    result.interactiveRenderStatus = readFlag(args, kOfxImageEffectPropInteractiveRenderStatus);
    return result;
}

InstanceChangedArgs InstanceChangedArgs::read(OfxPropertySetHandle inArgs) {
    const PropertySet args = lenient(inArgs);
    InstanceChangedArgs result;
    std::string reason;
    if (args.tryGetString(kOfxPropChangeReason, reason) == kOfxStatOK) {
        result.reason = mapStringToInstanceChangeReason(reason);
    }
    args.tryGetDouble(kOfxPropTime, result.time);
    result.renderScale = readPoint(args, kOfxImageEffectPropRenderScale, result.renderScale);
    return result;
}

RegionOfDefinitionArguments RegionOfDefinitionArguments::read(OfxPropertySetHandle inArgs) {
    const PropertySet args = lenient(inArgs);
    RegionOfDefinitionArguments result;
    args.tryGetDouble(kOfxPropTime, result.time);
    result.renderScale = readPoint(args, kOfxImageEffectPropRenderScale, result.renderScale);
    return result;
}

RegionsOfInterestArguments RegionsOfInterestArguments::read(OfxPropertySetHandle inArgs) {
    const PropertySet args = lenient(inArgs);
    RegionsOfInterestArguments result;
    args.tryGetDouble(kOfxPropTime, result.time);
    result.renderScale = readPoint(args, kOfxImageEffectPropRenderScale, result.renderScale);
    OfxRectD& roi = result.regionOfInterest;
    args.tryGetDouble(kOfxImageEffectPropRegionOfInterest, roi.x1, 0);
    args.tryGetDouble(kOfxImageEffectPropRegionOfInterest, roi.y1, 1);
    args.tryGetDouble(kOfxImageEffectPropRegionOfInterest, roi.x2, 2);
    args.tryGetDouble(kOfxImageEffectPropRegionOfInterest, roi.y2, 3);
    return result;
}

FramesNeededArguments FramesNeededArguments::read(OfxPropertySetHandle inArgs) {
    FramesNeededArguments result;
    lenient(inArgs).tryGetDouble(kOfxPropTime, result.time);
    return result;
}

InstanceChangeReason mapStringToInstanceChangeReason(const std::string& text) {
    if (text == kOfxChangePluginEdited) {
        return eChangePluginEdit;
    }
    if (text == kOfxChangeTime) {
        return eChangeTime;
    }
    return eChangeUserEdit;
}

} // namespace OFX
