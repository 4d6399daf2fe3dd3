#include "describe/FrameworkParameters.h"

#include "log/Logger.h"
#include "presets/PresetFolders.h"

#include "ofx/support/BooleanParam.h"
#include "ofx/support/ChoiceParam.h"
#include "ofx/support/DoubleParam.h"
#include "ofx/support/GroupParam.h"
#include "ofx/support/ImageEffectDescriptor.h"
#include "ofx/support/PageParam.h"
#include "ofx/support/PushButtonParam.h"
#include "ofx/support/StringParam.h"

#include <stdexcept>

namespace framework {
namespace {

template <class Descriptor>
Descriptor* labelled(Descriptor* d, const std::string& label, const std::string& hint) {
    d->setLabels(label, label, label);
    d->setHint(hint);
    return d;
}

OFX::GroupParamDescriptor* group(OFX::ImageEffectDescriptor& desc, const std::string& name,
                                 const std::string& label, const std::string& hint, bool open) {
    OFX::GroupParamDescriptor* g = labelled(desc.defineGroupParam(name), label, hint);
    g->setOpen(open);
    return g;
}

OFX::ChoiceParamDescriptor* factoryList(OFX::ImageEffectDescriptor& desc) {
    OFX::ChoiceParamDescriptor* c =
        labelled(desc.defineChoiceParam("factory_preset_list"), "Factory Presets",
                 "Select a factory preset to apply it immediately");
    c->setDefault(0);
    return c;
}

OFX::ChoiceParamDescriptor* userList(OFX::ImageEffectDescriptor& desc) {
    OFX::ChoiceParamDescriptor* c = labelled(desc.defineChoiceParam("preset_list"), "My Presets",
                                             "Select a user preset to apply it immediately");
    c->setDefault(0);
    return c;
}

// Delete, name field and Save, in that order, under a group.
void presetCommands(OFX::ImageEffectDescriptor& desc, const OFX::GroupParamDescriptor& parent) {
    labelled(desc.definePushButtonParam("delete_preset"), "Delete", "Delete the selected preset")
        ->setParent(parent);
    OFX::StringParamDescriptor* name = labelled(desc.defineStringParam("preset_name"), "Save As",
                                                "Enter name for new preset (e.g., frosted_glass)");
    name->setDefault("");
    name->setParent(parent);
    labelled(desc.definePushButtonParam("save_preset"), "Save",
             "Save current parameters with the given name")
        ->setParent(parent);
}

void blend(OFX::ImageEffectDescriptor& desc, const OFX::GroupParamDescriptor& parent) {
    OFX::DoubleParamDescriptor* b =
        labelled(desc.defineDoubleParam("Blend"), "Blend",
                 "Amount of effect to apply (0.0 = original image, 1.0 = full effect)");
    b->setDefault(1.0);
    b->setRange(0.0, 1.0);
    b->setDisplayRange(0.0, 1.0);
    b->setIncrement(0.01);
    b->setParent(parent);
}

void helpButton(OFX::ImageEffectDescriptor& desc, const char* name,
                const OFX::GroupParamDescriptor& parent) {
    labelled(desc.definePushButtonParam(name), "Tutorials & Documentation",
             "View tutorials, guides, and documentation for this effect")
        ->setParent(parent);
}

void showOverlays(OFX::ImageEffectDescriptor& desc, const OFX::GroupParamDescriptor& parent) {
    OFX::BooleanParamDescriptor* b =
        labelled(desc.defineBooleanParam("show_overlays"), "Show Overlays",
                 "Show or hide interactive overlays in the viewport");
    b->setDefault(true);
    b->setParent(parent);
}

void pagedSequence(XMLEffectDefinition& definition, const HostCapabilities& caps,
                   const std::string& definitionPath, OFX::ImageEffectDescriptor& desc) {
    HALDEN_LOG_INFO("Using page layout for %s (%zu pages)", caps.hostName.c_str(),
                    definition.pages().size());
    HALDEN_LOG_INFO("  Pages will be created inline by createAndOrganizeWithPages()");
    XMLParameterManager manager;
    XMLParameterManager::PageMap pages;
    if (!manager.createAndOrganizeWithPages(definition, desc, pages)) {
        throw std::runtime_error("Failed to create and organize parameters with pages");
    }
    HALDEN_LOG_INFO("✓ XML effect parameters created and organized on user pages");

    OFX::PageParamDescriptor* settings = desc.definePageParam("Settings");
    settings->setLabels("Settings", "Settings", "Settings");
    pages["Settings"] = settings;
    HALDEN_LOG_INFO("  Created auto 'Settings' page");

    OFX::GroupParamDescriptor* factory =
        group(desc, "factoryPresets", "Factory Presets", "Select a factory preset to apply", false);
    settings->addChild(*factory);
    OFX::ChoiceParamDescriptor* factoryChoice = factoryList(desc);
    factoryChoice->setParent(*factory);
    HALDEN_LOG_INFO("✓ Factory Presets added to Settings page");

    OFX::GroupParamDescriptor* mine =
        group(desc, "myPresets", "My Presets", "Save, load, and manage your own presets", false);
    settings->addChild(*mine);
    OFX::ChoiceParamDescriptor* userChoice = userList(desc);
    userChoice->setParent(*mine);
    prePopulatePresetChoices(*factoryChoice, *userChoice, definition.name(), definitionPath);
    presetCommands(desc, *mine);
    HALDEN_LOG_INFO("✓ My Presets added to Settings page");

    OFX::GroupParamDescriptor* help =
        group(desc, "blendHelpGroup", "Blend & Help", "Global blend and documentation", true);
    settings->addChild(*help);
    blend(desc, *help);
    helpButton(desc, "getHelp", *help);
    if (caps.showOverlaysToggle) {
        showOverlays(desc, *help);
        HALDEN_LOG_INFO("✓ Show Overlays toggle added to Settings page");
    }
    HALDEN_LOG_INFO("✓ Blend & Help added to Settings page");
}

void legacySequence(XMLEffectDefinition& definition, const HostCapabilities& caps,
                    const std::string& definitionPath, OFX::ImageEffectDescriptor& desc) {
    OFX::GroupParamDescriptor* presets =
        group(desc, "presetsHelp", "Presets & Help",
              "Save and load effect presets, access documentation", false);
    OFX::ChoiceParamDescriptor* factoryChoice = factoryList(desc);
    factoryChoice->setParent(*presets);
    OFX::ChoiceParamDescriptor* userChoice = userList(desc);
    userChoice->setParent(*presets);
    // A host that never takes new options shows what describe gives it: the real lists.
    if (caps.presetPrePop && !caps.resetOptions) {
        prePopulatePresetChoices(*factoryChoice, *userChoice, definition.name(), definitionPath);
    } else {
        factoryChoice->appendOption("(no factory presets)");
        userChoice->appendOption("(no presets found)");
    }
    presetCommands(desc, *presets);
    helpButton(desc, "tutorialsButton", *presets);
    HALDEN_LOG_INFO("✓ Presets & Help section added");

    XMLParameterManager manager;
    XMLParameterManager::PageMap pages;
    if (!manager.createParameters(definition, desc, pages)) {
        throw std::runtime_error("Failed to create parameters from XML");
    }
    if (!manager.organizeUI(definition, desc, pages)) {
        throw std::runtime_error("Failed to organize UI from XML");
    }
    HALDEN_LOG_INFO("✓ XML effect parameters added");

    OFX::GroupParamDescriptor* global = group(desc, "Global Blend", "Global Blend",
                                              "Blend the effect with the original image", true);
    blend(desc, *global);
    HALDEN_LOG_INFO("✓ Global Blend parameter added");
    if (caps.showOverlaysToggle) {
        showOverlays(desc, *global);
        HALDEN_LOG_INFO("✓ Show Overlays toggle added");
    }
}

} // namespace

std::string presetCountLabel(std::size_t count) {
    return "Select from " + std::to_string(count) + " preset" + (count == 1 ? "" : "s");
}

void describeParameters(XMLEffectDefinition& definition, const HostCapabilities& caps,
                        const std::string& definitionPath, OFX::ImageEffectDescriptor& desc) {
    if (caps.pages && definition.pages().empty()) {
        XMLParameterManager::synthesizeDefaultPages(definition);
    }
    if (caps.pages && !definition.pages().empty()) {
        pagedSequence(definition, caps, definitionPath, desc);
    } else {
        if (!caps.pages) {
            HALDEN_LOG_INFO("%s does not support pages — using legacy layout",
                            caps.hostName.c_str());
        }
        HALDEN_LOG_INFO("Using legacy single-page layout");
        legacySequence(definition, caps, definitionPath, desc);
    }
    HALDEN_LOG_INFO("✓ XML parameters created successfully");
    HALDEN_LOG_INFO("GenericEffectFactory::describeInContext completed successfully");
}

void prePopulatePresetChoices(OFX::ChoiceParamDescriptor& factoryChoice,
                              OFX::ChoiceParamDescriptor& userChoice, const std::string& effectName,
                              const std::string& definitionPath) {
    HALDEN_LOG_INFO("  prePopulatePresetChoices: START (effect='%s', xml='%s')", effectName.c_str(),
                    definitionPath.c_str());
    const std::string factoryFolder = factoryPresetDirectory(bundleNameFromPath(definitionPath));
    HALDEN_LOG_INFO("  prePopulatePresetChoices: scanning factory dir '%s'", factoryFolder.c_str());
    const std::size_t factoryEntries = listDirectory(factoryFolder).size();
    const std::vector<std::string> factory = presetNamesIn(factoryFolder);
    HALDEN_LOG_INFO("  prePopulatePresetChoices: factory scan done (%zu files)", factoryEntries);
    if (factory.empty()) {
        factoryChoice.appendOption("(no factory presets)");
    } else {
        factoryChoice.appendOption(presetCountLabel(factory.size()));
        for (const std::string& name : factory) {
            factoryChoice.appendOption(name);
        }
    }
    HALDEN_LOG_INFO("  Pre-populated %zu factory presets at describe time", factory.size());

    const std::string userFolder = userPresetDirectory(effectName);
    HALDEN_LOG_INFO("  prePopulatePresetChoices: scanning user dir '%s'", userFolder.c_str());
    const std::size_t userEntries = listDirectory(userFolder).size();
    const std::vector<std::string> user = presetNamesIn(userFolder);
    HALDEN_LOG_INFO("  prePopulatePresetChoices: user scan done (%zu files)", userEntries);
    userChoice.appendOption(user.empty() ? std::string("(no presets found)")
                                         : presetCountLabel(user.size()));
    userChoice.appendOption(">> Load Defaults <<");
    for (const std::string& name : user) {
        userChoice.appendOption(name);
    }
    HALDEN_LOG_INFO("  Pre-populated %zu user presets at describe time", user.size());
    HALDEN_LOG_INFO("  prePopulatePresetChoices: DONE");
}

} // namespace framework
