#include "platform/PlatformPaths.h"

#include <cstdlib>
#include <ctime>

namespace platform {
namespace {

std::filesystem::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return {};
    }
    return std::filesystem::path(value);
}

} // namespace

std::filesystem::path logDirectory() {
#if defined(_WIN32)
    return std::filesystem::path("C:\\Users\\Public\\");
#elif defined(__APPLE__)
    return std::filesystem::path("/Users/Shared/");
#else
    // XDG base directories: a relative XDG_STATE_HOME is invalid and must be ignored.
    std::filesystem::path state = environmentPath("XDG_STATE_HOME");
    if (state.empty() || state.is_relative()) {
        const std::filesystem::path home = environmentPath("HOME");
        if (home.empty()) {
            return {};
        }
        state = home / ".local" / "state";
    }
    return state / "brinmoor";
#endif
}

std::string localTimeString() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text, length);
}

} // namespace platform
