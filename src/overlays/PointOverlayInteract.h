#pragma once

#include "overlays/EffectOverlayParams.h"

#include "ofx/support/OverlayInteract.h"

#include <memory>

namespace OFX {

// The viewer interact of a definition without overlays that has a `center` 2D parameter in
// 0-to-1 frame coordinates: a cross and a circle that drag the centre.
class PointOverlayInteract : public OverlayInteract {
public:
    PointOverlayInteract(OfxInteractHandle handle, ImageEffect* effect);

    bool draw(const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;
    bool gainFocus(const FocusArgs& args) override;
    bool loseFocus(const FocusArgs& args) override;

private:
    // Refreshes the frame size and gives the centre in canonical pixels.
    OfxPointD position(OfxTime time);

    std::unique_ptr<EffectOverlayParams> params_;
    bool dragging_ = false;
    double frameWidth_ = 1920.0;
    double frameHeight_ = 1080.0;
};

} // namespace OFX
