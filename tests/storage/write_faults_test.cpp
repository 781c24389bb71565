#include "storage/composition_file.h"
#include "storage/composition_format.h"
#include "storage/exercise_file.h"
#include "storage/export_file.h"
#include "storage/log_file.h"
#include "storage/progress_export.h"
#include "storage/recovery_file.h"
#include "storage/settings_file.h"
#include "storage/write_steps.h"
#include "storage_test_support.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
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

// A kind of file the program replaces whole: how an earlier one is put in
// the folder, how the new one is written, whether the folder holds either
// (whole, and read back as the program reads it), and what a full disk is
// told as.
struct ReplacedFile {
    const char* name;
    std::function<void(const fs::path& folder)> putEarlier;
    std::function<std::optional<Text>(const fs::path& folder)> write; // nothing when written
    std::function<bool(const fs::path& folder)> holdsEarlier;
    std::function<bool(const fs::path& folder)> holdsNewer;
    const char* fullDisk;
};

std::vector<ReplacedFile> replacedFiles()
{
    Modulo1 before;
    fillPiece(before, 40, entryAt);
    Modulo1 after;
    fillPiece(after, 90, entryAt);
    const std::string earlierPiece = storage::writeCompositionText(before.Composition, before.NoteCount);
    const std::string newerPiece = storage::writeCompositionText(after.Composition, after.NoteCount);
    const auto holds = [](const char* name, const std::string& bytes) {
        return [name, bytes](const fs::path& folder) { return readBytes(folder / name) == bytes; };
    };
    const auto holdsPiece = [](const char* name, const std::string& bytes, bool recovery) {
        return [=](const fs::path& folder) {
            const bool loads = recovery ? storage::readRecoveryFile(folder / name).piece.has_value()
                                        : storage::loadComposition(folder / name).result == storage::LoadResult::Loaded;
            return readBytes(folder / name) == bytes && loads;
        };
    };
    const auto holdsExercise = [](int notes) {
        return [notes](const fs::path& folder) {
            const auto loaded = storage::loadExercise(folder / "scala.zex");
            return loaded.exercise && loaded.exercise->piece.noteCount() == notes;
        };
    };
    storage::SettingsValues earlierChoices;
    earlierChoices.set("practice/clef", "bass");
    storage::SettingsValues newerChoices;
    newerChoices.set("practice/clef", "treble");
    newerChoices.set("midi/keyboardsOff", std::vector<std::string> { "a, b", "c" });
    const auto holdsChoices = [](const storage::SettingsValues& values) {
        return [values](const fs::path& folder) {
            const storage::SettingsRead read = storage::readSettingsFile(folder / "zintaro.conf");
            return !read.damaged && read.values.list("practice/clef") == values.list("practice/clef")
                && read.values.all().size() == values.all().size();
        };
    };
    return {
        { "composition", [=](const fs::path& folder) { writeBytes(folder / "song.txt", earlierPiece); },
            [=](const fs::path& folder) {
                const auto outcome = storage::saveComposition(after, folder, "song");
                return outcome.result == storage::SaveResult::Saved ? std::nullopt : std::optional(outcome.text);
            },
            holdsPiece("song.txt", earlierPiece, false), holdsPiece("song.txt", newerPiece, false),
            "Disco pieno: la composizione non è stata salvata; quella di prima è intatta" },
        { "exercise",
            [=](const fs::path& folder) { writeBytes(folder / "scala.zex", storage::writeExerciseText({}, before)); },
            [=](const fs::path& folder) {
                const auto outcome = storage::saveExercise({}, after, folder, "scala");
                return outcome.result == storage::SaveResult::Saved ? std::nullopt : std::optional(outcome.text);
            },
            holdsExercise(before.NoteCount), holdsExercise(after.NoteCount),
            "Disco pieno: l'esercizio non è stato salvato; quello di prima è intatto" },
        { "export", [](const fs::path& folder) { writeBytes(folder / "song.mid", "MThd old"); },
            [](const fs::path& folder) {
                const auto outcome = storage::exportFile(folder, "song", ".mid", std::string(5000, 'n'));
                return outcome.result == storage::ExportResult::Exported ? std::nullopt : std::optional(outcome.text);
            },
            holds("song.mid", "MThd old"), holds("song.mid", std::string(5000, 'n')),
            "Disco pieno: il file non è stato esportato; quello di prima è intatto" },
        { "settings",
            [=](const fs::path& folder) {
                ASSERT_FALSE(storage::writeSettingsFile(folder / "zintaro.conf", earlierChoices));
            },
            [=](const fs::path& folder) { return storage::writeSettingsFile(folder / "zintaro.conf", newerChoices); },
            holdsChoices(earlierChoices), holdsChoices(newerChoices),
            "Disco pieno: le scelte non sono state salvate; quelle di prima sono intatte" },
        { "recovery copy", [=](const fs::path& folder) { writeBytes(folder / "recovery.txt", earlierPiece); },
            [=](const fs::path& folder) { return storage::writeRecoveryFile(folder / "recovery.txt", newerPiece); },
            holdsPiece("recovery.txt", earlierPiece, true), holdsPiece("recovery.txt", newerPiece, true),
            "Disco pieno: la copia di sicurezza della composizione non si aggiorna; la composizione sul pentagramma è "
            "intatta" },
        { "progress PDF", [](const fs::path& folder) { writeBytes(folder / "progressi-2026-12-07.pdf", "%PDF old"); },
            [](const fs::path& folder) {
                const auto e = storage::writeProgressPdf(folder, 2026, 12, 7, "%PDF new");
                return e.written() ? std::nullopt : std::optional(e.error);
            },
            [](const fs::path& folder) {
                return readBytes(folder / "progressi-2026-12-07.pdf") == "%PDF old"
                    && !fs::exists(folder / "progressi-2026-12-07-2.pdf");
            },
            [](const fs::path& folder) {
                return readBytes(folder / "progressi-2026-12-07.pdf") == "%PDF old"
                    && readBytes(folder / "progressi-2026-12-07-2.pdf") == "%PDF new";
            },
            nullptr },
    };
}

// Under every fault at every step of every kind of write over an earlier
// file, the write either says nothing and the new file stands whole, or says
// why in one sentence and the earlier file is intact, byte for byte, and
// still reads; after any fault but a crash, nothing else is left behind.
TEST(WriteFaults, aWriteThatFailsAnywhereLeavesTheEarlierFileIntact)
{
    for (const ReplacedFile& kind : replacedFiles()) {
        TemporaryFolder temp;
        const fs::path folder = temp.path() / "files";
        const auto freshFolder = [&] {
            fs::remove_all(folder);
            fs::create_directories(folder);
            kind.putEarlier(folder);
            return namesIn(folder);
        };
        freshFolder();
        const int steps = stepsOf([&] { kind.write(folder); });
        ASSERT_GE(steps, 4) << kind.name;
        for (const Fault fault : AllFaults) {
            for (int step = 1; step <= steps; ++step) {
                SCOPED_TRACE(std::string(kind.name) + ": " + nameOf(fault) + " at step " + std::to_string(step));
                const std::vector<std::string> before = freshFolder();
                std::optional<Text> told;
                {
                    FaultySteps faulty(fault, step);
                    const storage::UseWriteSteps use(faulty);
                    told = kind.write(folder);
                }
                if (!told) {
                    EXPECT_TRUE(kind.holdsNewer(folder));
                    continue;
                }
                EXPECT_FALSE(told->empty()) << "a failure is told";
                EXPECT_TRUE(kind.holdsEarlier(folder));
                if (fault == Fault::NoSpace && kind.fullDisk) {
                    EXPECT_EQ(told->render(), kind.fullDisk);
                }
                if (fault != Fault::Crash) {
                    EXPECT_EQ(namesIn(folder), before) << "no temporary is left";
                }
            }
        }
    }
}

// The same for an answer appended to the log: the earlier lines stay as they
// were, and the answer written again when the disk takes it stands once.
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
            int problem = 0;
            {
                FaultySteps faulty(fault, step);
                const storage::UseWriteSteps use(faulty);
                problem = storage::appendLogLine(log, header, "3,c");
            }
            const std::string now = readBytes(log);
            if (problem == 0) {
                EXPECT_EQ(now, earlier + "3,c\n");
                continue;
            }
            // A line told as not written is not in the file, not even in
            // part: written again, it stands once.
            if (fault != Fault::Crash) {
                EXPECT_EQ(now, earlier);
            }
            EXPECT_EQ(storage::appendLogLine(log, header, "3,c"), 0);
            EXPECT_TRUE(readBytes(log).ends_with("\n2,b\n3,c\n")) << readBytes(log);
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
