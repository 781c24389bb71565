#include "storage/composition_file.h"
#include "storage/composition_format.h"
#include "storage/system_reason.h"
#include "storage_test_support.h"
#include "support/scripted_dialogs.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zintaro::storage {
namespace {

namespace fs = std::filesystem;
using testing::loadTelling;
using testing::namesIn;
using testing::readBytes;
using testing::saveTelling;
using testing::ScriptedDialogs;
using testing::TemporaryFolder;
using testing::writeBytes;

Entry melodyEntry(int i)
{
    if (i % 5 == 4)
        return { True16, 0, static_cast<int16_t>(i % 7) };
    return { False16, static_cast<int16_t>(i % 36), static_cast<int16_t>(i % 7) };
}

Entry quarterNote(int)
{
    return { False16, 14, 2 };
}

std::string entryLines(int count, const std::string& line = "\"_\",0,14,2\r\n")
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += line;
    return out;
}

class Storage : public ::testing::Test {
protected:
    fs::path files() const { return m_temp.path() / "files"; }

    TemporaryFolder m_temp;
    Modulo1 m;
    ScriptedDialogs dialogs;
};

TEST_F(Storage, saveThenLoadGivesTheSameRowsAndCount)
{
    testing::fillPiece(m, 300, melodyEntry);
    ASSERT_FALSE(fs::exists(files())); // saving makes the folder
    ASSERT_EQ(saveTelling(m, files(), "song", dialogs), SaveResult::Saved);

    const auto loaded = loadTelling(files() / "song.txt", dialogs);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_EQ(loaded->noteCount(), 300);
    CompositionStore store;
    applyToStore(*loaded, store);
    for (int i = 0; i <= 300; ++i)
        ASSERT_EQ(store.at(i), m.Composition.at(i)) << "position " << i;
    EXPECT_EQ(readBytes(files() / "song.txt"), writeCompositionText(m.Composition, 300));
}

TEST_F(Storage, savingUnderAnExistingNameReplacesItAndLeavesNoTemporaryBehind)
{
    fs::create_directories(files());
    writeBytes(files() / "song.txt", entryLines(40) + "\"_\",111,111,111\r\n");
    ::chmod((files() / "song.txt").c_str(), 0640);

    testing::fillPiece(m, 2, quarterNote);
    ASSERT_EQ(saveTelling(m, files(), "song", dialogs), SaveResult::Saved);
    EXPECT_EQ(readBytes(files() / "song.txt"), entryLines(2) + "\"_\",111,111,111\r\n");
    EXPECT_EQ(namesIn(files()), std::vector<std::string> { "song.txt" });
    EXPECT_EQ(fs::status(files() / "song.txt").permissions() & fs::perms::all,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Storage, namesThatCannotBeAFileInTheFolderAreRefusedAndNothingIsWritten)
{
    fs::create_directories(files());
    const std::vector<std::string> names = {
        "",
        ".",
        "..",
        "../song",
        "../../escape",
        "sub/song",
        "back\\slash",
        "tab\there",
        "line\nbreak",
        std::string("nul\0byte", 8),
        "del\x7f",
        std::string(252, 'x'),
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        dialogs.shown.clear();
        EXPECT_EQ(saveTelling(m, files(), name, dialogs), SaveResult::NameRefused);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_NE(dialogs.shown[0].text.find("Non è stato salvato nulla"), std::string::npos);
    }
    EXPECT_TRUE(namesIn(files()).empty());
    EXPECT_EQ(namesIn(m_temp.path()), std::vector<std::string> { "files" });
    // The longest name the file system holds, and names a person might type, are fine.
    for (const std::string& name : { std::string(251, 'x'), std::string("la mia canzone. 2"), std::string("..a") })
        EXPECT_EQ(saveTelling(m, files(), name, dialogs), SaveResult::Saved) << name;
}

TEST_F(Storage, aFolderThatCannotBeMadeIsReportedWithTheSystemsReason)
{
    writeBytes(m_temp.path() / "plain", "not a folder");
    testing::fillPiece(m, 2, quarterNote);
    const Modulo1 before = m;
    EXPECT_EQ(saveTelling(m, m_temp.path() / "plain" / "files", "song", dialogs), SaveResult::Failed);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find(systemReason(ENOTDIR).render()), std::string::npos) << dialogs.shown[0].text;
    EXPECT_EQ(m.NoteCount, before.NoteCount);
    EXPECT_EQ(readBytes(m_temp.path() / "plain"), "not a folder");
}

TEST_F(Storage, aFailedReplacementKeepsWhatStoodThereAndRemovesTheTemporary)
{
    // A folder where the file would go: writing succeeds, replacing fails.
    fs::create_directories(files() / "song.txt");
    writeBytes(files() / "song.txt" / "inside", "kept");
    EXPECT_EQ(saveTelling(m, files(), "song", dialogs), SaveResult::Failed);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find(systemReason(EISDIR).render()), std::string::npos) << dialogs.shown[0].text;
    EXPECT_EQ(namesIn(files()), std::vector<std::string> { "song.txt" });
    EXPECT_EQ(readBytes(files() / "song.txt" / "inside"), "kept");
}

TEST_F(Storage, aReadOnlyFolderIsReportedAndTheOldFileKept)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "skipped: permissions do not bind the superuser";
    fs::create_directories(files());
    writeBytes(files() / "song.txt", "\"_\",111,111,111\r\n");
    fs::permissions(files(), fs::perms::owner_read | fs::perms::owner_exec);
    testing::fillPiece(m, 5, quarterNote);
    EXPECT_EQ(saveTelling(m, files(), "song", dialogs), SaveResult::Failed);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find(systemReason(EACCES).render()), std::string::npos);
    EXPECT_EQ(readBytes(files() / "song.txt"), "\"_\",111,111,111\r\n");
}

TEST_F(Storage, aFileThatCannotBeReadIsToldOnceAndGivesNothing)
{
    fs::create_directories(files() / "folder.txt");
    writeBytes(files() / "gone.txt", "\"_\",0,7,2\r\n");
    fs::remove(files() / "gone.txt"); // deleted after it was listed

    for (const char* name : { "gone.txt", "folder.txt" }) {
        SCOPED_TRACE(name);
        dialogs.shown.clear();
        EXPECT_FALSE(loadTelling(files() / name, dialogs));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_NE(dialogs.shown[0].text.find(name), std::string::npos);
    }
    EXPECT_NE(dialogs.shown[0].text.find(systemReason(EISDIR).render()), std::string::npos);
}

// What a file gives, put into a store that held a longer piece: the end
// marker stands at the new count, and each file tells at most once.
TEST_F(Storage, loadingGivesTheGoodEntriesAndTellsSkippedLinesOnce)
{
    fs::create_directories(files());
    const std::string end = "\"_\",111,111,111\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        int count;
        Entry last;
        std::string told; // a part of the one message, or empty for none
    };
    const Entry quarter { 0, 14, 2 };
    const std::vector<Case> cases = {
        { "the end line alone", end, 0, {}, "" },
        { "a piece of one page", entryLines(57) + end, 57, quarter, "" },
        { "a piece of three pages", entryLines(120) + end, 120, quarter, "" },
        { "eighths and a rest", entryLines(4, "\"_\",0,14,3\r\n") + "\"_\",-1,0,2\r\n" + end, 5, { -1, 0, 2 }, "" },
        { "garbage between entries, no end line", entryLines(2) + "\x01\x02garbage\xfe\r\n" + entryLines(1), 3, quarter,
            "1 riga non si è potuta leggere" },
        { "notes and durations out of range",
            entryLines(2) + "\"_\",0,36,2\r\n\"_\",0,-1,2\r\n\"_\",0,5,7\r\n" + "\"_\",-1,0,-3\r\n\"_\",0,32767,2\r\n"
                + end,
            2, quarter, "5 righe non si sono potute leggere" },
        { "an end line in the middle", entryLines(1) + end + entryLines(2) + end, 3, quarter, "1 riga non" },
        { "2000 lines", entryLines(2000), MaxEntries, quarter,
            "caricata; le righe oltre il 1000° elemento sono state" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.shown.clear();
        writeBytes(files() / "case.txt", c.bytes);
        const auto loaded = loadTelling(files() / "case.txt", dialogs);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->noteCount(), c.count);
        for (const Entry& e : loaded->entries)
            ASSERT_TRUE(isPlayableEntry(e)) << e.RestFlag << "," << e.NoteIndex << "," << e.DurationCode;

        CompositionStore store;
        testing::fillPiece(m, 150, melodyEntry);
        store = m.Composition;
        applyToStore(*loaded, store);
        EXPECT_EQ(store.at(c.count), EndEntry);
        if (c.count > 0) {
            EXPECT_EQ(store.at(c.count - 1), c.last);
        }
        if (c.told.empty()) {
            EXPECT_TRUE(dialogs.shown.empty());
        } else {
            ASSERT_EQ(dialogs.shown.size(), 1u);
            EXPECT_NE(dialogs.shown[0].text.find(c.told), std::string::npos) << dialogs.shown[0].text;
            EXPECT_NE(dialogs.shown[0].text.find("case.txt"), std::string::npos);
        }
    }
}

std::string utf16(const std::string& ascii)
{
    std::string out = "\xff\xfe";
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST_F(Storage, aFileThatHoldsNoCompositionIsRefusedWithOneMessage)
{
    fs::create_directories(files());
    std::string random;
    for (int i = 0; i < 4096; ++i)
        random += static_cast<char>((i * 7919 + 13) % 251);
    const std::vector<std::pair<std::string, std::string>> files_ = {
        { "empty.txt", "" },
        { "random.txt", random },
        { "utf16.txt", utf16("\"_\",0,14,2\r\n\"_\",111,111,111\r\n") },
        { "picture.txt", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20) },
        { "letter.txt", "Dear friend,\nthe lesson is on Tuesday.\n" },
        { "\xff\xfe odd name.txt", "\x01\x02\x03" },
    };
    for (const auto& [name, bytes] : files_) {
        SCOPED_TRACE(name);
        dialogs.shown.clear();
        writeBytes(files() / name, bytes);
        EXPECT_FALSE(loadTelling(files() / name, dialogs));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, name + " non è una composizione di Zintaro. Non è cambiato nulla.");
    }
}

TEST_F(Storage, aFileWhoseNameIsNotUtf8Loads)
{
    fs::create_directories(files());
    const std::string name = "canzone \xe8\xff.txt";
    writeBytes(files() / name, entryLines(3) + "\"_\",111,111,111\r\n");
    const auto loaded = loadTelling(files() / name, dialogs);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->noteCount(), 3);
    EXPECT_TRUE(dialogs.shown.empty());
}

// A process number that no process has any more: a child that has ended.
long endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST_F(Storage, temporariesOfEndedCopiesAreRemovedByLoadingAndSavingButNotARunningCopys)
{
    fs::create_directories(files());
    const std::string dead = ".saving-" + std::to_string(endedProcess()) + "-0";
    const std::string alive = ".saving-" + std::to_string(::getpid()) + "-3";
    const std::string lookalike = ".saving-notes.txt";
    writeBytes(files() / "song.txt", entryLines(1) + "\"_\",111,111,111\r\n");

    for (const char* how : { "load", "save" }) {
        SCOPED_TRACE(how);
        for (const std::string& name : { dead, alive, lookalike })
            writeBytes(files() / name, "\"_\",0,1,2\r\n");
        if (std::string(how) == "load")
            ASSERT_TRUE(loadTelling(files() / "song.txt", dialogs));
        else
            ASSERT_EQ(saveTelling(m, files(), "other", dialogs), SaveResult::Saved);
        EXPECT_FALSE(fs::exists(files() / dead));
        EXPECT_TRUE(fs::exists(files() / alive));
        EXPECT_TRUE(fs::exists(files() / lookalike));
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(SavingTemporaries, areRecognisedByTheirNameAlone)
{
    EXPECT_EQ(savingTemporaryOwner(".saving-1234-0"), 1234);
    EXPECT_EQ(savingTemporaryOwner(".saving-7-99"), 7);
    for (const char* other : { ".saving-", ".saving-12", ".saving-12-", ".saving--1-0", ".saving-0-0", ".saving-x-0",
             ".saving-12-0.txt", "saving-12-0", ".saving-12-0-1" })
        EXPECT_FALSE(savingTemporaryOwner(other)) << other;
}

} // namespace
} // namespace zintaro::storage
