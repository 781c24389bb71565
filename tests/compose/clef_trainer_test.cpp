#include "compose/answering.h"
#include "compose/keyboard_octaves.h"
#include "compose/trainer.h"
#include "compose_rig.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace zintaro::compose {
namespace {

namespace fs = std::filesystem;
using testing::ComposeRig;
using testing::RecordingSurface;

struct ClefRange {
    Clef clef;
    const char* lowest;
    const char* highest;
};
constexpr ClefRange Ranges[] = {
    { Clef::Treble, "C4", "C6" },
    { Clef::Bass, "G2", "C4" },
    { Clef::Grand, "C3", "C5" },
};

int stepOf(const char* text)
{
    return stepsFromMiddleC(*parseSpelled(text));
}

class ClefTrainerTest : public ::testing::Test {
protected:
    ClefTrainerTest() { rig.m.DrawScale = 5; }
    ~ClefTrainerTest() override
    {
        std::error_code ignored;
        fs::remove(history, ignored);
    }

    // Answers the shown note right with `play`, then waits for the next one.
    template<class Play> void answerRight(Play&& play)
    {
        play(trainer.shown().midiNote());
        answering.timerDue(now += NextNoteDelayMs);
        if (answering.judge().showingSummary()) {
            answering.noteDown(0, now += 10); // a key press starts the next session
            answering.noteUp(0, now += 10);
        }
    }

    ComposeRig rig;
    Trainer trainer { rig.m, rig.ports };
    fs::path history = fs::temp_directory_path() / ("zintaro-clefs-" + std::to_string(getpid()) + ".csv");
    Answering answering { rig.m, rig.ports, trainer, history };
    int64_t now = 0;
};

TEST_F(ClefTrainerTest, eachClefDrawsEveryNaturalOfItsRangeAndWalksItsScaleUpAndBack)
{
    for (const ClefRange& range : Ranges) {
        SCOPED_TRACE(clefWord(range.clef));
        trainer.setClef(range.clef);
        rig.m.ScaleWalk = false;
        trainer.enter(11);
        std::set<int> steps;
        for (int i = 0; i < 400; ++i) {
            trainer.tick();
            const DrawnNote& shown = trainer.shown();
            EXPECT_EQ(shown.clef, range.clef);
            EXPECT_EQ(shown.note.accidental, Accidental::Natural);
            EXPECT_EQ(trainer.state().note, shown.midiNote() - midiNoteOfKey(0));
            steps.insert(stepsFromMiddleC(shown.note));
            trainer.tick();
        }
        trainer.leave();
        EXPECT_EQ(*steps.begin(), stepOf(range.lowest));
        EXPECT_EQ(*steps.rbegin(), stepOf(range.highest));
        EXPECT_EQ(steps.size(), static_cast<std::size_t>(stepOf(range.highest) - stepOf(range.lowest) + 1));

        rig.m.ScaleWalk = true;
        trainer.restartScaleWalk();
        std::vector<int> walk;
        const int span = stepOf(range.highest) - stepOf(range.lowest);
        for (int i = 0; i <= 2 * span + 1; ++i) {
            trainer.tick();
            walk.push_back(stepsFromMiddleC(trainer.shown().note));
            trainer.tick();
        }
        trainer.leave();
        std::vector<int> expected;
        for (int s = stepOf(range.lowest); s <= stepOf(range.highest); ++s)
            expected.push_back(s);
        for (int s = stepOf(range.highest) - 1; s >= stepOf(range.lowest); --s)
            expected.push_back(s);
        expected.push_back(stepOf(range.lowest) + 1);
        EXPECT_EQ(walk, expected);
    }
}

TEST_F(ClefTrainerTest, theBassTrainerSoundsNotesBelowThePianoWithoutShowingAKey)
{
    trainer.setClef(Clef::Bass);
    rig.m.ScaleWalk = true;
    trainer.restartScaleWalk();
    trainer.enter(1);
    trainer.tick();
    trainer.tick();
    EXPECT_EQ(rig.system.notesOn(), std::vector<int> { 43 }); // G2
    EXPECT_FALSE(rig.piano.anyPressed());
    trainer.leave();
    EXPECT_EQ(rig.system.notesOff(), std::vector<int> { 43 });

    rig.m.SpeakNames = true;
    trainer.tick();
    trainer.tick();
    EXPECT_EQ(rig.speech.said, std::vector<std::string> { "La" });
}

TEST_F(ClefTrainerTest, everyClefIsAnsweredByExactMidiNoteFromShiftedKeysOrAMidiKeyboard)
{
    const struct {
        Clef clef;
        int shift;
        int lowest, highest; // the range each staff starts with
    } rows[] = { { Clef::Treble, 0, 60, 84 }, { Clef::Bass, BassKeyboardShift, 43, 60 }, { Clef::Grand, -1, 48, 72 } };
    for (const auto& row : rows) {
        SCOPED_TRACE(clefWord(row.clef));
        trainer.setClef(row.clef);
        PracticeChoices choices;
        choices.clef = row.clef;
        answering.setPracticeChoices(choices);
        answering.setKeyboardShift(row.shift);
        answering.start(now);
        int right = 0;
        for (int i = 0; i < 30; ++i) {
            const int shown = trainer.shown().midiNote();
            EXPECT_GE(shown, row.lowest);
            EXPECT_LE(shown, row.highest);
            const int key = shiftedKeyOfMidiNote(shown, row.shift);
            if (key >= 0 && key < NoteCountOnPiano) {
                // The key an octave too high is wrong; the shifted key is right.
                const auto octaveUp = static_cast<int16_t>(key + 12);
                if (octaveUp < NoteCountOnPiano) {
                    answering.keyDown(octaveUp, now += 100, false);
                    ASSERT_EQ(rig.system.notesOn().back(), shown + 12);
                    answering.keyUp(octaveUp, now += 50);
                    while (const auto due = answering.nextDue())
                        answering.timerDue(now = std::max(now, *due));
                    ASSERT_EQ(trainer.shown().midiNote(), shown) << "a wrong octave leaves the note";
                }
                answerRight([&](int) {
                    answering.keyDown(static_cast<int16_t>(key), now += 300, false);
                    EXPECT_EQ(rig.system.notesOn().back(), shown);
                    answering.keyUp(static_cast<int16_t>(key), now += 50);
                });
            } else {
                answerRight([&](int note) {
                    answering.noteDown(note, now += 300);
                    answering.noteUp(note, now += 50);
                });
            }
            ++right;
        }
        EXPECT_GT(right, 0);
        EXPECT_FALSE(rig.piano.anyPressed());
        answering.stop();
    }

    // Every answer is kept with the staff and the spelling of its note.
    std::vector<Clef> clefs;
    for (const AnswerHistoryRow& row : storage::readAnswerHistory(history)) {
        ASSERT_TRUE(row.clef && row.spelled && row.sessionUtcMs);
        EXPECT_EQ(midiNoteOf(*row.spelled), row.record.shown);
        EXPECT_LE(*row.sessionUtcMs, row.utcMs);
        if (clefs.empty() || clefs.back() != *row.clef)
            clefs.push_back(*row.clef);
    }
    EXPECT_EQ(clefs, (std::vector<Clef> { Clef::Treble, Clef::Bass, Clef::Grand }));
}

TEST_F(ClefTrainerTest, aNoteChosenElsewhereIsShownSpelledOnTheTrainersStaves)
{
    trainer.setClef(Clef::Grand);
    trainer.showDrawnNote({ *parseSpelled("Db4"), Clef::Treble, true });
    EXPECT_EQ(trainer.shown(), (DrawnNote { *parseSpelled("Db4"), Clef::Grand, true }));
    EXPECT_EQ(trainer.state().note, 61 - midiNoteOfKey(0));
    EXPECT_EQ(rig.surface.marksOf(RecordingSurface::Kind::Flat).size(), 1u);
    EXPECT_EQ(rig.surface.nameLabels, "Re bemolle");
}

TEST_F(ClefTrainerTest, aKeyHeldWhileTheOctavesMoveEndsTheNoteItStarted)
{
    trainer.setClef(Clef::Bass);
    answering.setKeyboardShift(-2);
    answering.start(0);
    answering.keyDown(7, 100, false); // T: C2 with the keys two octaves down
    answering.setKeyboardShift(0);
    answering.keyUp(7, 150);
    EXPECT_EQ(rig.system.notesOn().front(), 36);
    EXPECT_EQ(rig.system.notesOff().front(), 36);
    EXPECT_FALSE(rig.piano.keys[7]);

    answering.setKeyboardShift(-9);
    EXPECT_EQ(answering.keyboardShift(), LowestKeyboardShift);
    answering.setKeyboardShift(4);
    EXPECT_EQ(answering.keyboardShift(), HighestKeyboardShift);
}

TEST(KeyboardOctaves, theStatusTextNamesTheKeysLowestAndHighestNotes)
{
    EXPECT_EQ(keyboardRangeText(-2, NoteNaming::Solfege).render(), "Tastiera: Fa1\u2013Mi4");
    EXPECT_EQ(keyboardRangeText(0, NoteNaming::Solfege).render(), "Tastiera: Fa3\u2013Mi6");
    EXPECT_EQ(keyboardRangeText(-3, NoteNaming::Solfege).render(), "Tastiera: Fa0\u2013Mi3");
    EXPECT_EQ(keyboardRangeText(1, NoteNaming::Letters).render(), "Tastiera: F4\u2013E7");
}

} // namespace
} // namespace zintaro::compose
