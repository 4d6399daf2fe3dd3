#pragma once

#include "TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testenv {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program as a user would from a shell, capturing both streams; in folder when one is
// given, after shell (commands for the same shell, each ending in "; ").
inline CommandRun runProgram(const std::string& program, const std::string& arguments,
                             const std::filesystem::path& folder = {},
                             const std::string& shell = "") {
    TempDir dir;
    const auto out = dir.path() / "out.txt";
    const auto err = dir.path() / "err.txt";
    std::string command = shell + "\"" + program + "\" " + arguments + " > \"" + out.string() +
                          "\" 2> \"" + err.string() + "\"";
    if (!folder.empty()) {
#if defined(_WIN32)
        // The folder may be on another drive.
        command = "cd /d \"" + folder.string() + "\" && " + command;
#else
        command = "cd \"" + folder.string() + "\" && " + command;
#endif
    }
    CommandRun run;
    run.status = runShell(command);
    run.out = readText(out);
    run.err = readText(err);
    return run;
}

#if defined(HALDEN_RENDER_EXE)
// halden-render run as a user would.
inline CommandRun runRender(const std::string& arguments, const std::filesystem::path& folder = {},
                            const std::string& shell = "") {
    return runProgram(HALDEN_RENDER_EXE, arguments, folder, shell);
}
#endif

} // namespace testenv
