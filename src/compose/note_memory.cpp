#include "compose/note_memory.h"

#include <algorithm>
#include <cmath>

namespace zintaro::compose {

namespace {

constexpr double BaseHalfLifeMs = 12.0 * 3600 * 1000;
constexpr double QuickWeight = 1.0;
constexpr double SlowWeight = 0.4;
constexpr double WrongWeight = 1.5;
// Bounds of the exponent: from about ten seconds to beyond any lifetime.
constexpr double LowestExponent = -12.0;
constexpr double HighestExponent = 24.0;
constexpr int64_t DefaultMedianMs = 2000;

} // namespace

size_t NoteMemory::indexOf(Clef clef, SpelledNote note)
{
    const auto clefIndex = static_cast<size_t>(clef) % 3;
    const auto letter = static_cast<size_t>(note.letter) % 7;
    const auto accidental = static_cast<size_t>(static_cast<int>(note.accidental) + 1) % 3;
    const auto octave = static_cast<size_t>(std::clamp(note.octave + 1, 0, 11));
    return ((clefIndex * 7 + letter) * 3 + accidental) * 12 + octave;
}

NoteMemory NoteMemory::fromHistory(const std::vector<AnswerHistoryRow>& rows)
{
    NoteMemory memory;
    // Quick or slow is judged against the median of the whole history, found
    // first, so that a year of answers costs one pass to sort out.
    const auto isFirst = [&rows](size_t i) {
        if (i == 0)
            return true;
        const AnswerHistoryRow& previous = rows[i - 1];
        const AnswerHistoryRow& row = rows[i];
        return previous.record.right || previous.record.shown != row.record.shown
            || previous.record.mode != row.record.mode || row.utcMs - previous.utcMs > SessionBreakMs
            || row.utcMs < previous.utcMs;
    };
    std::vector<bool> first(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        first[i] = isFirst(i);
        if (first[i])
            memory.countResponse(rows[i].record.responseMs);
    }
    const double slowAfter = static_cast<double>(memory.medianResponseMs()) * SlowShareOfMedian;
    for (size_t i = 0; i < rows.size(); ++i) {
        const AnswerHistoryRow& row = rows[i];
        if (first[i]) {
            const bool slow = static_cast<double>(row.record.responseMs) > slowAfter;
            memory.record(row.clefOrTreble(), row.spelledNote(), row.record.right, slow, row.utcMs);
        } else {
            memory.seenAgain(row.clefOrTreble(), row.spelledNote(), row.utcMs);
        }
    }
    return memory;
}

void NoteMemory::countResponse(int64_t responseMs)
{
    const auto bucket = static_cast<size_t>(std::max<int64_t>(responseMs, 0) / BucketMs);
    ++m_responses[std::min(bucket, BucketCount - 1)];
    ++m_responseCount;
}

int64_t NoteMemory::medianResponseMs() const
{
    if (m_responseCount == 0)
        return DefaultMedianMs;
    const int half = (m_responseCount + 1) / 2;
    int seen = 0;
    for (size_t bucket = 0; bucket < BucketCount; ++bucket) {
        seen += m_responses[bucket];
        if (seen >= half)
            return static_cast<int64_t>(bucket) * BucketMs + BucketMs / 2;
    }
    return static_cast<int64_t>(BucketCount) * BucketMs;
}

void NoteMemory::firstAnswer(Clef clef, SpelledNote note, bool right, int64_t responseMs, int64_t utcMs)
{
    const double slowAfter = static_cast<double>(medianResponseMs()) * SlowShareOfMedian;
    countResponse(responseMs);
    record(clef, note, right, static_cast<double>(responseMs) > slowAfter, utcMs);
}

void NoteMemory::record(Clef clef, SpelledNote note, bool right, bool slow, int64_t utcMs)
{
    Trace& trace = m_traces[indexOf(clef, note)];
    if (!right)
        ++trace.wrong;
    else if (slow)
        ++trace.slowRight;
    else
        ++trace.quickRight;
    trace.seen = true;
    trace.lastSeenUtcMs = std::max(trace.lastSeenUtcMs, utcMs);
}

void NoteMemory::seenAgain(Clef clef, SpelledNote note, int64_t utcMs)
{
    Trace& trace = m_traces[indexOf(clef, note)];
    if (trace.seen)
        trace.lastSeenUtcMs = std::max(trace.lastSeenUtcMs, utcMs);
}

const NoteMemory::Trace& NoteMemory::trace(Clef clef, SpelledNote note) const
{
    return m_traces[indexOf(clef, note)];
}

double NoteMemory::halfLifeMs(Clef clef, SpelledNote note) const
{
    const Trace& t = trace(clef, note);
    const double exponent = QuickWeight * std::sqrt(t.quickRight) + SlowWeight * std::sqrt(t.slowRight)
        - WrongWeight * std::sqrt(t.wrong);
    return BaseHalfLifeMs * std::exp2(std::clamp(exponent, LowestExponent, HighestExponent));
}

std::optional<double> NoteMemory::recall(Clef clef, SpelledNote note, int64_t nowUtcMs) const
{
    const Trace& t = trace(clef, note);
    if (!t.seen)
        return std::nullopt;
    const auto elapsed = static_cast<double>(std::max<int64_t>(nowUtcMs - t.lastSeenUtcMs, 0));
    return std::exp2(-elapsed / halfLifeMs(clef, note));
}

} // namespace zintaro::compose
