#include "storage/storage_test_support.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs the editing program for `ms` milliseconds, kills it (SIGKILL) and
// gives everything it wrote.
std::string runAndKill(const std::string& file, unsigned seed, int ms)
{
    int out[2];
    if (::pipe(out) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        const std::string seedText = std::to_string(seed);
        ::execl(ZINTARO_RECOVERY_CHILD, ZINTARO_RECOVERY_CHILD, file.c_str(), seedText.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[65536];
    const auto readSome = [&](int timeout) {
        pollfd p { out[0], POLLIN, 0 };
        if (::poll(&p, 1, timeout) <= 0)
            return false;
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0)
            return false;
        text.append(buffer, static_cast<size_t>(got));
        return true;
    };
    // The kill comes `ms` after the program has started editing.
    while (text.find('\n') == std::string::npos && readSome(2000)) { }
    ::usleep(static_cast<useconds_t>(ms) * 1000);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    while (readSome(0)) { }
    ::close(out[0]);
    return text;
}

// A program killed at random moments while it edits: each next start finds
// the piece of the last change written, or of the one under way, never a
// damaged file and never an older piece.
TEST(RecoveryKill, everyStartFindsThePieceOfTheLastChangeOrTheOneUnderWay)
{
    zintaro::testing::TemporaryFolder state;
    const std::string file = (state.path() / "zintaro" / "recovery.txt").string();
    std::mt19937 random(5);
    std::string lastDone, pending;
    bool first = true;
    int killedMidChange = 0;
    for (int kill = 0; kill < 200; ++kill) {
        const std::string output
            = runAndKill(file, static_cast<unsigned>(random()), 1 + static_cast<int>(random() % 12));
        std::istringstream lines(output);
        std::string word, hash;
        ASSERT_TRUE(lines >> word >> hash) << "kill " << kill << ": " << output;
        ASSERT_EQ(word, "start") << "kill " << kill << ": the file was damaged";
        if (!first) {
            EXPECT_TRUE(hash == lastDone || hash == pending) << "kill " << kill;
        }
        first = false;
        lastDone = hash;
        pending = hash;
        bool underWay = false;
        while (lines >> word >> hash) {
            underWay = word == "next";
            if (word == "done")
                lastDone = hash;
            pending = hash;
        }
        killedMidChange += underWay ? 1 : 0;
    }
    EXPECT_GT(killedMidChange, 20) << "the program was killed while it wrote, not only between changes";
}

} // namespace
