#include "platform/PlatformPaths.h"

#include <cstdlib>
#include <ctime>
#include <string>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// shellapi.h needs the types windows.h declares.
#include <shellapi.h>
#else
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;
#endif

namespace platform {
namespace {

// A variable's value as UTF-8. Windows keeps the environment in UTF-16: the narrow copy is in
// the ANSI code page, which cannot hold every user's folder name (and u8path would then throw).
std::string environmentText(const char* name) {
#if defined(_WIN32)
    std::wstring wideName;
    for (const char* c = name; *c != '\0'; ++c) {
        wideName.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    }
    const wchar_t* value = _wgetenv(wideName.c_str());
    if (value == nullptr || *value == L'\0') {
        return {};
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, value, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return {};
    }
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, value, -1, text.data(), bytes, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(bytes) - 1);
    return text;
#else
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
#endif
}

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

// The file this function's code was loaded from.
std::filesystem::path loadedModulePath() {
#if defined(_WIN32)
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&loadedModulePath), &module)) {
        return {};
    }
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(module, buffer, 32768);
    if (length == 0 || length >= 32768) {
        return {};
    }
    return std::filesystem::path(std::wstring(buffer, length));
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&loadedModulePath), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    return std::filesystem::path(info.dli_fname);
#endif
}

} // namespace

std::filesystem::path logDirectory() {
#if defined(_WIN32)
    return std::filesystem::path("C:\\Users\\Public\\");
#elif defined(__APPLE__)
    return std::filesystem::path("/Users/Shared/");
#else
    // XDG base directories: a relative XDG_STATE_HOME is invalid and must be ignored.
    std::filesystem::path state = environmentText("XDG_STATE_HOME");
    if (state.empty() || state.is_relative()) {
        const std::string home = environmentText("HOME");
        if (home.empty()) {
            return {};
        }
        state = std::filesystem::path(home) / ".local" / "state";
    }
    return state / "brinmoor";
#endif
}

std::string userConfigDirectory() {
#if defined(_WIN32)
    return environmentText("APPDATA");
#elif defined(__APPLE__)
    const std::string home = environmentText("HOME");
    return home.empty() ? std::string() : home + "/Library/Application Support";
#else
    const std::string config = environmentText("XDG_CONFIG_HOME");
    if (!config.empty() && config[0] == '/') {
        return config;
    }
    const std::string home = environmentText("HOME");
    return home.empty() ? std::string() : home + "/.config";
#endif
}

std::string loadedBundleDirectory() {
    // <bundle>.ofx.bundle/Contents/<architecture>/<library>
    const std::filesystem::path module = loadedModulePath();
    if (module.empty()) {
        return {};
    }
    const std::filesystem::path contents = module.parent_path().parent_path();
    const std::filesystem::path bundle = contents.parent_path();
    const std::string bundleName = bundle.filename().u8string();
    const std::string suffix = ".ofx.bundle";
    if (contents.filename() != "Contents" || bundleName.size() <= suffix.size() ||
        bundleName.compare(bundleName.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return {};
    }
    return bundle.u8string();
}

std::string standardPluginDirectory() {
#if defined(_WIN32)
    return "C:\\Program Files\\Common Files\\OFX\\Plugins";
#elif defined(__APPLE__)
    return "/Library/OFX/Plugins";
#else
    return "/usr/OFX/Plugins";
#endif
}

#if !defined(_WIN32)
namespace {

// The program as execvp would find it, resolved before forking.
std::string findExecutable(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return access(program.c_str(), X_OK) == 0 ? program : std::string();
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::string();
}

} // namespace
#endif

bool openInBrowser(const std::string& path) {
    const std::string chosen = environmentText("HALDEN_BROWSER");
#if defined(_WIN32)
    const std::wstring file = std::filesystem::u8path(path).wstring();
    if (!chosen.empty()) {
        const std::wstring program = std::filesystem::u8path(chosen).wstring();
        const std::wstring argument = L"\"" + file + L"\"";
        return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", program.c_str(),
                                                       argument.c_str(), nullptr, SW_SHOWNORMAL)) >
               32;
    }
    return reinterpret_cast<INT_PTR>(
               ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
#else
#if defined(__APPLE__)
    std::string program = "open";
#else
    std::string program = "xdg-open";
#endif
    if (!chosen.empty()) {
        program = chosen;
    }
    const std::string executable = findExecutable(program);
    if (executable.empty()) {
        return false;
    }
    char* argv[] = {program.data(), const_cast<char*>(path.c_str()), nullptr};
    // Double fork: the browser is handed to init at once, so no thread of ours waits for it
    // (none may run once the host unloads the library) and no zombie stays. Only calls that
    // are safe after fork in a threaded process run in the children.
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        const pid_t browser = fork();
        if (browser == 0) {
            execve(executable.c_str(), argv, environ);
            _exit(127);
        }
        _exit(browser < 0 ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

std::string localTimeString() {
    const std::tm local = localNow();
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local));
}

std::string localTimeStamp() {
    const std::tm local = localNow();
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local));
}

} // namespace platform
