// halden-render: a headless OFX host for the command line.

#include "host/cli/CommandLine.h"
#include "host/cli/DescribeCommand.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

int fail(const std::string& message, int code) {
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
        case CliOptions::Command::None:
            return fail("nothing to do: give --describe (see --help)", 2);
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
