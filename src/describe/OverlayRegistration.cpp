#include "describe/OverlayRegistration.h"

#include "overlays/GenericOverlayDescriptor.h"
#include "overlays/OverlayRegistry.h"
#include "overlays/PointOverlayDescriptor.h"

#include "ofx/support/ImageEffectDescriptor.h"

bool registerXmlOverlayInteract(OFX::ImageEffectDescriptor& desc,
                                const XMLEffectDefinition& definition) {
    OverlayRegistry& registry = OverlayRegistry::instance();
    registry.registerOverlays(definition.name(), definition.overlays(),
                              static_cast<int>(definition.overlayCoordinates()));
    registry.setCurrentEffect(definition.name());
    // The descriptor takes ownership.
    desc.setOverlayInteractDescriptor(new OFX::GenericOverlayDescriptor);
    return true;
}

bool registerLegacyOverlayInteract(OFX::ImageEffectDescriptor& desc,
                                   const XMLEffectDefinition& /*definition*/) {
    desc.setOverlayInteractDescriptor(new OFX::PointOverlayDescriptor);
    return true;
}
