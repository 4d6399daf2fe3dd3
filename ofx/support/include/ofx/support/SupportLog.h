#pragma once

#include <functional>
#include <string>

#if defined(__MINGW32__)
#define OFXS_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__)
#define OFXS_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define OFXS_PRINTF_FORMAT(fmt, args)
#endif

namespace OFX {

// Where the support layer reports problems it cannot hand to the host as a status (a host
// asking for a plug-in index that does not exist, an exception stopped at an entry point).
// Lines go to stderr until the plug-in installs its own sink, e.g. its log file.
class SupportLog {
public:
    using Sink = std::function<void(const std::string& line)>;

    // An empty sink restores stderr. Thread-safe.
    static void setSink(Sink sink);
    static void write(const char* format, ...) OFXS_PRINTF_FORMAT(1, 2);
};

} // namespace OFX
