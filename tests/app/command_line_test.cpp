#include "app/command_line.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using zintaro::app::readCommandLine;
using zintaro::app::StartRequest;

struct LineCase {
    std::vector<const char*> arguments; // after the program's name
    StartRequest request;
    const char* refusal;
};

TEST(CommandLine, answersItsOwnOptionsLeavesQtItsOwnAndRefusesTheRest)
{
    const LineCase cases[] = {
        { {}, StartRequest::OpenWindow, "" },
        { { "--help" }, StartRequest::ShowHelp, "" },
        { { "-h" }, StartRequest::ShowHelp, "" },
        { { "--version" }, StartRequest::ShowVersion, "" },
        { { "-platform", "offscreen", "--version" }, StartRequest::ShowVersion, "" },
        { { "--bogus", "--help" }, StartRequest::ShowHelp, "" },
        { { "-platform", "offscreen", "-style", "fusion", "-reverse" }, StartRequest::OpenWindow, "" },
        { { "--session", "1234" }, StartRequest::OpenWindow, "" },
        { { "-platform" }, StartRequest::Refuse, "the option '-platform' needs a value after it" },
        { { "--bogus" }, StartRequest::Refuse, "unknown option '--bogus'" },
        { { "-platform=offscreen" }, StartRequest::Refuse, "unknown option '-platform=offscreen'" },
        { { "song.txt", "--bogus" }, StartRequest::Refuse, "unexpected argument 'song.txt'" },
        { { "-" }, StartRequest::Refuse, "unexpected argument '-'" },
    };
    for (const LineCase& c : cases) {
        std::vector<const char*> argv { "zintaro" };
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        SCOPED_TRACE(argv.size() > 1 ? argv[1] : "(none)");
        const auto line = readCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(line.request, c.request);
        EXPECT_EQ(line.refusal, c.refusal);
    }
}

} // namespace
