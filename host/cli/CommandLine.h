#pragma once

#include "host/cli/ImageIo.h"
#include "host/plugin/HostProfile.h"

#include <filesystem>
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

// One --set NAME=VALUE, checked against the parameter once the plug-in is described.
struct ParamAssignment {
    std::string name;
    std::string value;
};

// halden-render's options: describing, host switches and rendering.
struct CliOptions {
    enum class Command { Render, Help, Describe };
    Command command = Command::Render;
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

    // Rendering. No input renders the demo scene at demoSize.
    std::optional<std::string> input;
    // The input's EXR layer; empty is the unnamed RGBA.
    std::string layer;
    std::optional<std::string> kernelMap;
    std::string output = "halden-render.png";
    ExrWriteOptions exr;
    std::pair<int, int> demoSize{960, 540};
    std::vector<ParamAssignment> assignments;
    std::vector<std::string> presses;
    int firstFrame = 0;
    int lastFrame = 0;
    // --frames: every file name carries its frame number.
    bool frameSequence = false;
    // "cpu" or "cuda" (HALDEN_BACKEND for the plug-in).
    std::optional<std::string> backend;
    bool deviceMemory = false;
    double renderScale = 1.0;
    // What an input file may claim before it is decoded.
    ImageLimits limits;
    // The overlay drawn on the first frame: its draw calls as JSON, the picture with it painted.
    std::optional<std::string> overlaysJson;
    std::optional<std::string> overlayImage;
    // The first frame with the overlay drawn by the plug-in in an OpenGL context.
    std::optional<std::string> overlaysGl;
};

// text as one line safe for a terminal: line breaks and tabs become spaces, control characters
// and bytes that are not UTF-8 become \xNN, so bytes from a file cannot drive the terminal.
std::string printableLine(const std::string& text);

class CommandLine {
public:
    // args excludes the program name. Throws UsageError.
    static CliOptions parse(const std::vector<std::string>& args);
    static std::string usage();
    // The preset named by --host with every switch given on the command line applied.
    static HostProfile profile(const CliOptions& options);
    // "filter" -> "OfxImageEffectContextFilter"; OFX strings pass through. Throws UsageError.
    static std::string contextName(const std::string& name);
    // --bundle, else the default bundle when it exists. Throws UsageError.
    static std::filesystem::path bundlePath(const CliOptions& options,
                                            const std::filesystem::path& defaultBundle);
};

} // namespace ofxhost
