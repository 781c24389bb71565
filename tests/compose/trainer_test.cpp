#include "compose/trainer.h"
#include "compose_rig.h"

#include <gtest/gtest.h>
#include <map>

namespace zintaro::compose {
namespace {

using testing::ComposeRig;
using testing::RecordingSurface;

class TrainerTest : public ::testing::Test {
protected:
    TrainerTest()
    {
        rig.m.DrawScale = 5; // "Leggi" enlarges the staff
    }

    // The notes shown over `count` notes (two ticks each).
    std::vector<int16_t> showNotes(int count)
    {
        std::vector<int16_t> shown;
        for (int i = 0; i < count; ++i) {
            trainer.tick();
            EXPECT_TRUE(trainer.state().showPhase);
            shown.push_back(trainer.state().note);
            trainer.tick();
        }
        return shown;
    }

    ComposeRig rig;
    Trainer trainer { rig.m, rig.ports };
};

TEST(TrainerStepTest, randomDrawsRoundHalfToEvenIntoFourToEighteen)
{
    const struct {
        double u;
        int step;
    } rows[] = { { 0.0, 4 }, { 0.03, 4 }, { 0.04, 5 }, { 0.25, 8 }, { 0.5, 11 }, { 0.75, 14 }, { 0.96, 17 },
        { 0.97, 18 }, { 0.9999999, 18 } };
    for (const auto& row : rows)
        EXPECT_EQ(randomTrainerStep(row.u), row.step) << "u " << row.u;
}

TEST_F(TrainerTest, theScaleWalksUpFromC4ToC6AndBackOneNotePerTwoTicks)
{
    trainer.restartScaleWalk();
    rig.m.ScaleWalk = true;
    trainer.enter(1);
    const std::vector<int16_t> expected = { 7, 9, 11, 12, 14, 16, 18, 19, 21, 23, 24, 26, 28, 30, 31, // up
        30, 28, 26, 24, 23, 21, 19, 18, 16, 14, 12, 11, 9, 7, // down
        9, 11 };
    EXPECT_EQ(showNotes(static_cast<int>(expected.size())), expected);
}

TEST_F(TrainerTest, aFixedSeedGivesTheSameNotes)
{
    trainer.enter(2024);
    std::vector<int> steps;
    for (int i = 0; i < 10; ++i) {
        showNotes(1);
        steps.push_back(trainer.state().step);
    }
    EXPECT_EQ(steps, (std::vector<int> { 12, 15, 14, 14, 7, 12, 5, 17, 7, 18 }));
}

TEST_F(TrainerTest, randomStepsCoverFourToEighteenWithTheEndsHalfAsLikely)
{
    trainer.enter(7);
    std::map<int, int> counts;
    for (int i = 0; i < 10000; ++i) {
        showNotes(1);
        ++counts[trainer.state().step];
    }
    ASSERT_EQ(counts.size(), 15u);
    EXPECT_EQ(counts.begin()->first, 4);
    EXPECT_EQ(counts.rbegin()->first, 18);
    // 1/28 of the draws for each end, 1/14 for each step between.
    for (const auto& [step, n] : counts) {
        const double expected = (step == 4 || step == 18) ? 10000.0 / 28 : 10000.0 / 14;
        EXPECT_NEAR(n, expected, expected * 0.2) << "step " << step;
    }
}

TEST_F(TrainerTest, mutedNotesAreShownButNeverSoundedOrSpoken)
{
    rig.m.Mute = true;
    trainer.enter(3);
    showNotes(10);
    trainer.leave();
    EXPECT_TRUE(rig.system.sent.empty());
    EXPECT_TRUE(rig.speech.said.empty());
    EXPECT_FALSE(rig.piano.anyPressed());
    EXPECT_FALSE(rig.surface.marksOf(RecordingSurface::Kind::Circle).empty());
}

TEST_F(TrainerTest, speakingNamesSaysTheNoteInTheSecondTickAndSendsNoMidi)
{
    rig.m.SpeakNames = true;
    rig.m.ScaleWalk = true;
    trainer.restartScaleWalk();
    trainer.enter(3);
    trainer.tick();
    EXPECT_TRUE(rig.speech.said.empty());
    trainer.tick();
    EXPECT_EQ(rig.speech.said, (std::vector<std::string> { "Do" }));
    showNotes(3);
    trainer.leave();
    EXPECT_EQ(rig.speech.said, (std::vector<std::string> { "Do", "Re", "Mi", "Fa" }));
    EXPECT_TRUE(rig.system.sent.empty());
}

TEST_F(TrainerTest, soundedNotesShowTheirKeyAndAreSilencedBeforeTheNextOrOnLeaving)
{
    trainer.enter(11);
    for (int i = 0; i < 20; ++i) {
        trainer.tick();
        EXPECT_FALSE(rig.piano.anyPressed()) << "a new note is shown with every key released";
        trainer.tick();
        EXPECT_TRUE(rig.piano.isPressed(trainer.state().note));
        EXPECT_EQ(rig.system.notesOn().back(), 53 + trainer.state().note);
    }
    trainer.leave();

    // Every note-on is followed by its own note-off before anything else sounds.
    const auto& sent = rig.system.sent;
    ASSERT_EQ(sent.size(), 40u);
    for (size_t i = 0; i < sent.size(); i += 2) {
        EXPECT_NE(sent[i][2], 0);
        EXPECT_EQ(sent[i + 1][2], 0);
        EXPECT_EQ(sent[i + 1][1], sent[i][1]);
    }
    EXPECT_FALSE(rig.piano.anyPressed());
}

TEST_F(TrainerTest, aKeyTheUserHoldsStaysPressed)
{
    rig.m.ScaleWalk = true;
    trainer.restartScaleWalk();
    trainer.enter(1);
    rig.piano.setPressed(7, true);
    showNotes(1);
    trainer.tick();
    EXPECT_TRUE(rig.piano.isPressed(7));
    EXPECT_EQ(rig.system.notesOff(), (std::vector<int> { 60 }));
}

TEST_F(TrainerTest, theCompositionAndItsCursorAreLeftAsTheyWere)
{
    for (int16_t i = 0; i < 5; ++i)
        rig.m.Composition.set(i, { 0, i, 2 });
    rig.m.NoteCount = 5;
    rig.m.Composition.set(5, EndEntry);
    rig.m.WriteIndex = 3;
    rig.m.CursorColumn = 3;
    const CompositionStore before = rig.m.Composition;

    trainer.enter(5);
    showNotes(7);
    trainer.leave();

    EXPECT_EQ(rig.m.WriteIndex, 3);
    EXPECT_EQ(rig.m.CursorColumn, 3);
    EXPECT_EQ(rig.m.NoteCount, 5);
    EXPECT_EQ(rig.m.Composition.RestFlag, before.RestFlag);
    EXPECT_EQ(rig.m.Composition.NoteIndex, before.NoteIndex);
    EXPECT_EQ(rig.m.Composition.DurationCode, before.DurationCode);
}

TEST_F(TrainerTest, eachNewNoteErasesThePreviousOneInTheTrainersColumn)
{
    trainer.enter(9);
    showNotes(2);

    const auto& marks = rig.surface.marks;
    std::vector<size_t> erases, heads;
    for (size_t i = 0; i < marks.size(); ++i) {
        const auto& mk = marks[i];
        if (mk.kind == RecordingSurface::Kind::FilledRectangle && mk.colour == staff::White)
            erases.push_back(i);
        if (mk.kind == RecordingSurface::Kind::Circle)
            heads.push_back(i);
    }
    ASSERT_EQ(erases.size(), 2u);
    // The wipe covers the enlarged whole note of column 0, centred at x 500.
    EXPECT_LE(marks[erases[1]].x1, 500 - 25);
    EXPECT_GE(marks[erases[1]].x2, 500 + 25);
    EXPECT_FLOAT_EQ(marks[heads.front()].x1, 500);
    // Rings of the first note, then the wipe, then the rings of the second.
    EXPECT_LT(erases[0], heads.front());
    const auto secondHeads = std::count_if(heads.begin(), heads.end(), [&](size_t h) { return h > erases[1]; });
    EXPECT_EQ(secondHeads, 6);
    EXPECT_EQ(heads.size(), 12u);
}

} // namespace
} // namespace zintaro::compose
