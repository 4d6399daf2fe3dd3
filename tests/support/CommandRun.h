#pragma once

#include "TestEnvironment.h"

#include <cstdlib>
#include <string>

namespace testenv {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program as a user would from a shell, capturing both streams.
inline CommandRun runProgram(const std::string& program, const std::string& arguments) {
    TempDir dir;
    const auto out = dir.path() / "out.txt";
    const auto err = dir.path() / "err.txt";
    const std::string command = "\"" + program + "\" " + arguments + " > \"" + out.string() +
                                "\" 2> \"" + err.string() + "\"";
    CommandRun run;
    run.status = runShell(command);
    run.out = readText(out);
    run.err = readText(err);
    return run;
}

} // namespace testenv
