#pragma once

#include "overlays/EffectOverlayParams.h"
#include "overlays/OverlayManager.h"

#include "ofx/support/OverlayInteract.h"

#include <memory>

namespace OFX {

// The viewer interact of an effect whose definition declares overlays: one per viewer the host
// opens. Its manager is built at the first draw from the registry and kept for its life.
class GenericOverlayInteract : public OverlayInteract {
public:
    GenericOverlayInteract(OfxInteractHandle handle, ImageEffect* effect);
    ~GenericOverlayInteract() override;

    bool draw(const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;
    // Ends a drag the viewer lost mid-way.
    bool loseFocus(const FocusArgs& args) override;

private:
    // Declared before the manager, whose overlays use it.
    std::unique_ptr<EffectOverlayParams> params_;
    std::unique_ptr<OverlayManager> manager_;
    bool canvasLogged_ = false;
};

} // namespace OFX
