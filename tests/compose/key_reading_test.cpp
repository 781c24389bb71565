#include "compose/answer_judge.h"
#include "compose/keyboard_octaves.h"
#include "compose/workspace.h"
#include "compose_rig.h"
#include "storage/storage_test_support.h"
#include "support/spelled_texts.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace zintaro::compose {
namespace {

SpelledNote noteOf(const char* text)
{
    return *parseSpelled(text);
}

using zintaro::testing::textsOf;

PracticeChoices choicesOf(Clef clef, const char* from, const char* to, Key key = {}, bool accidentals = false)
{
    PracticeChoices choices;
    choices.clef = clef;
    choices.range() = { noteOf(from), noteOf(to) };
    choices.key = key;
    choices.accidentals = accidentals;
    return choices;
}

constexpr Key DMajor { 2, KeyMode::Major };
constexpr Key FMajor { -1, KeyMode::Major };

TEST(KeyReading, aKeyGivesItsOwnNotesAndWithAccidentalsTheOthersAsItSpellsThem)
{
    PracticeChoices spacesInD = choicesOf(Clef::Treble, "C4", "C5", DMajor);
    spacesInD.filter = NoteFilter::Spaces;
    const struct {
        PracticeChoices choices;
        const char* notes;
    } cases[] = {
        { choicesOf(Clef::Treble, "C4", "C5", DMajor), "C#4 D4 E4 F#4 G4 A4 B4 C#5" },
        { choicesOf(Clef::Treble, "E4", "G4", DMajor, true), "E4 F4 F#4 G4" },
        { choicesOf(Clef::Treble, "E4", "A4", FMajor, true), "E4 F4 Gb4 G4 Ab4 A4" },
        { choicesOf(Clef::Bass, "G2", "C3", { -3, KeyMode::Minor }), "G2 Ab2 Bb2 C3" },
        { spacesInD, "D4 F#4 A4 C#5" },
        { choicesOf(Clef::Treble, "E4", "G4", {}, true), "E4 F4 F#4 Gb4 G4" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(textsOf(writtenNotesOf(c.choices)), c.notes) << c.notes;
}

TEST(KeyReading, choicesWithFewerThanThreeNotesOrAFilterLeavingNoneAreRefusedWithWords)
{
    PracticeChoices ledgerInside = choicesOf(Clef::Treble, "E4", "G4");
    ledgerInside.filter = NoteFilter::Ledger;
    const struct {
        PracticeChoices choices;
        bool refused;
    } cases[] = {
        { choicesOf(Clef::Bass, "C2", "D2"), true },
        { choicesOf(Clef::Bass, "C2", "E2"), false },
        { choicesOf(Clef::Treble, "C4", "D4", DMajor), true }, // C#4 D4
        { choicesOf(Clef::Treble, "C4", "E4", DMajor), false },
        { ledgerInside, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(textsOf({ c.choices.range().lowest, c.choices.range().highest }));
        EXPECT_EQ(tooFewNotes(c.choices).has_value(), c.refused);

        testing::ComposeRig rig;
        testing::TemporaryFolder folder;
        Workspace workspace { rig.ports, folder.path() / "answers.csv", [](int) {} };
        const Report report = workspace.choosePractice(c.choices, 0, 1);
        EXPECT_EQ(report.told.size(), c.refused ? 1U : 0U);
        EXPECT_EQ(workspace.choices().practice == c.choices, !c.refused);
    }
}

TEST(KeyReading, theComputerKeysMoveToCoverAsMuchOfARangeAsTheyCan)
{
    const struct {
        int lowest;
        int highest;
        int shift;
    } cases[] = {
        { 60, 84, 0 }, // the treble staff's first range
        { 43, 60, -2 }, // the bass staff's
        { 48, 72, -1 }, // the grand staff's: from the treble keys C3–E3 were out of reach
        { 36, 84, -1 }, // wider than the keys: centred
        { 36, 40, -3 }, { 84, 96, 1 }, { 20, 25, -3 }, // below every shift: as near as they go
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shiftCovering(c.lowest, c.highest), c.shift) << c.lowest << "–" << c.highest;
        EXPECT_TRUE(keysReach((c.lowest + c.highest) / 2, c.shift)) << c.lowest;
    }
}

struct ReadingRig : testing::ComposeRig {
    testing::TemporaryFolder folder;
    Workspace workspace { ports, folder.path() / "answers.csv", [](int) {} };

    void answer(const PracticeChoices& choices, bool scale)
    {
        workspace.choosePractice(choices, 0, 1);
        workspace.switchMode(Mode::Read, 0, 1);
        workspace.setScaleWalk(scale, 0);
        workspace.setAnswering(true, 0, 1);
    }
    std::string shown() const { return spelledText(workspace.reading().shown.note); }
    // Plays the awaited note on the computer keys; the pause after it ends.
    void playRight(int64_t& now)
    {
        const int key = shiftedKeyOfMidiNote(*workspace.reading().awaited, workspace.reading().keyboardShift);
        workspace.keyDown(static_cast<int16_t>(key), now, false, KeySound::Sounded);
        workspace.keyUp(static_cast<int16_t>(key), now + 50, KeySound::Sounded);
        now += 1000;
        workspace.answersDue(now);
    }
};

TEST(KeyReading, theScaleWalksTheKeysScaleOverTheRangeChosen)
{
    const struct {
        PracticeChoices choices;
        const char* walk;
    } cases[] = {
        { choicesOf(Clef::Treble, "C4", "F4", DMajor), "C#4 D4 E4 F#4 E4 D4 C#4 D4" },
        { choicesOf(Clef::Bass, "C2", "E2"), "C2 D2 E2 D2 C2 D2 E2 D2" },
        { choicesOf(Clef::Treble, "A4", "D5", FMajor), "A4 Bb4 C5 D5 C5 Bb4 A4 Bb4" },
    };
    for (const auto& c : cases) {
        ReadingRig r;
        r.answer(c.choices, true);
        std::string walk = r.shown();
        int64_t now = 0;
        for (int i = 0; i < 7; ++i) {
            r.playRight(now);
            walk += ' ';
            walk += r.shown();
        }
        EXPECT_EQ(walk, c.walk);
    }
}

TEST(KeyReading, aKeyPressWhileTheNoteIsOutOfTheKeysReachIsNoAnswer)
{
    ReadingRig r;
    r.answer(choicesOf(Clef::Bass, "C2", "E2"), false);
    ASSERT_EQ(r.workspace.reading().keyboardShift, -3);
    r.workspace.shiftKeyboard(3); // F3–E6: C2–E2 out of reach
    const Report report = r.workspace.keyDown(0, 100, false, KeySound::Sounded);
    EXPECT_EQ(report.score.render(), "giuste 0 su 0");
    EXPECT_TRUE(storage::readAnswerHistory(r.folder.path() / "answers.csv").empty());
    EXPECT_FALSE(r.system.notesOn().empty()) << "the key still sounds";
}

// C4 E4 G4 asked; each row strikes keys (down, up or held) and says what is judged.
TEST(ChordAnswers, aChordIsJudgedOnceItsNotesAreInOrItsTimeIsOver)
{
    struct Stroke {
        int midi;
        int64_t down;
        int64_t up; // 0: held
    };
    const struct {
        const char* name;
        ChordInput input;
        std::vector<Stroke> strokes;
        int64_t judgedAt; // when the timer is due; 0: judged by the last key
        bool right;
        std::vector<int> wrong;
    } cases[] = {
        { "together on the computer keys", ChordInput::ComputerKeys, { { 60, 10, 0 }, { 64, 20, 0 }, { 67, 30, 0 } }, 0,
            true, {} },
        { "one after the other within 2 s", ChordInput::ComputerKeys,
            { { 67, 10, 50 }, { 60, 900, 950 }, { 64, 1900, 1950 } }, 0, true, {} },
        { "an octave off", ChordInput::ComputerKeys, { { 60, 10, 0 }, { 64, 20, 0 }, { 55, 30, 0 } }, 0, false,
            { 55 } },
        { "two keys, then nothing", ChordInput::ComputerKeys, { { 60, 10, 40 }, { 64, 20, 40 } }, 2011, false, {} },
        { "MIDI within 150 ms", ChordInput::MidiKeyboard, { { 64, 10, 0 }, { 60, 60, 0 }, { 67, 150, 0 } }, 0, true,
            {} },
        { "MIDI too slow", ChordInput::MidiKeyboard, { { 60, 10, 0 }, { 64, 60, 0 } }, 161, false, {} },
    };
    const std::vector<SpelledNote> chord { noteOf("C4"), noteOf("E4"), noteOf("G4") };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AnswerJudge judge;
        judge.setChordInput(c.input);
        judge.chordShown(chord, 0, AnswerMode::Random);
        AnswerResult last;
        for (const Stroke& s : c.strokes) {
            ASSERT_FALSE(last.record) << "judged before its notes were in";
            last = judge.keyDown(s.midi, s.down, false);
            if (s.up != 0 && !last.record)
                last = judge.keyUp(s.midi, s.up);
        }
        if (c.judgedAt != 0) {
            EXPECT_FALSE(last.record);
            ASSERT_EQ(judge.nextDue(), c.judgedAt);
            last = judge.timerDue(c.judgedAt);
        }
        ASSERT_TRUE(last.record);
        EXPECT_EQ(last.record->right, c.right);
        EXPECT_EQ(last.record->shown, 60);
        EXPECT_EQ(last.wrongNotes, c.wrong);
        EXPECT_EQ(judge.session().notes(), 1);
        if (c.right)
            continue;
        // Once the keys are up the right notes sound, all three.
        std::vector<AnswerStep> steps;
        for (const Stroke& s : c.strokes) {
            const AnswerResult up = judge.keyUp(s.midi, 3000);
            steps.insert(steps.end(), up.steps.begin(), up.steps.end());
        }
        const AnswerResult due = judge.timerDue(5000);
        steps.insert(steps.end(), due.steps.begin(), due.steps.end());
        const auto sounded = std::count_if(
            steps.begin(), steps.end(), [](AnswerStep s) { return s.action == AnswerAction::SoundCorrection; });
        EXPECT_EQ(sounded, 3);
    }
}

TEST(ChordAnswers, intervalsAndChordsShowInTheRangeAndTheHistoryKeepsTheirNotesAndKey)
{
    for (const Drill drill : { Drill::Intervals, Drill::Chords }) {
        ReadingRig r;
        PracticeChoices choices = choicesOf(Clef::Treble, "C4", "C5", DMajor);
        choices.drill = drill;
        r.answer(choices, false);
        const auto history = r.folder.path() / "answers.csv";
        int64_t now = 0;
        for (int i = 0; i < 6; ++i) {
            const DrawnNote shown = r.workspace.reading().shown;
            EXPECT_GE(shown.midiNote(), 60);
            EXPECT_NE(shown.note.letter == Letter::F || shown.note.letter == Letter::C,
                shown.note.accidental == Accidental::Natural)
                << spelledText(shown.note) << " is of D major";
            now += 100;
            // The notes asked, played one after the other on the computer keys.
            const auto rows = storage::readAnswerHistory(history);
            r.workspace.keyDown(static_cast<int16_t>(shown.midiNote() - 53), now, false, KeySound::Sounded);
            r.workspace.keyUp(static_cast<int16_t>(shown.midiNote() - 53), now + 10, KeySound::Sounded);
            now += 3000;
            r.workspace.answersDue(now);
            const auto after = storage::readAnswerHistory(history);
            ASSERT_EQ(after.size(), rows.size() + 1) << "a single note is judged when the chord's time is over";
            EXPECT_FALSE(after.back().record.right);
            EXPECT_EQ(after.back().above.size(), drill == Drill::Intervals ? 1U : 2U);
            EXPECT_EQ(after.back().key, DMajor);
            now += 3000;
            r.workspace.answersDue(now);
        }
    }
}

} // namespace
} // namespace zintaro::compose
