#include "compose/progress_figures.h"

#include "compose/answer_history.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace zintaro::compose {

namespace {

// The date the line was written on, from its time's first ten characters
// ("2026-12-07"); the line has been read whole before.
SpelledNote naturalAtStep(int step)
{
    const int octave = step >= 0 ? step / 7 : -((-step + 6) / 7);
    return { static_cast<Letter>(step - octave * 7), Accidental::Natural, octave + 4 };
}

NoteProgress noteAt(SpelledNote note)
{
    NoteProgress progress;
    progress.note = note;
    return progress;
}

DayProgress dayAt(int day)
{
    DayProgress progress;
    progress.day = day;
    return progress;
}

bool lowerOnStaff(const SpelledNote& a, const SpelledNote& b)
{
    const int stepA = stepsFromMiddleC(a);
    const int stepB = stepsFromMiddleC(b);
    if (stepA != stepB)
        return stepA < stepB;
    return static_cast<int>(a.accidental) < static_cast<int>(b.accidental);
}

} // namespace

std::optional<double> NoteProgress::share() const
{
    if (firstAnswers <= 0)
        return std::nullopt;
    return double(rightAtFirstTry) / firstAnswers;
}

std::optional<double> DayProgress::notesPerMinute() const
{
    if (practiceMs <= 0)
        return std::nullopt;
    return notesDone * 60000.0 / double(practiceMs);
}

std::optional<double> DayProgress::onTimeShare() const
{
    if (timedNotes <= 0)
        return std::nullopt;
    return double(onTime) / timedNotes;
}

std::optional<double> DayProgress::meanOnsetErrorMs() const
{
    if (onsetsHeard <= 0)
        return std::nullopt;
    return double(onsetErrorMs) / onsetsHeard;
}

ProgressCounter::ProgressCounter(int today, const std::array<NoteRange, 3>& ranges)
    : m_ranges(ranges)
{
    m_figures.today = today;
}

void ProgressCounter::addLine(std::string_view line)
{
    if (const auto read = m_lines.read(line))
        add(*read);
}

void ProgressCounter::add(const storage::AnswerLogLine& line)
{
    using Kind = storage::AnswerLogLine::Kind;
    if (line.kind == Kind::Answer)
        add(line.row, line.localDay);
    else if (line.kind == Kind::Damaged)
        ++m_figures.damagedLines;
}

void ProgressCounter::add(const AnswerHistoryRow& answer, int localDay)
{
    if (answer.record.mode == AnswerMode::Exam) {
        ++m_figures.examsTaken;
        m_figures.examsPassed += answer.record.right ? 1 : 0;
        return;
    }
    ++m_figures.answers;
    const AnswerHistoryRow* previous = m_previous ? &*m_previous : nullptr;
    const bool breaks = previous && startsNewSession(answer, *previous);
    if (breaks)
        closeSession();
    // A note played in time is never tried again: the next one is another note.
    const bool first = !previous || breaks || previous->record.right || previous->record.shown != answer.record.shown
        || previous->clefOrTreble() != answer.clefOrTreble() || answer.record.mode == AnswerMode::Tempo;

    // A day's practice time is the time its notes stood waiting for their
    // answers: a pause between notes, however short, is not practice. Each
    // try is timed from the note appearing, so a note takes its longest try.
    DayProgress& day = dayFor(localDay);
    const int64_t noteMs = first ? 0 : m_noteMs;
    m_noteMs = std::max(noteMs, answer.record.responseMs);
    day.practiceMs += m_noteMs - noteMs;

    if (first)
        countFirstAnswer(answer, day);
    if (answer.record.right)
        countRightAnswer(day);
    else if (answer.record.answered != 0 || answer.record.mode != AnswerMode::Tempo)
        countMistake(answer);
    if (answer.record.mode == AnswerMode::Tempo)
        countTiming(answer, day);
    m_previous = answer;
}

// The day's figures, last in the list while its answers come.
DayProgress& ProgressCounter::dayFor(int localDay)
{
    if (m_days.empty() || m_days.back().day != localDay) {
        const auto known
            = std::find_if(m_days.begin(), m_days.end(), [&](const DayProgress& d) { return d.day == localDay; });
        if (known == m_days.end())
            m_days.push_back(dayAt(localDay));
        else
            std::rotate(known, known + 1, m_days.end());
    }
    return m_days.back();
}

void ProgressCounter::countFirstAnswer(const AnswerHistoryRow& answer, DayProgress& day)
{
    const SpelledNote shown = answer.spelledNote();
    ++m_figures.notesAnswered;
    ++day.notes;
    m_sessionTimes.push_back(answer.record.responseMs);
    auto& notes = m_notes[static_cast<std::size_t>(answer.clefOrTreble())];
    auto note = std::find_if(notes.begin(), notes.end(), [&](const auto& n) { return n.first == shown; });
    if (note == notes.end())
        note = notes.insert(notes.end(), { shown, {} });
    ++note->second.firstAnswers;
    note->second.times.push_back(answer.record.responseMs);
    if (answer.record.right) {
        ++note->second.rightAtFirstTry;
        ++day.rightAtFirstTry;
        ++m_sessionRight;
    }
}

void ProgressCounter::countRightAnswer(DayProgress& day)
{
    ++day.notesDone;
    if (++m_sessionDone < SessionNoteCount)
        return;
    ++m_figures.sessionsComplete;
    const SessionFigures session { static_cast<int>(m_sessionTimes.size()), m_sessionRight,
        medianOf(m_sessionTimes).value_or(0) };
    if (!m_figures.bestSession || ranksAbove(session, *m_figures.bestSession))
        m_figures.bestSession = session;
    closeSession();
}

void ProgressCounter::countMistake(const AnswerHistoryRow& answer)
{
    const SpelledNote shown = answer.spelledNote();
    auto tally = std::find_if(m_confusions.begin(), m_confusions.end(),
        [&](const ConfusionTally& c) { return c.played == answer.record.answered && c.shown == shown; });
    if (tally == m_confusions.end())
        tally = m_confusions.insert(m_confusions.end(), { shown, answer.record.answered, 0 });
    ++tally->count;
}

// A note never played is late beyond any window, with no error to add up.
void ProgressCounter::countTiming(const AnswerHistoryRow& answer, DayProgress& day)
{
    ++day.timedNotes;
    const auto onset = answer.record.onsetMs;
    if (!onset || answer.record.answered == 0)
        return;
    if (std::abs(*onset) <= OnTimeMs)
        ++day.onTime;
    ++day.onsetsHeard;
    day.onsetErrorMs += std::abs(*onset);
    ++m_onsets;
    m_onsetSumMs += *onset;
}

void ProgressCounter::closeSession()
{
    m_sessionTimes.clear();
    m_sessionRight = 0;
    m_sessionDone = 0;
}

ProgressFigures ProgressCounter::finish()
{
    ProgressFigures figures = std::move(m_figures);
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand }) {
        const auto& seen = m_notes[static_cast<std::size_t>(clef)];
        if (!seen.empty())
            figures.staves.push_back(staffProgress(clef, seen));
    }
    finishDays(figures);
    finishMistakes(figures);
    if (m_onsets > 0)
        figures.meanOnsetMs = static_cast<int>(std::lround(double(m_onsetSumMs) / m_onsets));
    return figures;
}

// Every natural of the clef's range and beyond it to the notes seen, with
// the accidentals seen among them, from the lowest.
StaffProgress ProgressCounter::staffProgress(Clef clef, const SeenNotes& seen) const
{
    const NoteRange& range = m_ranges.at(static_cast<std::size_t>(clef));
    int low = std::min(stepsFromMiddleC(range.lowest), stepsFromMiddleC(range.highest));
    int high = std::max(stepsFromMiddleC(range.lowest), stepsFromMiddleC(range.highest));
    for (const auto& [note, tally] : seen) {
        low = std::min(low, stepsFromMiddleC(note));
        high = std::max(high, stepsFromMiddleC(note));
    }
    StaffProgress staff { clef, {} };
    for (int step = low; step <= high; ++step)
        staff.notes.push_back(noteAt(naturalAtStep(step)));
    for (const auto& [seenNote, tally] : seen) {
        const SpelledNote note = seenNote;
        auto place = std::find_if(
            staff.notes.begin(), staff.notes.end(), [&](const NoteProgress& n) { return n.note == note; });
        if (place == staff.notes.end())
            place = staff.notes.insert(staff.notes.end(), noteAt(note));
        place->firstAnswers = tally.firstAnswers;
        place->rightAtFirstTry = tally.rightAtFirstTry;
        place->medianResponseMs = medianOf(tally.times);
    }
    std::stable_sort(staff.notes.begin(), staff.notes.end(),
        [](const NoteProgress& a, const NoteProgress& b) { return lowerOnStaff(a.note, b.note); });
    return staff;
}

void ProgressCounter::finishDays(ProgressFigures& figures)
{
    std::sort(m_days.begin(), m_days.end(), [](const DayProgress& a, const DayProgress& b) { return a.day < b.day; });
    figures.daysPractised = static_cast<int>(m_days.size());
    for (const DayProgress& day : m_days) {
        if (day.day > figures.today - ProgressDays && day.day <= figures.today)
            figures.recentDays.push_back(day);
    }
    // Days after today (a clock set wrong, a trip across time zones) do not break the run.
    auto last
        = std::find_if(m_days.rbegin(), m_days.rend(), [&](const DayProgress& d) { return d.day <= figures.today; });
    if (last != m_days.rend() && last->day >= figures.today - 1) {
        figures.currentRunOfDays = 1;
        for (auto next = last + 1; next != m_days.rend() && next->day == (next - 1)->day - 1; ++next)
            ++figures.currentRunOfDays;
    }
}

// The most frequent first, then by the note shown and the note played.
void ProgressCounter::finishMistakes(ProgressFigures& figures)
{
    std::stable_sort(m_confusions.begin(), m_confusions.end(), [](const ConfusionTally& a, const ConfusionTally& b) {
        if (a.count != b.count)
            return a.count > b.count;
        if (midiNoteOf(a.shown) != midiNoteOf(b.shown))
            return midiNoteOf(a.shown) < midiNoteOf(b.shown);
        return a.played < b.played;
    });
    for (const ConfusionTally& c : m_confusions) {
        if (figures.mistakes.size() == ProgressMistakes)
            break;
        // The note played is spelled the way the note shown is.
        const SpelledNote played
            = c.shown.accidental == Accidental::Flat ? flatSpelling(c.played) : sharpSpelling(c.played);
        figures.mistakes.push_back({ c.shown, played, c.count });
    }
}

ProgressFigures readProgress(std::istream& in, int today, const std::array<NoteRange, 3>& ranges)
{
    ProgressCounter counter(today, ranges);
    storage::readAnswerLog(in, [&counter](const storage::AnswerLogLine& line) { counter.add(line); });
    return counter.finish();
}

ProgressFigures readProgress(const std::filesystem::path& file, int today, const std::array<NoteRange, 3>& ranges)
{
    ProgressCounter counter(today, ranges);
    storage::readAnswerLog(file, [&counter](const storage::AnswerLogLine& line) { counter.add(line); });
    return counter.finish();
}

int dayNumber(int year, int month, int day)
{
    using namespace std::chrono;
    const sys_days date { std::chrono::year { year } / std::chrono::month { static_cast<unsigned>(month) }
        / std::chrono::day { static_cast<unsigned>(day) } };
    return static_cast<int>(date.time_since_epoch().count());
}

CalendarDate calendarDate(int dayNumber)
{
    using namespace std::chrono;
    const year_month_day date { sys_days { days { dayNumber } } };
    return { static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
        static_cast<int>(static_cast<unsigned>(date.day())) };
}

ShareColour shareColour(std::optional<double> share)
{
    if (!share)
        return { 170, 170, 170 };
    constexpr ShareColour red { 220, 30, 30 };
    constexpr ShareColour orange { 235, 120, 20 };
    constexpr ShareColour yellow { 230, 200, 0 };
    constexpr ShareColour green { 20, 160, 40 };
    const double s = *share;
    if (s < 0.5)
        return red;
    if (s >= 0.9)
        return green;
    // Red is for under half only: from orange at 50 % to yellow at 70 % to green at 90 %.
    const bool lowerHalf = s < 0.7;
    const ShareColour& from = lowerHalf ? orange : yellow;
    const ShareColour& to = lowerHalf ? yellow : green;
    const double t = (s - (lowerHalf ? 0.5 : 0.7)) / 0.2;
    const auto mix = [t](uint8_t a, uint8_t b) { return static_cast<uint8_t>(std::lround(a + (b - a) * t)); };
    return { mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue) };
}

} // namespace zintaro::compose
