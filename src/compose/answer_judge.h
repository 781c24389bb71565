#pragma once

#include "compose/answer_history.h"
#include "compose/answer_session.h"
#include "compose/chord_material.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zintaro::compose {

// After a right answer, the green head stays this long before the next note.
inline constexpr int64_t NextNoteDelayMs = 400;
// A wrong answer is followed by the right note for this long.
inline constexpr int64_t CorrectionMs = 600;
// The correction waits for the student's keys to go up, but no longer than
// this, so a key-up lost to the window (focus moved away) does not hold it.
inline constexpr int64_t CorrectionWaitMs = 1000;

// What the trainer carries out for the judge. midiNote is the note concerned.
enum class AnswerAction : uint8_t {
    MarkRight, // the shown note's head turns green
    MarkWrong, // the shown note's head turns red
    SoundCorrection, // note-on of the right note, its key shown pressed
    SpeakCorrection, // its name spoken ("Parla"), its key shown pressed
    PressCorrectionKey, // "Muto": only its key shown pressed
    SilenceCorrection, // note-off of the sounded correction, its key released
    ReleaseCorrectionKey, // the key of a spoken or silent correction released
    ShowNextNote, // the trainer draws its next note and calls noteShown
    ShowSummary, // the session is complete: the summary replaces the note
    StartNewSession, // the summary goes and the score starts again
};

// How the correction is heard: "Suona", "Parla" or "Muto".
enum class AnswerVoice : uint8_t { Sound, Speak, Silent };

struct AnswerStep {
    AnswerAction action;
    int midiNote = 0;

    friend bool operator==(const AnswerStep&, const AnswerStep&) = default;
};

// The steps to carry out in order, and the history line of a judged answer.
struct AnswerResult {
    std::vector<AnswerStep> steps;
    std::optional<AnswerRecord> record;
    // An interval or chord answered wrong: the keys played that were not
    // asked, and those asked that were not played.
    std::vector<int> wrongNotes;
    std::vector<int> missingNotes;
    std::vector<int> playedNotes; // the keys the answer was played with, low to high
};

// The rules of answering on the piano while "Rispondi" is on. Time comes in
// as milliseconds of a monotonic clock; the judge keeps no timer of its own
// and says through nextDue() when timerDue() should be called.
//
// A note stays until it is answered right. Only its first answer counts for
// the score; every judged answer gives a history record. A key-down that
// repeats automatically is no answer, nor is a key pressed in the pause after
// a right answer. A wrong answer is followed, once the student's keys are up,
// by the right note for CorrectionMs. The SessionNoteCount-th right note ends
// the session with the summary, and the next key press starts a new one
// without being judged.
class AnswerJudge {
public:
    // Used for corrections from the next one on.
    void setVoice(AnswerVoice voice) { m_voice = voice; }

    // The trainer shows `midiNote`: the note to answer from `now`. A
    // correction still heard is silenced. Shown after the summary, it starts
    // a new session.
    AnswerResult noteShown(int midiNote, int64_t now, AnswerMode mode);
    // The same for a note written as `note`, which the summary names.
    AnswerResult noteShown(SpelledNote note, int64_t now, AnswerMode mode);

    // An interval or a chord to answer from `now`: its notes all played,
    // together or one after the other as judgeChord() takes them from the
    // input set last. The lowest note stands for it in the score and the
    // history's shown note; the summary names the interval or chord. A
    // wrong answer's correction sounds every note.
    AnswerResult chordShown(const std::vector<SpelledNote>& notes, int64_t now, AnswerMode mode);
    void setChordInput(ChordInput input) { m_chordInput = input; }
    // The MIDI notes awaited: one, or those of the interval or chord.
    const std::vector<int>& asked() const { return m_asked; }

    // Call before the key itself sounds, so that silencing a correction of
    // the same note does not cut the student's note short.
    AnswerResult keyDown(int midiNote, int64_t now, bool isAutoRepeat);
    AnswerResult keyUp(int midiNote, int64_t now, bool isAutoRepeat = false);

    // The window's timer reached nextDue().
    AnswerResult timerDue(int64_t now);

    // When timerDue() is next needed; nothing while only a key can move on.
    std::optional<int64_t> nextDue() const;

    // "Rispondi" off, "Leggi" left or the program closing: the session ends
    // without a summary and a correction still heard is silenced.
    AnswerResult stop();

    const AnswerSession& session() const { return m_session; }
    bool showingSummary() const { return m_phase == Phase::Summary; }
    std::optional<int> shownNote() const;

private:
    enum class Phase : uint8_t { Idle, Waiting, Pause, Summary };

    void judge(int midiNote, int64_t now, AnswerResult& result);
    bool awaitsChord() const { return m_phase == Phase::Waiting && m_asked.size() > 1; }
    void judgeChordSoFar(int64_t now, AnswerResult& result);
    void judged(bool right, int answered, int64_t answeredAt, int64_t now, AnswerResult& result);
    void startCorrection(int64_t now, AnswerResult& result);
    void endCorrection(AnswerResult& result);
    bool anyKeyHeld() const;

    Phase m_phase = Phase::Idle;
    AnswerVoice m_voice = AnswerVoice::Sound;
    AnswerMode m_mode = AnswerMode::Random;
    AnswerSession m_session;
    int m_shown = 0;
    std::vector<SpelledNote> m_shownNotes; // as written, low to high
    std::vector<int> m_asked;
    std::vector<KeyStroke> m_strokes; // since the chord was shown or last judged
    ChordInput m_chordInput = ChordInput::ComputerKeys;
    int64_t m_shownAt = 0;
    bool m_answered = false; // the shown note had its first answer
    int64_t m_pauseEnds = 0;
    std::optional<int64_t> m_correctionWaitEnds; // a correction waits for the keys to go up
    std::optional<int64_t> m_correctionEnds; // a correction is heard or shown
    AnswerVoice m_correctionVoice = AnswerVoice::Sound;
    std::array<bool, 128> m_held {};
};

// A draw for random mode that never repeats the previous note: draws again
// while equal. The retries are bounded so that a generator stuck on one value
// cannot hang the window; with the trainer's fifteen notes the bound is never
// reached in practice.
template<class Draw> int drawOtherThan(std::optional<int> previous, Draw&& draw)
{
    int note = draw();
    for (int retry = 0; retry < 100 && previous && note == *previous; ++retry)
        note = draw();
    return note;
}

} // namespace zintaro::compose
