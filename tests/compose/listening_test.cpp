#include "compose/listening.h"
#include "compose/workspace.h"
#include "compose_rig.h"
#include "storage/storage_test_support.h"

#include <gtest/gtest.h>

namespace zintaro::compose {
namespace {

// The program's sound, then an attack heard at `onset`: an echo or an answer.
TEST(EchoGuard, attacksWhileTheProgramSoundsOrJustAfterAreItsOwn)
{
    enum class Sound { None, NoteHeld, NoteEnded, TwoNotesOneEnded, Spoken };
    const struct {
        Sound sound;
        int64_t onset;
        bool echo;
    } cases[] = {
        { Sound::None, 1000, false },
        { Sound::NoteHeld, 999, true },
        { Sound::NoteHeld, 1000 - EchoGuard::LeadMs - 1, false }, // played before the program's note
        { Sound::NoteHeld, 60'000, true }, // held on: still its own
        { Sound::NoteEnded, 1600 + EchoGuard::TailMs, true },
        { Sound::NoteEnded, 1600 + EchoGuard::TailMs + 1, false },
        { Sound::TwoNotesOneEnded, 5000, true },
        { Sound::Spoken, 1000 + EchoGuard::SpokenMs, true },
        { Sound::Spoken, 1000 + EchoGuard::SpokenMs + EchoGuard::TailMs + 1, false },
    };
    for (const auto& c : cases) {
        EchoGuard guard;
        switch (c.sound) {
        case Sound::None:
            guard.silenced(60, 900); // a note never sounded ends nothing
            break;
        case Sound::NoteHeld:
            guard.sounded(60, 1000);
            break;
        case Sound::NoteEnded:
            guard.sounded(60, 1000);
            guard.silenced(60, 1600);
            break;
        case Sound::TwoNotesOneEnded:
            guard.sounded(60, 1000);
            guard.sounded(64, 1100);
            guard.silenced(60, 1600);
            break;
        case Sound::Spoken:
            guard.spoke(1000);
            break;
        }
        EXPECT_EQ(guard.isEcho(c.onset), c.echo) << static_cast<int>(c.sound) << " at " << c.onset;
    }
}

struct ListeningRig : testing::ComposeRig {
    testing::TemporaryFolder folder;
    Workspace workspace { ports, folder.path() / "answers.csv", {} };

    // "Leggi" with "Rispondi" on, the microphone listening for `instrument`.
    void listen(PlayedInstrument instrument, bool microphone = true)
    {
        workspace.switchMode(Mode::Read, 0, 7);
        workspace.setAnswering(true, 0, 7);
        workspace.setListening({ microphone, instrument, StandardTuningHz });
        system.sent.clear();
    }
    int awaited() const { return *workspace.reading().awaited; }
    std::vector<storage::AnswerHistoryRow> answers() const
    {
        return storage::readAnswerHistory(folder.path() / "answers.csv");
    }
};

// A heard note is moved from what sounds to what the instrument reads, and
// answers as a key: the history says the microphone gave it.
TEST(Listening, aHeardNoteAnswersAsTheWrittenNoteOfTheInstrument)
{
    const struct {
        PlayedInstrument instrument;
        int soundingFromWritten; // the note played, from the one shown
        bool right;
        bool otherOctave;
    } cases[] = {
        { PlayedInstrument::Piano, 0, true, false },
        { PlayedInstrument::Piano, 12, false, false },
        { PlayedInstrument::ClarinetInBFlat, -2, true, false },
        { PlayedInstrument::ClarinetInBFlat, 0, false, false },
        { PlayedInstrument::HornInF, -7, true, false },
        { PlayedInstrument::AltoSaxInEFlat, -9, true, false },
        { PlayedInstrument::Guitar, -12, true, false },
        { PlayedInstrument::Voice, -12, true, true },
        { PlayedInstrument::Voice, 1, false, false },
    };
    for (const auto& c : cases) {
        ListeningRig r;
        r.listen(c.instrument);
        const int shown = r.awaited();
        const Report report = r.workspace.heardNote(shown + c.soundingFromWritten, 100, 160);
        SCOPED_TRACE(std::string(infoOf(c.instrument).word) + " " + std::to_string(c.soundingFromWritten));
        const auto answers = r.answers();
        ASSERT_EQ(answers.size(), 1U);
        EXPECT_EQ(answers[0].record.right, c.right);
        EXPECT_EQ(answers[0].record.responseMs, 100) << "timed from the attack";
        EXPECT_EQ(answers[0].input, AnswerInput::Microphone);
        ASSERT_TRUE(report.heard);
        EXPECT_EQ(report.heard->empty(), !c.otherOctave);
        EXPECT_TRUE(r.system.notesOn().empty() || !c.right) << "a right note heard is not sounded again";
    }
}

TEST(Listening, theMicrophoneListensForTheRangeReadOnlyWhileAnswersAreAwaited)
{
    ListeningRig r;
    EXPECT_FALSE(r.workspace.report().listening) << "off at first";
    r.listen(PlayedInstrument::ClarinetInBFlat);
    // Do4–Do6 read on the treble staff: the clarinet sounds a tone lower, a semitone more each side.
    const auto request = r.workspace.report().listening;
    ASSERT_TRUE(request);
    EXPECT_EQ(*request, (ListeningRequest { 60 - 2 - 1, 84 - 2 + 1, StandardTuningHz }));

    const Report tuned = r.workspace.setListening({ true, PlayedInstrument::ClarinetInBFlat, 460 });
    EXPECT_EQ(tuned.listening->tuningHz, HighestTuningHz);
    EXPECT_TRUE(tuned.choicesChanged);

    const Text why = translate("Microphone", "L'ingresso audio è scomparso: si risponde con i tasti.");
    const Report failed = r.workspace.microphoneFailed(why);
    EXPECT_FALSE(failed.listening);
    EXPECT_EQ(failed.notices.microphone, why);
    const int shown = r.awaited();
    r.workspace.heardNote(shown - 2, 100, 150);
    EXPECT_TRUE(r.answers().empty()) << "a failed microphone answers nothing";
    const Report keys = r.workspace.keyDown(0, 200, false, KeySound::Sounded);
    EXPECT_EQ(keys.notices.microphone, why) << "the sentence stands while the keys answer";

    r.workspace.setListening({ false, PlayedInstrument::ClarinetInBFlat, 440 });
    const Report again = r.workspace.setListening({ true, PlayedInstrument::ClarinetInBFlat, 440 });
    EXPECT_TRUE(again.listening) << "switched again, it tries again";
    EXPECT_TRUE(again.notices.microphone.empty());
    EXPECT_FALSE(r.workspace.setAnswering(false, 300, 7).listening);
}

// A wrong note heard brings the correction through the speakers; the
// microphone hears it, and it must not answer for the student.
TEST(Listening, theCorrectionHeardBackIsNoAnswerButTheStudentAfterItIs)
{
    ListeningRig r;
    r.listen(PlayedInstrument::Piano);
    const int shown = r.awaited();
    Report report = r.workspace.heardNote(shown + 1, 100, 160);
    EXPECT_FALSE(r.system.notesOn().empty()) << "the correction sounds";
    ASSERT_TRUE(report.answersDue);
    const int64_t correctionEnds = *report.answersDue;
    report = r.workspace.answersDue(correctionEnds);
    r.workspace.heardNote(shown, correctionEnds + 10, correctionEnds + 70);
    EXPECT_EQ(r.answers().size(), 1U);

    while (report.answersDue)
        report = r.workspace.answersDue(*report.answersDue);
    // Soon after, and the same note as the echo: the student's own.
    const int64_t later = correctionEnds + EchoGuard::TailMs + 100;
    r.workspace.heardNote(shown, later, later + 60);
    ASSERT_EQ(r.answers().size(), 2U);
    EXPECT_TRUE(r.answers().back().record.right);

    // The right note held on into the next one is told again from its tail:
    // it answered already. Played again later, it answers.
    report = r.workspace.answersDue(later + 60 + NextNoteDelayMs);
    const int next = r.awaited();
    ASSERT_NE(next, shown);
    const int64_t tail = later + Answering::HeldNoteMs - 1;
    EXPECT_FALSE(r.workspace.heardNote(shown, tail, tail + 60).heard);
    EXPECT_EQ(r.answers().size(), 2U);
    const int64_t again = tail + Answering::HeldNoteMs;
    r.workspace.heardNote(shown, again, again + 60);
    EXPECT_EQ(r.answers().size(), 3U);
    EXPECT_EQ(r.answers().back().record.answered, shown);
}

} // namespace
} // namespace zintaro::compose
