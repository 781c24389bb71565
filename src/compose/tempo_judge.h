#pragma once

#include "compose/answer_history.h"
#include "compose/phrase_timeline.h"
#include "core/translation.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zintaro::compose {

// Within this many milliseconds of its beat a note is "Perfetto".
inline constexpr double PerfectWithinMs = 50;
// "Bene" reaches an eighth of a beat, at least this far and at most the next.
inline constexpr double GoodAtLeastMs = 100;
inline constexpr double GoodAtMostMs = 250;
// A key reaches the judge after the window has handled it; a note is not
// called missed until this long after its time has passed, so that a key
// played in time but handled late still counts.
inline constexpr double LateHandlingMs = 40;

enum class Timing : uint8_t { Perfect, Good, Early, Late, Missed };

// The colour of the mark under a head.
enum class TimingMark : uint8_t { Green, Yellow, Red, Grey };

// How one note or rest of the phrase went. For a rest, `rightPitch` says it
// stayed silent and the timing is Perfect or Missed (a key played in it).
struct NoteJudgement {
    size_t index = 0; // in the timeline's notes
    std::optional<int> played; // the key that answered it
    bool rightPitch = false;
    Timing timing = Timing::Missed;
    double errorMs = 0; // after the delay correction; positive is late

    friend bool operator==(const NoteJudgement&, const NoteJudgement&) = default;
};

// What one key or the passing of time brought: notes and rests judged, and
// keys that answered nothing (an extra note).
struct TempoOutcome {
    std::vector<NoteJudgement> judged;
    std::vector<int> extras;
    bool finished = false; // the whole phrase is judged
};

// The figures of a phrase read in time.
struct PhraseSummary {
    int notes = 0;
    int rightPitches = 0;
    int onTime = 0; // "Perfetto" or "Bene"
    int played = 0; // notes that had a key
    double meanAbsoluteMs = 0; // of the notes played
    double meanMs = 0; // the tendency: positive is late
    int extras = 0;
    int rests = 0;
    int silentRests = 0;
};

// The "Bene" window at a tempo's beat.
double goodWithinMs(double beatMs);
Timing timingOf(double errorMs, double beatMs);
TimingMark markOf(const NoteJudgement& judgement);
// "Perfetto", "Bene", "In anticipo", "In ritardo", "Mancata".
Text timingWord(Timing timing);

// The lines the staff shows at the end of the phrase.
std::vector<Text> summaryLines(const PhraseSummary& summary);

// Judges a phrase read in time, note by note, the moment each note is played
// or its time has passed. Times are milliseconds of one monotonic clock from
// the count-in's first click; a key's time is that of its own event. The
// delay correction (the sound and the keys' own lateness) is taken off every
// key's time before it is judged.
//
// A key belongs to the earliest note not yet judged within its "Bene" window,
// otherwise to the note or rest nearest in time (halfway between onsets). A
// second key for a note already judged, a key before the phrase or after it,
// and a key in a rest are extras; the rest is then judged not silent.
class TempoJudge {
public:
    TempoJudge(PhraseTimeline timeline, double delayCorrectionMs);

    TempoOutcome keyDown(int midiNote, double atMs);
    TempoOutcome timePassed(double nowMs);
    // When timePassed() is next needed; nothing once finished.
    std::optional<double> nextDue() const;

    bool finished() const { return m_next >= m_timeline.notes.size(); }
    const PhraseTimeline& timeline() const { return m_timeline; }
    const std::vector<NoteJudgement>& judgements() const { return m_done; }
    PhraseSummary summary() const;

private:
    struct Reach {
        double from = 0;
        double to = 0;
    };
    double closesAt(size_t index) const;
    void judge(size_t index, std::optional<int> played, double correctedMs, TempoOutcome& outcome);

    PhraseTimeline m_timeline;
    double m_delayMs = 0;
    double m_goodMs = 0;
    std::vector<Reach> m_reach;
    std::vector<bool> m_judged;
    size_t m_next = 0; // the earliest note not yet judged
    std::vector<NoteJudgement> m_done;
    int m_extras = 0;
};

// The answers history's line of a judged note; none for a rest. The onset
// error is kept in its own field; a note never played answered nothing (0).
// The response time says nothing in time, where the beat sets it: it is 0.
std::optional<AnswerRecord> answerRecordOf(const NoteJudgement& judgement, const PhraseTimeline& timeline);

// The delay correction from a calibration: the median of how late each tap
// came after its click, over the last `counted` clicks (a tap answers the
// nearest click within half a beat). Nothing when fewer than half of those
// clicks had a tap.
inline constexpr int CalibrationClicks = 16;
inline constexpr int CalibrationCounted = 12;
std::optional<int> calibratedDelay(
    const std::vector<double>& clicks, const std::vector<double>& taps, int counted = CalibrationCounted);

} // namespace zintaro::compose
