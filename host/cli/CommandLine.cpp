#include "host/cli/CommandLine.h"

#include "host/cli/ExrFile.h"

#include "ofx/ofxImageEffect.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <tuple>

namespace ofxhost {

namespace {

std::optional<bool> switchValue(const std::string& text) {
    if (text == "on" || text == "true" || text == "yes" || text == "1") {
        return true;
    }
    if (text == "off" || text == "false" || text == "no" || text == "0") {
        return false;
    }
    return std::nullopt;
}

bool parseSwitch(const std::string& option, const std::string& text) {
    if (const auto value = switchValue(text)) {
        return *value;
    }
    throw UsageError(option + " expects on or off, not '" + text + "'");
}

bool isJsonFileName(const std::string& text) {
    std::string extension = std::filesystem::path(text).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".json";
}

// --overlays is both the host switch and, given a .json file, the file of the draw calls.
void parseOverlays(const std::string& option, const std::string& text, CliOptions& options) {
    if (const auto value = switchValue(text)) {
        options.overlays = *value;
    } else if (isJsonFileName(text)) {
        options.overlaysJson = text;
    } else {
        throw UsageError(option + " expects on, off or a FILE.json, not '" + text + "'");
    }
}

int parseInt(const std::string& option, const std::string& text) {
    try {
        size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size()) {
            return value;
        }
    } catch (const std::exception&) {
    }
    throw UsageError(option + " expects a whole number, not '" + text + "'");
}

std::pair<int, int> parseLayout(const std::string& option, const std::string& text) {
    const size_t x = text.find('x');
    if (x == std::string::npos) {
        throw UsageError(option + " expects COLUMNSxROWS, not '" + text + "'");
    }
    return {parseInt(option, text.substr(0, x)), parseInt(option, text.substr(x + 1))};
}

double parseNumber(const std::string& option, const std::string& text) {
    try {
        size_t used = 0;
        const double value = std::stod(text, &used);
        if (used == text.size()) {
            return value;
        }
    } catch (const std::exception&) {
    }
    throw UsageError(option + " expects a number, not '" + text + "'");
}

std::pair<int, int> parseSize(const std::string& option, const std::string& text) {
    // Large enough for 8K frames, small enough that a typo cannot ask for terabytes.
    constexpr int kMaxSide = 16384;
    const size_t x = text.find('x');
    if (x != std::string::npos) {
        const int width = parseInt(option, text.substr(0, x));
        const int height = parseInt(option, text.substr(x + 1));
        if (width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide) {
            return {width, height};
        }
    }
    throw UsageError(option + " expects WIDTHxHEIGHT between 1 and " + std::to_string(kMaxSide) +
                     ", not '" + text + "'");
}

// "A-B", inclusive; A may be negative ("-2-3").
std::pair<int, int> parseFrameRange(const std::string& option, const std::string& text) {
    const size_t dash = text.find('-', 1);
    if (dash == std::string::npos) {
        throw UsageError(option + " expects FIRST-LAST, not '" + text + "'");
    }
    const int first = parseInt(option, text.substr(0, dash));
    const int last = parseInt(option, text.substr(dash + 1));
    if (last < first) {
        throw UsageError(option + " " + text + " ends before it starts");
    }
    return {first, last};
}

ParamAssignment parseAssignment(const std::string& text) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw UsageError("--set expects NAME=VALUE, not '" + text + "'");
    }
    return {text.substr(0, equals), text.substr(equals + 1)};
}

// The options of a render; false when option is none of them.
bool parseRenderOption(const std::string& option, const std::function<std::string()>& takeValue,
                       const std::function<void()>& noValue, CliOptions& options) {
    if (option == "-i" || option == "--input") {
        options.input = takeValue();
    } else if (option == "--layer") {
        options.layer = takeValue();
        if (options.layer.empty()) {
            throw UsageError(option + " needs a layer name");
        }
    } else if (option == "--half") {
        noValue();
        options.exr.half = true;
    } else if (option == "--compression") {
        options.exr.compression = takeValue();
        if (!ExrFile::knownCompression(options.exr.compression)) {
            throw UsageError("--compression expects none, rle, zips, zip, piz, pxr24, b44, b44a, "
                             "dwaa or dwab, not '" +
                             options.exr.compression + "'");
        }
    } else if (option == "--kernel-map") {
        options.kernelMap = takeValue();
    } else if (option == "-o" || option == "--output") {
        options.output = takeValue();
        if (options.output.empty()) {
            throw UsageError(option + " needs a file name");
        }
    } else if (option == "--size") {
        options.demoSize = parseSize(option, takeValue());
    } else if (option == "--max-side") {
        options.limits.maxSide = parseInt(option, takeValue());
        if (options.limits.maxSide < 1) {
            throw UsageError(option + " expects a positive number of pixels");
        }
    } else if (option == "--max-memory") {
        const double gib = parseNumber(option, takeValue());
        if (!(gib > 0.0) || gib > 1e6) {
            throw UsageError(option + " expects a positive number of GiB");
        }
        options.limits.maxBytes = gib * 1024 * 1024 * 1024;
    } else if (option == "--set") {
        options.assignments.push_back(parseAssignment(takeValue()));
    } else if (option == "--press") {
        options.presses.push_back(takeValue());
    } else if (option == "--frame") {
        options.firstFrame = options.lastFrame = parseInt(option, takeValue());
        options.frameSequence = false;
    } else if (option == "--frames") {
        std::tie(options.firstFrame, options.lastFrame) = parseFrameRange(option, takeValue());
        options.frameSequence = true;
    } else if (option == "--render-scale") {
        options.renderScale = parseNumber(option, takeValue());
        if (!(options.renderScale > 0.0 && options.renderScale <= 1.0)) {
            throw UsageError("--render-scale expects a scale above 0 and at most 1");
        }
    } else if (option == "--backend") {
        options.backend = takeValue();
        if (*options.backend != "cpu" && *options.backend != "cuda") {
            throw UsageError("--backend expects cpu or cuda, not '" + *options.backend + "'");
        }
    } else if (option == "--device-memory") {
        noValue();
        options.deviceMemory = true;
    } else if (option == "--overlay-image" || option == "--overlays-gl") {
        std::optional<std::string>& file =
            option == "--overlays-gl" ? options.overlaysGl : options.overlayImage;
        file = takeValue();
        if (file->empty()) {
            throw UsageError(option + " needs a file name");
        }
    } else {
        return false;
    }
    return true;
}

} // namespace

std::string CommandLine::usage() {
    return "usage: halden-render [options]                render a picture (default)\n"
           "       halden-render --describe [options]     print what the plug-in declares\n"
           "\n"
           "rendering:\n"
           "  -i, --input FILE        image to blur: EXR, PNG, JPEG, TGA, BMP or HDR\n"
           "                          (default: a built-in demo scene of city lights)\n"
           "  --layer NAME            the EXR layer to blur: NAME.R, NAME.G, ... (default: the\n"
           "                          unnamed R, G, B, A)\n"
           "  --size WxH              size of the demo scene (default 960x540)\n"
           "  --max-side N            refuse input files more than N pixels on a side\n"
           "                          (default 32768), before decoding them\n"
           "  --max-memory GIB        refuse input files whose render needs more memory\n"
           "                          (default 16)\n"
           "  --kernel-map FILE       image for the KernelMap clip\n"
           "  -o, --output FILE       EXR (float), PNG or JPEG (8-bit, clamped), by extension\n"
           "                          (default halden-render.png)\n"
           "  --half                  EXR output in half floats (default 32-bit float)\n"
           "  --compression NAME      EXR output compression: none, rle, zips, zip, piz, pxr24,\n"
           "                          b44, b44a, dwaa or dwab (default zip)\n"
           "  --set NAME=VALUE        set a parameter (repeatable): numbers; x,y for 2D;\n"
           "                          r,g,b[,a] for colours; true/false, 1/0 or on/off for\n"
           "                          booleans; an option index or its exact text for choices\n"
           "  --press NAME            press a push button after the --set values (repeatable)\n"
           "  --frame T               render frame T (default 0)\n"
           "  --frames A-B            render frames A to B; '#' runs in the output name become\n"
           "                          the frame number, else it goes before the extension\n"
           "  --render-scale S        proxy render at scale S (0 < S <= 1)\n"
           "  --backend cpu|cuda      device runtime the plug-in uses (HALDEN_BACKEND)\n"
           "  --device-memory         hand the plug-in device-memory images (CUDA rendering)\n"
           "  --overlays FILE.json    draw the effect's overlay on the first frame and write its\n"
           "                          draw calls; points are canonical (pixels at scale 1)\n"
           "  --overlay-image FILE    PNG or JPEG of the first frame with the overlay painted on\n"
           "                          (both need a host with overlays and the draw suite)\n"
           "  --overlays-gl FILE      PNG or JPEG of the first frame with the overlay drawn by\n"
           "                          the plug-in with OpenGL, as a host without the draw suite\n"
           "                          shows it (e.g. --host nuke)\n"
           "\n"
           "plug-in and host:\n"
           "  --bundle PATH           the .ofx.bundle (default: the one built with this tool)\n"
           "  --host resolve|nuke|flame|strict|NAME   host to present as; strict behaves like\n"
           "                          the least forgiving hosts and reports every breach of the\n"
           "                          OFX rules (HALDEN_HOST_STRICT=1 enforces the rules under\n"
           "                          any host)\n"
           "  --context filter|general|transition|generator   (default filter)\n"
           "host switches (override the --host preset):\n"
           "  --overlays on|off       --draw-suite on|off      --max-pages N\n"
           "  --page-layout CxR       --cuda on|off            --cuda-stream on|off\n"
           "  --multithread on|off    --threads N\n"
           "\n"
           "  --describe              print, as JSON, what the plug-in declared to the host\n"
           "  -h, --help              this text\n"
           "\n"
           "exit status: 0 done, 1 failed, 2 bad command line, 3 done but the plug-in broke\n"
           "the OFX rules under a strict host (each breach is printed to stderr)\n";
}

std::string CommandLine::contextName(const std::string& name) {
    static const std::map<std::string, std::string> kShortNames = {
        {"filter", kOfxImageEffectContextFilter},
        {"general", kOfxImageEffectContextGeneral},
        {"transition", kOfxImageEffectContextTransition},
        {"generator", kOfxImageEffectContextGenerator},
        {"paint", kOfxImageEffectContextPaint},
        {"retimer", kOfxImageEffectContextRetimer}};
    auto found = kShortNames.find(name);
    if (found != kShortNames.end()) {
        return found->second;
    }
    for (const auto& entry : kShortNames) {
        if (entry.second == name) {
            return name;
        }
    }
    throw UsageError("unknown context '" + name + "'");
}

CliOptions CommandLine::parse(const std::vector<std::string>& args) {
    CliOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> inlineValue;
        const size_t equals = option.find('=');
        if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
            inlineValue = option.substr(equals + 1);
            option = option.substr(0, equals);
        }
        auto takeValue = [&]() -> std::string {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= args.size()) {
                throw UsageError(option + " needs a value");
            }
            return args[++i];
        };
        auto noValue = [&] {
            if (inlineValue) {
                throw UsageError(option + " takes no value");
            }
        };

        if (option == "--describe") {
            noValue();
            options.command = CliOptions::Command::Describe;
        } else if (option == "--help" || option == "-h") {
            noValue();
            options.command = CliOptions::Command::Help;
        } else if (option == "--bundle") {
            options.bundle = takeValue();
        } else if (option == "--host") {
            options.host = takeValue();
            if (options.host.empty()) {
                throw UsageError("--host needs a name");
            }
        } else if (option == "--context") {
            options.context = contextName(takeValue());
        } else if (option == "--overlays") {
            parseOverlays(option, takeValue(), options);
        } else if (option == "--draw-suite") {
            options.drawSuite = parseSwitch(option, takeValue());
        } else if (option == "--max-pages") {
            options.maxPages = parseInt(option, takeValue());
        } else if (option == "--page-layout") {
            options.pageLayout = parseLayout(option, takeValue());
        } else if (option == "--cuda") {
            options.cudaRender = parseSwitch(option, takeValue());
        } else if (option == "--cuda-stream") {
            options.cudaStream = parseSwitch(option, takeValue());
        } else if (option == "--multithread") {
            options.multiThreading = parseSwitch(option, takeValue());
        } else if (option == "--threads") {
            const int threads = parseInt(option, takeValue());
            if (threads < 0) {
                throw UsageError("--threads expects 0 (all CPUs) or more");
            }
            options.threads = static_cast<unsigned int>(threads);
        } else if (!parseRenderOption(option, takeValue, noValue, options)) {
            throw UsageError("unknown option '" + args[i] + "'");
        }
    }
    if (options.deviceMemory && options.cudaRender == false) {
        throw UsageError("--device-memory needs CUDA rendering; drop --cuda off");
    }
    return options;
}

std::filesystem::path CommandLine::bundlePath(const CliOptions& options,
                                              const std::filesystem::path& defaultBundle) {
    if (options.bundle) {
        return *options.bundle;
    }
    std::error_code error;
    if (!std::filesystem::exists(defaultBundle, error)) {
        throw UsageError("no --bundle given and the default bundle " + defaultBundle.string() +
                         " does not exist");
    }
    return defaultBundle;
}

HostProfile CommandLine::profile(const CliOptions& options) {
    HostProfile profile = HostProfile::forName(options.host);
    if (options.overlays) {
        profile.supportsOverlays = *options.overlays;
    }
    if (options.drawSuite) {
        profile.drawSuite = *options.drawSuite;
    }
    if (options.maxPages) {
        profile.maxPages = *options.maxPages;
    }
    if (options.pageLayout) {
        profile.pageColumns = options.pageLayout->first;
        profile.pageRows = options.pageLayout->second;
    }
    if (options.cudaRender) {
        profile.cudaRender = *options.cudaRender;
        // A host that renders with CUDA knows the properties that say so.
        profile.gpuRenderProperties = profile.gpuRenderProperties || profile.cudaRender;
    }
    if (options.cudaStream) {
        profile.cudaStream = *options.cudaStream;
    }
    if (options.multiThreading) {
        profile.multiThreading = *options.multiThreading;
        profile.stubThreading = false;
    }
    if (options.threads) {
        profile.threadCount = *options.threads;
    }
    return profile;
}

std::string printableLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    auto escape = [&out](unsigned char byte) {
        static const char digits[] = "0123456789abcdef";
        out += "\\x";
        out += digits[byte >> 4];
        out += digits[byte & 15];
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n' || byte == '\r' || byte == '\t') {
            out += ' ';
            ++i;
            continue;
        }
        if (byte < 0x20 || byte == 0x7f) {
            escape(byte);
            ++i;
            continue;
        }
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        // A UTF-8 sequence: the lead byte gives its length; C1 controls (U+0080 to U+009F) are
        // terminal commands too.
        const std::size_t length = byte >= 0xc2 && byte <= 0xdf   ? 2
                                   : byte >= 0xe0 && byte <= 0xef ? 3
                                   : byte >= 0xf0 && byte <= 0xf4 ? 4
                                                                  : 0;
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (static_cast<unsigned char>(text[i + k]) & 0xc0) == 0x80;
        }
        if (valid && byte == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0) {
            valid = false;
        }
        if (!valid) {
            escape(byte);
            ++i;
            continue;
        }
        out.append(text, i, length);
        i += length;
    }
    return out;
}

} // namespace ofxhost
