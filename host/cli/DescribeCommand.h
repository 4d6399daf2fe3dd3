#pragma once

#include "host/cli/CommandLine.h"

#include <filesystem>
#include <ostream>

namespace ofxhost {

// `halden-render --describe`: loads the bundle as a host does, describes the first effect in
// the chosen context and prints the JSON description. Failures throw HostError or UsageError.
class DescribeCommand {
public:
    explicit DescribeCommand(std::filesystem::path defaultBundle)
        : defaultBundle_(std::move(defaultBundle)) {}

    void run(const CliOptions& options, std::ostream& out) const;

private:
    std::filesystem::path defaultBundle_;
};

} // namespace ofxhost
