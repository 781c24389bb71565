#include "compose/chord_review.h"

#include "compose/chord_material.h"
#include "compose/practice_draw.h"

#include <algorithm>

namespace zintaro::compose {

namespace {

// One learned long ago weighs this much against one forgotten.
constexpr double LearnedFloor = 0.05;

} // namespace

ChordReview::ChordReview(uint32_t seed)
    : m_random(seed)
{
}

void ChordReview::setChoices(const PracticeChoices& choices)
{
    m_choices = choices;
    m_candidates.clear();
    const MaterialRequest request = materialOf(choices, 0);
    if (choices.drill == Drill::Intervals) {
        for (const Interval& interval : allIntervals(request, true))
            m_candidates.push_back({ interval.lower, interval.upper });
    } else if (choices.drill == Drill::Chords) {
        for (const Triad& triad : allTriads(request))
            m_candidates.push_back(triad.notes);
    }
    m_items.clear();
    for (const auto& notes : m_candidates)
        m_items.push_back(NoteMemory::itemOf(choices.clef, notes, choices.key));
    m_returns.clear();
    m_previous.reset();
    m_draws = 0;
}

double ChordReview::unit()
{
    return static_cast<double>(m_random()) / 4294967296.0;
}

std::optional<DrawnChord> ChordReview::next(const NoteMemory& memory, int64_t nowUtcMs)
{
    if (m_candidates.empty())
        return std::nullopt;
    const bool together = m_choices.drill != Drill::Intervals || (m_random() & 1U) == 0;
    // The return due soonest, once its time has come and it is not the one just shown.
    const Return* due = nullptr;
    for (const Return& r : m_returns) {
        if (r.earliest <= m_draws && r.candidate != m_previous && (!due || r.latest < due->latest))
            due = &r;
    }
    const size_t chosen = due ? due->candidate : weighedCandidate(memory, nowUtcMs);
    std::erase_if(m_returns, [chosen](const Return& r) { return r.candidate == chosen; });
    m_previous = chosen;
    ++m_draws;
    return DrawnChord { m_candidates[chosen], together };
}

size_t ChordReview::weighedCandidate(const NoteMemory& memory, int64_t nowUtcMs)
{
    std::vector<double> weights(m_candidates.size(), 0.0);
    double total = 0;
    for (size_t i = 0; i < m_candidates.size(); ++i) {
        const bool waits = std::any_of(m_returns.begin(), m_returns.end(),
            [i, this](const Return& r) { return r.candidate == i && r.earliest > m_draws; });
        if (i == m_previous || waits)
            continue;
        weights[i] = LearnedFloor + 1.0 - memory.predictedRecall(m_items[i], nowUtcMs);
        total += weights[i];
    }
    if (total <= 0) // a single candidate, or every other one waiting to return
        return m_previous.value_or(0);
    double target = unit() * total;
    for (size_t i = 0; i < weights.size(); ++i) {
        target -= weights[i];
        if (weights[i] > 0 && target < 0)
            return i;
    }
    // Rounding left a sliver: the last one with any weight.
    for (size_t i = weights.size(); i-- > 0;) {
        if (weights[i] > 0)
            return i;
    }
    return 0;
}

void ChordReview::firstAnswer(bool right)
{
    if (right || !m_previous)
        return;
    const int64_t drawn = m_draws - 1;
    std::erase_if(m_returns, [this](const Return& r) { return r.candidate == *m_previous; });
    m_returns.push_back(
        { *m_previous, drawn + MissedReturnsFrom + static_cast<int64_t>(m_random() % 2), drawn + MissedReturnsBy });
}

} // namespace zintaro::compose
