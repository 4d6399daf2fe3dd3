#pragma once

#include "host/cli/ImageIo.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testcli {

// One run of the halden-render executable: its exit status and what it printed.
struct RenderRun {
    int status = 0;
    std::string out;
    std::string err;

    int errLines() const {
        int lines = 0;
        for (char c : err) {
            lines += c == '\n';
        }
        return lines;
    }
};

// Runs halden-render in a scratch folder, with the plug-in's log and presets kept there and
// the CPU backend forced, so runs are alike on every machine.
class CliTest : public ::testing::Test {
protected:
    // arguments go through the shell as written; shell runs first, in the same shell.
    RenderRun run(const std::string& arguments, const std::string& shell = "") const {
        const auto out = dir.path() / "stdout.txt";
        const auto err = dir.path() / "stderr.txt";
#if defined(_WIN32)
        // The scratch folder may be on another drive.
        const std::string changeFolder = "cd /d \"";
#else
        const std::string changeFolder = "cd \"";
#endif
        const std::string command = changeFolder + dir.path().string() + "\" && " + shell + "\"" +
                                    HALDEN_RENDER_EXE + "\" " + arguments + " > \"" + out.string() +
                                    "\" 2> \"" + err.string() + "\"";
        RenderRun result;
        result.status = testenv::runShell(command);
        result.out = testenv::readText(out);
        result.err = testenv::readText(err);
        return result;
    }

    std::string path(const std::string& name) const {
        return "\"" + (dir.path() / name).string() + "\"";
    }

    ofxhost::RgbaImage read(const std::string& name) const {
        return ofxhost::ImageIo::read(dir.path() / name);
    }

    testenv::TempDir dir;
    testenv::ScopedVariable state{"XDG_STATE_HOME", dir.path().string()};
    testenv::ScopedVariable config{testenv::kUserConfigVariable, dir.path().string()};
    testenv::ScopedVariable backend{"HALDEN_BACKEND", std::string("cpu")};
};

} // namespace testcli
