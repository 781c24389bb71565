#pragma once

#include <string>

namespace zintaro::app {

enum class StartRequest { OpenWindow, ShowHelp, ShowVersion, Refuse };

struct CommandLine {
    StartRequest request = StartRequest::OpenWindow;
    std::string refusal; // why the arguments were refused, for standard error
};

// Reads the arguments before the toolkit starts, so that --help, --version
// and a mistyped option need no display. Qt's own options (-platform NAME,
// -style NAME, -session ID, …) are left for Qt to take.
CommandLine readCommandLine(int argc, const char* const* argv);

// What --help prints.
std::string usageText();

} // namespace zintaro::app
