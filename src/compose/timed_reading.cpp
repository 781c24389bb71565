#include "compose/timed_reading.h"

#include "compose/melody_generator.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zintaro::compose {

namespace {

// The colours of the marks, red in the low byte.
constexpr staff::Rgb Yellow = 0x00C8F0;
constexpr staff::Rgb Grey = 0x909090;

} // namespace

PhraseTimeline timelineOfEntries(
    const std::vector<Entry>& entries, Meter meter, int tempo, double startInMeasure, int countInMeasures)
{
    PhraseTimeline timeline;
    const int beat = beatSixteenths(meter);
    timeline.beatMs = 60000.0 / std::max(tempo, 1);
    timeline.beatsPerMeasure = std::max(measureSixteenths(meter) / beat, 1);
    timeline.countInMeasures = std::max(countInMeasures, 0);
    const double wholeMs = timeline.beatMs * SixteenthsPerWhole / beat;
    // Positions count in whole notes, which every value divides exactly.
    double position = startInMeasure;
    bool tiedOn = false;
    for (size_t p = 0; p < entries.size(); ++p) {
        const Entry& e = entries[p];
        const bool rest = e.RestFlag != False16;
        const double length = entryLength(e);
        if (tiedOn && !rest && !timeline.notes.empty() && timeline.notes.back().midi == midiNoteOfKey(e.NoteIndex)) {
            timeline.notes.back().lengthMs += length * wholeMs;
        } else {
            TimedNote note;
            note.midi = rest ? -1 : midiNoteOfKey(e.NoteIndex);
            note.onsetMs = timeline.countInMs() + position * wholeMs;
            note.lengthMs = length * wholeMs;
            note.indexInMeasure = p;
            timeline.notes.push_back(note);
        }
        tiedOn = e.TiedToNext && !rest;
        position += length;
    }
    timeline.endMs = timeline.countInMs() + position * wholeMs;
    return timeline;
}

staff::Rgb colourOf(TimingMark mark)
{
    switch (mark) {
    case TimingMark::Green:
        return staff::Green;
    case TimingMark::Yellow:
        return Yellow;
    case TimingMark::Red:
        return staff::Red;
    case TimingMark::Grey:
        break;
    }
    return Grey;
}

TimedReading::TimedReading(const std::vector<Entry>& entries, Meter meter, int tempo, double delayCorrectionMs,
    int64_t startMs, bool metronome, double startInMeasure, int countInMeasures)
    : m_startMs(startMs)
    , m_judge(timelineOfEntries(entries, meter, tempo, startInMeasure, countInMeasures), delayCorrectionMs)
{
    const PhraseTimeline& timeline = m_judge.timeline();
    m_clicks = clicksOf(timeline);
    if (!metronome && m_clicks.size() > static_cast<size_t>(timeline.countInBeats()))
        m_clicks.resize(static_cast<size_t>(timeline.countInBeats()));
    for (Click& click : m_clicks)
        click.atMs += static_cast<double>(startMs);
}

std::vector<TimedMark> TimedReading::marksOf(const TempoOutcome& outcome)
{
    std::vector<TimedMark> marks;
    for (const NoteJudgement& j : outcome.judged) {
        const TimedNote& note = timeline().notes[j.index];
        std::optional<int> error;
        if (j.played && !note.isRest())
            error = static_cast<int>(std::lround(j.errorMs));
        marks.push_back({ static_cast<int>(note.indexInMeasure), colourOf(markOf(j)), error });
        if (auto record = answerRecordOf(j, timeline()))
            m_records.push_back(*record);
    }
    return marks;
}

std::vector<TimedMark> TimedReading::keyDown(int midiNote, double atMs)
{
    return marksOf(m_judge.keyDown(midiNote, atMs - static_cast<double>(m_startMs)));
}

std::vector<TimedMark> TimedReading::timePassed(int64_t nowMs)
{
    return marksOf(m_judge.timePassed(static_cast<double>(nowMs - m_startMs)));
}

int TimedReading::moveCursor(int64_t nowMs)
{
    const auto& notes = timeline().notes;
    const double at = static_cast<double>(nowMs - m_startMs);
    while (m_cursor + 1 < notes.size() && notes[m_cursor + 1].onsetMs <= at)
        ++m_cursor;
    return notes.empty() ? 0 : static_cast<int>(notes[m_cursor].indexInMeasure);
}

std::optional<int64_t> TimedReading::nextDue() const
{
    std::optional<int64_t> due;
    if (const auto judged = m_judge.nextDue())
        due = m_startMs + static_cast<int64_t>(std::ceil(*judged));
    const auto& notes = timeline().notes;
    if (!finished() && m_cursor + 1 < notes.size()) {
        const int64_t step = m_startMs + static_cast<int64_t>(std::ceil(notes[m_cursor + 1].onsetMs));
        due = due ? std::min(*due, step) : step;
    }
    return due;
}

Text TimedReading::summary() const
{
    const std::vector<Text> lines = summaryLines(m_judge.summary());
    Text joined;
    for (const Text& line : lines)
        joined = joined.empty() ? line : translate("Tempo", "%1 · %2").arg(joined).arg(line);
    return joined;
}

std::vector<AnswerRecord> TimedReading::takeRecords()
{
    return std::exchange(m_records, {});
}

} // namespace zintaro::compose
