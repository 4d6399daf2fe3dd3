#include "log/Logger.h"

#include "platform/PlatformPaths.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The log file as the operating system holds it. Every process writing the file holds a shared
// lock on it; the one that may start it afresh or rotate it is the one that can hold it alone.
// Nothing here follows a link or opens a file another user made.
#if defined(_WIN32)
constexpr LogHandle kNoFile = nullptr;

std::wstring widePath(const std::string& path) {
    return std::filesystem::u8path(path).wstring();
}

LogHandle openFile(const std::string& path, DWORD disposition) {
    HANDLE h =
        CreateFileW(widePath(path).c_str(), FILE_APPEND_DATA,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return kNoFile;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(h, &info) == 0 ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(h);
        return kNoFile;
    }
    return h;
}

LogHandle openExisting(const std::string& path) {
    return openFile(path, OPEN_EXISTING);
}

LogHandle createNew(const std::string& path) {
    return openFile(path, CREATE_NEW);
}

// A byte far past any log's end: locking it never blocks a write.
OVERLAPPED lockRegion() {
    OVERLAPPED region{};
    region.Offset = 0xfffffffe;
    region.OffsetHigh = 0x7fffffff;
    return region;
}

bool tryLockAlone(LogHandle h) {
    OVERLAPPED region = lockRegion();
    UnlockFileEx(h, 0, 1, 0, &region);
    region = lockRegion();
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &region) !=
           0;
}

void lockShared(LogHandle h) {
    OVERLAPPED region = lockRegion();
    UnlockFileEx(h, 0, 1, 0, &region);
    region = lockRegion();
    LockFileEx(h, 0, 0, 1, 0, &region);
}

void closeFile(LogHandle h) {
    CloseHandle(h);
}

bool writeAll(LogHandle h, const std::string& text) {
    DWORD written = 0;
    return WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0 &&
           written == text.size();
}

long long fileSize(LogHandle h) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(h, &size) != 0 ? size.QuadPart : 0;
}
#else
constexpr LogHandle kNoFile = -1;

LogHandle openExisting(const std::string& path) {
    // Non-blocking: a pipe planted at the path must not hang the host.
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return kNoFile;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
        ::close(fd);
        return kNoFile;
    }
    return fd;
}

LogHandle createNew(const std::string& path) {
    // O_EXCL: never a file or a link that is already there.
    const int fd =
        open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    return fd < 0 ? kNoFile : fd;
}

bool tryLockAlone(LogHandle fd) {
    return flock(fd, LOCK_EX | LOCK_NB) == 0;
}

void lockShared(LogHandle fd) {
    while (flock(fd, LOCK_SH) != 0 && errno == EINTR) {
    }
}

void closeFile(LogHandle fd) {
    ::close(fd);
}

bool writeAll(LogHandle fd, const std::string& text) {
    // One call: with O_APPEND the lines of other processes land before or after it, never in it.
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

long long fileSize(LogHandle fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}
#endif

// printf into a string.
void appendFormatted(std::string& out, const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) {
        return;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(&out[at], static_cast<std::size_t>(length) + 1, format, args);
    out.resize(at + static_cast<std::size_t>(length));
}

void appendf(std::string& out, const char* format, ...) HALDEN_PRINTF_FORMAT(2, 3);
void appendf(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    appendFormatted(out, format, args);
    va_end(args);
}

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
    if (file_ == kNoFile) {
        return;
    }
    if (level_ >= INFO_LEVEL) {
        buffer_ += "[INFO] === Logger Destroyed ===\n";
    }
    flushBuffer();
    closeFile(file_);
    file_ = kNoFile;
}

void Logger::flushBuffer() {
    if (file_ != kNoFile && !buffer_.empty()) {
        writeAll(file_, buffer_);
    }
    buffer_.clear();
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
    if (level > level_ || file_ == kNoFile) {
        return;
    }
    if (++writeCount_ >= kRotationCheckInterval) {
        writeCount_ = 0;
        if (fileSize(file_) + static_cast<long long>(buffer_.size()) >= kMaxLogSize) {
            rotate();
            if (file_ == kNoFile) {
                return;
            }
        }
    }
    buffer_ += levelTag(level);
    buffer_ += ' ';
    appendFormatted(buffer_, format, args);
    buffer_ += '\n';
    // Whole lines only ever reach the file, so processes sharing it never split each other's.
    if (level == ERROR_LEVEL || buffer_.size() >= kBufferSize) {
        flushBuffer();
    }
}

void Logger::rotate() {
    // Another process writing the same file would lose its lines: rotation waits for a time
    // when this process writes it alone.
    if (!tryLockAlone(file_)) {
        lockShared(file_);
        return;
    }
    const long long size = fileSize(file_) + static_cast<long long>(buffer_.size());
    appendf(buffer_, "[INFO] === Log rotation triggered (size: %lld bytes) ===\n", size);
    flushBuffer();
    closeFile(file_);
    file_ = kNoFile;

    shiftBackups(path_);
    moveCurrentToFirstBackup(path_);

    file_ = createNew(path_);
    if (file_ == kNoFile) {
        return;
    }
    lockShared(file_);
    appendf(buffer_, "=== %s Plugin Log Continued (rotation) ===\n", effectName_.c_str());
    appendf(buffer_, "Rotation time: %s\n", platform::localTimeString().c_str());
    appendf(buffer_, "Previous log backed up to: %s.1\n", path_.c_str());
    flushBuffer();
}

void Logger::setLevel(int level) {
    std::lock_guard<std::mutex> lock(mutex_);
    level_ = level;
    if (file_ != kNoFile) {
        appendf(buffer_, "Debug level: %s\n", levelName(level));
        flushBuffer();
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
    if (file_ != kNoFile) {
        appendf(buffer_, "[INFO] === Switching to new effect: %s ===\n", effectName.c_str());
        flushBuffer();
        closeFile(file_);
        file_ = kNoFile;
    }

    const std::filesystem::path directory = platform::logDirectory();
    if (directory.empty()) {
        path_.clear();
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    path_ = (directory / (effectName + "_plugin_log.txt")).string();

    // A few tries: another process may create the file between our looking and our creating.
    for (int attempt = 0; attempt < 3 && file_ == kNoFile; ++attempt) {
        const LogHandle existing = openExisting(path_);
        if (existing != kNoFile && !tryLockAlone(existing)) {
            // Other processes of this run are writing it: add to it, rotate nothing.
            lockShared(existing);
            file_ = existing;
            break;
        }
        if (existing != kNoFile) {
            closeFile(existing);
        }
        // Nobody writes it: it is an earlier run's, or something else stands at the path (a
        // link, a pipe); either way it moves aside and a new file is made.
        shiftBackups(path_);
        if (std::filesystem::symlink_status(path_, ignored).type() !=
            std::filesystem::file_type::not_found) {
            moveCurrentToFirstBackup(path_);
        }
        file_ = createNew(path_);
        if (file_ != kNoFile) {
            lockShared(file_);
        }
    }
    if (file_ == kNoFile) {
        return;
    }
    appendf(buffer_, "=== %s Plugin Session Started ===\n", effectName.c_str());
    appendf(buffer_, "Session time: %s\n", platform::localTimeString().c_str());
    appendf(buffer_, "Log file: %s\n", path_.c_str());
    appendf(buffer_, "Max log size: %zu MB, backups: %d\n",
            static_cast<std::size_t>(kMaxLogSize / (1024 * 1024)), kBackupCount);
    flushBuffer();
}

void Logger::flush() {
    std::lock_guard<std::mutex> lock(mutex_);
    flushBuffer();
}

std::string Logger::path() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}

bool Logger::isOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_ != kNoFile;
}
