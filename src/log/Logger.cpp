#include "log/Logger.h"

#include "platform/PlatformPaths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

const char* levelTag(int level) {
    switch (level) {
    case Logger::ERROR_LEVEL:
        return "[ERROR]";
    case Logger::INFO_LEVEL:
        return "[INFO]";
    default:
        return "[DEBUG]";
    }
}

const char* levelName(int level) {
    switch (level) {
    case Logger::ERROR_LEVEL:
        return "ERROR";
    case Logger::INFO_LEVEL:
        return "INFO";
    default:
        return "DEBUG";
    }
}

// Delete and rename failures are expected (no earlier backup) and deliberately ignored.
void shiftBackups(const std::string& path) {
    const std::string first = path + ".1";
    const std::string second = path + ".2";
    std::remove(second.c_str());
    std::remove(second.c_str());
    std::rename(first.c_str(), second.c_str());
}

void moveCurrentToFirstBackup(const std::string& path) {
    const std::string first = path + ".1";
    std::remove(first.c_str());
    std::rename(path.c_str(), first.c_str());
}

} // namespace

Logger& Logger::instance() {
    // Destroyed at process exit, or when the plug-in library is unloaded: its destructor
    // writes the closing line and closes the file, so nothing is left behind by a host that
    // loads and unloads the plug-in many times.
    static Logger logger;
    return logger;
}

Logger::~Logger() {
    close();
}

void Logger::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    writeClosingLineAndClose();
}

void Logger::writeClosingLineAndClose() {
    if (file_ == nullptr) {
        return;
    }
    if (level_ >= INFO_LEVEL) {
        std::fputs("[INFO] === Logger Destroyed ===\n", file_);
    }
    std::fclose(file_);
    file_ = nullptr;
}

void Logger::log(int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::lock_guard<std::mutex> lock(mutex_);
    writeLine(level, format, args);
    va_end(args);
}

void Logger::debug(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::lock_guard<std::mutex> lock(mutex_);
    writeLine(DEBUG_LEVEL, format, args);
    va_end(args);
}

void Logger::writeLine(int level, const char* format, va_list args) {
    if (level > level_ || file_ == nullptr) {
        return;
    }
    if (++writeCount_ >= kRotationCheckInterval) {
        writeCount_ = 0;
        if (std::ftell(file_) >= kMaxLogSize) {
            rotate();
            if (file_ == nullptr) {
                return;
            }
        }
    }
    std::fputs(levelTag(level), file_);
    std::fputc(' ', file_);
    std::vfprintf(file_, format, args);
    std::fputc('\n', file_);
    if (level == ERROR_LEVEL) {
        std::fflush(file_);
    }
}

void Logger::rotate() {
    std::fprintf(file_, "[INFO] === Log rotation triggered (size: %ld bytes) ===\n",
                 std::ftell(file_));
    std::fflush(file_);
    std::fclose(file_);
    file_ = nullptr;

    shiftBackups(path_);
    moveCurrentToFirstBackup(path_);

    file_ = std::fopen(path_.c_str(), "w");
    if (file_ == nullptr) {
        return;
    }
    std::fprintf(file_, "=== %s Plugin Log Continued (rotation) ===\n", effectName_.c_str());
    std::fprintf(file_, "Rotation time: %s\n", platform::localTimeString().c_str());
    std::fprintf(file_, "Previous log backed up to: %s.1\n", path_.c_str());
    std::fflush(file_);
}

void Logger::setLevel(int level) {
    std::lock_guard<std::mutex> lock(mutex_);
    level_ = level;
    if (file_ != nullptr) {
        std::fprintf(file_, "Debug level: %s\n", levelName(level));
        std::fflush(file_);
    }
}

void Logger::setLevelFromString(const std::string& text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::lock_guard<std::mutex> lock(mutex_);
    if (lower == "debug") {
        level_ = DEBUG_LEVEL;
    } else if (lower == "info") {
        level_ = INFO_LEVEL;
    } else {
        level_ = ERROR_LEVEL;
    }
}

int Logger::level() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return level_;
}

void Logger::openForEffect(const std::string& effectName) {
    std::lock_guard<std::mutex> lock(mutex_);
    effectName_ = effectName;
    writeCount_ = 0;
    if (file_ != nullptr) {
        std::fprintf(file_, "[INFO] === Switching to new effect: %s ===\n", effectName.c_str());
        std::fflush(file_);
        std::fclose(file_);
        file_ = nullptr;
    }

    const std::filesystem::path directory = platform::logDirectory();
    if (directory.empty()) {
        path_.clear();
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    path_ = (directory / (effectName + "_plugin_log.txt")).string();

    shiftBackups(path_);
    if (std::filesystem::exists(path_, ignored)) {
        moveCurrentToFirstBackup(path_);
    }

    file_ = std::fopen(path_.c_str(), "w");
    if (file_ == nullptr) {
        return;
    }
    std::fprintf(file_, "=== %s Plugin Session Started ===\n", effectName.c_str());
    std::fprintf(file_, "Session time: %s\n", platform::localTimeString().c_str());
    std::fprintf(file_, "Log file: %s\n", path_.c_str());
    std::fprintf(file_, "Max log size: %zu MB, backups: %d\n",
                 static_cast<std::size_t>(kMaxLogSize / (1024 * 1024)), kBackupCount);
    std::fflush(file_);
}

void Logger::flush() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_ != nullptr) {
        std::fflush(file_);
    }
}

std::string Logger::path() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}

bool Logger::isOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_ != nullptr;
}
