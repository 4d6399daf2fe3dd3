#pragma once

#include "CommandRun.h"
#include "JsonReader.h"
#include "TestEnvironment.h"

#include <stdexcept>
#include <string>

namespace testplugin {

using testenv::CommandRun;
using testenv::IsolatedUser;
using testenv::runRender;

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

} // namespace testplugin
