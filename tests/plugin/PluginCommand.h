#pragma once

#include "CommandRun.h"
#include "JsonReader.h"
#include "TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testplugin {

using testenv::CommandRun;

// halden-render run as a user would.
inline CommandRun runRender(const std::string& arguments) {
    return testenv::runProgram(HALDEN_RENDER_EXE, arguments);
}

inline std::string bundlePath(const std::string& name) {
    return std::string(HALDEN_BUNDLES_DIR) + "/" + name + ".ofx.bundle";
}

// What a host was told by a bundle, as halden-render --describe prints it.
inline teste2e::JsonValue describe(const std::string& bundle, const std::string& options) {
    const CommandRun run = runRender("--describe --bundle \"" + bundle + "\" " + options);
    if (run.status != 0) {
        throw std::runtime_error("describe failed: " + run.err);
    }
    return teste2e::JsonReader::parse(run.out);
}

inline const teste2e::JsonValue* findByName(const teste2e::JsonValue& list,
                                            const std::string& name) {
    for (const teste2e::JsonValue& item : list.items) {
        if (item["name"].text == name) {
            return &item;
        }
    }
    return nullptr;
}

// Each run gets its own log, user presets and state folders. On Windows the log folder is
// fixed, so tests that read the log must not run side by side there.
struct IsolatedUser {
    testenv::TempDir state;
    testenv::TempDir config;
    testenv::ScopedVariable stateVar{"XDG_STATE_HOME", state.path().string()};
    testenv::ScopedVariable configVar{testenv::kUserConfigVariable, config.path().string()};

    // Text: read it with testenv::readText, which also takes Windows line ends.
    std::filesystem::path logFile() const {
        return testenv::pluginLogFolder(state.path()) / "halden_v01_plugin_log.txt";
    }
    std::filesystem::path userPresets() const {
        return config.path() / "brinmoor" / "presets" / "BRMR Halden";
    }
};

} // namespace testplugin
