#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace zintaro::testing {

struct CommandResult {
    int exitCode = -1; // -1 when the command could not be run or was killed
    std::string output; // standard output
};

// Runs a shell command and collects its standard output. The command's
// standard error goes to the test's.
inline CommandResult runCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 4096> chunk {};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        result.output.append(chunk.data(), got);
    const int status = ::pclose(pipe);
    if (status != -1 && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

// Whether a program can be found on the PATH.
inline bool haveProgram(const std::string& name)
{
    return runCommand("command -v '" + name + "' >/dev/null 2>&1").exitCode == 0;
}

// A path quoted for the shell.
inline std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

} // namespace zintaro::testing
