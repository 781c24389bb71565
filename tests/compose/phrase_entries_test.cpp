#include "compose/phrase_entries.h"
#include "compose/workspace.h"
#include "compose_rig.h"
#include "core/written_piece.h"

#include <gtest/gtest.h>

namespace zintaro::compose {
namespace {

// Two hundred phrases of every level, written into the composition, fill
// their measures exactly and sound as long as the phrase, each tied note
// struck once.
TEST(PhraseEntries, phrasesOfEveryLevelFillTheirMeasuresAndSoundAsLongAsWritten)
{
    const auto meters = offeredMeters();
    for (int level = FirstLevel; level <= LastLevel; ++level) {
        for (uint32_t seed = 0; seed < 200; ++seed) {
            PracticeChoices practice;
            practice.level = level;
            const Meter meter = meters[seed % meters.size()];
            const auto phrase = generateMelody(compositionPhraseRequest(practice, {}, meter, seed));
            ASSERT_TRUE(phrase) << level << " " << seed;
            const std::vector<Entry> entries = entriesOfPhrase(*phrase);
            testing::ComposeRig rig;
            for (std::size_t p = 0; p < entries.size(); ++p)
                rig.m.Composition.set(static_cast<int>(p), entries[p]);
            rig.m.NoteCount = static_cast<int>(entries.size());
            rig.m.Composition.set(rig.m.NoteCount, EndEntry);
            rig.m.PieceMeter = meter;

            const auto measures = measuresOf(rig.m.Composition, rig.m.NoteCount, meter);
            ASSERT_EQ(measures.size(), 4u) << level << " " << seed;
            for (const Measure& m : measures)
                ASSERT_TRUE(m.closed && !m.red) << level << " " << seed;

            int sixteenths = 0;
            int struck = 0;
            bool tied = false;
            for (const auto& measure : phrase->measures)
                for (const MelodyNote& n : measure) {
                    sixteenths += n.length;
                    struck += !n.isRest() && !tied ? 1 : 0;
                    tied = n.tiedToNext;
                }
            Playback playback { rig.m, rig.ports };
            auto next = playback.start(0);
            Millis end = 0;
            for (; next; next = playback.advance(*next))
                end = *next;
            EXPECT_EQ(end, static_cast<Millis>(std::ceil(sixteenths * rig.m.TempoDurations[0] / 16)))
                << level << " " << seed;
            EXPECT_EQ(static_cast<int>(rig.system.notesOn().size()), struck) << level << " " << seed;
        }
    }
}

// In the workspace: a phrase in the practice's key replaces the piece in one
// change; a range below the composition's staff gives none and says so;
// deleting the note a tie leads into keeps the tie only into the same note.
TEST(PhraseEntries, theWorkspaceWritesAPhraseOrSaysWhyNot)
{
    testing::ComposeRig rig;
    Workspace w { rig.ports, {}, {} };
    PracticeChoices practice;
    practice.key = { 2 };
    w.choosePractice(practice, 0, 1);
    w.apply(WriteNote { 4 });
    Report r = w.writePhrase(7);
    EXPECT_EQ(r.piece, PieceOutcome::Changed);
    EXPECT_TRUE(r.said.empty());
    EXPECT_EQ(w.state().PieceKey, (Key { 2 }));
    EXPECT_GT(w.state().NoteCount, 4);
    w.undo();
    EXPECT_EQ(w.state().NoteCount, 1);

    practice.clef = Clef::Bass;
    practice.range() = { natural(Letter::C, 2), natural(Letter::E, 3) };
    w.choosePractice(practice, 0, 1);
    r = w.writePhrase(7);
    EXPECT_EQ(r.piece, PieceOutcome::Unchanged);
    EXPECT_NE(r.said.render().find("da Fa3 a Mi6"), std::string::npos) << r.said.render();
    EXPECT_EQ(w.state().NoteCount, 1);

    for (const int16_t after : { 7, 9 }) {
        w.apply(ReplacePiece { { { 0, 7, 2, false, true }, { 0, 7, 2 }, { 0, after, 2 } }, {}, {} });
        w.moveCursor(CursorMove::Left);
        w.moveCursor(CursorMove::Left);
        w.apply(DeleteAtCursor {});
        EXPECT_EQ(w.state().Composition.at(0).TiedToNext, after == 7);
    }
}

} // namespace
} // namespace zintaro::compose
