// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace lumidot::testing {

// A finished shell command: its exit code (-1 when it did not exit normally)
// and its standard output and error together.
struct CommandRun {
    int exitCode = -1;
    std::string output;
};

inline CommandRun runCommand(const std::string& command)
{
    CommandRun result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace lumidot::testing
