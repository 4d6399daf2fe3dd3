#include "host/cli/DescribeCommand.h"

#include "host/cli/PluginSession.h"
#include "host/json/DescriptionJson.h"

namespace ofxhost {

void DescribeCommand::run(const CliOptions& options, std::ostream& out) const {
    PluginSession session(CommandLine::profile(options),
                          CommandLine::bundlePath(options, defaultBundle_), options.context);
    out << DescriptionJson::write(session.plugin(), session.context());
}

} // namespace ofxhost
