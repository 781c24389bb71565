#pragma once

#include "compose/tempo_judge.h"
#include "core/key_meter.h"
#include "core/modulo1.h"
#include "core/translation.h"
#include "staff/staff_surface.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zintaro::compose {

// Where the metronome's clicks sound: each at a time of the window's clock.
// The window hands in one that schedules them on the sound stream's own
// clock; tests hand in one that records them.
class ClickTrack {
public:
    virtual ~ClickTrack() = default;
    virtual void schedule(double atMs, bool accent) = 0;
    // Every click scheduled and not yet sounded is dropped.
    virtual void cancel() = 0;
};

// The timeline of written entries at a tempo, as timelineOf() makes that of
// a phrase: notes tied together are one note. Each note's `indexInMeasure`
// is the position of its first entry (its measure is 0). Entries that begin
// `startInMeasure` whole notes into a measure (a page of a piece) come that
// long after the count-in, its clicks going on meanwhile.
PhraseTimeline timelineOfEntries(
    const std::vector<Entry>& entries, Meter meter, int tempo, double startInMeasure = 0, int countInMeasures = 1);

// What goes under a judged head: its entry, its colour, and the error in ms
// of a note that was played.
struct TimedMark {
    int entry = 0;
    staff::Rgb colour = staff::Black;
    std::optional<int> errorMs;

    friend bool operator==(const TimedMark&, const TimedMark&) = default;
};

staff::Rgb colourOf(TimingMark mark);

// One phrase read in time, from its count-in to its summary. Times are
// milliseconds of the window's clock; the count-in's first click comes at
// `startMs` (with no count-in, the first beat of the phrase). With the
// metronome off only the count-in clicks.
class TimedReading {
public:
    TimedReading(const std::vector<Entry>& entries, Meter meter, int tempo, double delayCorrectionMs, int64_t startMs,
        bool metronome, double startInMeasure = 0, int countInMeasures = 1);

    int64_t startMs() const { return m_startMs; }
    const PhraseTimeline& timeline() const { return m_judge.timeline(); }
    // The clicks to schedule, on the window's clock.
    const std::vector<Click>& clicks() const { return m_clicks; }

    // A key of `midiNote` played at `atMs`; the marks of what it judged.
    std::vector<TimedMark> keyDown(int midiNote, double atMs);
    // The notes whose time has passed by `nowMs`, judged missed.
    std::vector<TimedMark> timePassed(int64_t nowMs);
    // The cursor moves to the note or rest sounding at `nowMs` (the first
    // before it begins); the entry it stands on.
    int moveCursor(int64_t nowMs);
    // When timePassed() or the cursor's next step is next due.
    std::optional<int64_t> nextDue() const;

    bool finished() const { return m_judge.finished(); }
    const std::vector<NoteJudgement>& judgements() const { return m_judge.judgements(); }
    // The words that end the phrase, on one line.
    Text summary() const;
    // Every judged note not yet handed out, as a history line.
    std::vector<AnswerRecord> takeRecords();

private:
    std::vector<TimedMark> marksOf(const TempoOutcome& outcome);

    int64_t m_startMs = 0;
    TempoJudge m_judge;
    std::vector<Click> m_clicks;
    std::vector<AnswerRecord> m_records;
    size_t m_cursor = 0; // in the timeline's notes
};

} // namespace zintaro::compose
