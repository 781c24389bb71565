#include "compose/piece_file.h"
#include "compose_rig.h"
#include "storage/storage_test_support.h"

#include <gtest/gtest.h>

namespace zintaro::compose {
namespace {

namespace fs = std::filesystem;
using testing::RecordingSurface;

std::string entryLines(int count, const std::string& line = "\"_\",0,14,2\r\n")
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += line;
    return out;
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

class PieceFileTest : public ::testing::Test {
protected:
    fs::path write(const std::string& name, const std::string& bytes)
    {
        testing::writeBytes(folder.path() / name, bytes);
        return folder.path() / name;
    }
    testing::TemporaryFolder folder;
    testing::ComposeRig rig;
};

// The staff shows the page that holds the cursor, which stands after the
// last entry: a piece of exactly one page leaves an empty next page.
TEST_F(PieceFileTest, loadingShowsThePageOfTheCursorWithItsEntriesAndBars)
{
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
        rig.surface.marks.clear();
        ASSERT_TRUE(loadComposition(rig.m, rig.ports, write("piece.txt", entryLines(c.count) + "\"_\",111,111,111\r\n"))
                        .replaced);
        EXPECT_EQ(rig.m.NoteCount, c.count);
        EXPECT_EQ(rig.m.WriteIndex, c.count);
        EXPECT_EQ(rig.m.CursorColumn, c.column);
        EXPECT_EQ(rig.surface.cursorLeft, columnX(c.column));
        EXPECT_EQ(headsOn(rig.surface), c.heads);
        EXPECT_EQ(barsOn(rig.surface), c.bars);
    }
}

TEST_F(PieceFileTest, aLoadedPieceIsDrawnWholeWithItsRestsAndFlags)
{
    // Eighth notes whose flags reach into the next column, and a quarter rest.
    ASSERT_TRUE(loadComposition(rig.m, rig.ports,
        write("flags.txt", entryLines(4, "\"_\",0,14,3\r\n") + "\"_\",-1,0,2\r\n\"_\",111,111,111\r\n"))
                    .replaced);
    EXPECT_EQ(rig.surface.visibleRestImages(), 1);
    EXPECT_EQ(headsOn(rig.surface).size(), 4u);
    for (const auto& mark : rig.surface.marks)
        EXPECT_NE(mark.colour, staff::White) << "a wipe over the drawn piece";
    EXPECT_EQ(rig.surface.cursorLeft, columnX(5));
}

TEST_F(PieceFileTest, aFileThatCannotBeLoadedLeavesTheCompositionAndTheStaffAsTheyWere)
{
    fs::create_directories(folder.path() / "folder.txt");
    const fs::path foreign = write("picture.txt", "\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR");
    for (int i = 0; i < 4; ++i)
        rig.m.Composition.set(i, { 0, 14, 2 });
    rig.m.Composition.set(4, EndEntry);
    rig.m.NoteCount = 4;
    rig.m.WriteIndex = 2;
    rig.m.CursorColumn = 2;
    rig.surface.line(1, 2, 3, 4, staff::Black);
    const auto marks = rig.surface.marks;

    for (const fs::path& file : { folder.path() / "gone.txt", folder.path() / "folder.txt", foreign }) {
        SCOPED_TRACE(file.filename().string());
        const PieceLoad load = loadComposition(rig.m, rig.ports, file);
        EXPECT_FALSE(load.replaced);
        EXPECT_FALSE(load.text.empty()) << "why nothing was loaded";
        EXPECT_EQ(rig.m.NoteCount, 4);
        EXPECT_EQ(rig.m.WriteIndex, 2);
        EXPECT_EQ(rig.m.CursorColumn, 2);
        EXPECT_EQ(rig.m.Composition.at(4), EndEntry);
        EXPECT_EQ(rig.surface.clears, 0);
        EXPECT_EQ(rig.surface.marks, marks);
    }
}

} // namespace
} // namespace zintaro::compose
