// What the effect does when the host reports a change of its preset and help controls:
// loading, saving and deleting presets, rebuilding the preset dropdowns, opening the help page.
#include "render/GenericEffect.h"

#include "describe/FrameworkParameters.h"
#include "log/Logger.h"
#include "platform/PlatformPaths.h"
#include "presets/PresetFile.h"
#include "presets/PresetFolders.h"

#include "ofx/support/BooleanParam.h"
#include "ofx/support/ChoiceParam.h"
#include "ofx/support/ColourParam.h"
#include "ofx/support/DoubleParam.h"
#include "ofx/support/IntParam.h"
#include "ofx/support/StringParam.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const std::string kLoadDefaults = ">> Load Defaults <<";

std::string joined(const std::string& folder, const std::string& name) {
    return (fs::u8path(folder) / fs::u8path(name + ".xml")).u8string();
}

// Why there is no user preset folder to use; empty when there is one.
std::string userFolderProblem(const std::string& folder) {
    if (!folder.empty()) {
        return {};
    }
    return "No user preset folder: the environment names no user configuration folder "
           "(XDG_CONFIG_HOME or HOME; APPDATA on Windows)";
}

// Why a name typed by the user is refused; empty when it is safe.
std::string presetNameProblem(const std::string& name) {
    if (isValidPresetName(name)) {
        return {};
    }
    return "Invalid preset name '" + name +
           "' - a preset name cannot contain path separators, '..', ':' or characters a file "
           "name cannot hold";
}

} // namespace

void GenericEffect::tellUser(const std::string& text) {
    try {
        sendMessage(OFX::eMessageError, "", text);
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("The host did not show a message: %s", e.what());
    }
}

void GenericEffect::presetFailed(const std::string& text) {
    HALDEN_LOG_ERROR("%s", text.c_str());
    tellUser(text);
}

void GenericEffect::changedParam(const OFX::InstanceChangedArgs& args,
                                 const std::string& paramName) {
    HALDEN_LOG_INFO("changedParam called: paramName='%s'", paramName.c_str());
    try {
        runPresetCommand(paramName, args.reason);
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("changedParam preset handler exception for '%s': %s", paramName.c_str(),
                         e.what());
    } catch (...) {
        HALDEN_LOG_ERROR("changedParam preset handler unknown exception for '%s'",
                         paramName.c_str());
    }
}

void GenericEffect::runPresetCommand(const std::string& name, OFX::InstanceChangeReason reason) {
    const bool list = name == "factory_preset_list" || name == "preset_list";
    if (list && reason != OFX::eChangeUserEdit) {
        // Our own writes to a list (after save, load or defaults) come back as changes too;
        // only a user's choice loads anything.
        HALDEN_LOG_DEBUG("%s set by the plug-in - no action", name.c_str());
        return;
    }
    if (name == "tutorialsButton" || name == "getHelp") {
        openDocumentation();
    } else if (name == "factory_preset_list") {
        OFX::ChoiceParam* choice = choiceParameter(name);
        if (choice == nullptr) {
            return;
        }
        const int index = choice->getValue();
        if (index < 1) {
            return;
        }
        HALDEN_LOG_INFO("Factory preset dropdown changed to index %d - auto-loading", index);
        loadFactoryPreset();
    } else if (name == "preset_list") {
        OFX::ChoiceParam* choice = choiceParameter(name);
        if (choice == nullptr) {
            return;
        }
        const int index = choice->getValue();
        if (index == 1) {
            HALDEN_LOG_INFO("Load Defaults selected - resetting to XML defaults");
            loadDefaults();
            setChoice("preset_list", 0);
            setChoice("factory_preset_list", 0);
        } else if (index >= 2) {
            HALDEN_LOG_INFO("Preset dropdown changed to index %d - auto-loading", index);
            loadUserPreset();
        }
    } else if (name == "save_preset") {
        HALDEN_LOG_INFO("Save Preset button clicked!");
        savePreset();
    } else if (name == "load_preset") {
        HALDEN_LOG_INFO("Load Preset button clicked!");
        loadUserPreset();
    } else if (name == "delete_preset") {
        HALDEN_LOG_INFO("Delete Preset button clicked!");
        deletePreset();
    } else if (name == "refresh_presets") {
        HALDEN_LOG_INFO("Refresh Presets button clicked!");
        refreshUserPresetList();
    }
}

std::string GenericEffect::userPresetFolder() const {
    return userPresetDirectory(definition_.name());
}

std::string GenericEffect::factoryPresetFolder() const {
    return factoryPresetDirectory(bundleNameFromPath(definitionPath_));
}

void GenericEffect::initialisePresetChoices() {
    if (hostCapabilities_.resetOptions) {
        refreshUserPresetList();
        refreshFactoryPresetList();
    } else {
        adoptShownPresetChoices();
    }
}

void GenericEffect::adoptShownPresetChoices() {
    // The options a host shows were written at describe time, possibly in an earlier session
    // and before other instances saved or deleted presets: the names are what is shown.
    PresetChoices shown;
    try {
        if (OFX::ChoiceParam* list = choiceParameter("preset_list")) {
            for (int i = 2, n = list->getOptionCount(); i < n; ++i) {
                shown.user.push_back(list->getOption(i));
            }
        }
        if (OFX::ChoiceParam* list = choiceParameter("factory_preset_list")) {
            for (int i = 1, n = list->getOptionCount(); i < n; ++i) {
                shown.factory.push_back(list->getOption(i));
            }
        }
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("Could not read the preset dropdowns' options, using the folders: %s",
                         e.what());
        shown.user = presetNamesIn(userPresetFolder());
        shown.factory = presetNamesIn(factoryPresetFolder());
    }
    HALDEN_LOG_INFO("Preset name vectors populated: %zu user, %zu factory", shown.user.size(),
                    shown.factory.size());
    std::lock_guard<std::mutex> lock(stateMutex_);
    presetChoices_ = std::move(shown);
}

std::string GenericEffect::shownUserPreset(int index) {
    std::lock_guard<std::mutex> lock(stateMutex_);
    const std::vector<std::string>& names = presetChoices_.user;
    return index >= 2 && std::size_t(index - 2) < names.size() ? names[std::size_t(index - 2)]
                                                               : std::string();
}

std::string GenericEffect::shownFactoryPreset(int index) {
    std::lock_guard<std::mutex> lock(stateMutex_);
    const std::vector<std::string>& names = presetChoices_.factory;
    return index >= 1 && std::size_t(index - 1) < names.size() ? names[std::size_t(index - 1)]
                                                               : std::string();
}

std::map<std::string, OFX::Param*> GenericEffect::parameterSnapshot() {
    std::lock_guard<std::mutex> lock(stateMutex_);
    return parameters_;
}

OFX::ChoiceParam* GenericEffect::choiceParameter(const std::string& name) {
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        const auto found = parameters_.find(name);
        if (found != parameters_.end() && found->second->getType() == OFX::eParamTypeChoice) {
            return static_cast<OFX::ChoiceParam*>(found->second);
        }
    }
    return fetchChoiceParam(name);
}

void GenericEffect::setChoice(const std::string& name, int index) {
    if (OFX::ChoiceParam* choice = choiceParameter(name)) {
        choice->setValue(index);
    }
}

void GenericEffect::refreshUserPresetList() {
    const std::string folder = userPresetFolder();
    const std::vector<std::string> names = presetNamesIn(folder);
    HALDEN_LOG_INFO("Found %zu presets in %s", names.size(), folder.c_str());
    try {
        OFX::ChoiceParam* list = choiceParameter("preset_list");
        if (list == nullptr) {
            HALDEN_LOG_ERROR("preset_list parameter not found");
        } else {
            std::vector<std::string> options;
            options.push_back(names.empty() ? std::string("(no presets found)")
                                            : framework::presetCountLabel(names.size()));
            options.push_back(kLoadDefaults);
            options.insert(options.end(), names.begin(), names.end());
            list->resetOptions(options);
            {
                std::lock_guard<std::mutex> lock(stateMutex_);
                presetChoices_.user = names;
            }
            list->setValue(0);
            HALDEN_LOG_INFO("Preset list UI updated with %zu presets", names.size());
        }
        HALDEN_LOG_INFO("Preset list refreshed: %zu presets found", names.size());
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("Failed to update preset list UI (host may not support dynamic choice "
                         "options): %s",
                         e.what());
        adoptShownPresetChoices();
    }
}

void GenericEffect::refreshFactoryPresetList() {
    const std::string folder = factoryPresetFolder();
    const std::vector<std::string> names = presetNamesIn(folder);
    HALDEN_LOG_INFO("Found %zu factory presets in %s", names.size(), folder.c_str());
    try {
        OFX::ChoiceParam* list = choiceParameter("factory_preset_list");
        if (list == nullptr) {
            HALDEN_LOG_ERROR("factory_preset_list parameter not found");
        } else if (names.empty()) {
            list->setIsSecret(true);
            std::lock_guard<std::mutex> lock(stateMutex_);
            presetChoices_.factory.clear();
            HALDEN_LOG_INFO("No factory presets found - hiding dropdown");
        } else {
            list->setIsSecret(false);
            std::vector<std::string> options{framework::presetCountLabel(names.size())};
            options.insert(options.end(), names.begin(), names.end());
            list->resetOptions(options);
            {
                std::lock_guard<std::mutex> lock(stateMutex_);
                presetChoices_.factory = names;
            }
            list->setValue(0);
            HALDEN_LOG_INFO("Factory preset list UI updated with %zu presets", names.size());
        }
        HALDEN_LOG_INFO("Factory preset list refreshed: %zu presets found", names.size());
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("Failed to update factory preset list UI (host may not support dynamic "
                         "choice options): %s",
                         e.what());
        adoptShownPresetChoices();
    }
}

void GenericEffect::loadFactoryPreset() {
    OFX::ChoiceParam* list = choiceParameter("factory_preset_list");
    if (list == nullptr) {
        HALDEN_LOG_ERROR("factory_preset_list parameter not found");
        return;
    }
    const int index = list->getValue();
    if (index == 0) {
        HALDEN_LOG_DEBUG("Factory preset placeholder selected - no action");
        return;
    }
    const std::string name = shownFactoryPreset(index);
    if (name.empty()) {
        HALDEN_LOG_ERROR("Invalid factory preset index: %d", index);
        return;
    }
    const std::string path = joined(factoryPresetFolder(), name);
    HALDEN_LOG_INFO("Loading factory preset: %s", path.c_str());
    std::string effect;
    std::string version;
    const PresetValues values = loadPresetFile(path, effect, version);
    if (values.empty()) {
        presetFailed("Failed to load factory preset or preset is empty");
        return;
    }
    applyValues(values, path);
    setChoice("preset_list", 0);
    HALDEN_LOG_INFO("Factory preset loaded: %s (%zu parameters applied)", name.c_str(),
                    values.size());
}

bool GenericEffect::shownPresetStillExists(const std::string& name) {
    std::error_code error;
    if (fs::is_regular_file(fs::u8path(joined(userPresetFolder(), name)), error)) {
        return true;
    }
    // Another instance or another program removed it: show what is there now.
    HALDEN_LOG_ERROR("Preset '%s' no longer exists - the list has been refreshed", name.c_str());
    refreshUserPresetList();
    return false;
}

void GenericEffect::loadUserPreset() {
    OFX::ChoiceParam* list = choiceParameter("preset_list");
    const int index = list != nullptr ? list->getValue() : 0;
    std::string name = shownUserPreset(index);
    std::string path;
    if (!name.empty()) {
        HALDEN_LOG_INFO("Loading preset from dropdown: %s (index %d)", name.c_str(), index);
        if (!shownPresetStillExists(name)) {
            return;
        }
        // The option is the file's name without its last ".xml": nothing more to strip.
        path = joined(userPresetFolder(), name);
    } else {
        if (OFX::StringParam* field = fetchStringParam("preset_name")) {
            name = field->getValue();
        }
        if (name.empty()) {
            HALDEN_LOG_ERROR("No preset selected - choose from dropdown or enter name");
            return;
        }
        const std::string problem = presetNameProblem(name).empty()
                                        ? userFolderProblem(userPresetFolder())
                                        : presetNameProblem(name);
        if (!problem.empty()) {
            presetFailed(problem);
            return;
        }
        path = joined(userPresetFolder(), presetBaseName(name));
    }
    HALDEN_LOG_INFO("Loading preset from: %s", path.c_str());
    std::string effect;
    std::string version;
    const PresetValues values = loadPresetFile(path, effect, version);
    if (values.empty()) {
        presetFailed("Failed to load preset or preset is empty: " + path);
        return;
    }
    if (effect != definition_.name()) {
        HALDEN_LOG_INFO("Preset was created for '%s' but loading into '%s' - some parameters "
                        "may not apply",
                        effect.c_str(), definition_.name().c_str());
    }
    applyValues(values, path);
    setChoice("factory_preset_list", 0);
    HALDEN_LOG_INFO("Preset loaded: %s (%zu parameters applied)", name.c_str(), values.size());
}

void GenericEffect::savePreset() {
    OFX::StringParam* field = fetchStringParam("preset_name");
    if (field == nullptr) {
        HALDEN_LOG_ERROR("preset_name parameter not found");
        return;
    }
    const std::string name = field->getValue();
    if (name.empty()) {
        HALDEN_LOG_ERROR("No preset name specified - enter a name in 'Preset Name' field");
        return;
    }
    const std::string problem = presetNameProblem(name).empty()
                                    ? userFolderProblem(userPresetFolder())
                                    : presetNameProblem(name);
    if (!problem.empty()) {
        presetFailed(problem);
        return;
    }
    const std::string base = presetBaseName(name);
    const std::string path = joined(userPresetFolder(), base);
    HALDEN_LOG_INFO("Saving preset to: %s", path.c_str());
    if (!savePresetFile(path, definition_.name(), definition_.version(), collectCurrentValues(),
                        definition_)) {
        tellUser("Could not save the preset to " + path + " (the log has the reason)");
        return;
    }
    refreshUserPresetList();
    int index = -1;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        const std::vector<std::string>& names = presetChoices_.user;
        const auto found = std::find(names.begin(), names.end(), base);
        if (found != names.end()) {
            index = static_cast<int>(found - names.begin()) + 2;
        }
    }
    if (index >= 2) {
        // The host reports this selection back as a plug-in edit, which loads nothing.
        setChoice("preset_list", index);
        HALDEN_LOG_INFO("Selected saved preset '%s' at index %d", base.c_str(), index);
    }
    setChoice("factory_preset_list", 0);
}

void GenericEffect::deletePreset() {
    if (OFX::ChoiceParam* factory = choiceParameter("factory_preset_list")) {
        if (factory->getValue() > 0) {
            HALDEN_LOG_INFO("Cannot delete factory presets - select a user preset to delete");
            return;
        }
    }
    OFX::ChoiceParam* list = choiceParameter("preset_list");
    if (list == nullptr) {
        HALDEN_LOG_ERROR("preset_list parameter not found");
        return;
    }
    const std::string name = shownUserPreset(list->getValue());
    if (name.empty()) {
        HALDEN_LOG_ERROR("No user preset selected - choose a preset from 'My Presets' dropdown "
                         "first");
        return;
    }
    if (!shownPresetStillExists(name)) {
        return;
    }
    const std::string path = joined(userPresetFolder(), name);
    std::error_code error;
    if (!fs::remove(fs::u8path(path), error) || error) {
        presetFailed("Failed to delete preset: " + path);
        return;
    }
    HALDEN_LOG_INFO("Deleted preset: %s", path.c_str());
    refreshUserPresetList();
}

void GenericEffect::loadDefaults() {
    HALDEN_LOG_INFO("Loading default values from XML definition");
    PresetValues values;
    for (const ParameterDef& param : definition_.parameters()) {
        const std::string& type = param.type;
        const auto component = [&param](std::size_t i) {
            return i < param.components.size() ? param.components[i].defaultValue : 0.0;
        };
        if (type == "float" || type == "double") {
            values[param.name] = PresetValue::number(param.defaultValue);
        } else if (type == "int" || type == "choice") {
            values[param.name] = PresetValue::integer(static_cast<int>(param.defaultValue));
        } else if (type == "bool") {
            values[param.name] = PresetValue::boolean(param.boolDefault);
        } else if (type == "vec2") {
            values[param.name] = PresetValue::vec2(component(0), component(1));
        } else if (type == "vec3" || type == "color") {
            values[param.name] = PresetValue::vec3(component(0), component(1), component(2));
        } else if (type == "vec4" || type == "color_rgba") {
            values[param.name] =
                PresetValue::vec4(component(0), component(1), component(2), component(3));
        } else if (type == "string" || type == "filepath") {
            values[param.name] = PresetValue::text(param.textDefault);
        } else {
            values[param.name] = PresetValue::number(0.0);
        }
    }
    applyValues(values, "the definition's defaults");
    HALDEN_LOG_INFO("Default values loaded: %zu parameters reset", values.size());
}

void GenericEffect::openDocumentation() {
    std::string bundle = platform::loadedBundleDirectory();
    if (bundle.empty()) {
        bundle = platform::standardPluginDirectory() + "/" + bundleNameFromPath(definitionPath_) +
                 ".ofx.bundle";
    }
    const std::string page =
        (fs::u8path(bundle) / "Contents" / "Resources" / "docs" / "index.html").u8string();
    if (!platform::openInBrowser(page)) {
        HALDEN_LOG_ERROR("Could not open the documentation page %s", page.c_str());
    }
}

PresetValues GenericEffect::collectCurrentValues() {
    ensureParametersFetched();
    const std::map<std::string, OFX::Param*> parameters = parameterSnapshot();
    PresetValues values;
    for (const ParameterDef& param : definition_.parameters()) {
        const std::string& name = param.name;
        if (name == "preset_name" || name == "preset_list" || name == "refresh_presets" ||
            name == "load_preset" || name == "delete_preset" || name == "save_preset" ||
            param.type == "pushbutton") {
            continue;
        }
        const auto found = parameters.find(name);
        if (found == parameters.end()) {
            continue;
        }
        OFX::Param* p = found->second;
        try {
            const std::string& type = param.type;
            if (type == "float" || type == "double") {
                values[name] = PresetValue::number(static_cast<OFX::DoubleParam*>(p)->getValue());
            } else if (type == "int") {
                values[name] = PresetValue::integer(static_cast<OFX::IntParam*>(p)->getValue());
            } else if (type == "choice") {
                values[name] = PresetValue::integer(static_cast<OFX::ChoiceParam*>(p)->getValue());
            } else if (type == "bool") {
                values[name] = PresetValue::boolean(static_cast<OFX::BooleanParam*>(p)->getValue());
            } else if (type == "string" || type == "filepath") {
                values[name] = PresetValue::text(static_cast<OFX::StringParam*>(p)->getValue());
            } else if (type == "vec2") {
                const OfxPointD v = static_cast<OFX::Double2DParam*>(p)->getValue();
                values[name] = PresetValue::vec2(v.x, v.y);
            } else if (type == "vec3") {
                double x = 0, y = 0, z = 0;
                static_cast<OFX::Double3DParam*>(p)->getValue(x, y, z);
                values[name] = PresetValue::vec3(x, y, z);
            } else if (type == "color") {
                const OfxRGBColourD c = static_cast<OFX::RGBParam*>(p)->getValue();
                values[name] = PresetValue::vec3(c.r, c.g, c.b);
            } else if (type == "color_rgba") {
                const OfxRGBAColourD c = static_cast<OFX::RGBAParam*>(p)->getValue();
                values[name] = PresetValue::vec4(c.r, c.g, c.b, c.a);
            }
        } catch (const std::exception& e) {
            HALDEN_LOG_ERROR("Failed to collect parameter '%s': %s", name.c_str(), e.what());
        }
    }
    return values;
}

void GenericEffect::applyValues(const PresetValues& values, const std::string& source) {
    ensureParametersFetched();
    // Host set-value calls may wait for renders, which take the state mutex: never hold it here.
    const std::map<std::string, OFX::Param*> parameters = parameterSnapshot();
    for (const auto& [name, value] : values) {
        const auto found = parameters.find(name);
        if (found == parameters.end()) {
            HALDEN_LOG_INFO("Preset parameter '%s' not found in effect - skipping", name.c_str());
            continue;
        }
        OFX::Param* p = found->second;
        try {
            const ParameterDef& def = definition_.getParameter(name);
            const std::string& type = def.type;
            std::array<float, 4> c = value.asComponents();
            // Checked as a host checks a user's entry: a number that is not finite or a choice
            // that does not exist leaves the parameter as it was; others are held in range.
            const bool vector =
                type == "vec2" || type == "vec3" || type == "color" || type == "color_rgba";
            const bool number = type == "float" || type == "double" || type == "int";
            const bool finite =
                vector   ? std::all_of(c.begin(), c.end(), [](float v) { return std::isfinite(v); })
                : number ? std::isfinite(value.asDouble())
                         : true;
            if (!finite) {
                HALDEN_LOG_ERROR("Preset %s: '%s' is not a finite number - parameter left as it "
                                 "was",
                                 source.c_str(), name.c_str());
                continue;
            }
            const auto inRange = [&](double v, double low, double high) {
                if (v < low || v > high) {
                    HALDEN_LOG_INFO("Preset %s: '%s' %g held to its range %g to %g", source.c_str(),
                                    name.c_str(), v, low, high);
                }
                return std::min(std::max(v, low), high);
            };
            if (type == "vec2" || type == "vec3") {
                for (std::size_t i = 0; i < def.components.size() && i < c.size(); ++i) {
                    c[i] = static_cast<float>(
                        inRange(c[i], def.components[i].min, def.components[i].max));
                }
            }
            if (type == "float" || type == "double") {
                static_cast<OFX::DoubleParam*>(p)->setValue(
                    inRange(value.asDouble(), def.min, def.max));
            } else if (type == "int") {
                static_cast<OFX::IntParam*>(p)->setValue(static_cast<int>(
                    inRange(value.asDouble(), std::ceil(def.min), std::floor(def.max))));
            } else if (type == "choice") {
                const double index = value.asDouble();
                if (!(index >= 0.0 && index < static_cast<double>(def.options.size()))) {
                    HALDEN_LOG_ERROR("Preset %s: '%s' has no option %g - parameter left as it was",
                                     source.c_str(), name.c_str(), index);
                    continue;
                }
                static_cast<OFX::ChoiceParam*>(p)->setValue(static_cast<int>(index));
            } else if (type == "bool") {
                static_cast<OFX::BooleanParam*>(p)->setValue(value.asBool());
            } else if (type == "string" || type == "filepath") {
                static_cast<OFX::StringParam*>(p)->setValue(value.asText());
            } else if (type == "vec2") {
                static_cast<OFX::Double2DParam*>(p)->setValue(c[0], c[1]);
            } else if (type == "vec3") {
                static_cast<OFX::Double3DParam*>(p)->setValue(c[0], c[1], c[2]);
            } else if (type == "color") {
                static_cast<OFX::RGBParam*>(p)->setValue(c[0], c[1], c[2]);
            } else if (type == "color_rgba") {
                static_cast<OFX::RGBAParam*>(p)->setValue(c[0], c[1], c[2], c[3]);
            }
        } catch (const std::exception& e) {
            HALDEN_LOG_ERROR("Failed to apply preset parameter '%s': %s", name.c_str(), e.what());
        }
    }
}
