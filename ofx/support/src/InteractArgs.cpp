#include "ofx/support/InteractArgs.h"

#include "ofx/ofxImageEffect.h"
#include "ofx/ofxInteract.h"
#include "ofx/ofxOld.h"
#include "ofx/support/PropertySet.h"

namespace OFX {

namespace {

// Reads name from the action arguments, falling back to the interact's property set.
class ArgumentReader {
public:
    ArgumentReader(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps)
        : inArgs_(inArgs, false), interact_(interactProps, false) {}

    void readDouble(const char* name, int index, double& value) const {
        if (inArgs_.tryGetDouble(name, value, index) != kOfxStatOK) {
            interact_.tryGetDouble(name, value, index);
        }
    }

    void readInt(const char* name, int index, int& value) const {
        if (inArgs_.tryGetInt(name, value, index) != kOfxStatOK) {
            interact_.tryGetInt(name, value, index);
        }
    }

    const PropertySet& inArgs() const { return inArgs_; }

private:
    PropertySet inArgs_;
    PropertySet interact_;
};

} // namespace

void InteractArgs::read(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps) {
    const ArgumentReader reader(inArgs, interactProps);
    reader.inArgs().tryGetDouble(kOfxPropTime, time);
    reader.readDouble(kOfxImageEffectPropRenderScale, 0, renderScale.x);
    reader.readDouble(kOfxImageEffectPropRenderScale, 1, renderScale.y);
    reader.readDouble(kOfxInteractPropPixelScale, 0, pixelScale.x);
    reader.readDouble(kOfxInteractPropPixelScale, 1, pixelScale.y);
    reader.readDouble(kOfxInteractPropBackgroundColour, 0, backgroundColour.r);
    reader.readDouble(kOfxInteractPropBackgroundColour, 1, backgroundColour.g);
    reader.readDouble(kOfxInteractPropBackgroundColour, 2, backgroundColour.b);
    reader.readInt(kOfxInteractPropViewportSize, 0, viewportSize.x);
    reader.readInt(kOfxInteractPropViewportSize, 1, viewportSize.y);
}

DrawArgs DrawArgs::read(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps) {
    DrawArgs args;
    args.InteractArgs::read(inArgs, interactProps);
    void* context = nullptr;
    if (PropertySet(inArgs, false).tryGetPointer(kOfxInteractPropDrawContext, context) ==
        kOfxStatOK) {
        args.drawContext = static_cast<OfxDrawContextHandle>(context);
    }
    return args;
}

PenArgs PenArgs::read(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps) {
    PenArgs args;
    args.InteractArgs::read(inArgs, interactProps);
    const PropertySet in(inArgs, false);
    in.tryGetDouble(kOfxInteractPropPenPosition, args.penPosition.x, 0);
    in.tryGetDouble(kOfxInteractPropPenPosition, args.penPosition.y, 1);
    in.tryGetInt(kOfxInteractPropPenViewportPosition, args.penViewportPosition.x, 0);
    in.tryGetInt(kOfxInteractPropPenViewportPosition, args.penViewportPosition.y, 1);
    in.tryGetDouble(kOfxInteractPropPenPressure, args.penPressure);
    return args;
}

KeyArgs KeyArgs::read(OfxPropertySetHandle inArgs) {
    KeyArgs args;
    const PropertySet in(inArgs, false);
    in.tryGetDouble(kOfxPropTime, args.time);
    in.tryGetDouble(kOfxImageEffectPropRenderScale, args.renderScale.x, 0);
    in.tryGetDouble(kOfxImageEffectPropRenderScale, args.renderScale.y, 1);
    in.tryGetInt(kOfxPropKeySym, args.keySymbol);
    in.tryGetString(kOfxPropKeyString, args.keyString);
    return args;
}

FocusArgs FocusArgs::read(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps) {
    FocusArgs args;
    args.InteractArgs::read(inArgs, interactProps);
    return args;
}

} // namespace OFX
