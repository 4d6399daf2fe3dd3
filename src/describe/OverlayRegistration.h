#pragma once

#include "definition/XMLEffectDefinition.h"

namespace OFX {
class ImageEffectDescriptor;
}

// Hooks through which describe gives the host the effect's overlay interact. They return true
// when an interact was set on the descriptor.
bool registerXmlOverlayInteract(OFX::ImageEffectDescriptor& desc,
                                const XMLEffectDefinition& definition);
bool registerLegacyOverlayInteract(OFX::ImageEffectDescriptor& desc,
                                   const XMLEffectDefinition& definition);
