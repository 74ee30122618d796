// Runs a program as a user would, and keeps what it printed and its exit code:
// with stdout and stderr into pipes, or both on one pseudo-terminal.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    int ExitCode = -1;
    std::string Out;  // on a terminal: everything the terminal showed
    std::string Err;

    // `environment` entries ("NAME=value") are added to this process's own.
    static ProgramRun Piped(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment = {});
    static ProgramRun OnTerminal(const std::vector<std::string>& arguments,
                                 const std::vector<std::string>& environment = {});
};
