#include "describe/OverlayRegistration.h"

// The viewer interacts are not part of this build yet, so no interact is offered: the host
// then draws nothing for the effect rather than calling into an interact that does not exist.
bool registerXmlOverlayInteract(OFX::ImageEffectDescriptor& /*desc*/,
                                const XMLEffectDefinition& /*definition*/) {
    return false;
}

bool registerLegacyOverlayInteract(OFX::ImageEffectDescriptor& /*desc*/,
                                   const XMLEffectDefinition& /*definition*/) {
    return false;
}
