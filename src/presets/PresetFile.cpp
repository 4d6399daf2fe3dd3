#include "presets/PresetFile.h"

#include "log/Logger.h"
#include "platform/PlatformPaths.h"
#include "presets/PresetFolders.h"

#include <pugixml.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The texts a preset's parse errors are reported with.
double parseDouble(const std::string& text) {
    try {
        return std::stod(text);
    } catch (const std::invalid_argument&) {
        throw std::runtime_error("invalid stod argument");
    } catch (const std::out_of_range&) {
        throw std::runtime_error("stod argument out of range");
    }
}

int parseInt(const std::string& text) {
    try {
        return std::stoi(text);
    } catch (const std::invalid_argument&) {
        throw std::runtime_error("invalid stoi argument");
    } catch (const std::out_of_range&) {
        throw std::runtime_error("stoi argument out of range");
    }
}

// Components split at ','; false when there are fewer than needed.
bool parseComponents(const std::string& text, std::size_t needed, double (&out)[4]) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    while (true) {
        const std::string::size_type comma = text.find(',', start);
        pieces.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (pieces.size() < needed) {
        return false;
    }
    for (std::size_t i = 0; i < needed; ++i) {
        out[i] = parseDouble(pieces[i]);
    }
    return true;
}

// Decodes a param; false when its type is not one a preset carries.
bool decodeValue(const std::string& type, const std::string& text, PresetValue& value) {
    double c[4] = {0, 0, 0, 0};
    if (type == "float" || type == "double") {
        value = PresetValue::number(parseDouble(text));
    } else if (type == "int" || type == "choice") {
        value = PresetValue::integer(parseInt(text));
    } else if (type == "bool") {
        value = PresetValue::boolean(text == "true" || text == "1");
    } else if (type == "vec2") {
        if (!parseComponents(text, 2, c)) {
            return false;
        }
        value = PresetValue::vec2(c[0], c[1]);
    } else if (type == "vec3" || type == "color") {
        if (!parseComponents(text, 3, c)) {
            return false;
        }
        value = PresetValue::vec3(c[0], c[1], c[2]);
    } else if (type == "vec4" || type == "color_rgba") {
        if (!parseComponents(text, 4, c)) {
            return false;
        }
        value = PresetValue::vec4(c[0], c[1], c[2], c[3]);
    } else if (type == "string" || type == "filepath") {
        value = PresetValue::text(text);
    } else {
        return false;
    }
    return true;
}

std::string general10(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

std::string componentsText(const PresetValue& value, int count) {
    const std::array<float, 4> c = value.asComponents();
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += (i == 0 ? "" : ",") + general10(static_cast<double>(c[i]));
    }
    return text;
}

// The written type and value of a parameter by its definition type.
void encodeValue(const std::string& type, const PresetValue& value, std::string& writtenType,
                 std::string& text) {
    writtenType = type;
    if (type == "float" || type == "double") {
        writtenType = "float";
        text = general10(value.asDouble());
    } else if (type == "int" || type == "choice") {
        text = std::to_string(value.asInt());
    } else if (type == "bool") {
        text = value.asBool() ? "true" : "false";
    } else if (type == "vec2") {
        text = componentsText(value, 2);
    } else if (type == "vec3" || type == "color") {
        writtenType = "vec3";
        text = componentsText(value, 3);
    } else if (type == "vec4" || type == "color_rgba") {
        writtenType = "vec4";
        text = componentsText(value, 4);
    } else if (type == "string" || type == "filepath") {
        text = value.asText();
    }
}

bool readWholeFile(const std::string& path, std::string& content) {
    if (!isPresetFile(path)) {
        return false;
    }
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return !in.bad();
}

std::string temporarySibling(const std::string& path) {
    std::random_device random;
    return path + ".tmp" + std::to_string(random() % 1000000);
}

} // namespace

PresetValues loadPresetFile(const std::string& path, std::string& effect, std::string& version) {
    std::string content;
    if (!readWholeFile(path, content)) {
        HALDEN_LOG_ERROR("Failed to load preset file: %s", path.c_str());
        return PresetValues();
    }
    return parsePresetText(content, path, effect, version);
}

PresetValues parsePresetText(const std::string& text, const std::string& path, std::string& effect,
                             std::string& version) {
    PresetValues values;
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size())) {
        HALDEN_LOG_ERROR("Failed to load preset file: %s", path.c_str());
        return values;
    }
    const pugi::xml_node root = document.child("preset");
    if (!root) {
        HALDEN_LOG_ERROR("Invalid preset file (no <preset> root): %s", path.c_str());
        return values;
    }
    if (const pugi::xml_node meta = root.child("meta")) {
        effect = meta.child("effect").text().as_string();
        version = meta.child("version").text().as_string();
    }
    for (const pugi::xml_node& param : root.child("parameters").children("param")) {
        const std::string name = param.attribute("name").as_string();
        if (name.empty()) {
            continue;
        }
        try {
            PresetValue value;
            if (decodeValue(param.attribute("type").as_string(),
                            param.attribute("value").as_string(), value)) {
                values[name] = value;
            }
        } catch (const std::exception& e) {
            HALDEN_LOG_INFO("Failed to parse preset param '%s': %s", name.c_str(), e.what());
        }
    }
    HALDEN_LOG_INFO("Preset loaded: %s (%zu parameters)", path.c_str(), values.size());
    return values;
}

bool savePresetFile(const std::string& path, const std::string& effectName,
                    const std::string& version, const PresetValues& values,
                    const XMLEffectDefinition& definition) {
    const std::string::size_type slash = path.find_last_of("/\\");
    if (slash != std::string::npos) {
        const std::string folder = path.substr(0, slash);
        if (!createDirectories(folder)) {
            HALDEN_LOG_ERROR("Failed to create preset directory: %s", folder.c_str());
            return false;
        }
    }

    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = document.append_child("preset");
    pugi::xml_node meta = root.append_child("meta");
    meta.append_child("effect").text().set(effectName.c_str());
    meta.append_child("version").text().set(version.c_str());
    meta.append_child("created").text().set(platform::localTimeStamp().c_str());
    pugi::xml_node parameters = root.append_child("parameters");
    for (const ParameterDef& param : definition.parameters()) {
        if (param.name == "preset_file" || param.name == "load_preset" ||
            param.name == "save_preset" || param.type == "pushbutton") {
            continue;
        }
        const auto found = values.find(param.name);
        if (found == values.end()) {
            continue;
        }
        std::string type;
        std::string text;
        encodeValue(param.type, found->second, type, text);
        pugi::xml_node node = parameters.append_child("param");
        node.append_attribute("name") = param.name.c_str();
        node.append_attribute("type") = type.c_str();
        node.append_attribute("value") = text.c_str();
    }

    const std::string temporary = temporarySibling(path);
    bool written = false;
    {
        std::ofstream out(fs::u8path(temporary), std::ios::binary | std::ios::trunc);
        if (out) {
            document.save(out, "\t", pugi::format_default, pugi::encoding_utf8);
            out.flush();
            written = static_cast<bool>(out);
        }
    }
    std::error_code error;
    if (written) {
        fs::rename(fs::u8path(temporary), fs::u8path(path), error);
        written = !error;
    }
    if (!written) {
        fs::remove(fs::u8path(temporary), error);
        HALDEN_LOG_ERROR("Failed to save preset: %s", path.c_str());
        return false;
    }
    HALDEN_LOG_INFO("Preset saved: %s", path.c_str());
    return true;
}
