#include "presets/PresetFolders.h"

#include "platform/PlatformPaths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
const char kSeparator = '\\';
#else
const char kSeparator = '/';
#endif

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

std::string userPresetDirectory(const std::string& effectName) {
    const std::string base = platform::userConfigDirectory();
    if (base.empty()) {
        return {}; // never a folder under the filesystem's root
    }
    return base + kSeparator + "brinmoor" + kSeparator + "presets" + kSeparator + effectName;
}

std::string factoryPresetDirectory(const std::string& bundleName) {
    std::string bundle = platform::loadedBundleDirectory();
    if (bundle.empty()) {
        bundle = platform::standardPluginDirectory() + kSeparator + bundleName + ".ofx.bundle";
    }
    return bundle + kSeparator + "Contents" + kSeparator + "Resources" + kSeparator + "presets";
}

std::string bundleNameFromPath(const std::string& definitionPath) {
    const std::string::size_type slash = definitionPath.find_last_of("/\\");
    std::string name =
        slash == std::string::npos ? definitionPath : definitionPath.substr(slash + 1);
    const std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::vector<std::string> listDirectory(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(fs::u8path(folder), error);
    if (error) {
        return names;
    }
    for (const fs::directory_entry& entry : it) {
        names.push_back(entry.path().filename().u8string());
    }
    return names;
}

bool isPresetFile(const std::string& path) {
    std::error_code error;
    const fs::path file = fs::u8path(path);
    // A pipe or a device under a preset's name would hang or flood whoever reads it.
    return fs::is_regular_file(file, error) && fs::file_size(file, error) <= kMaxPresetFileBytes &&
           !error;
}

std::vector<std::string> presetNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::string& entry : listDirectory(folder)) {
        if (endsWith(entry, ".xml") && entry.size() > 4 &&
            isPresetFile((fs::u8path(folder) / fs::u8path(entry)).u8string())) {
            names.push_back(entry.substr(0, entry.size() - 4));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool createDirectories(const std::string& folder) {
    std::error_code error;
    const fs::path path = fs::u8path(folder);
    fs::create_directories(path, error);
    return fs::is_directory(path, error);
}

bool isValidPresetName(const std::string& name) {
    const std::string base = presetBaseName(name);
    if (base.empty() || base == "." || base == ".." || base.find("..") != std::string::npos) {
        return false;
    }
    for (unsigned char c : base) {
        if (c < 0x20 || c == 0x7f ||
            std::string("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string::npos) {
            return false;
        }
    }
    // Windows drops a trailing dot or space, so the file would get another name.
    if (base.back() == '.' || base.back() == ' ') {
        return false;
    }
    // Nor may a name be a Windows device, whatever follows its first dot: "NUL.x" is NUL.
    std::string device = base.substr(0, base.find('.'));
    std::transform(device.begin(), device.end(), device.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    while (!device.empty() && device.back() == ' ') {
        device.pop_back();
    }
    for (const char* reserved : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (device == reserved) {
            return false;
        }
    }
    const bool numbered = device.size() == 4 &&
                          (device.compare(0, 3, "COM") == 0 || device.compare(0, 3, "LPT") == 0);
    return !(numbered && device[3] >= '0' && device[3] <= '9');
}

std::string presetBaseName(const std::string& name) {
    return endsWith(name, ".xml") ? name.substr(0, name.size() - 4) : name;
}
