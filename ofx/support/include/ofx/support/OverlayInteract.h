#pragma once

#include "ofx/support/Interact.h"

namespace OFX {

class ImageEffect;

// An interact drawn over the effect's output in the host's viewer, in canonical coordinates.
class OverlayInteract : public Interact {
public:
    // effect is nullptr when the host did not say which instance the overlay serves.
    OverlayInteract(OfxInteractHandle handle, ImageEffect* effect)
        : Interact(handle), effect_(effect) {}

    ImageEffect* getEffect() const { return effect_; }

private:
    ImageEffect* effect_;
};

} // namespace OFX
