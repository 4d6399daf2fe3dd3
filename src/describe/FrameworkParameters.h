#pragma once

#include "definition/XMLEffectDefinition.h"
#include "describe/HostCapabilities.h"
#include "describe/XMLParameterManager.h"

namespace OFX {
class ChoiceParamDescriptor;
class ImageEffectDescriptor;
} // namespace OFX

// The controls every effect of the framework carries besides its definition's parameters:
// presets, help, the global blend and, where the host profile asks, the overlay switch.
namespace framework {

// Everything after the clips: the definition's parameters in the layout the host profile
// calls for, then the framework controls. Throws std::runtime_error when a layout fails.
void describeParameters(XMLEffectDefinition& definition, const HostCapabilities& caps,
                        const std::string& definitionPath, OFX::ImageEffectDescriptor& desc);

// Fills both preset dropdowns from the preset folders while the effect is described.
void prePopulatePresetChoices(OFX::ChoiceParamDescriptor& factoryChoice,
                              OFX::ChoiceParamDescriptor& userChoice, const std::string& effectName,
                              const std::string& definitionPath);

// "Select from N preset(s)" as both dropdowns word it.
std::string presetCountLabel(std::size_t count);

} // namespace framework
