#include "compose/keyboard_octaves.h"
#include "compose/workspace.h"
#include "compose_rig.h"
#include "storage/composition_format.h"
#include "storage/storage_test_support.h"
#include "support/full_disk.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace zintaro::compose {
namespace {

using testing::RecordingSurface;

struct WorkspaceRig : testing::ComposeRig {
    testing::TemporaryFolder folder;
    std::vector<int> layouts;
    Workspace workspace { ports, folder.path() / "answers.csv", [this](int scale) { layouts.push_back(scale); } };

    int noteOns() const { return static_cast<int>(system.notesOn().size()); }
    std::vector<Entry> piece() const
    {
        std::vector<Entry> out;
        out.reserve(static_cast<std::size_t>(workspace.state().NoteCount));
        for (int p = 0; p < workspace.state().NoteCount; ++p)
            out.push_back(workspace.state().Composition.at(p));
        return out;
    }
};

// Each mode from every other: the staff's scale, who keeps the beat and what
// the window is asked to do.
TEST(Workspace, everyModeButtonSetsTheScaleTheBeatAndTheWindowsPart)
{
    struct Case {
        Mode mode;
        int scale;
        bool trainerRuns;
        bool confirmNew;
        bool startPlayback;
    };
    const Case cases[] = {
        { Mode::Compose, 1, false, false, false },
        { Mode::Listen, 1, false, false, true },
        { Mode::New, 1, false, true, false },
        { Mode::Read, 5, true, false, false },
    };
    for (const Case& from : cases) {
        for (const Case& to : cases) {
            WorkspaceRig r;
            r.workspace.apply(WriteNote { 3 }); // a piece for "Ascolta" to play
            r.workspace.switchMode(from.mode, 0, 1);
            r.workspace.setAnswering(true, 0, 1);
            r.layouts.clear();
            const Report change = r.workspace.switchMode(to.mode, 0, 2);
            SCOPED_TRACE(static_cast<int>(from.mode) * 10 + static_cast<int>(to.mode));
            EXPECT_EQ(r.workspace.state().DrawScale, to.scale);
            EXPECT_EQ(r.layouts.back(), to.scale);
            EXPECT_EQ(r.layouts.front(), 1) << "every mode starts from the window's own scale";
            EXPECT_EQ(change.trainerBeat.has_value(), to.trainerRuns);
            EXPECT_FALSE(r.workspace.answering()) << "a mode button ends the answers";
            EXPECT_EQ(change.confirmNew, to.confirmNew);
            // A playback goes on to its end whatever mode follows.
            EXPECT_EQ(change.playbackDue.has_value(), to.startPlayback || from.startPlayback);
            EXPECT_EQ(change.maximize, to.mode == Mode::Read);
            EXPECT_EQ(r.workspace.mode(), to.mode);
        }
    }
}

// A key goes to the answers, to the piece, or nowhere; it sounds, is spoken
// or is only shown.
TEST(Workspace, keysAreRoutedByModeSwitchesAndRoom)
{
    enum class Setup { Compose, Speak, Answer, Full, MidiKeyboard };
    struct Case {
        Setup setup;
        int16_t key;
        int written; // entries the piece gains
        int noteOns;
        int spoken;
        bool answered;
        bool focusPiano;
        bool full;
    };
    const Case cases[] = {
        { Setup::Compose, 12, 1, 1, 0, false, true, false },
        { Setup::Compose, 36, 0, 0, 0, false, false, false },
        { Setup::Compose, -1, 0, 0, 0, false, false, false },
        { Setup::Speak, 12, 1, 0, 1, false, false, false },
        { Setup::MidiKeyboard, 12, 1, 0, 0, false, false, false },
        { Setup::Full, 12, 0, 0, 0, false, false, true },
        { Setup::Answer, 12, 0, 1, 0, true, false, false },
        { Setup::Answer, 40, 0, 0, 0, true, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.setup) * 100 + c.key);
        WorkspaceRig r;
        r.workspace.switchMode(Mode::Compose, 0, 1);
        if (c.setup == Setup::Speak)
            r.workspace.setSpeakNames(true);
        if (c.setup == Setup::Full) {
            for (int i = 0; i < MaxEntries; ++i)
                r.workspace.apply(WriteNote { 3 });
        }
        if (c.setup == Setup::Answer) {
            r.workspace.switchMode(Mode::Read, 0, 1);
            ASSERT_TRUE(r.workspace.setAnswering(true, 0, 1).answering);
        }
        const int before = r.workspace.state().NoteCount;
        r.system.sent.clear();
        r.speech.said.clear();
        const auto sound = c.setup == Setup::MidiKeyboard ? KeySound::DisplayOnly : KeySound::Sounded;
        const Report outcome = r.workspace.keyDown(c.key, 10, false, sound);
        EXPECT_EQ(r.workspace.state().NoteCount - before, c.written);
        EXPECT_EQ(r.noteOns(), c.noteOns);
        EXPECT_EQ(static_cast<int>(r.speech.said.size()), c.spoken);
        EXPECT_EQ(outcome.answering, c.answered);
        EXPECT_EQ(outcome.focusPiano, c.focusPiano);
        EXPECT_EQ(outcome.piece == PieceOutcome::Full, c.full);
        r.workspace.keyUp(c.key, 20, sound);
        EXPECT_TRUE(!isPianoNote(c.key) || !r.piano.isPressed(c.key)) << "the key is released";
    }
}

// Random edits against a plain model of the piece and its cursor: the piece,
// the cursor, and the staff page shown agree with the model after every step.
TEST(Workspace, randomEditsKeepPieceCursorAndPageAsAPlainModelSays)
{
    std::mt19937 random(2024);
    for (int run = 0; run < 20; ++run) {
        WorkspaceRig r;
        r.workspace.switchMode(Mode::Compose, 0, 1);
        std::vector<Entry> model;
        int cursor = 0;
        std::vector<Entry> saved;
        bool hasSaved = false;
        for (int step = 0; step < 300; ++step) {
            const int action = std::uniform_int_distribution<int>(0, 99)(random);
            const auto duration = static_cast<int16_t>(random() % 7);
            r.workspace.setDuration(duration);
            if (action < 55) {
                const auto key = static_cast<int16_t>(random() % 36);
                r.workspace.keyDown(key, step, false, KeySound::Sounded);
                r.workspace.keyUp(key, step, KeySound::Sounded);
                if (cursor == static_cast<int>(model.size()))
                    model.push_back({ 0, key, duration });
                else
                    model[static_cast<size_t>(cursor)] = { 0, key, duration };
                ++cursor;
            } else if (action < 63) {
                EXPECT_EQ(r.workspace.apply(InsertRest {}).piece, PieceOutcome::Changed);
                model.insert(model.begin() + cursor, Entry { -1, 0, duration });
            } else if (action < 71) {
                const auto outcome = r.workspace.apply(DeleteAtCursor {}).piece;
                EXPECT_EQ(outcome, model.empty() ? PieceOutcome::Unchanged : PieceOutcome::Changed);
                if (!model.empty()) {
                    cursor = std::min(cursor, static_cast<int>(model.size()) - 1);
                    model.erase(model.begin() + cursor);
                }
            } else if (action < 91) {
                const bool right = random() % 2 == 0;
                r.workspace.moveCursor(right ? CursorMove::Right : CursorMove::Left);
                cursor = right ? std::min(cursor + 1, static_cast<int>(model.size())) : std::max(cursor - 1, 0);
            } else if (action < 94) {
                ASSERT_TRUE(r.workspace.save(r.folder.path(), "piece").answer.empty());
                saved = model;
                hasSaved = true;
            } else if (action < 97 && hasSaved) {
                EXPECT_EQ(r.workspace.apply(LoadPiece { r.folder.path() / "piece.txt" }).piece, PieceOutcome::Changed);
                model = saved;
                cursor = static_cast<int>(model.size());
            } else if (action >= 97) {
                r.workspace.apply(NewPiece {});
                model.clear();
                cursor = 0;
            }
            ASSERT_EQ(r.piece(), model) << "step " << step;
            const Modulo1& m = r.workspace.state();
            ASSERT_EQ(m.WriteIndex, cursor) << "step " << step;
            ASSERT_EQ(m.CursorColumn, cursor % StaffColumns);
            ASSERT_EQ(r.surface.cursorLeft, columnX(cursor % StaffColumns));
            ASSERT_TRUE(m.NoteCount == 0 || m.Composition.at(m.NoteCount) == EndEntry);
        }
    }
}

TEST(Workspace, aFileThatIsNoCompositionLeavesThePieceAndIsToldOnce)
{
    WorkspaceRig r;
    r.workspace.apply(WriteNote { 5 });
    testing::writeBytes(r.folder.path() / "junk.txt", "not a piece\n");
    const Report loaded = r.workspace.apply(LoadPiece { r.folder.path() / "junk.txt" });
    EXPECT_EQ(loaded.piece, PieceOutcome::NotLoaded);
    EXPECT_EQ(r.piece(), (std::vector<Entry> { { 0, 5, 0 } }));
    EXPECT_EQ(loaded.told.size(), 1u);
    EXPECT_TRUE(r.workspace.report().told.empty()) << "told once";
}

// The staves chosen in "Pratica": the computer keys move to cover the new
// staff's range wherever the student put them, and a note awaiting an answer
// comes again on the new staves.
TEST(Workspace, aNewClefMovesTheKeysAndDrawsTheAwaitedNoteOnItsStaves)
{
    struct Case {
        Clef from;
        Clef to;
        int shiftBefore;
        int shiftAfter;
    };
    const Case cases[] = {
        { Clef::Treble, Clef::Bass, 0, BassKeyboardShift },
        { Clef::Bass, Clef::Treble, BassKeyboardShift, 0 },
        { Clef::Bass, Clef::Grand, -3, -1 },
        { Clef::Treble, Clef::Grand, 1, -1 },
        { Clef::Grand, Clef::Treble, -1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.from) * 10 + static_cast<int>(c.to));
        WorkspaceRig r;
        PracticeChoices practice;
        practice.clef = c.from;
        r.workspace.choosePractice(practice, 0, 1);
        r.workspace.switchMode(Mode::Read, 0, 1);
        r.workspace.setAnswering(true, 0, 1);
        r.workspace.shiftKeyboard(c.shiftBefore - r.workspace.reading().keyboardShift);
        ASSERT_EQ(r.workspace.reading().keyboardShift, c.shiftBefore);

        practice.clef = c.to;
        r.workspace.choosePractice(practice, 10, 2);
        EXPECT_EQ(r.workspace.reading().keyboardShift, c.shiftAfter);
        EXPECT_EQ(r.workspace.reading().shown.clef, c.to);
    }

    WorkspaceRig r;
    r.workspace.shiftKeyboard(-1);
    EXPECT_EQ(r.workspace.reading().keyboardShift, 0) << "the keys move by hand only in \"Leggi\"";
}

std::string fileOf(const Workspace& w)
{
    const Modulo1& m = w.state();
    return storage::writeCompositionText(m.Composition, m.NoteCount, m.PieceKey, m.PieceMeter);
}

// Random edits (notes, rests, deletions, cursor moves over page ends, new
// pieces, loads, keys and meters, whole pieces replaced), then undo to the start and redo to the end: the piece, its
// file, the cursor and the page shown are as they were at each end.
TEST(WorkspaceHistory, undoingEverythingGivesTheEmptyPieceAndRedoingGivesTheSameFile)
{
    std::mt19937 random(77);
    for (int run = 0; run < 8; ++run) {
        WorkspaceRig r;
        r.workspace.switchMode(Mode::Compose, 0, 1);
        testing::writeBytes(
            r.folder.path() / "other.txt", "\"key\",\"Bbm\"\r\n\"_\",0,3,2\r\n\"_\",-1,0,1\r\n\"_\",111,111,111\r\n");
        const std::string empty = fileOf(r.workspace);
        int changes = 0;
        for (int step = 0; step < 400; ++step) {
            r.workspace.setDuration(static_cast<int16_t>(random() % 7));
            const int action = static_cast<int>(random() % 100);
            PieceOutcome outcome = PieceOutcome::Unchanged;
            if (action < 50)
                outcome = r.workspace.apply(WriteNote { static_cast<int16_t>(random() % 36) }).piece;
            else if (action < 60)
                outcome = r.workspace.apply(InsertRest {}).piece;
            else if (action < 70)
                outcome = r.workspace.apply(DeleteAtCursor {}).piece;
            else if (action < 92)
                r.workspace.moveCursor(random() % 3 == 0 ? CursorMove::Right : CursorMove::Left);
            else if (action < 94)
                outcome = r.workspace
                              .apply(SetNotation { { static_cast<int>(random() % 15) - 7, KeyMode::Major },
                                  offeredMeters()[random() % offeredMeters().size()] })
                              .piece;
            else if (action < 96)
                outcome = r.workspace.apply(ReplacePiece { { { 0, 7, 1 }, { -1, 0, 2 } }, { 2 }, { 6, 8 } }).piece;
            else if (action < 98)
                outcome = r.workspace.apply(NewPiece {}).piece;
            else
                outcome = r.workspace.apply(LoadPiece { r.folder.path() / "other.txt" }).piece;
            changes += outcome == PieceOutcome::Changed ? 1 : 0;
        }
        const std::string end = fileOf(r.workspace);
        const int endCursor = r.workspace.state().WriteIndex;
        const int endLeft = r.surface.cursorLeft;
        int undone = 0;
        while (r.workspace.undo().piece == PieceOutcome::Changed)
            ++undone;
        EXPECT_EQ(undone, changes);
        EXPECT_EQ(fileOf(r.workspace), empty);
        EXPECT_EQ(r.workspace.state().WriteIndex, 0);
        EXPECT_EQ(r.surface.cursorLeft, columnX(0));
        while (r.workspace.redo().piece == PieceOutcome::Changed) { }
        EXPECT_EQ(fileOf(r.workspace), end);
        EXPECT_EQ(r.workspace.state().WriteIndex, endCursor);
        EXPECT_EQ(r.surface.cursorLeft, endLeft);
        EXPECT_FALSE(r.workspace.report().canRedo);
    }
}

// Undo keeps a thousand steps; older ones go, and a new change ends the redos.
TEST(WorkspaceHistory, aThousandStepsAreKeptAndANewChangeEndsTheRedos)
{
    WorkspaceRig r;
    for (int i = 0; i < static_cast<int>(PieceHistory::Depth) + 5; ++i) {
        r.workspace.apply(WriteNote { static_cast<int16_t>(i % 36) });
        r.workspace.moveCursor(CursorMove::Left);
    }
    int undone = 0;
    while (r.workspace.undo().piece == PieceOutcome::Changed)
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(PieceHistory::Depth));
    EXPECT_EQ(r.piece(), (std::vector<Entry> { { 0, 4, 0 } })) << "the fifth write is as far back as it goes";
    r.workspace.redo();
    r.workspace.apply(InsertRest {});
    EXPECT_FALSE(r.workspace.report().canRedo);
}

// A note written over a rest (or any entry) leaves only the note in the column.
TEST(WorkspaceHistory, aNoteOverAQuarterRestHidesTheRestsImage)
{
    WorkspaceRig r;
    r.workspace.switchMode(Mode::Compose, 0, 1);
    r.workspace.setDuration(2);
    r.workspace.apply(WriteNote { 3 });
    r.workspace.apply(InsertRest {});
    ASSERT_EQ(r.surface.visibleRestImages(), 1);
    r.workspace.apply(WriteNote { 5 });
    EXPECT_EQ(r.surface.visibleRestImages(), 0);
    EXPECT_EQ(r.piece(), (std::vector<Entry> { { 0, 3, 2 }, { 0, 5, 2 } }));
    r.workspace.undo();
    EXPECT_EQ(r.surface.visibleRestImages(), 1) << "the undone rest shows again";
}

// The recovery file follows the piece: there while it differs from what was
// last saved or loaded, gone when it does not; start-up takes back only a
// whole file and sets anything else aside.
TEST(Recovery, theFileFollowsThePieceAndStartUpTakesOnlyAWholeOne)
{
    testing::TemporaryFolder state;
    const auto file = state.path() / "zintaro" / "recovery.txt";
    {
        WorkspaceRig r;
        Workspace w { r.ports, {}, {}, file };
        w.apply(WriteNote { 4 });
        w.waitForSafeCopy();
        ASSERT_TRUE(std::filesystem::exists(file));
        ASSERT_TRUE(w.save(r.folder.path(), "saved").answer.empty());
        w.waitForSafeCopy();
        EXPECT_FALSE(std::filesystem::exists(file)) << "saved: nothing to recover";
        w.apply(WriteNote { 6 });
        w.undo();
        w.waitForSafeCopy();
        EXPECT_FALSE(std::filesystem::exists(file)) << "undone back to the saved piece";
        w.apply(WriteNote { 9 });
    }
    const Recovered found = recoverPiece(file);
    ASSERT_TRUE(found.piece);
    EXPECT_EQ(found.piece->entries, (std::vector<Entry> { { 0, 4, 0 }, { 0, 9, 0 } }));

    // A piece in a key and meter of its own keeps them through its copy.
    {
        WorkspaceRig r;
        const Key dMajor { 2, KeyMode::Major };
        const Meter threeFour { 3, 4 };
        CompositionStore store;
        store.set(0, { 0, 4, 0 });
        store.set(1, EndEntry);
        testing::writeBytes(r.folder.path() / "in_d.txt", storage::writeCompositionText(store, 1, dMajor, threeFour));
        Workspace w { r.ports, {}, {}, file };
        w.apply(LoadPiece { r.folder.path() / "in_d.txt" });
        w.apply(WriteNote { 6 });
        w.waitForSafeCopy();
        Workspace after { r.ports, {}, {}, file };
        after.restoreRecovered();
        EXPECT_EQ(after.state().NoteCount, 2);
        EXPECT_EQ(after.state().PieceKey, dMajor);
        EXPECT_EQ(after.state().PieceMeter, threeFour);
    }
    EXPECT_EQ(recoveredText(2).render(), "Ripristinata la composizione non salvata: 2 note.");
    EXPECT_EQ(recoveredText(1).render(), "Ripristinata la composizione non salvata: 1 nota.");
    EXPECT_TRUE(recoveredText(0).empty()) << "an empty piece needs no word";

    int damagedFiles = 0;
    for (const std::string& bytes : { std::string { "\"_\",0,4,0\r\n" }, std::string { "\x89PNG\r\n" } }) {
        testing::writeBytes(file, bytes);
        const Recovered damaged = recoverPiece(file);
        EXPECT_FALSE(damaged.piece);
        ASSERT_TRUE(damaged.notice);
        EXPECT_FALSE(std::filesystem::exists(file));
        int asides = 0;
        for (const auto& e : std::filesystem::directory_iterator(file.parent_path()))
            asides += e.path().filename().string().starts_with("recovery-damaged-") ? 1 : 0;
        EXPECT_EQ(asides, ++damagedFiles) << "set aside, never deleted, not even within one second";
    }
    EXPECT_FALSE(recoverPiece(file).notice) << "no file: nothing to tell";
}

// The safe copy failing is told for as long as it fails, above the notice of
// a piece brought back, and no longer once a copy is written or not needed.
TEST(Recovery, aSafeCopyThatCannotBeWrittenIsToldWhileItFails)
{
    testing::FullDisk disk;
    WorkspaceRig r;
    Workspace w { r.ports, {}, {}, r.folder.path() / "state" / "recovery.txt" };
    const auto noticeAfter = [&w](const auto& command) {
        command();
        w.waitForSafeCopy();
        return w.report().notices.piece.render();
    };
    EXPECT_EQ(
        noticeAfter([&] { w.restoreRecovered(storage::readCompositionText("\"_\",0,4,0\r\n\"_\",111,111,111\r\n")); }),
        "Ripristinata la composizione non salvata: 1 nota.");

    disk.full = true;
    for (const int16_t note : { 5, 6, 7 })
        EXPECT_NE(noticeAfter([&] {
            w.apply(WriteNote { note });
        }).find("la copia di sicurezza della composizione non si aggiorna"),
            std::string::npos)
            << "still told after the " << note << "th note";
    disk.full = false;
    EXPECT_EQ(noticeAfter([&] { w.apply(WriteNote { 8 }); }), "Ripristinata la composizione non salvata: 1 nota.");

    disk.full = true;
    EXPECT_FALSE(noticeAfter([&] { w.apply(WriteNote { 9 }); }).empty());
    disk.full = false;
    ASSERT_TRUE(w.save(r.folder.path(), "saved").answer.empty());
    EXPECT_EQ(noticeAfter([] {}), "") << "saved: the piece needs no copy";
}

} // namespace
} // namespace zintaro::compose
