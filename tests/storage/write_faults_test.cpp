#include "storage/composition_file.h"
#include "storage/composition_format.h"
#include "storage/log_file.h"
#include "storage/progress_export.h"
#include "storage/write_steps.h"
#include "storage_test_support.h"

#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zintaro::testing {
namespace {

namespace fs = std::filesystem;
using storage::WriteSteps;

enum class Fault { NoSpace, ReadOnly, IoError, ShortWrite, Crash };

const char* nameOf(Fault fault)
{
    switch (fault) {
    case Fault::NoSpace:
        return "no space";
    case Fault::ReadOnly:
        return "read-only";
    case Fault::IoError:
        return "I/O error";
    case Fault::ShortWrite:
        return "short write";
    case Fault::Crash:
        return "crash";
    }
    return "";
}

// The disk's own steps but one: the step numbered `failing` meets the fault.
// A short write writes half its bytes and the disk is full after it; a crash
// does nothing from that step on, as a process that is gone does nothing.
// Without a failing step, it only counts.
class FaultySteps : public WriteSteps {
public:
    FaultySteps(Fault fault, int failing)
        : m_fault(fault)
        , m_failing(failing)
    {
    }

    int steps() const { return m_steps; }

    int open(const fs::path& file, int flags, mode_t mode, int& fd) override
    {
        return fails() ? m_error : WriteSteps::open(file, flags, mode, fd);
    }
    int write(int fd, std::string_view bytes, std::size_t& written) override
    {
        const bool failing = fails();
        if (failing && m_fault == Fault::ShortWrite) {
            m_diskFull = true;
            return WriteSteps::write(fd, bytes.substr(0, bytes.size() / 2), written);
        }
        if (m_diskFull)
            return ENOSPC;
        return failing ? m_error : WriteSteps::write(fd, bytes, written);
    }
    int sync(int fd) override { return fails() ? m_error : WriteSteps::sync(fd); }
    int close(int fd) override
    {
        // The descriptor goes whatever close says, as on Linux.
        const int closed = WriteSteps::close(fd);
        return fails() ? m_error : closed;
    }
    int setMode(int fd, mode_t mode) override { return fails() ? m_error : WriteSteps::setMode(fd, mode); }
    int resize(int fd, off_t size) override { return fails() ? m_error : WriteSteps::resize(fd, size); }
    int rename(const fs::path& from, const fs::path& to) override
    {
        return fails() ? m_error : WriteSteps::rename(from, to);
    }
    int link(const fs::path& from, const fs::path& to) override
    {
        return fails() ? m_error : WriteSteps::link(from, to);
    }
    int remove(const fs::path& file) override { return fails() ? m_error : WriteSteps::remove(file); }
    int makeFolders(const fs::path& folder) override { return fails() ? m_error : WriteSteps::makeFolders(folder); }

private:
    bool fails()
    {
        ++m_steps;
        if (m_steps == m_failing)
            m_error = m_fault == Fault::NoSpace ? ENOSPC : m_fault == Fault::ReadOnly ? EROFS : EIO;
        if (m_fault == Fault::Crash)
            return m_failing > 0 && m_steps >= m_failing;
        return m_steps == m_failing && m_fault != Fault::ShortWrite;
    }

    Fault m_fault;
    int m_failing;
    int m_steps = 0;
    int m_error = 0;
    bool m_diskFull = false;
};

constexpr Fault AllFaults[] = { Fault::NoSpace, Fault::ReadOnly, Fault::IoError, Fault::ShortWrite, Fault::Crash };

// How many steps a write takes when nothing fails.
template<typename Write> int stepsOf(Write write)
{
    FaultySteps counting(Fault::IoError, 0);
    const storage::UseWriteSteps use(counting);
    write();
    return counting.steps();
}

Entry entryAt(int i)
{
    return { False16, static_cast<int16_t>(i % 36), static_cast<int16_t>(i % 7) };
}

// Under every fault at every step of a save over an earlier file, the save
// either says it saved and the file is the new piece, or says why not and
// the earlier file is intact, byte for byte, and still loads.
TEST(WriteFaults, aSaveThatFailsAnywhereLeavesTheEarlierCompositionIntact)
{
    TemporaryFolder temp;
    const fs::path file = temp.path() / "song.txt";
    Modulo1 before;
    fillPiece(before, 40, entryAt);
    Modulo1 after;
    fillPiece(after, 90, entryAt);
    ASSERT_TRUE(storage::saveComposition(before, temp.path(), "song").text.empty());
    const std::string earlier = readBytes(file);
    const std::string newer = storage::writeCompositionText(after.Composition, after.NoteCount);

    const int steps = stepsOf([&] { storage::saveComposition(before, temp.path(), "song"); });
    ASSERT_GE(steps, 5);
    for (const Fault fault : AllFaults) {
        for (int step = 1; step <= steps; ++step) {
            SCOPED_TRACE(std::string(nameOf(fault)) + " at step " + std::to_string(step));
            writeBytes(file, earlier);
            storage::SaveOutcome outcome;
            {
                FaultySteps faulty(fault, step);
                const storage::UseWriteSteps use(faulty);
                outcome = storage::saveComposition(after, temp.path(), "song");
            }
            if (outcome.result == storage::SaveResult::Saved) {
                EXPECT_EQ(readBytes(file), newer);
                continue;
            }
            EXPECT_FALSE(outcome.text.empty()) << "a failure is told";
            EXPECT_EQ(readBytes(file), earlier);
            EXPECT_EQ(storage::loadComposition(file).result, storage::LoadResult::Loaded);
            if (fault != Fault::Crash) {
                EXPECT_EQ(namesIn(temp.path()), std::vector<std::string> { "song.txt" }) << "no temporary is left";
            }
        }
    }
}

// The same for an answer appended to the log: the earlier lines stay as they
// were, and after a crash the next answer still goes in on a line of its own.
TEST(WriteFaults, anAppendThatFailsAnywhereKeepsTheEarlierLines)
{
    TemporaryFolder temp;
    const fs::path log = temp.path() / "zintaro" / "answers.csv";
    const std::string header = "time,answer";
    const std::string earlier = header + "\n1,a\n2,b\n";
    fs::create_directories(log.parent_path());

    writeBytes(log, earlier);
    const int steps = stepsOf([&] { storage::appendLogLine(log, header, "3,c"); });
    ASSERT_GE(steps, 3);
    for (const Fault fault : AllFaults) {
        for (int step = 1; step <= steps; ++step) {
            SCOPED_TRACE(std::string(nameOf(fault)) + " at step " + std::to_string(step));
            writeBytes(log, earlier);
            std::optional<Text> problem;
            {
                FaultySteps faulty(fault, step);
                const storage::UseWriteSteps use(faulty);
                problem = storage::appendLogLine(log, header, "3,c");
            }
            const std::string now = readBytes(log);
            if (!problem) {
                EXPECT_EQ(now, earlier + "3,c\n");
                continue;
            }
            ASSERT_EQ(now.substr(0, earlier.size()), earlier);
            // A close that fails after the bytes went in may keep the line
            // whole; a line cut short is taken back.
            if (fault != Fault::Crash) {
                EXPECT_TRUE(now == earlier || now == earlier + "3,c\n") << now;
            }
            EXPECT_FALSE(storage::appendLogLine(log, header, "4,d"));
            EXPECT_TRUE(readBytes(log).ends_with("\n4,d\n"));
        }
    }
}

TEST(WriteFaults, aProgressPdfOfTheDayNeverReplacesAnother)
{
    TemporaryFolder temp;
    const fs::path folder = temp.path() / "files";
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        const storage::ProgressExport e = storage::writeProgressPdf(folder, 2026, 12, 7, "copy " + std::to_string(i));
        ASSERT_TRUE(e.written()) << e.error.render();
        names.push_back(e.file.filename().string());
    }
    EXPECT_EQ(names,
        (std::vector<std::string> {
            "progressi-2026-12-07.pdf", "progressi-2026-12-07-2.pdf", "progressi-2026-12-07-3.pdf" }));
    EXPECT_EQ(readBytes(folder / names[0]), "copy 0");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(namesIn(folder), names) << "nothing else is left in the folder";

    writeBytes(temp.path() / "blocker", "x");
    EXPECT_FALSE(storage::writeProgressPdf(temp.path() / "blocker" / "files", 2026, 12, 7, "x").written());
}

} // namespace
} // namespace zintaro::testing
