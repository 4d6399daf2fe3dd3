#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace testenv {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("halden-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void setVariable(const char* name, const std::optional<std::string>& value) {
#if defined(_WIN32)
    _putenv_s(name, value ? value->c_str() : "");
#else
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
#endif
}

// Sets (or removes) an environment variable for the lifetime of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setVariable(name, value);
    }
    ~ScopedVariable() { setVariable(name_.c_str(), old_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// A program's text output as written; Windows programs end lines with CR LF, which reading in
// text mode turns back into LF.
inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The variable that moves the per-user configuration folder the plug-in keeps user presets
// under: %APPDATA% on Windows, $XDG_CONFIG_HOME elsewhere.
#if defined(_WIN32)
constexpr const char* kUserConfigVariable = "APPDATA";
#else
constexpr const char* kUserConfigVariable = "XDG_CONFIG_HOME";
#endif

// The folder of the plug-in's log when $XDG_STATE_HOME is stateHome. On Windows the log always
// goes to C:\Users\Public, whatever the environment says.
inline std::filesystem::path pluginLogFolder(const std::filesystem::path& stateHome) {
#if defined(_WIN32)
    (void)stateHome;
    return std::filesystem::path("C:\\Users\\Public");
#else
    return stateHome / "brinmoor";
#endif
}

// Each run of the plug-in gets its own log, user presets and state folders. On Windows the log
// folder is fixed, so tests that read the log must not run side by side there.
struct IsolatedUser {
    TempDir state;
    TempDir config;
    ScopedVariable stateVar{"XDG_STATE_HOME", state.path().string()};
    ScopedVariable configVar{kUserConfigVariable, config.path().string()};

    // Text: read it with readText, which also takes Windows line ends.
    std::filesystem::path logFile() const {
        return pluginLogFolder(state.path()) / "halden_v01_plugin_log.txt";
    }
    std::filesystem::path userPresets() const {
        return config.path() / "brinmoor" / "presets" / "BRMR Halden";
    }
};

// Runs a command line through the system's shell (cmd.exe on Windows) and returns its status.
inline int runShell(const std::string& command) {
#if defined(_WIN32)
    // cmd /c drops the first and last quote of a line that starts with one: quote it whole.
    // -1 means cmd itself did not start (Wine under load does this now and then), not that the
    // command failed: try again.
    int result = -1;
    for (int attempt = 0; attempt < 3 && result == -1; ++attempt) {
        result = std::system(("\"" + command + "\"").c_str());
    }
    return result;
#else
    return std::system(command.c_str());
#endif
}

// The exit status of the command runShell ran (-1 when it did not exit normally).
inline int exitStatus(int shellResult) {
#if defined(_WIN32)
    return shellResult;
#else
    return WIFEXITED(shellResult) ? WEXITSTATUS(shellResult) : -1;
#endif
}

} // namespace testenv
