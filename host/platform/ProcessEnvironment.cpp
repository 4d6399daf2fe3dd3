#include "host/platform/ProcessEnvironment.h"

#include "host/core/HostError.h"

#if defined(_WIN32)
#include <io.h>
#include <stdlib.h>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

namespace ofxhost {

void ProcessEnvironment::setVariable(const std::string& name, const std::string& value) {
#if defined(_WIN32)
    const bool failed = _putenv_s(name.c_str(), value.c_str()) != 0;
#else
    const bool failed = setenv(name.c_str(), value.c_str(), 1) != 0;
#endif
    if (failed) {
        throw HostError(kOfxStatFailed, "cannot set the environment variable " + name);
    }
}

bool ProcessEnvironment::isTerminal(Stream stream) {
#if defined(_WIN32)
    return _isatty(stream == Stream::Out ? 1 : 2) != 0;
#else
    return isatty(stream == Stream::Out ? STDOUT_FILENO : STDERR_FILENO) != 0;
#endif
}

} // namespace ofxhost
