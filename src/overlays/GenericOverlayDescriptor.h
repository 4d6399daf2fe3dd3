#pragma once

#include "overlays/GenericOverlayInteract.h"

#include "ofx/support/DefaultEffectOverlayDescriptor.h"

namespace OFX {

// Set on the effect descriptor at describe time; its entry point makes GenericOverlayInteract.
class GenericOverlayDescriptor
    : public DefaultEffectOverlayDescriptor<GenericOverlayDescriptor, GenericOverlayInteract> {};

} // namespace OFX
