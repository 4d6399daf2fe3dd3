#pragma once

#include "host/plugin/HostProfile.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ofxhost {

// A malformed command line; the message is one line for stderr.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// halden-render's options. Rendering options (-i, -o, --set, --frames, --backend) join here.
struct CliOptions {
    enum class Command { None, Help, Describe };
    Command command = Command::None;
    std::optional<std::string> bundle;
    // A preset ("resolve", "nuke", "flame") or any OFX host name.
    std::string host = "org.halden.render";
    // A short name ("filter") or the OFX string.
    std::optional<std::string> context;

    // Host switches overriding the preset.
    std::optional<bool> overlays;
    std::optional<bool> drawSuite;
    std::optional<int> maxPages;
    std::optional<std::pair<int, int>> pageLayout;
    std::optional<bool> cudaRender;
    std::optional<bool> cudaStream;
    std::optional<bool> multiThreading;
    std::optional<unsigned int> threads;
};

class CommandLine {
public:
    // args excludes the program name. Throws UsageError.
    static CliOptions parse(const std::vector<std::string>& args);
    static std::string usage();
    // The preset named by --host with every switch given on the command line applied.
    static HostProfile profile(const CliOptions& options);
    // "filter" -> "OfxImageEffectContextFilter"; OFX strings pass through. Throws UsageError.
    static std::string contextName(const std::string& name);
};

} // namespace ofxhost
