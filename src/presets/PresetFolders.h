#pragma once

#include <string>
#include <vector>

// Where presets live: the user's own folder per effect, and the read-only factory folder inside
// the plug-in bundle.

// <user config>/brinmoor/presets/<effect name>; on Windows %APPDATA%\brinmoor\presets\<name>.
// Empty when the environment names no user configuration folder: there are no user presets.
std::string userPresetDirectory(const std::string& effectName);

// The largest preset file read; presets are a few kilobytes.
constexpr unsigned long long kMaxPresetFileBytes = 1024 * 1024;

// A regular file (links followed) of at most kMaxPresetFileBytes.
bool isPresetFile(const std::string& path);

// <bundle>/Contents/Resources/presets of the bundle the plug-in was loaded from; when it was not
// loaded from a bundle, the bundle of that name in the system's standard OFX folder.
std::string factoryPresetDirectory(const std::string& bundleName);

// The file name of a definition path without its extension: ".../halden_v01.xml" gives
// "halden_v01".
std::string bundleNameFromPath(const std::string& definitionPath);

// Every entry of a folder except "." and "..", in the file system's order; empty when the
// folder does not exist.
std::vector<std::string> listDirectory(const std::string& folder);

// Preset names in a folder: preset files ending in ".xml" (case-sensitive), without it, sorted
// by byte value.
std::vector<std::string> presetNamesIn(const std::string& folder);

// True when the folder exists afterwards.
bool createDirectories(const std::string& folder);

// A preset name typed by the user becomes a file name: refused when it could point outside
// the preset folder or is not a valid file name on every platform (separators, "..", a drive
// prefix, reserved characters, control characters, a trailing dot or space, a Windows device
// name such as NUL or COM1, empty).
bool isValidPresetName(const std::string& name);

// The name without a trailing ".xml".
std::string presetBaseName(const std::string& name);
