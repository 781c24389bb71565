#include "app/command_line.h"

#include "storage/user_folders.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace zintaro::app {

namespace {

// The options QApplication itself understands, with one dash or two.
constexpr std::array<std::string_view, 15> QtOptionsWithValue { "platform", "platformpluginpath", "platformtheme",
    "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style", "stylesheet",
    "name", "title", "visual" };
constexpr std::array<std::string_view, 5> QtFlags { "reverse", "widgetcount", "nograb", "dograb", "sync" };

bool isOneOf(std::string_view word, const auto& list)
{
    return std::find(list.begin(), list.end(), word) != list.end();
}

} // namespace

CommandLine readCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    // The first mistake is the one told; --help or --version still win.
    const auto refuse = [&line](std::string why) {
        if (line.request != StartRequest::Refuse)
            line = { StartRequest::Refuse, std::move(why) };
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h")
            return { StartRequest::ShowHelp, {} };
        if (argument == "--version" || argument == "-v")
            return { StartRequest::ShowVersion, {} };
        if (argument.size() < 2 || argument.front() != '-') {
            refuse("unexpected argument '" + std::string(argument) + "'");
            continue;
        }
        const std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
        if (isOneOf(name, QtFlags))
            continue;
        if (isOneOf(name, QtOptionsWithValue)) {
            // Qt takes the value from the next argument.
            if (++i >= argc)
                refuse("the option '" + std::string(argument) + "' needs a value after it");
            continue;
        }
        refuse("unknown option '" + std::string(argument) + "'");
    }
    return line;
}

std::string usageText()
{
    std::string text = "Usage: zintaro [OPTION]\n"
                       "Write and read melodies on a staff with solfège names, play them on a piano\n"
                       "from the computer keyboard or a MIDI keyboard, and train sight-reading.\n"
                       "\n"
                       "  -h, --help     show this help and exit\n"
                       "  -v, --version  show the version and exit\n"
                       "\n"
                       "Qt's own options, such as -platform NAME or -style NAME, are passed on to Qt.\n";
    text += storage::compositionsFolderHelp();
    return text;
}

} // namespace zintaro::app
