#pragma once

#include <string>

namespace ofxhost {

// The few process-wide settings a command-line host touches, behind one platform switch.
class ProcessEnvironment {
public:
    enum class Stream { Out, Error };

    // Sets an environment variable for this process (and libraries it loads afterwards).
    static void setVariable(const std::string& name, const std::string& value);
    // True when the stream is an interactive terminal (progress lines only go there).
    static bool isTerminal(Stream stream);
};

} // namespace ofxhost
