#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

#if defined(__MINGW32__)
#define HALDEN_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__)
#define HALDEN_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define HALDEN_PRINTF_FORMAT(fmt, args)
#endif

// The log file's handle: a file descriptor, or a Windows HANDLE.
#if defined(_WIN32)
using LogHandle = void*;
#else
using LogHandle = int;
#endif

// The plug-in's diagnostic log: one file per process run, two backups from earlier runs,
// rotated in place when it grows past kMaxLogSize. All operations are thread-safe.
class Logger {
public:
    static constexpr int ERROR_LEVEL = 0;
    static constexpr int INFO_LEVEL = 1;
    static constexpr int DEBUG_LEVEL = 2;

    static constexpr long kMaxLogSize = 2097152;
    static constexpr int kBackupCount = 2;
    // The file size is only looked at every this many written lines.
    static constexpr int kRotationCheckInterval = 100;

    // The process-wide logger; it writes its closing line and closes at process exit
    // (or when the library holding it is unloaded).
    static Logger& instance();

    // Independent loggers exist for tests; the plug-in uses instance().
    Logger() = default;
    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    void log(int level, const char* format, ...) HALDEN_PRINTF_FORMAT(3, 4);
    void debug(const char* format, ...) HALDEN_PRINTF_FORMAT(2, 3);

    void setLevel(int level);
    // "debug" and "info" in any letter case select those levels; any other word selects ERROR.
    void setLevelFromString(const std::string& text);
    int level() const;

    // Starts this run's log file for an effect, keeping the previous two runs as backups.
    void openForEffect(const std::string& effectName);
    void flush();

    std::string path() const;
    bool isOpen() const;

    // Writes the closing line and closes the file; later lines are dropped.
    void close();

private:
    void writeLine(int level, const char* format, va_list args) HALDEN_PRINTF_FORMAT(3, 0);
    void rotate();
    void writeClosingLineAndClose();
    void flushBuffer();

    // Lines wait here until an ERROR line, a flush or this much text sends them.
    static constexpr std::size_t kBufferSize = 16384;

    mutable std::mutex mutex_;
#if defined(_WIN32)
    LogHandle file_ = nullptr;
#else
    LogHandle file_ = -1;
#endif
    std::string buffer_;
    std::string effectName_ = "UnknownEffect";
    std::string path_;
    int level_ = ERROR_LEVEL;
    int writeCount_ = 0;
};

// Shorthands used across the plug-in; the level check happens inside the logger.
#define HALDEN_LOG_ERROR(...) ::Logger::instance().log(::Logger::ERROR_LEVEL, __VA_ARGS__)
#define HALDEN_LOG_INFO(...) ::Logger::instance().log(::Logger::INFO_LEVEL, __VA_ARGS__)
#define HALDEN_LOG_DEBUG(...) ::Logger::instance().debug(__VA_ARGS__)
