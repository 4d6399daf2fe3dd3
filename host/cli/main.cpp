// halden-render: a headless OFX host for the command line.

#include "host/cli/CommandLine.h"
#include "host/cli/DescribeCommand.h"
#include "host/cli/RenderCommand.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

int fail(std::string message, int code) {
    // One line, whatever the loader or the plug-in put in the message.
    std::replace(message.begin(), message.end(), '\n', ' ');
    std::cerr << "halden-render: " << message << "\n";
    return code;
}

} // namespace

int main(int argc, char** argv) {
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
