#include "compose/tempo_judge.h"

#include <algorithm>
#include <cmath>

namespace zintaro::compose {

double goodWithinMs(double beatMs)
{
    return std::min(std::max(beatMs / 8, GoodAtLeastMs), GoodAtMostMs);
}

Timing timingOf(double errorMs, double beatMs)
{
    const double off = std::abs(errorMs);
    if (off <= PerfectWithinMs)
        return Timing::Perfect;
    if (off <= goodWithinMs(beatMs))
        return Timing::Good;
    return errorMs < 0 ? Timing::Early : Timing::Late;
}

TimingMark markOf(const NoteJudgement& judgement)
{
    if (!judgement.rightPitch)
        return judgement.played ? TimingMark::Red : TimingMark::Grey;
    switch (judgement.timing) {
    case Timing::Perfect:
        return TimingMark::Green;
    case Timing::Good:
        return TimingMark::Yellow;
    case Timing::Early:
    case Timing::Late:
        return TimingMark::Red;
    case Timing::Missed:
        break;
    }
    return TimingMark::Grey;
}

Text timingWord(Timing timing)
{
    switch (timing) {
    case Timing::Perfect:
        return translate("Tempo", "Perfetto");
    case Timing::Good:
        return translate("Tempo", "Bene");
    case Timing::Early:
        return translate("Tempo", "In anticipo");
    case Timing::Late:
        return translate("Tempo", "In ritardo");
    case Timing::Missed:
        break;
    }
    return translate("Tempo", "Mancata");
}

std::vector<Text> summaryLines(const PhraseSummary& summary)
{
    std::vector<Text> lines;
    lines.push_back(translate("Tempo", "Note giuste: %1 su %2").arg(summary.rightPitches).arg(summary.notes));
    lines.push_back(translate("Tempo", "A tempo: %1 su %2").arg(summary.onTime).arg(summary.notes));
    if (summary.played > 0) {
        lines.push_back(translate("Tempo", "Errore medio: %1 ms").arg(std::llround(summary.meanAbsoluteMs)));
        const long long tendency = std::llround(summary.meanMs);
        if (tendency > 0)
            lines.push_back(translate("Tempo", "In media %1 ms in ritardo").arg(tendency));
        else if (tendency < 0)
            lines.push_back(translate("Tempo", "In media %1 ms in anticipo").arg(-tendency));
        else
            lines.push_back(translate("Tempo", "In media a tempo"));
    }
    lines.push_back(translate("Tempo", "Note in più: %1").arg(summary.extras));
    if (summary.rests > 0)
        lines.push_back(translate("Tempo", "Pause in silenzio: %1 su %2").arg(summary.silentRests).arg(summary.rests));
    return lines;
}

TempoJudge::TempoJudge(PhraseTimeline timeline, double delayCorrectionMs)
    : m_timeline(std::move(timeline))
    , m_delayMs(delayCorrectionMs)
    , m_goodMs(goodWithinMs(m_timeline.beatMs))
    , m_judged(m_timeline.notes.size(), false)
{
    const auto& notes = m_timeline.notes;
    for (size_t i = 0; i < notes.size(); ++i) {
        const double onset = notes[i].onsetMs;
        const double from = i == 0 ? onset - m_timeline.beatMs / 2 : (notes[i - 1].onsetMs + onset) / 2;
        const double to = i + 1 == notes.size() ? onset + std::min(notes[i].lengthMs, m_timeline.beatMs) / 2
                                                : (onset + notes[i + 1].onsetMs) / 2;
        m_reach.push_back({ from, to });
    }
}

double TempoJudge::closesAt(size_t index) const
{
    const TimedNote& note = m_timeline.notes[index];
    return note.isRest() ? m_reach[index].to : std::max(m_reach[index].to, note.onsetMs + m_goodMs);
}

void TempoJudge::judge(size_t index, std::optional<int> played, double correctedMs, TempoOutcome& outcome)
{
    const TimedNote& note = m_timeline.notes[index];
    NoteJudgement judgement { index, played, false, Timing::Missed, 0 };
    if (note.isRest()) {
        judgement.rightPitch = !played;
        judgement.timing = played ? Timing::Missed : Timing::Perfect;
    } else if (played) {
        judgement.rightPitch = *played == note.midi;
        judgement.errorMs = correctedMs - note.onsetMs;
        judgement.timing = timingOf(judgement.errorMs, m_timeline.beatMs);
    }
    m_judged[index] = true;
    m_done.push_back(judgement);
    outcome.judged.push_back(judgement);
    while (m_next < m_judged.size() && m_judged[m_next])
        ++m_next;
    outcome.finished = finished();
}

TempoOutcome TempoJudge::keyDown(int midiNote, double atMs)
{
    TempoOutcome outcome;
    const double at = atMs - m_delayMs;
    const auto& notes = m_timeline.notes;
    // The note or rest whose time the key falls in.
    std::optional<size_t> reached;
    for (size_t i = 0; i < notes.size() && !reached; ++i)
        if (m_reach[i].from <= at && at < m_reach[i].to)
            reached = i;
    // A key of the right pitch answers the nearest note it is meant for.
    std::optional<size_t> target;
    for (size_t i = m_next; i < notes.size() && notes[i].onsetMs - m_goodMs <= at; ++i) {
        const bool near = std::abs(at - notes[i].onsetMs) <= m_goodMs || i == reached;
        if (!m_judged[i] && near && notes[i].midi == midiNote
            && (!target || std::abs(at - notes[i].onsetMs) < std::abs(at - notes[*target].onsetMs)))
            target = i;
    }
    if (!target && reached && !m_judged[*reached])
        target = reached;
    // Whatever lies before the key has had its time.
    const size_t before = target.value_or(0);
    for (size_t i = m_next; i < notes.size(); ++i)
        if (!m_judged[i] && (i < before || closesAt(i) < at))
            judge(i, std::nullopt, 0, outcome);
    if (target && !m_judged[*target]) {
        judge(*target, midiNote, at, outcome);
        if (!notes[*target].isRest())
            return outcome;
    }
    ++m_extras;
    outcome.extras.push_back(midiNote);
    outcome.finished = finished();
    return outcome;
}

TempoOutcome TempoJudge::timePassed(double nowMs)
{
    TempoOutcome outcome;
    while (!finished() && closesAt(m_next) + m_delayMs + LateHandlingMs <= nowMs)
        judge(m_next, std::nullopt, 0, outcome);
    outcome.finished = finished();
    return outcome;
}

std::optional<double> TempoJudge::nextDue() const
{
    if (finished())
        return std::nullopt;
    return closesAt(m_next) + m_delayMs + LateHandlingMs;
}

PhraseSummary TempoJudge::summary() const
{
    PhraseSummary summary;
    summary.extras = m_extras;
    double absolute = 0;
    double signedSum = 0;
    for (const NoteJudgement& j : m_done) {
        if (m_timeline.notes[j.index].isRest()) {
            ++summary.rests;
            summary.silentRests += j.rightPitch ? 1 : 0;
            continue;
        }
        ++summary.notes;
        summary.rightPitches += j.rightPitch ? 1 : 0;
        summary.onTime += j.timing == Timing::Perfect || j.timing == Timing::Good ? 1 : 0;
        if (j.played) {
            ++summary.played;
            absolute += std::abs(j.errorMs);
            signedSum += j.errorMs;
        }
    }
    if (summary.played > 0) {
        summary.meanAbsoluteMs = absolute / summary.played;
        summary.meanMs = signedSum / summary.played;
    }
    return summary;
}

std::optional<AnswerRecord> answerRecordOf(const NoteJudgement& judgement, const PhraseTimeline& timeline)
{
    const TimedNote& note = timeline.notes.at(judgement.index);
    if (note.isRest())
        return std::nullopt;
    std::optional<int> onset;
    if (judgement.played)
        onset = static_cast<int>(std::lround(judgement.errorMs));
    return AnswerRecord { AnswerMode::Tempo, note.midi, judgement.played.value_or(0), judgement.rightPitch, 0, onset };
}

std::optional<int> calibratedDelay(const std::vector<double>& clicks, const std::vector<double>& taps, int counted)
{
    if (clicks.size() < 2 || counted <= 0)
        return std::nullopt;
    const double halfBeat = (clicks[1] - clicks[0]) / 2;
    const size_t first
        = clicks.size() > static_cast<size_t>(counted) ? clicks.size() - static_cast<size_t>(counted) : 0;
    std::vector<double> offsets;
    for (size_t c = first; c < clicks.size(); ++c) {
        std::optional<double> nearest;
        for (const double tap : taps)
            if (std::abs(tap - clicks[c]) < halfBeat && (!nearest || std::abs(tap - clicks[c]) < std::abs(*nearest)))
                nearest = tap - clicks[c];
        if (nearest)
            offsets.push_back(*nearest);
    }
    if (offsets.size() * 2 < clicks.size() - first)
        return std::nullopt;
    std::sort(offsets.begin(), offsets.end());
    const size_t middle = offsets.size() / 2;
    const double median = offsets.size() % 2 == 1 ? offsets[middle] : (offsets[middle - 1] + offsets[middle]) / 2;
    return static_cast<int>(std::lround(median));
}

} // namespace zintaro::compose
