#include "host/cli/CommandLine.h"

#include "ofx/ofxImageEffect.h"

#include <map>

namespace ofxhost {

namespace {

bool parseSwitch(const std::string& option, const std::string& text) {
    if (text == "on" || text == "true" || text == "yes" || text == "1") {
        return true;
    }
    if (text == "off" || text == "false" || text == "no" || text == "0") {
        return false;
    }
    throw UsageError(option + " expects on or off, not '" + text + "'");
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

} // namespace

std::string CommandLine::usage() {
    return "usage: halden-render --describe [--bundle PATH] [--host resolve|nuke|flame|NAME]\n"
           "                     [--context filter|general|transition|generator]\n"
           "host switches (override the --host preset):\n"
           "  --overlays on|off       --draw-suite on|off      --max-pages N\n"
           "  --page-layout CxR       --cuda on|off            --cuda-stream on|off\n"
           "  --multithread on|off    --threads N\n"
           "--describe prints, as JSON, what the plug-in declared to the host.\n";
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
            options.overlays = parseSwitch(option, takeValue());
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
        } else {
            throw UsageError("unknown option '" + args[i] + "'");
        }
    }
    return options;
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
    }
    if (options.cudaStream) {
        profile.cudaStream = *options.cudaStream;
    }
    if (options.multiThreading) {
        profile.multiThreading = *options.multiThreading;
    }
    if (options.threads) {
        profile.threadCount = *options.threads;
    }
    return profile;
}

} // namespace ofxhost
