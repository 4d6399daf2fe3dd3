#pragma once

#include "log/Logger.h"

#include "TestEnvironment.h"

#include <string>

namespace testenv {

// Points the process-wide log at a temporary folder at INFO level, so tests can read what
// the code under test reported.
class LogCapture {
public:
    explicit LogCapture(int level = Logger::INFO_LEVEL) {
        Logger::instance().openForEffect("capture");
        Logger::instance().setLevel(level);
    }
    ~LogCapture() { Logger::instance().close(); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string text() const {
        Logger::instance().flush();
        return readText(Logger::instance().path());
    }
    bool contains(const std::string& line) const {
        return text().find(line + "\n") != std::string::npos;
    }

private:
    TempDir dir_;
    ScopedVariable state_{"XDG_STATE_HOME", dir_.path().string()};
};

} // namespace testenv
