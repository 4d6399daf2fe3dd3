#include "host/interact/OverlayInteract.h"

#include "host/core/HostError.h"
#include "host/effect/EffectInstance.h"
#include "host/plugin/Host.h"
#include "host/plugin/Plugin.h"

#include "ofx/ofxImageEffect.h"

#include <string>

namespace ofxhost {

namespace {

// Removed from the headers in 1.4, still read by older overlays.
constexpr const char* kInteractViewportSize = "OfxInteractPropViewport";

} // namespace

OfxPluginEntryPoint* OverlayInteract::entryPointOf(EffectInstance& effect) {
    PropertySet& props = effect.plugin().descriptor().properties();
    for (const char* name :
         {kOfxImageEffectPluginPropOverlayInteractV1, kOfxImageEffectPluginPropOverlayInteractV2}) {
        if (props.has(name)) {
            if (void* entry = props.getPointer(name)) {
                return reinterpret_cast<OfxPluginEntryPoint*>(entry);
            }
        }
    }
    return nullptr;
}

OverlayInteract::OverlayInteract(EffectInstance& effect, const InteractSettings& settings)
    : effect_(effect), settings_(settings), entry_(entryPointOf(effect)),
      drawContext_(effect.host().recorder()) {
    if (!effect.host().profile().supportsOverlays) {
        throw HostError(kOfxStatErrUnsupported, "this host does not support overlays");
    }
    if (entry_ == nullptr) {
        throw HostError(kOfxStatErrUnknown, effect.plugin().identifier() + " has no overlay");
    }
    PropertySet& described = descriptor_.properties();
    described.addInt(kOfxInteractPropHasAlpha, {settings.hasAlpha ? 1 : 0}, 1, true);
    described.addInt(kOfxInteractPropBitDepth, {settings.bitDepth}, 1, true);

    PropertySet& props = instance_.properties();
    props.addPointer(kOfxPropEffectInstance, {effect.handle()}, 1, true);
    props.addPointer(kOfxPropInstanceData, {nullptr});
    props.addDouble(kOfxInteractPropPixelScale, {settings.pixelScale[0], settings.pixelScale[1]}, 2,
                    true);
    props.addDouble(
        kOfxInteractPropBackgroundColour,
        {settings.backgroundColour[0], settings.backgroundColour[1], settings.backgroundColour[2]},
        3, true);
    props.addDouble(
        kOfxInteractPropSuggestedColour,
        {settings.suggestedColour[0], settings.suggestedColour[1], settings.suggestedColour[2]}, 3,
        true);
    props.addInt(kInteractViewportSize, {settings.viewport[0], settings.viewport[1]}, 2, true);
    props.addInt(kOfxInteractPropHasAlpha, {settings.hasAlpha ? 1 : 0}, 1, true);
    props.addInt(kOfxInteractPropBitDepth, {settings.bitDepth}, 1, true);
    props.addString(kOfxInteractPropSlaveToParam, {}, 0);

    const OfxStatus describedStatus = call(kOfxActionDescribeInteract, descriptor_, nullptr);
    if (describedStatus != kOfxStatOK && describedStatus != kOfxStatReplyDefault) {
        throw HostError(describedStatus, "the overlay failed to describe itself (status " +
                                             std::to_string(describedStatus) + ")");
    }
    const OfxStatus created = call(kOfxActionCreateInstanceInteract, instance_, nullptr);
    if (created != kOfxStatOK && created != kOfxStatReplyDefault) {
        throw HostError(created, "the overlay failed to create its instance (status " +
                                     std::to_string(created) + ")");
    }
    created_ = true;
}

OverlayInteract::~OverlayInteract() {
    if (created_) {
        call(kOfxActionDestroyInstanceInteract, instance_, nullptr);
    }
}

OfxStatus OverlayInteract::call(const char* action, Interact& target, PropertySet* in) {
    // Values the overlay sets are notified once the action returns, as for effect actions.
    return effect_.runAction(action, [&] {
        try {
            return entry_(action, target.handle(), in != nullptr ? in->handle() : nullptr, nullptr);
        } catch (...) {
            return kOfxStatErrFatal;
        }
    });
}

void OverlayInteract::addCommonArgs(PropertySet& in, const InteractArgs& args) {
    in.addPointer(kOfxPropEffectInstance, {effect_.handle()});
    in.addDouble(kOfxInteractPropPixelScale, {settings_.pixelScale[0], settings_.pixelScale[1]});
    in.addDouble(kOfxInteractPropBackgroundColour,
                 {settings_.backgroundColour[0], settings_.backgroundColour[1],
                  settings_.backgroundColour[2]});
    in.addDouble(kOfxPropTime, {args.time});
    in.addDouble(kOfxImageEffectPropRenderScale, {args.renderScale[0], args.renderScale[1]});
}

OfxStatus OverlayInteract::draw(const InteractArgs& args) {
    PropertySet in;
    addCommonArgs(in, args);
    const bool drawSuite = effect_.host().profile().drawSuite;
    if (drawSuite) {
        in.addPointer(kOfxInteractPropDrawContext, {drawContext_.handle()});
    }
    in.makeHostOnly();
    drawContext_.setActive(drawSuite);
    const OfxStatus status = call(kOfxInteractActionDraw, instance_, &in);
    drawContext_.setActive(false);
    return status;
}

OfxStatus OverlayInteract::pen(const char* action, const PenArgs& args) {
    PropertySet in;
    addCommonArgs(in, args);
    in.addDouble(kOfxInteractPropPenPosition, {args.position.x, args.position.y});
    in.addInt(kOfxInteractPropPenViewportPosition,
              {args.viewportPosition.x, args.viewportPosition.y});
    in.addDouble(kOfxInteractPropPenPressure, {args.pressure});
    in.makeHostOnly();
    return call(action, instance_, &in);
}

OfxStatus OverlayInteract::key(const char* action, const KeyArgs& args) {
    PropertySet in;
    in.addPointer(kOfxPropEffectInstance, {effect_.handle()});
    in.addInt(kOfxPropKeySym, {args.keySym});
    in.addString(kOfxPropKeyString, {args.keyString});
    in.addDouble(kOfxPropTime, {args.time});
    in.addDouble(kOfxImageEffectPropRenderScale, {args.renderScale[0], args.renderScale[1]});
    in.makeHostOnly();
    return call(action, instance_, &in);
}

OfxStatus OverlayInteract::penDown(const PenArgs& args) {
    return pen(kOfxInteractActionPenDown, args);
}

OfxStatus OverlayInteract::penMotion(const PenArgs& args) {
    return pen(kOfxInteractActionPenMotion, args);
}

OfxStatus OverlayInteract::penUp(const PenArgs& args) {
    return pen(kOfxInteractActionPenUp, args);
}

OfxStatus OverlayInteract::keyDown(const KeyArgs& args) {
    return key(kOfxInteractActionKeyDown, args);
}

OfxStatus OverlayInteract::keyUp(const KeyArgs& args) {
    return key(kOfxInteractActionKeyUp, args);
}

OfxStatus OverlayInteract::gainFocus(const InteractArgs& args) {
    PropertySet in;
    addCommonArgs(in, args);
    in.makeHostOnly();
    return call(kOfxInteractActionGainFocus, instance_, &in);
}

OfxStatus OverlayInteract::loseFocus(const InteractArgs& args) {
    PropertySet in;
    addCommonArgs(in, args);
    in.makeHostOnly();
    return call(kOfxInteractActionLoseFocus, instance_, &in);
}

} // namespace ofxhost
