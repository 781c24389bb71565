#include "compose/answering.h"
#include "compose/trainer.h"
#include "compose_rig.h"
#include "core/pitch.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace zintaro::compose {
namespace {

namespace fs = std::filesystem;
using testing::ComposeRig;
using testing::RecordingSurface;
using Bytes = testing::RecordingMidiSystem::Bytes;

class AnsweringTest : public ::testing::Test {
protected:
    AnsweringTest()
    {
        rig.m.DrawScale = 5; // "Leggi" enlarges the staff
        trainer.enter(7);
    }
    ~AnsweringTest() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    int16_t shown() const { return trainer.state().note; }
    int16_t wrongFor(int16_t note) const { return static_cast<int16_t>(note == 7 ? 9 : 7); }

    // The colours of the head circles drawn since the column was last wiped.
    std::vector<staff::Rgb> headColours() const
    {
        std::vector<staff::Rgb> colours;
        for (const auto& mark : rig.surface.marks) {
            if (mark.kind == RecordingSurface::Kind::FilledRectangle && mark.colour == staff::White)
                colours.clear();
            else if (mark.kind == RecordingSurface::Kind::Circle)
                colours.push_back(mark.colour);
        }
        return colours;
    }

    void answer(int16_t index, int64_t at)
    {
        answering.keyDown(index, at, false);
        answering.keyUp(index, at + 50);
    }

    size_t historyLines() const
    {
        std::ifstream in(folder / "answers.csv");
        size_t lines = 0;
        for (std::string line; std::getline(in, line);)
            ++lines;
        return lines;
    }

    // A folder of its own under the temporary folder, removed afterwards.
    static fs::path makeFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "zintaro-answering-XXXXXX").string();
        return mkdtemp(pattern.data()) ? fs::path { pattern } : fs::temp_directory_path() / "zintaro-answering";
    }

    fs::path folder = makeFolder();
    ComposeRig rig;
    Trainer trainer { rig.m, rig.ports };
    Answering answering { rig.m, rig.ports, trainer, folder / "answers.csv" };
};

TEST_F(AnsweringTest, aRightAnswerTurnsTheHeadGreenAndTheNextNoteComesAfterThePause)
{
    answering.start(1000);
    const int16_t first = shown();
    rig.system.sent.clear();

    answering.keyDown(first, 2400, false);
    EXPECT_EQ(headColours(), std::vector<staff::Rgb>(6, staff::Green));
    EXPECT_EQ(rig.system.notesOn(), std::vector<int> { midiNoteOfKey(first) });
    EXPECT_TRUE(rig.piano.keys.at(static_cast<size_t>(first)));
    answering.keyUp(first, 2450);
    EXPECT_FALSE(rig.piano.anyPressed());
    EXPECT_EQ(answering.scoreLabel().render(), "giuste 1 su 1 · 1,4 s");
    EXPECT_EQ(rig.m.NoteCount, 0) << "answers are not written into the composition";

    ASSERT_EQ(answering.nextDue(), 2400 + NextNoteDelayMs);
    answering.timerDue(2400 + NextNoteDelayMs);
    EXPECT_NE(shown(), first);
    EXPECT_EQ(headColours(), std::vector<staff::Rgb>(6, staff::Black));
    EXPECT_EQ(answering.judge().shownNote(), midiNoteOfKey(shown()));
}

TEST_F(AnsweringTest, aWrongAnswerTurnsTheHeadRedThenTheRightNoteFollowsInTheChosenVoice)
{
    const struct {
        bool mute, speak;
        std::vector<int> notesOn; // the student's note, then the correction
        size_t spoken;
    } rows[] = {
        { false, false, { 0, 1 }, 0 }, // "Suona": both sound
        { false, true, {}, 2 }, // "Parla": both names spoken
        { true, false, {}, 0 }, // "Muto": only keys shown
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "mute " << row.mute << " speak " << row.speak);
        rig.m.Mute = row.mute;
        rig.m.SpeakNames = row.speak;
        answering.start(0);
        const int16_t note = shown();
        const int16_t wrong = wrongFor(note);
        rig.system.sent.clear();
        rig.speech.said.clear();

        answering.keyDown(wrong, 1000, false);
        EXPECT_EQ(headColours(), std::vector<staff::Rgb>(6, staff::Red));
        EXPECT_TRUE(rig.piano.keys.at(static_cast<size_t>(wrong)));
        answering.keyUp(wrong, 1100);
        // The correction shows its key for CorrectionMs, then lets it go.
        EXPECT_TRUE(rig.piano.keys.at(static_cast<size_t>(note)));
        ASSERT_EQ(answering.nextDue(), 1100 + CorrectionMs);
        answering.timerDue(1100 + CorrectionMs);
        EXPECT_FALSE(rig.piano.anyPressed());

        std::vector<int> expectedOn;
        for (int which : row.notesOn)
            expectedOn.push_back(midiNoteOfKey(which == 0 ? wrong : note));
        EXPECT_EQ(rig.system.notesOn(), expectedOn);
        EXPECT_EQ(rig.speech.said.size(), row.spoken);
        if (!row.mute && !row.speak) {
            // The student's note-off comes before the correction's note-on.
            EXPECT_EQ(rig.system.sent.at(1), (Bytes { 0x90, static_cast<uint8_t>(midiNoteOfKey(wrong)), 0, 0 }));
            EXPECT_EQ(rig.system.sent.back(), (Bytes { 0x90, static_cast<uint8_t>(midiNoteOfKey(note)), 0, 0 }));
        }
        EXPECT_EQ(answering.judge().shownNote(), midiNoteOfKey(note)) << "the note stays until answered right";
        EXPECT_EQ(answering.scoreLabel().render(), "giuste 0 su 1 · 1,0 s");
        answering.stop();
    }
}

TEST_F(AnsweringTest, randomNotesNeverRepeatAndScaleRestartsAtC4GoingUp)
{
    answering.start(0);
    int64_t now = 0;
    for (int i = 0; i < 200; ++i) {
        const int16_t before = shown();
        answer(before, now += 500);
        answering.timerDue(now += NextNoteDelayMs);
        if (answering.judge().showingSummary())
            answer(0, now += 10); // a key press starts the next session
        ASSERT_NE(shown(), before) << "draw " << i;
    }

    rig.m.ScaleWalk = true;
    trainer.restartScaleWalk();
    answering.showNewNote(now);
    EXPECT_EQ(shown(), 7); // C4
    answer(7, now += 500);
    answering.timerDue(now += NextNoteDelayMs);
    EXPECT_EQ(shown(), 9); // D4
}

TEST_F(AnsweringTest, twentyRightNotesShowTheSummaryAndTheNextKeyStartsANewSessionUnjudged)
{
    answering.start(0);
    int64_t now = 0;
    answer(wrongFor(shown()), now += 300);
    answering.timerDue(now += CorrectionMs + 50);
    for (int i = 0; i < SessionNoteCount; ++i) {
        answer(shown(), now += 1000);
        answering.timerDue(now += NextNoteDelayMs);
    }
    ASSERT_TRUE(answering.judge().showingSummary());
    ASSERT_EQ(rig.surface.texts.size(), 6u); // the wrong answer's words, then the summary
    EXPECT_EQ(rig.surface.texts[1].text, "Giuste al primo colpo: 95 %");
    EXPECT_TRUE(headColours().empty()) << "the summary replaces the note";
    EXPECT_EQ(historyLines(), 1u + 1u + SessionNoteCount); // header, the wrong answer, the right ones

    const size_t sentBefore = rig.system.sent.size();
    answering.keyDown(wrongFor(shown()), now += 2000, false);
    EXPECT_FALSE(answering.judge().showingSummary());
    EXPECT_EQ(answering.scoreLabel().render(), "giuste 0 su 0");
    EXPECT_EQ(historyLines(), 1u + 1u + SessionNoteCount) << "the key that starts a session is not judged";
    EXPECT_GT(rig.system.sent.size(), sentBefore) << "it still sounds";
    const auto& text = rig.surface.texts.back();
    const auto wipes = rig.surface.marksOf(RecordingSurface::Kind::FilledRectangle);
    EXPECT_TRUE(std::any_of(wipes.begin(), wipes.end(), [&text](const RecordingSurface::Mark& w) {
        return w.colour == staff::White && w.x1 <= float(text.left) && w.y1 <= float(text.top) && w.x2 >= 1000
            && w.y2 >= float(text.top + text.pixelHeight);
    })) << "the summary is wiped";
}

TEST_F(AnsweringTest, stoppingDuringACorrectionSilencesItAndClearsTheScore)
{
    answering.start(0);
    const int16_t note = shown();
    answer(wrongFor(note), 500);
    ASSERT_TRUE(rig.piano.keys.at(static_cast<size_t>(note)));
    answering.stop();
    EXPECT_FALSE(rig.piano.anyPressed());
    EXPECT_EQ(rig.system.notesOff().back(), midiNoteOfKey(note));
    EXPECT_EQ(answering.scoreLabel().render(), "");
    EXPECT_FALSE(answering.nextDue());
}

TEST(AnsweringHistoryTest, aFailingHistoryIsToldWhileItFailsAndAnsweringGoesOn)
{
    ComposeRig rig;
    rig.m.DrawScale = 5;
    Trainer trainer { rig.m, rig.ports };
    trainer.enter(3);
    // A folder that cannot be made: its parent is a file, whoever runs the test.
    const fs::path blocker = fs::temp_directory_path() / ("zintaro-blocker-" + std::to_string(getpid()));
    std::ofstream(blocker) << "x";
    Answering answering { rig.m, rig.ports, trainer, blocker / "zintaro" / "answers.csv" };
    answering.start(0);

    answering.keyDown(trainer.state().note, 500, false);
    const auto failure = answering.history().failure();
    EXPECT_TRUE(failure && !failure->empty());
    answering.keyUp(trainer.state().note, 550);
    answering.timerDue(900);
    answering.keyDown(trainer.state().note, 1400, false);
    EXPECT_EQ(answering.history().failure(), failure) << "the answers wait";
    EXPECT_EQ(answering.scoreLabel().render(), "giuste 2 su 2 · 0,5 s");
    fs::remove(blocker);
    answering.keyUp(trainer.state().note, 1450);
    answering.timerDue(1900);
    answering.keyDown(trainer.state().note, 2400, false);
    EXPECT_FALSE(answering.history().failure()) << "written now";
    EXPECT_EQ(storage::readAnswerHistory(blocker / "zintaro" / "answers.csv").size(), 3U);
    fs::remove_all(blocker);
}

TEST_F(AnsweringTest, aBlackKeyShownAsWrittenIsSpokenSoAnsweredByItsKeyAndKeptWithItsSpelling)
{
    PracticeChoices choices;
    choices.accidentals = true;
    choices.range().lowest = { Letter::A, Accidental::Natural, 4 };
    choices.range().highest = { Letter::B, Accidental::Natural, 4 };
    answering.setPracticeChoices(choices);
    answering.seedDraw(3);
    rig.m.SpeakNames = true;
    answering.start(0);
    int64_t now = 0;
    std::vector<std::string> spelled;
    for (int i = 0; i < 12; ++i) {
        const DrawnNote note = trainer.shown();
        spelled.push_back(spelledText(note.note));
        const auto key = static_cast<int16_t>(keyOfMidiNote(note.midiNote()));
        rig.speech.said.clear();
        answer(key == 16 ? 18 : 16, now += 1000); // a wrong key first: the correction names the note
        answering.timerDue(now += CorrectionMs + 100);
        ASSERT_FALSE(rig.speech.said.empty());
        EXPECT_EQ(rig.speech.said.back(), noteName(note.note, NoteNaming::Solfege, false));
        answer(key, now += 1000);
        answering.timerDue(now += NextNoteDelayMs);
    }
    EXPECT_NE(std::find(spelled.begin(), spelled.end(), "A#4"), spelled.end());
    EXPECT_NE(std::find(spelled.begin(), spelled.end(), "Bb4"), spelled.end());

    // Two lines a note: the miss and the right key, both with the note as it was written.
    const auto rows = storage::readAnswerHistory(folder / "answers.csv");
    ASSERT_EQ(rows.size(), 24U);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(spelledText(rows[i].spelledNote()), spelled[i / 2]);
        EXPECT_EQ(rows[i].record.right, i % 2 == 1);
        EXPECT_EQ(rows[i].record.mode, AnswerMode::Random);
        EXPECT_EQ(rows[i].sessionUtcMs, rows[0].sessionUtcMs);
    }
}

} // namespace
} // namespace zintaro::compose
