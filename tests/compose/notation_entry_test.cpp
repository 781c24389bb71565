#include "compose/modes.h"
#include "compose/note_entry.h"
#include "compose_rig.h"

#include <gtest/gtest.h>

namespace zintaro::compose {
namespace {

using testing::RecordingSurface;

// The signs drawn while a measure of quarters is entered, in the piece's key.
std::vector<RecordingSurface::Kind> signsEntering(Key key, std::initializer_list<int16_t> notes)
{
    testing::ComposeRig rig;
    newComposition(rig.m, rig.ports);
    rig.m.PieceKey = key;
    rig.m.CurrentDuration = 2;
    rig.surface.marks.clear();
    for (const int16_t note : notes)
        enterNote(rig.m, rig.surface, true, false, note, 2);
    std::vector<RecordingSurface::Kind> signs;
    for (const auto& mark : rig.surface.marks)
        if (mark.kind == RecordingSurface::Kind::Sharp || mark.kind == RecordingSurface::Kind::Flat
            || mark.kind == RecordingSurface::Kind::Natural)
            signs.push_back(mark.kind);
    return signs;
}

TEST(NotationEntry, anEnteredNoteShowsTheSignItsMeasureNeeds)
{
    using K = RecordingSurface::Kind;
    // Piano keys: 12 F4, 13 F#4, 17 Bb4.
    EXPECT_EQ(signsEntering({}, { 13, 13, 12 }), (std::vector<K> { K::Sharp, K::Natural }));
    EXPECT_EQ(signsEntering(Key { 2 }, { 13, 12, 13 }), (std::vector<K> { K::Natural, K::Sharp }));
    EXPECT_EQ(signsEntering(Key { -1 }, { 17, 13 }), (std::vector<K> { K::Flat }));
}

TEST(NotationEntry, aNewPieceStartsInCMajorAndFourFour)
{
    testing::ComposeRig rig;
    rig.m.PieceKey = Key { 3 };
    rig.m.PieceMeter = Meter { 6, 8 };
    newComposition(rig.m, rig.ports);
    EXPECT_EQ(rig.m.PieceKey, Key {});
    EXPECT_EQ(rig.m.PieceMeter, Meter {});
}

} // namespace
} // namespace zintaro::compose
