#include "compose/editing.h"
#include "compose/modes.h"
#include "compose/note_entry.h"
#include "compose_rig.h"
#include "staff/staff.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace zintaro::compose {
namespace {

using testing::ComposeRig;
using testing::RecordingSurface;

constexpr Entry A { 0, 7, 2 };
constexpr Entry B { 0, 9, 2 };
constexpr Entry C { 0, 11, 2 };

class EditingTest : public ::testing::Test {
protected:
    void play(Entry e)
    {
        rig.m.CurrentDuration = e.DurationCode;
        enterNote(rig.m, rig.surface, rig.dialogs, true, e.RestFlag != 0, e.NoteIndex, e.DurationCode);
    }
    void play(std::initializer_list<Entry> entries)
    {
        for (const Entry& e : entries)
            play(e);
    }
    void moveTo(int position)
    {
        while (rig.m.WriteIndex > position)
            moveCursor(rig.m, rig.ports, CursorMove::Left);
        while (rig.m.WriteIndex < position)
            moveCursor(rig.m, rig.ports, CursorMove::Right);
    }
    // Quarter notes draw one head each, quarter rests one image each.
    size_t headsShown() const { return rig.surface.marksOf(RecordingSurface::Kind::Circle).size(); }

    void expectCursorOn(int position)
    {
        EXPECT_EQ(rig.m.WriteIndex, position);
        EXPECT_EQ(rig.m.CursorColumn, position % StaffColumns);
        EXPECT_EQ(rig.surface.cursorLeft, columnX(position % StaffColumns));
        if (rig.m.NoteCount > 0) {
            EXPECT_EQ(rig.m.Composition.at(rig.m.NoteCount), EndEntry);
        }
    }

    ComposeRig rig;
};

TEST_F(EditingTest, aRestIsInsertedAtTheCursorWhichStaysOnIt)
{
    const Entry R { -1, 0, 0 }; // a whole rest: no head, no image
    const struct {
        int cursor;
        std::vector<Entry> piece;
    } rows[] = {
        { 0, { R, A, B } },
        { 1, { A, R, B } },
        { 2, { A, B, R } },
    };
    for (const auto& row : rows) {
        newComposition(rig.m, rig.ports);
        play({ A, B });
        moveTo(row.cursor);
        rig.m.CurrentDuration = 0;
        insertRest(rig.m, rig.ports);
        EXPECT_EQ(rig.piece(), row.piece) << "cursor " << row.cursor;
        expectCursorOn(row.cursor);
        EXPECT_EQ(headsShown(), 2u);
    }
}

TEST_F(EditingTest, aRestOnAnEmptyCompositionIsFollowedByTheEndMarker)
{
    newComposition(rig.m, rig.ports);
    rig.m.CurrentDuration = 2;
    insertRest(rig.m, rig.ports);
    EXPECT_EQ(rig.piece(), (std::vector<Entry> { { -1, 0, 2 } }));
    expectCursorOn(0);
    EXPECT_EQ(rig.surface.visibleRestImages(), 1);
}

TEST_F(EditingTest, deletingRemovesTheEntryAtTheCursorOrTheLastOneAtTheEnd)
{
    const struct {
        int cursor;
        std::vector<Entry> piece;
        int cursorAfter;
    } rows[] = {
        { 0, { B, C }, 0 },
        { 1, { A, C }, 1 },
        { 2, { A, B }, 2 },
        { 3, { A, B }, 2 },
    };
    for (const auto& row : rows) {
        newComposition(rig.m, rig.ports);
        play({ A, B, C });
        moveTo(row.cursor);
        deleteAtCursor(rig.m, rig.ports);
        EXPECT_EQ(rig.piece(), row.piece) << "cursor " << row.cursor;
        expectCursorOn(row.cursorAfter);
        EXPECT_EQ(headsShown(), 2u) << "the staff shows what the piece holds";
        EXPECT_EQ(rig.m.Composition.at(3), Entry {}) << "nothing is left after the end marker";
    }
}

TEST_F(EditingTest, deletingOnAnEmptyCompositionDoesNothing)
{
    newComposition(rig.m, rig.ports);
    const int clears = rig.surface.clears;
    deleteAtCursor(rig.m, rig.ports);
    EXPECT_EQ(rig.m.NoteCount, 0);
    EXPECT_EQ(rig.m.WriteIndex, 0);
    EXPECT_EQ(rig.surface.clears, clears);
    rig.m.CurrentDuration = 2;
    play(A);
    EXPECT_EQ(rig.piece(), (std::vector<Entry> { A }));
}

TEST_F(EditingTest, theCursorStaysWithinThePieceAndMovesWithoutRedrawingOnOnePage)
{
    play({ A, B });
    const int clears = rig.surface.clears;
    moveCursor(rig.m, rig.ports, CursorMove::Right);
    expectCursorOn(2);
    moveCursor(rig.m, rig.ports, CursorMove::Left);
    moveCursor(rig.m, rig.ports, CursorMove::Left);
    moveCursor(rig.m, rig.ports, CursorMove::Left);
    expectCursorOn(0);
    moveCursor(rig.m, rig.ports, CursorMove::Left);
    expectCursorOn(0);
    EXPECT_EQ(rig.surface.clears, clears);

    play(C);
    EXPECT_EQ(rig.piece(), (std::vector<Entry> { C, B }));
}

TEST_F(EditingTest, editsOnTheSecondPageChangeTheirPositionsAndShowThatPage)
{
    std::vector<Entry> notes;
    for (int i = 0; i < 100; ++i)
        notes.push_back({ 0, static_cast<int16_t>(i % 36), 2 });
    for (const Entry& e : notes)
        play(e);

    moveTo(70);
    rig.m.CurrentDuration = 2;
    insertRest(rig.m, rig.ports);
    std::vector<Entry> expected = notes;
    expected.insert(expected.begin() + 70, Entry { -1, 0, 2 });
    EXPECT_EQ(rig.piece(), expected);
    expectCursorOn(70);
    // Page 1 holds positions 57..100: 43 notes and the rest in column 13.
    EXPECT_EQ(headsShown(), 43u);
    EXPECT_EQ(rig.surface.visibleRestImages(), 1);
    EXPECT_EQ(rig.surface.restLeft[0], 20 * 13 + 97);

    deleteAtCursor(rig.m, rig.ports);
    EXPECT_EQ(rig.piece(), notes);
    expectCursorOn(70);
    EXPECT_EQ(headsShown(), 43u);

    moveTo(57);
    const int clears = rig.surface.clears;
    moveCursor(rig.m, rig.ports, CursorMove::Left);
    EXPECT_GT(rig.surface.clears, clears) << "crossing to page 0 shows it";
    expectCursorOn(56);
    EXPECT_EQ(headsShown(), 57u);
}

TEST_F(EditingTest, showingTheCompositionDrawsThePageOfTheCursorAndNewClearsIt)
{
    for (int i = 0; i < 60; ++i)
        play(A);
    moveTo(10);
    rig.surface.clear();
    showComposition(rig.m, rig.ports);
    EXPECT_EQ(headsShown(), 57u);
    expectCursorOn(10);

    newComposition(rig.m, rig.ports);
    EXPECT_EQ(rig.m.NoteCount, 0);
    EXPECT_EQ(rig.m.Composition.at(0), (Entry { -1, 0, 0 }));
    EXPECT_EQ(rig.m.Composition.at(60), Entry {});
    EXPECT_EQ(headsShown(), 0u);
    EXPECT_EQ(rig.m.WriteIndex, 0);
    EXPECT_EQ(rig.m.CursorColumn, 0);
    EXPECT_EQ(rig.surface.cursorLeft, 100);
}

TEST_F(EditingTest, aFullCompositionRefusesARestButStillDeletes)
{
    for (int i = 0; i < MaxEntries; ++i)
        play(A);
    ASSERT_EQ(rig.m.NoteCount, 1000);

    moveTo(500);
    insertRest(rig.m, rig.ports);
    EXPECT_EQ(rig.m.NoteCount, 1000);
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_EQ(rig.dialogs.shown[0].text, CompositionFullText);
    expectCursorOn(500);

    moveTo(1000);
    deleteAtCursor(rig.m, rig.ports);
    EXPECT_EQ(rig.m.NoteCount, 999);
    expectCursorOn(999);
    EXPECT_EQ(rig.m.Composition.at(1000), Entry {});
}

// The piece as a plain list, edited by the same rules.
struct Reference {
    std::vector<Entry> piece;
    int cursor = 0;
};

TEST_F(EditingTest, longRandomEditingKeepsTheStoreCursorAndStaffConsistent)
{
    std::mt19937 random(20261207);
    Reference ref;
    size_t refusals = 0;
    int fullSeen = 0;
    for (int step = 0; step < 100000; ++step) {
        const int kind = std::uniform_int_distribution<int>(0, 999)(random);
        const auto note = static_cast<int16_t>(std::uniform_int_distribution<int>(0, 35)(random));
        const auto duration = static_cast<int16_t>(std::uniform_int_distribution<int>(0, 6)(random));
        rig.m.CurrentDuration = duration;
        const int size = static_cast<int>(ref.piece.size());
        if (kind < 350) {
            enterNote(rig.m, rig.surface, rig.dialogs, true, false, note, duration);
            if (ref.cursor < size) {
                ref.piece[static_cast<size_t>(ref.cursor++)] = { 0, note, duration };
            } else if (size < MaxEntries) {
                ref.piece.push_back({ 0, note, duration });
                ++ref.cursor;
            } else {
                ++refusals;
            }
        } else if (kind < 570) {
            insertRest(rig.m, rig.ports);
            if (size < MaxEntries)
                ref.piece.insert(ref.piece.begin() + ref.cursor, Entry { -1, 0, duration });
            else
                ++refusals;
        } else if (kind < 690) {
            deleteAtCursor(rig.m, rig.ports);
            if (size > 0) {
                ref.cursor = std::min(ref.cursor, size - 1);
                ref.piece.erase(ref.piece.begin() + ref.cursor);
            }
        } else if (kind < 845) {
            moveCursor(rig.m, rig.ports, CursorMove::Right);
            ref.cursor = std::min(ref.cursor + 1, size);
        } else {
            moveCursor(rig.m, rig.ports, CursorMove::Left);
            ref.cursor = std::max(ref.cursor - 1, 0);
        }
        if (random() % 25000 == 0) {
            newComposition(rig.m, rig.ports);
            ref = {};
        }
        fullSeen += rig.m.NoteCount == MaxEntries ? 1 : 0;

        ASSERT_GE(rig.m.NoteCount, 0) << "step " << step;
        ASSERT_LE(rig.m.NoteCount, MaxEntries) << "step " << step;
        // Only the empty state, as "Nuovo" leaves it, has no end marker.
        if (rig.m.NoteCount > 0) {
            ASSERT_EQ(rig.m.Composition.at(rig.m.NoteCount), EndEntry) << "step " << step;
        }
        ASSERT_GE(rig.m.WriteIndex, 0) << "step " << step;
        ASSERT_LE(rig.m.WriteIndex, rig.m.NoteCount) << "step " << step;
        ASSERT_EQ(rig.m.CursorColumn, rig.m.WriteIndex % StaffColumns) << "step " << step;
        ASSERT_EQ(rig.m.WriteIndex, ref.cursor) << "step " << step;
        ASSERT_EQ(rig.piece(), ref.piece) << "step " << step;
    }
    EXPECT_EQ(rig.dialogs.shown.size(), refusals);
    EXPECT_GT(fullSeen, 0) << "the walk reached a full composition";
}

} // namespace
} // namespace zintaro::compose
