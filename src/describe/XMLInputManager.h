#pragma once

#include "definition/XMLEffectDefinition.h"

namespace OFX {
class ClipDescriptor;
class ImageEffectDescriptor;
} // namespace OFX

// Defines the effect's clips at describe time: one per definition input, then "Output".
class XMLInputManager {
public:
    XMLInputManager();

    // False (never an exception) when any clip could not be defined; clips defined before the
    // failure stay defined.
    bool createInputs(const XMLEffectDefinition& definition, OFX::ImageEffectDescriptor& desc);
    OFX::ClipDescriptor* createClip(const InputDef& input, OFX::ImageEffectDescriptor& desc);
    // Border modes act only in the kernels; no host property carries them.
    void setBorderModeProps(OFX::ClipDescriptor& clip, const std::string& borderMode);

    // The fixed clips used when the definition's clips cannot be made.
    static void defineFallbackClips(OFX::ImageEffectDescriptor& desc);
    // The clips and the host-driven "Transition" parameter of a transition context.
    static void defineTransitionClips(OFX::ImageEffectDescriptor& desc);
};
