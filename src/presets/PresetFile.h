#pragma once

#include "definition/XMLEffectDefinition.h"
#include "presets/PresetValue.h"

#include <string>

// Preset files: a small XML document with the effect's name and version and one <param> per
// saved parameter. Nothing here throws; failures are logged.

// Reads a preset file. effect and version receive the file's meta texts when it has them.
// An unreadable or rootless file gives an empty map; a bad value drops only its own param.
PresetValues loadPresetFile(const std::string& path, std::string& effect, std::string& version);

// The same from the file's bytes; path only names the file in log lines.
PresetValues parsePresetText(const std::string& text, const std::string& path, std::string& effect,
                             std::string& version);

// Writes the parameters of the definition that have a value, in definition order. The file is
// written beside its final name and renamed over it, so a failed save never loses an existing
// preset.
bool savePresetFile(const std::string& path, const std::string& effectName,
                    const std::string& version, const PresetValues& values,
                    const XMLEffectDefinition& definition);
