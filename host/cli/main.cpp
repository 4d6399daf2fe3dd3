// halden-render: a headless OFX host for the command line.

#include "host/cli/CommandLine.h"
#include "host/cli/DescribeCommand.h"
#include "host/cli/RenderCommand.h"
#include "host/plugin/Host.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

int fail(const std::string& message, int code) {
    // One line, whatever the loader, the plug-in or a file put in the message.
    std::cerr << "halden-render: " << ofxhost::printableLine(message) << "\n";
    return code;
}

// The breaches of the OFX rules a strict host saw, one line each; the status of a run that
// otherwise worked becomes kViolationsStatus.
constexpr int kViolationsStatus = 3;

int reportViolations(int status) {
    const auto violations = ofxhost::Host::processViolations();
    for (const auto& violation : violations) {
        std::cerr << "strict host: violation in " << violation.action << ": "
                  << ofxhost::printableLine(violation.description) << "\n";
    }
    return status == 0 && !violations.empty() ? kViolationsStatus : status;
}

int run(int argc, char** argv) {
    using namespace ofxhost;
    try {
        const CliOptions options =
            CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
        switch (options.command) {
        case CliOptions::Command::Help:
            std::cout << CommandLine::usage();
            return 0;
        case CliOptions::Command::Describe:
            DescribeCommand(HALDEN_DEFAULT_BUNDLE).run(options, std::cout);
            return 0;
        case CliOptions::Command::Render:
            RenderCommand(HALDEN_DEFAULT_BUNDLE).run(options, std::cout);
            return 0;
        }
    } catch (const UsageError& error) {
        return fail(error.what(), 2);
    } catch (const std::exception& error) {
        return fail(error.what(), 1);
    } catch (...) {
        return fail("unexpected failure", 1);
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    return reportViolations(run(argc, argv));
}
