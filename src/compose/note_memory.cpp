#include "compose/note_memory.h"

#include <algorithm>
#include <cmath>

namespace zintaro::compose {

namespace {

constexpr int64_t DefaultMedianMs = 2000;
constexpr double HourMs = 3600.0 * 1000;
constexpr int64_t DayMs = int64_t { 24 } * 3600 * 1000;

double faded(double count, int64_t fromUtcMs, int64_t toUtcMs, double fadeDays)
{
    const auto days = static_cast<double>(std::max<int64_t>(toUtcMs - fromUtcMs, 0)) / static_cast<double>(DayMs);
    return count * std::exp2(-days / fadeDays);
}

int64_t dayNumber(int64_t utcMs)
{
    return utcMs >= 0 ? utcMs / DayMs : (utcMs - DayMs + 1) / DayMs;
}

// The weight of the newest answer after a night in the share kept overnight.
constexpr double OvernightAnswerWeight = 0.05;

} // namespace

std::optional<double> NoteMemory::keptOvernight() const
{
    if (m_overnightWeight <= 0)
        return std::nullopt;
    return m_keptOvernight / m_overnightWeight;
}

NoteMemory::NoteMemory(const RecallWeights& weights)
    : m_weights(weights)
{
    m_dayOf.fill(-1);
}

bool NoteMemory::isFirstAnswer(const std::vector<AnswerHistoryRow>& rows, size_t i)
{
    if (i == 0)
        return true;
    const AnswerHistoryRow& previous = rows[i - 1];
    const AnswerHistoryRow& row = rows[i];
    return previous.record.right || previous.record.shown != row.record.shown || previous.above != row.above
        || previous.key != row.key || previous.record.mode != row.record.mode
        || row.utcMs - previous.utcMs > SessionBreakMs || row.utcMs < previous.utcMs;
}

std::string NoteMemory::itemOf(Clef clef, SpelledNote note)
{
    std::string item(clefWord(clef));
    item += ' ';
    item += spelledText(note);
    return item;
}

std::string NoteMemory::itemOf(Clef clef, const std::vector<SpelledNote>& notes, Key key)
{
    std::string item(clefWord(clef));
    char joint = ' ';
    for (const SpelledNote note : notes) {
        item += joint;
        item += spelledText(note);
        joint = '+';
    }
    if (key.fifths != 0) {
        item += " in ";
        item += keyText(Key { key.fifths, KeyMode::Major });
    }
    return item;
}

std::string NoteMemory::itemOf(const AnswerHistoryRow& row)
{
    std::vector<SpelledNote> notes { row.spelledNote() };
    notes.insert(notes.end(), row.above.begin(), row.above.end());
    return itemOf(row.clefOrTreble(), notes, row.key.value_or(Key {}));
}

NoteMemory NoteMemory::fromHistory(const std::vector<AnswerHistoryRow>& rows)
{
    std::vector<RecallExample> examples;
    NoteMemory memory = build(rows, RecallWeights::defaults(), &examples);
    if (examples.size() < FitFromAnswers)
        return memory;
    // Fitted on the older four fifths of the newest FitOnAnswers, kept only
    // when they predict the newest fifth better than the defaults do.
    const auto from = examples.size() - std::min(examples.size(), FitOnAnswers);
    const auto split = from + (examples.size() - from) * 4 / 5;
    const std::vector<RecallExample> older(
        examples.begin() + static_cast<std::ptrdiff_t>(from), examples.begin() + static_cast<std::ptrdiff_t>(split));
    const std::vector<RecallExample> newer(examples.begin() + static_cast<std::ptrdiff_t>(split), examples.end());
    const RecallWeights fitted = fitRecallWeights(older, memory.m_weights);
    if (recallLogLoss(newer, fitted) < recallLogLoss(newer, memory.m_weights)) {
        memory.m_weights = fitted;
        memory.m_fitted = true;
    }
    return memory;
}

std::vector<RecallExample> NoteMemory::recallExamplesOf(const std::vector<AnswerHistoryRow>& rows)
{
    std::vector<RecallExample> examples;
    build(rows, RecallWeights::defaults(), &examples);
    return examples;
}

NoteMemory NoteMemory::fromHistory(const std::vector<AnswerHistoryRow>& rows, const RecallWeights& weights)
{
    return build(rows, weights, nullptr);
}

NoteMemory NoteMemory::build(
    const std::vector<AnswerHistoryRow>& rows, const RecallWeights& weights, std::vector<RecallExample>* examples)
{
    NoteMemory memory(weights);
    // Quick or slow is judged against the median of the whole history, found
    // first, so that a year of answers costs one pass to sort out.
    std::vector<bool> first(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        first[i] = isFirstAnswer(rows, i);
        if (first[i])
            memory.countResponse(rows[i].record.responseMs);
    }
    const double slowAfter = static_cast<double>(memory.medianResponseMs()) * SlowShareOfMedian;
    if (examples)
        examples->reserve(rows.size());
    // Most rows are single notes: their traces are found by the note, not by its text.
    std::array<int, 3 * 7 * 3 * 12> slotOfNote {};
    slotOfNote.fill(-1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const AnswerHistoryRow& row = rows[i];
        const SpelledNote note = row.spelledNote();
        const auto key = ((static_cast<size_t>(row.clefOrTreble()) % 3 * 7 + static_cast<size_t>(note.letter) % 7) * 3
                             + static_cast<size_t>(static_cast<int>(note.accidental) + 1) % 3)
                * 12
            + static_cast<size_t>(std::clamp(note.octave + 1, 0, 11));
        const bool singleNoteInC = row.above.empty() && (!row.key || row.key->fifths == 0);
        if (singleNoteInC && slotOfNote[key] < 0) {
            memory.traceToWrite(itemOf(row));
            slotOfNote[key] = static_cast<int>(memory.m_items.find(itemOf(row))->second);
        }
        Trace& trace
            = singleNoteInC ? memory.m_traces[static_cast<size_t>(slotOfNote[key])] : memory.traceToWrite(itemOf(row));
        if (first[i]) {
            if (examples)
                examples->push_back(recallExample(evidence(trace, row.utcMs), row.record.right));
            memory.countDay(row.utcMs);
            memory.record(trace, row.record.right, static_cast<double>(row.record.responseMs) > slowAfter, row.utcMs);
        } else if (trace.seen) {
            trace.lastSeenUtcMs = std::max(trace.lastSeenUtcMs, row.utcMs);
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

void NoteMemory::countDay(int64_t utcMs)
{
    const int64_t day = dayNumber(utcMs);
    const auto slot = static_cast<size_t>(((day % static_cast<int64_t>(DaysKept)) + DaysKept) % DaysKept);
    if (m_dayOf[slot] != day) {
        if (m_dayOf[slot] > day)
            return; // a clock gone back past the days kept
        m_dayOf[slot] = day;
        m_answersOnDay[slot] = 0;
    }
    ++m_answersOnDay[slot];
}

double NoteMemory::answersPerDay(int64_t nowUtcMs) const
{
    const int64_t today = dayNumber(nowUtcMs);
    int todays = 0;
    int before = 0;
    int daysBefore = 0;
    for (size_t slot = 0; slot < DaysKept; ++slot) {
        if (m_dayOf[slot] == today) {
            todays = m_answersOnDay[slot];
        } else if (m_dayOf[slot] >= today - 7 && m_dayOf[slot] < today && m_answersOnDay[slot] > 0) {
            before += m_answersOnDay[slot];
            ++daysBefore;
        }
    }
    const double mean = daysBefore > 0 ? static_cast<double>(before) / daysBefore : 0.0;
    return std::max(static_cast<double>(todays), mean);
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

NoteMemory::Trace& NoteMemory::traceToWrite(std::string_view item)
{
    const auto found = m_items.find(item);
    if (found != m_items.end())
        return m_traces[found->second];
    m_items.emplace(std::string(item), m_traces.size());
    return m_traces.emplace_back();
}

const NoteMemory::Trace* NoteMemory::find(std::string_view item) const
{
    const auto found = m_items.find(item);
    return found == m_items.end() ? nullptr : &m_traces[found->second];
}

NoteMemory::Trace* NoteMemory::find(std::string_view item)
{
    const auto found = m_items.find(item);
    return found == m_items.end() ? nullptr : &m_traces[found->second];
}

void NoteMemory::firstAnswer(std::string_view item, bool right, int64_t responseMs, int64_t utcMs)
{
    const double slowAfter = static_cast<double>(medianResponseMs()) * SlowShareOfMedian;
    countResponse(responseMs);
    countDay(utcMs);
    record(traceToWrite(item), right, static_cast<double>(responseMs) > slowAfter, utcMs);
}

void NoteMemory::firstAnswer(Clef clef, SpelledNote note, bool right, int64_t responseMs, int64_t utcMs)
{
    firstAnswer(itemOf(clef, note), right, responseMs, utcMs);
}

void NoteMemory::record(Trace& trace, bool right, bool slow, int64_t utcMs)
{
    if (trace.seen && utcMs - trace.lastSeenUtcMs >= OvernightMs) {
        m_keptOvernight += OvernightAnswerWeight * ((right ? 1.0 : 0.0) - m_keptOvernight);
        m_overnightWeight += OvernightAnswerWeight * (1.0 - m_overnightWeight);
    }
    const int64_t at = std::max(trace.lastAnswerUtcMs, utcMs);
    trace.fadingRight = faded(trace.fadingRight, trace.lastAnswerUtcMs, at, RightFadeDays);
    trace.fadingWrong = faded(trace.fadingWrong, trace.lastAnswerUtcMs, at, WrongFadeDays);
    if (!right) {
        ++trace.wrong;
        trace.fadingWrong += 1;
    } else if (slow) {
        ++trace.slowRight;
        trace.fadingRight += SlowRightWorth;
    } else {
        ++trace.quickRight;
        trace.fadingRight += 1;
    }
    trace.seen = true;
    trace.lastAnswerUtcMs = at;
    trace.lastSeenUtcMs = std::max(trace.lastSeenUtcMs, utcMs);
}

void NoteMemory::seenAgain(std::string_view item, int64_t utcMs)
{
    Trace* trace = find(item);
    if (trace && trace->seen)
        trace->lastSeenUtcMs = std::max(trace->lastSeenUtcMs, utcMs);
}

void NoteMemory::seenAgain(Clef clef, SpelledNote note, int64_t utcMs)
{
    seenAgain(itemOf(clef, note), utcMs);
}

const NoteMemory::Trace& NoteMemory::trace(std::string_view item) const
{
    static const Trace never;
    const Trace* found = find(item);
    return found ? *found : never;
}

const NoteMemory::Trace& NoteMemory::trace(Clef clef, SpelledNote note) const
{
    return trace(itemOf(clef, note));
}

RecallEvidence NoteMemory::evidence(const Trace& trace, int64_t nowUtcMs)
{
    if (!trace.seen)
        return { 0, 0, NeverSeenHours };
    const int64_t at = std::max(trace.lastAnswerUtcMs, nowUtcMs);
    return { faded(trace.fadingRight, trace.lastAnswerUtcMs, at, RightFadeDays),
        faded(trace.fadingWrong, trace.lastAnswerUtcMs, at, WrongFadeDays),
        static_cast<double>(std::max<int64_t>(nowUtcMs - trace.lastSeenUtcMs, 0)) / HourMs };
}

RecallEvidence NoteMemory::evidence(std::string_view item, int64_t nowUtcMs) const
{
    return evidence(trace(item), nowUtcMs);
}

double NoteMemory::predictedRecall(std::string_view item, int64_t nowUtcMs) const
{
    return predictRecall(m_weights, evidence(item, nowUtcMs));
}

std::optional<double> NoteMemory::recall(std::string_view item, int64_t nowUtcMs) const
{
    if (!trace(item).seen)
        return std::nullopt;
    return predictedRecall(item, nowUtcMs);
}

std::optional<double> NoteMemory::recall(Clef clef, SpelledNote note, int64_t nowUtcMs) const
{
    return recall(itemOf(clef, note), nowUtcMs);
}

} // namespace zintaro::compose
