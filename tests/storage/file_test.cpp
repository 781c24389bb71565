#include "storage/composition_file.h"
#include "storage/composition_format.h"
#include "storage_test_support.h"
#include "support/recording_surface.h"
#include "support/scripted_dialogs.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zintaro::storage {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::RecordingSurface;
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

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Storage : public ::testing::Test {
protected:
    fs::path files() const { return m_temp.path() / "files"; }

    TemporaryFolder m_temp;
    Modulo1 m;
    RecordingSurface surface;
    ScriptedDialogs dialogs;
};

TEST_F(Storage, saveThenLoadGivesTheSameRowsAndCount)
{
    testing::fillPiece(m, 300, melodyEntry);
    ASSERT_FALSE(fs::exists(files())); // saving makes the folder
    ASSERT_EQ(SaveComposition(m, files(), "song", dialogs), SaveResult::Saved);

    Modulo1 loaded;
    ASSERT_EQ(LoadComposition(loaded, surface, dialogs, files() / "song.txt"), LoadResult::Loaded);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(loaded.NoteCount, 300);
    for (int i = 0; i <= 300; ++i)
        ASSERT_EQ(loaded.Composition.at(i), m.Composition.at(i)) << "position " << i;
    EXPECT_EQ(readBytes(files() / "song.txt"), WriteCompositionText(m.Composition, 300));
}

TEST_F(Storage, savingUnderAnExistingNameReplacesItAndLeavesNoTemporaryBehind)
{
    fs::create_directories(files());
    writeBytes(files() / "song.txt", entryLines(40) + "\"_\",111,111,111\r\n");
    ::chmod((files() / "song.txt").c_str(), 0640);

    testing::fillPiece(m, 2, quarterNote);
    ASSERT_EQ(SaveComposition(m, files(), "song", dialogs), SaveResult::Saved);
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
        EXPECT_EQ(SaveComposition(m, files(), name, dialogs), SaveResult::NameRefused);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_NE(dialogs.shown[0].text.find("Nothing was saved"), std::string::npos);
    }
    EXPECT_TRUE(namesIn(files()).empty());
    EXPECT_EQ(namesIn(m_temp.path()), std::vector<std::string> { "files" });
    // The longest name the file system holds, and names a person might type, are fine.
    for (const std::string& name : { std::string(251, 'x'), std::string("la mia canzone. 2"), std::string("..a") })
        EXPECT_EQ(SaveComposition(m, files(), name, dialogs), SaveResult::Saved) << name;
}

TEST_F(Storage, aFolderThatCannotBeMadeIsReportedWithTheSystemsReason)
{
    writeBytes(m_temp.path() / "plain", "not a folder");
    testing::fillPiece(m, 2, quarterNote);
    const Modulo1 before = m;
    EXPECT_EQ(SaveComposition(m, m_temp.path() / "plain" / "files", "song", dialogs), SaveResult::Failed);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find(std::strerror(ENOTDIR)), std::string::npos) << dialogs.shown[0].text;
    EXPECT_EQ(m.NoteCount, before.NoteCount);
    EXPECT_EQ(readBytes(m_temp.path() / "plain"), "not a folder");
}

TEST_F(Storage, aFailedReplacementKeepsWhatStoodThereAndRemovesTheTemporary)
{
    // A folder where the file would go: writing succeeds, replacing fails.
    fs::create_directories(files() / "song.txt");
    writeBytes(files() / "song.txt" / "inside", "kept");
    EXPECT_EQ(SaveComposition(m, files(), "song", dialogs), SaveResult::Failed);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find(std::strerror(EISDIR)), std::string::npos) << dialogs.shown[0].text;
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
    EXPECT_EQ(SaveComposition(m, files(), "song", dialogs), SaveResult::Failed);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find(std::strerror(EACCES)), std::string::npos);
    EXPECT_EQ(readBytes(files() / "song.txt"), "\"_\",111,111,111\r\n");
}

TEST_F(Storage, aFileThatCannotBeReadLeavesTheCompositionAndTheStaffAsTheyWere)
{
    fs::create_directories(files() / "folder.txt");
    writeBytes(files() / "gone.txt", "\"_\",0,7,2\r\n");
    fs::remove(files() / "gone.txt"); // deleted after it was listed
    testing::fillPiece(m, 4, quarterNote);
    m.WriteIndex = 2;
    m.CursorColumn = 2;
    surface.line(1, 2, 3, 4, staff::Black);
    const auto marks = surface.marks;

    for (const char* name : { "gone.txt", "folder.txt" }) {
        SCOPED_TRACE(name);
        dialogs.shown.clear();
        EXPECT_EQ(LoadComposition(m, surface, dialogs, files() / name), LoadResult::Unreadable);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_NE(dialogs.shown[0].text.find(name), std::string::npos);
        EXPECT_EQ(m.NoteCount, 4);
        EXPECT_EQ(m.WriteIndex, 2);
        EXPECT_EQ(m.CursorColumn, 2);
        EXPECT_EQ(m.Composition.at(4), EndEntry);
        EXPECT_EQ(surface.clears, 0);
        EXPECT_EQ(surface.marks, marks);
    }
    EXPECT_NE(dialogs.shown[0].text.find(std::strerror(EISDIR)), std::string::npos);
}

TEST_F(Storage, loadingPutsTheEndMarkerAtTheNewCountOverALongerPiece)
{
    testing::fillPiece(m, 50, melodyEntry);
    fs::create_directories(files());
    struct Case {
        const char* what;
        std::string bytes;
        int count;
    };
    const std::vector<Case> cases = {
        { "an empty file", "", 0 },
        { "the end line alone", "\"_\",111,111,111\r\n", 0 },
        { "garbage between entries, no end line", entryLines(2) + "\x01\x02garbage\xfe\r\n" + entryLines(1), 3 },
        { "2000 lines", entryLines(2000), MaxEntries },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(files() / "case.txt", c.bytes);
        ASSERT_EQ(LoadComposition(m, surface, dialogs, files() / "case.txt"), LoadResult::Loaded);
        EXPECT_EQ(m.NoteCount, c.count);
        EXPECT_EQ(m.WriteIndex, c.count);
        EXPECT_EQ(m.Composition.at(c.count), EndEntry);
        if (c.count > 0) {
            EXPECT_EQ(m.Composition.at(c.count - 1), (Entry { 0, 14, 2 }));
        }
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

std::vector<float> barsOn(const RecordingSurface& s)
{
    std::vector<float> xs;
    for (const auto& mark : s.marksOf(RecordingSurface::Kind::FilledRectangle))
        if (mark.y1 == 50 && mark.y2 == 90 && mark.x2 - mark.x1 == 1)
            xs.push_back(mark.x1);
    return xs;
}

std::vector<float> headsOn(const RecordingSurface& s)
{
    std::vector<float> xs;
    for (const auto& mark : s.marksOf(RecordingSurface::Kind::Circle))
        xs.push_back(mark.x1);
    return xs;
}

// The staff shows the page that holds the cursor, which stands after the
// last entry: a piece of exactly one page leaves an empty next page.
TEST_F(Storage, loadingShowsThePageOfTheCursorWithItsEntriesAndBars)
{
    fs::create_directories(files());
    struct Case {
        int count;
        int column;
        std::vector<float> heads;
        std::vector<float> bars;
    };
    // Page 2 of 120 quarters holds entries 114 to 119 in columns 0 to 5, and
    // the measures ending at entries 115 and 119.
    const std::vector<Case> cases = {
        { 120, 6, { 100, 120, 140, 160, 180, 200 }, { 90, 130, 210 } },
        { 57, 0, {}, { 90 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        writeBytes(files() / "piece.txt", entryLines(c.count) + "\"_\",111,111,111\r\n");
        ASSERT_EQ(LoadComposition(m, surface, dialogs, files() / "piece.txt"), LoadResult::Loaded);
        EXPECT_EQ(m.NoteCount, c.count);
        EXPECT_EQ(m.WriteIndex, c.count);
        EXPECT_EQ(m.CursorColumn, c.column);
        EXPECT_EQ(surface.cursorLeft, ColumnX(c.column));
        EXPECT_EQ(headsOn(surface), c.heads);
        EXPECT_EQ(barsOn(surface), c.bars);
    }
}

TEST_F(Storage, aLoadedPieceIsDrawnWholeWithItsRestsAndFlags)
{
    // Eighth notes whose flags reach into the next column, and a quarter rest.
    fs::create_directories(files());
    writeBytes(files() / "flags.txt", entryLines(4, "\"_\",0,14,3\r\n") + "\"_\",-1,0,2\r\n\"_\",111,111,111\r\n");
    ASSERT_EQ(LoadComposition(m, surface, dialogs, files() / "flags.txt"), LoadResult::Loaded);

    EXPECT_EQ(surface.visibleRestImages(), 1);
    EXPECT_EQ(headsOn(surface).size(), 4u);
    for (const auto& mark : surface.marks)
        EXPECT_NE(mark.colour, staff::White) << "a wipe over the drawn piece";
    EXPECT_EQ(surface.cursorLeft, ColumnX(5));
}

} // namespace
} // namespace zintaro::storage
