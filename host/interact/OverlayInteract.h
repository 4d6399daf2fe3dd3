#pragma once

#include "host/interact/DrawContext.h"
#include "host/interact/Interact.h"
#include "host/interact/InteractArgs.h"

#include "ofx/ofxCore.h"

namespace ofxhost {

class EffectInstance;

// An effect's overlay in a viewer: the interact the plug-in registered on its descriptor,
// described and instantiated through its own entry point. Draw calls go through the draw
// suite and are recorded; pen actions report whether the plug-in took the event.
class OverlayInteract {
public:
    // Throws HostError when the host has no overlays, the effect registered none, or the plug-in
    // fails to describe or create it.
    OverlayInteract(EffectInstance& effect, const InteractSettings& settings);
    ~OverlayInteract();
    OverlayInteract(const OverlayInteract&) = delete;
    OverlayInteract& operator=(const OverlayInteract&) = delete;

    // The overlay entry point the effect registered, or nullptr.
    static OfxPluginEntryPoint* entryPointOf(EffectInstance& effect);

    EffectInstance& effect() { return effect_; }
    Interact& descriptor() { return descriptor_; }
    Interact& instance() { return instance_; }
    PropertySet& properties() { return instance_.properties(); }

    OfxStatus draw(const InteractArgs& args);
    // kOfxStatOK: the plug-in used the event; kOfxStatReplyDefault: it did not.
    OfxStatus penDown(const PenArgs& args);
    OfxStatus penMotion(const PenArgs& args);
    OfxStatus penUp(const PenArgs& args);
    OfxStatus keyDown(const KeyArgs& args);
    OfxStatus keyUp(const KeyArgs& args);
    OfxStatus gainFocus(const InteractArgs& args);
    OfxStatus loseFocus(const InteractArgs& args);

private:
    void addCommonArgs(PropertySet& in, const InteractArgs& args);
    OfxStatus pen(const char* action, const PenArgs& args);
    OfxStatus key(const char* action, const KeyArgs& args);
    OfxStatus call(const char* action, Interact& target, PropertySet* in);

    EffectInstance& effect_;
    InteractSettings settings_;
    OfxPluginEntryPoint* entry_;
    Interact descriptor_{*this};
    Interact instance_{*this};
    DrawContext drawContext_;
    bool created_ = false;
};

} // namespace ofxhost
