#pragma once

#include "overlays/EffectOverlayParams.h"
#include "overlays/OverlayBase.h"

#include "ofx/support/OverlayInteract.h"

#include <memory>

namespace OFX {

// The viewer interact of a definition without overlays that has a `center` 2D parameter in
// 0-to-1 frame coordinates: a cross and a circle that drag the centre.
class PointOverlayInteract : public OverlayInteract {
public:
    PointOverlayInteract(OfxInteractHandle handle, ImageEffect* effect);
    // Closes the edit block of a drag still going on.
    ~PointOverlayInteract() override;

    bool draw(const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;
    bool gainFocus(const FocusArgs& args) override;
    bool loseFocus(const FocusArgs& args) override;

private:
    // Refreshes the frame and gives the centre in canonical coordinates.
    OfxPointD position(OfxTime time);
    // A drag is one host edit block, from the press to its end however it comes.
    void endDrag();

    std::unique_ptr<EffectOverlayParams> params_;
    bool dragging_ = false;
    bool canvasLogged_ = false;
    OverlayFrame frame_;
};

} // namespace OFX
