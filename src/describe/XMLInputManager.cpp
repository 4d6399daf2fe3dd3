#include "describe/XMLInputManager.h"

#include "log/Logger.h"

#include "ofx/support/ClipDescriptor.h"
#include "ofx/support/DoubleParam.h"
#include "ofx/support/ImageEffectDescriptor.h"

#include <algorithm>
#include <cctype>
#include <exception>

XMLInputManager::XMLInputManager() {
    HALDEN_LOG_DEBUG("XMLInputManager::constructor");
}

bool XMLInputManager::createInputs(const XMLEffectDefinition& definition,
                                   OFX::ImageEffectDescriptor& desc) {
    try {
        HALDEN_LOG_DEBUG("[DEBUG] XMLInputManager: Creating %d input clips from XML",
                         static_cast<int>(definition.inputs().size()));
        for (const InputDef& input : definition.inputs()) {
            if (createClip(input, desc) == nullptr) {
                HALDEN_LOG_DEBUG("XMLInputManager: ERROR - createClip returned null for '%s'",
                                 input.name.c_str());
                return false;
            }
        }
        OFX::ClipDescriptor* output = desc.defineClip(kOfxImageEffectOutputClipName);
        if (output == nullptr) {
            HALDEN_LOG_DEBUG("XMLInputManager: ERROR - output clip creation returned null");
            return false;
        }
        output->addSupportedComponent(OFX::ePixelComponentRGBA);
        output->setSupportsTiles(true);
        HALDEN_LOG_INFO("✓ XML clips created successfully!");
        return true;
    } catch (const std::exception& e) {
        HALDEN_LOG_DEBUG("XMLInputManager: EXCEPTION in createInputs: %s", e.what());
    } catch (...) {
        HALDEN_LOG_DEBUG("XMLInputManager: UNKNOWN EXCEPTION in createInputs");
    }
    return false;
}

OFX::ClipDescriptor* XMLInputManager::createClip(const InputDef& input,
                                                 OFX::ImageEffectDescriptor& desc) {
    try {
        OFX::ClipDescriptor* clip = desc.defineClip(input.name);
        if (clip == nullptr) {
            HALDEN_LOG_DEBUG("XMLInputManager: ERROR - defineClip returned null for '%s'",
                             input.name.c_str());
            return nullptr;
        }
        clip->addSupportedComponent(OFX::ePixelComponentRGBA);
        clip->setTemporalClipAccess(false);
        clip->setSupportsTiles(true);
        clip->setOptional(input.optional);
        setBorderModeProps(*clip, input.borderMode);
        std::string lower = input.name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower.find("mask") != std::string::npos || lower.find("matte") != std::string::npos) {
            clip->setIsMask(true);
        }
        return clip;
    } catch (const std::exception& e) {
        HALDEN_LOG_DEBUG("XMLInputManager: EXCEPTION in createClip for '%s': %s",
                         input.name.c_str(), e.what());
    } catch (...) {
        HALDEN_LOG_DEBUG("XMLInputManager: UNKNOWN EXCEPTION in createClip for '%s'",
                         input.name.c_str());
    }
    return nullptr;
}

void XMLInputManager::setBorderModeProps(OFX::ClipDescriptor& /*clip*/,
                                         const std::string& /*borderMode*/) {}

void XMLInputManager::defineFallbackClips(OFX::ImageEffectDescriptor& desc) {
    for (const char* name : {kOfxImageEffectSimpleSourceClipName, kOfxImageEffectOutputClipName}) {
        OFX::ClipDescriptor* clip = desc.defineClip(name);
        clip->addSupportedComponent(OFX::ePixelComponentRGBA);
        clip->setSupportsTiles(false);
    }
    OFX::ClipDescriptor* mask = desc.defineClip("mask");
    mask->addSupportedComponent(OFX::ePixelComponentRGBA);
    mask->setSupportsTiles(false);
    mask->setOptional(true);
    mask->setIsMask(true);
}

void XMLInputManager::defineTransitionClips(OFX::ImageEffectDescriptor& desc) {
    HALDEN_LOG_INFO("Creating TRANSITION clips (SourceFrom, SourceTo)");
    for (const char* name :
         {kOfxImageEffectTransitionSourceFromClipName, kOfxImageEffectTransitionSourceToClipName,
          kOfxImageEffectOutputClipName}) {
        OFX::ClipDescriptor* clip = desc.defineClip(name);
        clip->addSupportedComponent(OFX::ePixelComponentRGBA);
        clip->setSupportsTiles(false);
    }
    HALDEN_LOG_INFO("TRANSITION clips created (SourceFrom, SourceTo, Output)");
    OFX::DoubleParamDescriptor* transition =
        desc.defineDoubleParam(kOfxImageEffectTransitionParamName);
    transition->setLabels("Transition", "Transition", "Transition");
    transition->setHint("Transition progress (controlled by host)");
    transition->setDefault(0.0);
    transition->setRange(0.0, 1.0);
    transition->setDisplayRange(0.0, 1.0);
    transition->setDoubleType(OFX::eDoubleTypeScale);
    HALDEN_LOG_INFO("TRANSITION parameter defined (Transition)");
}
