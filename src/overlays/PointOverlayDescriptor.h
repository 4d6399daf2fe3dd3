#pragma once

#include "overlays/PointOverlayInteract.h"

#include "ofx/support/DefaultEffectOverlayDescriptor.h"

namespace OFX {

// Set on the effect descriptor for definitions with a `center` parameter and no overlays.
class PointOverlayDescriptor
    : public DefaultEffectOverlayDescriptor<PointOverlayDescriptor, PointOverlayInteract> {};

} // namespace OFX
