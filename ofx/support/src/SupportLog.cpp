#include "ofx/support/SupportLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace OFX {

namespace {

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

SupportLog::Sink& currentSink() {
    static SupportLog::Sink sink;
    return sink;
}

} // namespace

void SupportLog::setSink(Sink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    currentSink() = std::move(sink);
}

void SupportLog::write(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        line.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);

    std::lock_guard<std::mutex> lock(sinkMutex());
    try {
        if (currentSink()) {
            currentSink()(line);
            return;
        }
    } catch (...) {
        // A failing sink must not take the host down; fall back to stderr.
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace OFX
