#include "compose/workspace.h"
#include "compose_rig.h"
#include "storage/storage_test_support.h"

#include <gtest/gtest.h>

namespace zintaro::compose {
namespace {

std::vector<Entry> pieceOf(const Workspace& w)
{
    std::vector<Entry> out;
    out.reserve(static_cast<std::size_t>(w.state().NoteCount));
    for (int p = 0; p < w.state().NoteCount; ++p)
        out.push_back(w.state().Composition.at(p));
    return out;
}

// The key and meter commands and a whole piece put in place: what each does
// to the piece, that undo takes it back, and that the safe copy keeps the
// key and meter for the next start (after a redo: the change again).
TEST(NotationCommands, changeKeyMeterAndPieceAndAreUndoneRedoneAndRecovered)
{
    const std::vector<Entry> written { { 0, 4, 0 }, { 0, 6, 0 } };
    const std::vector<Entry> phrase { { 0, 7, 1, true, true }, { 0, 7, 3 }, { -1, 0, 2, true }, { 0, 11, 2 } };
    // A tie into another note is no tie.
    const std::vector<Entry> brokenTie { { 0, 7, 2, false, true }, { 0, 8, 2 } };
    const std::vector<Entry> tooLong(1200, Entry { 0, 9, 3 });
    struct Case {
        PieceCommand command;
        bool changes;
        Key key;
        Meter meter;
        std::vector<Entry> piece;
        int cursor;
    };
    const std::vector<Case> cases = {
        { SetNotation { { 2 }, { 3, 4 } }, true, { 2 }, { 3, 4 }, written, 2 },
        { SetNotation { { -3, KeyMode::Minor }, { 12, 8 } }, true, { -3, KeyMode::Minor }, { 12, 8 }, written, 2 },
        { SetNotation { {}, {} }, false, {}, {}, written, 2 },
        { SetNotation { { 8 }, { 3, 4 } }, false, {}, {}, written, 2 },
        { SetNotation { { 1 }, { 5, 4 } }, false, {}, {}, written, 2 },
        { ReplacePiece { phrase, { -1 }, { 2, 2 } }, true, { -1 }, { 2, 2 }, phrase, 4 },
        { ReplacePiece { brokenTie, {}, {} }, true, {}, {}, { { 0, 7, 2 }, { 0, 8, 2 } }, 2 },
        { ReplacePiece { tooLong, { 5 }, { 6, 8 } }, true, { 5 }, { 6, 8 },
            std::vector<Entry>(MaxEntries, Entry { 0, 9, 3 }), MaxEntries },
        { ReplacePiece { phrase, { -8 }, { 2, 4 } }, false, {}, {}, written, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases.data()));
        testing::ComposeRig rig;
        testing::TemporaryFolder state;
        const auto file = state.path() / "recovery.txt";
        {
            Workspace w { rig.ports, {}, {}, file };
            w.apply(WriteNote { 4 });
            w.apply(WriteNote { 6 });
            const Report r = w.apply(c.command);
            EXPECT_EQ(r.piece, c.changes ? PieceOutcome::Changed : PieceOutcome::Unchanged);
            EXPECT_EQ(w.state().PieceKey, c.key);
            EXPECT_EQ(w.state().PieceMeter, c.meter);
            EXPECT_EQ(pieceOf(w), c.piece);
            EXPECT_EQ(w.state().WriteIndex, c.cursor);
            if (c.changes) {
                w.undo();
                EXPECT_EQ(w.state().PieceKey, Key {});
                EXPECT_EQ(w.state().PieceMeter, Meter {});
                EXPECT_EQ(pieceOf(w), written);
                EXPECT_EQ(w.state().WriteIndex, 2);
                w.redo();
            }
            w.waitForSafeCopy();
        }
        testing::ComposeRig later;
        Workspace next { later.ports, {}, {}, file };
        next.restoreRecovered();
        EXPECT_EQ(next.state().PieceKey, c.key) << "the next start takes the key back";
        EXPECT_EQ(next.state().PieceMeter, c.meter);
        EXPECT_EQ(pieceOf(next), c.piece);
    }
}

// The piece's signature and meter stand on the composition's staff only:
// "Leggi" shows the trainer's staves without them, "Componi" with them again.
TEST(NotationCommands, theTrainersStaffShowsNoneOfThePiecesSignature)
{
    testing::ComposeRig rig;
    Workspace w { rig.ports, {}, [&rig](int) { rig.surface.clear(); } };
    w.apply(SetNotation { { 3 }, { 6, 8 } });
    const auto signsAndFigures = [&rig] {
        return rig.surface.marksOf(testing::RecordingSurface::Kind::Sharp).size() + rig.surface.texts.size();
    };
    EXPECT_EQ(signsAndFigures(), 3u + 2u);
    w.switchMode(Mode::Read, 0, 1);
    w.close();
    EXPECT_EQ(rig.surface.marksOf(testing::RecordingSurface::Kind::Sharp).size(), 0u);
    w.switchMode(Mode::Compose, 0, 1);
    EXPECT_EQ(signsAndFigures(), 3u + 2u);
}

} // namespace
} // namespace zintaro::compose
