#include "compose/note_entry.h"
#include "core/modulo1.h"
#include "staff/staff.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

namespace zintaro::compose {
namespace {

using staff::RestImages;
using staff::White;
using testing::RecordingSurface;
using Kind = RecordingSurface::Kind;

struct Rig {
    Modulo1 m;
    RecordingSurface s;

    EntryOutcome key(int16_t note, int16_t duration = 2)
    {
        m.CurrentDuration = duration;
        return enterNote(m, s, true, false, note, duration);
    }
};

bool hasWhiteErase(const RecordingSurface& s, float x1, float x2, float bottom)
{
    for (const auto& mark : s.marksOf(Kind::FilledRectangle))
        if (mark.colour == White && mark.x1 == x1 && mark.y1 == 0 && mark.x2 == x2 && mark.y2 == bottom)
            return true;
    return false;
}

TEST(NoteEntry, appendingTheFirstNoteWritesEndMarkerAndMovesTheCursor)
{
    Rig r;
    EXPECT_EQ(r.key(16, 2), EntryOutcome::Stored);
    EXPECT_EQ(r.m.Composition.at(0), (Entry { 0, 16, 2 }));
    EXPECT_EQ(r.m.Composition.at(1), EndEntry);
    EXPECT_EQ(r.m.NoteCount, 1);
    EXPECT_EQ(r.m.WriteIndex, 1);
    EXPECT_EQ(r.m.CursorColumn, 1);
    EXPECT_EQ(r.s.cursorLeft, 120);
    EXPECT_FALSE(hasWhiteErase(r.s, 90, 110, 145));
    EXPECT_EQ(r.s.marksOf(Kind::Circle).size(), 1u);
}

TEST(NoteEntry, overwritingInTheMiddleErasesTheColumnFirst)
{
    Rig r;
    for (int16_t i = 0; i < 10; ++i)
        r.key(i);
    r.m.WriteIndex = 3;
    r.m.CursorColumn = 3;
    r.s.clear();
    r.key(30, 5);
    ASSERT_FALSE(r.s.marks.empty());
    EXPECT_TRUE(hasWhiteErase(r.s, 150, 170, 145));
    EXPECT_EQ(r.s.marks.front().colour, White);
    EXPECT_EQ(r.m.Composition.at(3), (Entry { 0, 30, 5 }));
    EXPECT_EQ(r.m.Composition.at(4), (Entry { 0, 4, 2 }));
    EXPECT_EQ(r.m.NoteCount, 10);
    EXPECT_EQ(r.m.Composition.at(10), EndEntry);
    EXPECT_EQ(r.m.CursorColumn, 4);
    EXPECT_EQ(r.s.cursorLeft, 180);

    // The trainer's enlarged staff wipes the scaled column.
    RecordingSurface big;
    r.m.DrawScale = 5;
    eraseColumn(lookOf(r.m), big, 0);
    EXPECT_TRUE(hasWhiteErase(big, 450, 550, 725));
}

TEST(NoteEntry, listeningDrawsAndMovesButStoresNothing)
{
    Rig r;
    r.key(7);
    const CompositionStore before = r.m.Composition;
    r.m.Listening = true;
    EXPECT_EQ(r.key(9), EntryOutcome::Drawn);
    EXPECT_EQ(r.m.Composition.NoteIndex, before.NoteIndex);
    EXPECT_EQ(r.m.NoteCount, 1);
    EXPECT_EQ(r.m.CursorColumn, 2);
    EXPECT_EQ(r.s.marksOf(Kind::Circle).size(), 2u);
}

TEST(NoteEntry, everyEntryOfALongPieceKeepsItsOwnPositionAcrossPageTurns)
{
    Rig r;
    for (int i = 0; i < 120; ++i) {
        r.key(static_cast<int16_t>(i % 36), static_cast<int16_t>(i % 7));
        if (i == 56) {
            EXPECT_EQ(r.s.clears, 1);
            EXPECT_TRUE(r.s.marks.empty());
            EXPECT_EQ(r.s.staffLines[4].y1, 80);
            EXPECT_EQ(r.m.CursorColumn, 0);
            EXPECT_EQ(r.s.cursorLeft, 100);
            EXPECT_EQ(r.m.WriteIndex, 57);
        }
    }
    EXPECT_EQ(r.s.clears, 2);
    EXPECT_EQ(r.m.NoteCount, 120);
    EXPECT_EQ(r.m.WriteIndex, 120);
    EXPECT_EQ(r.m.CursorColumn, 6);
    EXPECT_EQ(r.s.cursorLeft, 220);
    for (int i = 0; i < 120; ++i)
        ASSERT_EQ(r.m.Composition.at(i), (Entry { 0, static_cast<int16_t>(i % 36), static_cast<int16_t>(i % 7) }))
            << "position " << i;
    EXPECT_EQ(r.m.Composition.at(120), EndEntry);
    // The last six entries are drawn in columns 0..5 of the third page.
    EXPECT_EQ(r.s.marksOf(Kind::Circle).front().x1, 100);
}

TEST(NoteEntry, aFullCompositionRefusesAppendsButStillOverwrites)
{
    Rig r;
    for (int i = 0; i < MaxEntries; ++i)
        r.key(static_cast<int16_t>(i % 36));
    ASSERT_EQ(r.m.NoteCount, 1000);
    const CompositionStore full = r.m.Composition;
    const auto marks = r.s.marks.size();
    const int column = r.m.CursorColumn;

    for (int attempt = 1; attempt <= 2; ++attempt) {
        EXPECT_EQ(r.key(20), EntryOutcome::Refused) << "attempt " << attempt;
    }
    EXPECT_EQ(r.m.Composition.NoteIndex, full.NoteIndex);
    EXPECT_EQ(r.m.Composition.at(1000), EndEntry);
    EXPECT_EQ(r.s.marks.size(), marks);
    EXPECT_EQ(r.m.WriteIndex, 1000);
    EXPECT_EQ(r.m.CursorColumn, column);

    r.m.WriteIndex = 5;
    EXPECT_EQ(r.key(20), EntryOutcome::Stored);
    EXPECT_EQ(r.m.Composition.at(5).NoteIndex, 20);
    EXPECT_EQ(r.m.NoteCount, 1000);

    // A write position beyond the store is refused as well, never written.
    r.m.WriteIndex = 1001;
    EXPECT_EQ(r.key(20), EntryOutcome::Refused);
    r.m.WriteIndex = -1;
    EXPECT_EQ(r.key(20), EntryOutcome::Refused);
}

TEST(NoteEntry, aPageOfQuarterRestsDrawsEveryRestBeyondTheImages)
{
    Rig r;
    for (int i = 0; i < 56; ++i)
        enterNote(r.m, r.s, false, true, 0, 2);
    EXPECT_EQ(r.s.visibleRestImages(), RestImages);
    EXPECT_EQ(r.s.restLeft[50], 20 * 50 + 97);
    const auto pictures = r.s.marksOf(Kind::RestPicture);
    ASSERT_EQ(pictures.size(), 5u);
    EXPECT_EQ(pictures.front().x1, 20 * 51 + 97);
    EXPECT_EQ(pictures.back().x1, 20 * 55 + 97);
    EXPECT_EQ(pictures.back().y1, 61);

    enterNote(r.m, r.s, false, true, 0, 2);
    EXPECT_EQ(r.s.visibleRestImages(), 0);
    EXPECT_TRUE(r.s.marks.empty());
    EXPECT_EQ(r.m.NoteCount, 0);
}

} // namespace
} // namespace zintaro::compose
