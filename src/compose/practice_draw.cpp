#include "compose/practice_draw.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string>

namespace zintaro::compose {

namespace {

// A note learned long ago weighs this much against a forgotten one.
constexpr double LearnedFloor = 0.05;
// The weight of the newest first answer in the recent share of right ones.
constexpr double RecentAnswerWeight = 0.05;
constexpr int64_t DayMs = int64_t { 24 } * 3600 * 1000;
// The coverage rule steps in this many draws before it would be too late, so
// that the notes coming back after misses do not push another past its turn.
constexpr int64_t CoverageMargin = 4;

} // namespace

PracticeDraw::PracticeDraw(uint32_t seed)
    : m_random(seed)
{
    setChoices({});
}

void PracticeDraw::setChoices(const PracticeChoices& choices)
{
    m_choices = choices;
    m_notes = writtenNotesOf(choices);
    m_spellingsOfKey.clear();
    m_keyOfNote.clear();
    for (size_t i = 0; i < m_notes.size(); ++i) {
        if (i == 0 || midiNoteOf(m_notes[i]) != midiNoteOf(m_notes[i - 1]))
            m_spellingsOfKey.emplace_back();
        m_spellingsOfKey.back().push_back(i);
        m_keyOfNote.push_back(m_spellingsOfKey.size() - 1);
    }
    m_items.clear();
    for (const SpelledNote note : m_notes)
        m_items.push_back(NoteMemory::itemOf(choices.clef, { note }, choices.key));
    m_lastDrawn.assign(m_notes.size(), -1);
    m_introduced.assign(m_notes.size(), false);
    m_introductionOrder.resize(m_notes.size());
    std::iota(m_introductionOrder.begin(), m_introductionOrder.end(), size_t { 0 });
    const int middle = m_notes.empty() ? 0 : (stepsFromMiddleC(m_notes.front()) + stepsFromMiddleC(m_notes.back())) / 2;
    // One new thing at a time: a note on the staff before one with an
    // accidental or a ledger line, and a black key met by its plainer name
    // before its other name; among equals, the middle of the range first.
    std::vector<int> novelties(m_notes.size());
    for (size_t i = 0; i < m_notes.size(); ++i) {
        novelties[i] = (m_notes[i].accidental != Accidental::Natural ? 1 : 0)
            + (needsLedgerLine(m_notes[i], m_choices.clef) ? 1 : 0);
    }
    for (const auto& names : m_spellingsOfKey) {
        const auto first = *std::min_element(
            names.begin(), names.end(), [&novelties](size_t a, size_t b) { return novelties[a] < novelties[b]; });
        for (const size_t i : names)
            novelties[i] += i == first ? 0 : 1;
    }
    const auto rank = [this, middle, &novelties](size_t i) {
        return std::pair { novelties[i], std::abs(stepsFromMiddleC(m_notes[i]) - middle) };
    };
    std::stable_sort(m_introductionOrder.begin(), m_introductionOrder.end(),
        [&rank](size_t a, size_t b) { return rank(a) < rank(b); });
    m_returns.clear();
    m_previous.reset();
    m_previousReturned = false;
    m_draws = 0;
    m_recentRightShare = 0;
}

double PracticeDraw::unit()
{
    // From the generator's 32 bits, so a seed gives the same notes everywhere.
    return static_cast<double>(m_random()) / 4294967296.0;
}

bool PracticeDraw::repeatsPrevious(size_t note) const
{
    return m_previous && m_keyOfNote[note] == m_keyOfNote[*m_previous];
}

bool PracticeDraw::delaysReturn(size_t note) const
{
    // Its key now would keep a return due by the next draw from coming then.
    return std::any_of(m_returns.begin(), m_returns.end(), [this, note](const Return& r) {
        return r.note != note && r.latest == m_draws + 1 && m_keyOfNote[r.note] == m_keyOfNote[note];
    });
}

bool PracticeDraw::returnsLater(size_t note) const
{
    return std::any_of(m_returns.begin(), m_returns.end(),
        [this, note](const Return& r) { return r.note == note && r.earliest > m_draws; });
}

DrawnNote PracticeDraw::next(const NoteMemory& memory, int64_t nowUtcMs)
{
    const size_t note = m_choices.review ? reviewNote(memory, nowUtcMs) : uniformNote();
    m_previousReturned
        = std::any_of(m_returns.begin(), m_returns.end(), [note](const Return& r) { return r.note == note; });
    std::erase_if(m_returns, [note](const Return& r) { return r.note == note; });
    m_lastDrawn[note] = m_draws;
    if (m_choices.review)
        m_introduced[note] = true;
    m_previous = note;
    ++m_draws;
    return { m_notes[note], m_choices.clef, m_choices.review };
}

void PracticeDraw::firstAnswer(bool right)
{
    if (!m_previous || !m_choices.review)
        return;
    m_recentRightShare += RecentAnswerWeight * ((right ? 1.0 : 0.0) - m_recentRightShare);
    if (right)
        return;
    const int64_t drawn = m_draws - 1;
    const size_t note = *m_previous;
    // A first miss returns as late as the rule allows, fifth or sixth at
    // random: a look spread out is remembered longer than one right after
    // the miss. Missed again on its return, the note comes back third or
    // fourth, so that a note the student cannot read is shown often; so it
    // does when the key's other name is also due back, to leave room for
    // both without the same key twice in a row.
    const bool keyDueBack = std::any_of(m_returns.begin(), m_returns.end(),
        [this, note](const Return& r) { return m_keyOfNote[r.note] == m_keyOfNote[note]; });
    const int64_t from = m_previousReturned || keyDueBack ? MissedReturnsFrom : MissedReturnsBy - 1;
    const int64_t earliest = drawn + from + static_cast<int64_t>(m_random() % 2);
    std::erase_if(m_returns, [note](const Return& r) { return r.note == note; });
    m_returns.push_back({ note, earliest, drawn + MissedReturnsBy });
}

size_t PracticeDraw::uniformNote()
{
    const size_t keys = m_spellingsOfKey.size();
    std::optional<size_t> previousKey;
    if (m_previous)
        previousKey = m_keyOfNote[*m_previous];
    // One of the other keys, each as likely: the previous one is skipped over.
    const size_t choices = previousKey && keys > 1 ? keys - 1 : keys;
    auto key = std::min(static_cast<size_t>(unit() * static_cast<double>(choices)), choices - 1);
    if (previousKey && keys > 1 && key >= *previousKey)
        ++key;
    const auto& spellings = m_spellingsOfKey[key];
    const auto which
        = std::min(static_cast<size_t>(unit() * static_cast<double>(spellings.size())), spellings.size() - 1);
    return spellings[which];
}

std::optional<size_t> PracticeDraw::overdueNote() const
{
    // Earliest deadline first: when the notes due by some draw need every
    // draw left until then, the one due soonest must come now.
    const auto count = static_cast<int64_t>(m_notes.size());
    const int64_t window = CoverageRounds * count;
    std::vector<std::pair<int64_t, size_t>> deadlines;
    deadlines.reserve(m_notes.size());
    for (size_t i = 0; i < m_notes.size(); ++i) {
        if (m_introduced[i] && !repeatsPrevious(i))
            deadlines.emplace_back(m_lastDrawn[i] + window, i);
    }
    std::sort(deadlines.begin(), deadlines.end());
    for (size_t k = 0; k < deadlines.size(); ++k) {
        const int64_t drawsLeft = deadlines[k].first - m_draws + 1;
        if (drawsLeft <= static_cast<int64_t>(k) + 1 + CoverageMargin)
            return deadlines.front().second;
    }
    return std::nullopt;
}

std::optional<std::pair<size_t, int64_t>> PracticeDraw::returningNote() const
{
    const Return* due = nullptr;
    for (const Return& r : m_returns) {
        if (r.earliest <= m_draws && !repeatsPrevious(r.note) && (r.latest <= m_draws || !delaysReturn(r.note))
            && (!due || r.latest < due->latest))
            due = &r;
    }
    if (!due)
        return std::nullopt;
    return std::pair { due->note, due->latest };
}

double PracticeDraw::reviewWeight(const NoteMemory& memory, SpelledNote note, int64_t nowUtcMs) const
{
    return LearnedFloor + 1.0
        - memory.predictedRecall(NoteMemory::itemOf(m_choices.clef, { note }, m_choices.key), nowUtcMs);
}

double PracticeDraw::weightOf(const NoteMemory& memory, size_t note, int64_t nowUtcMs) const
{
    return LearnedFloor + 1.0 - memory.predictedRecall(m_items[note], nowUtcMs);
}

void PracticeDraw::markMet(const NoteMemory& memory)
{
    for (size_t i = 0; i < m_notes.size(); ++i) {
        if (!m_introduced[i] && memory.trace(m_items[i]).seen)
            m_introduced[i] = true;
    }
}

std::optional<size_t> PracticeDraw::noteToIntroduce(const NoteMemory& memory, int64_t nowUtcMs) const
{
    size_t unsettled = 0;
    for (size_t i = 0; i < m_notes.size(); ++i) {
        if (m_introduced[i] && memory.predictedRecall(m_items[i], nowUtcMs + DayMs) < SettledRecall)
            ++unsettled;
    }
    const double inPlay
        = std::max(memory.answersPerDay(nowUtcMs) / AnswersPerFreshNote, static_cast<double>(FewestNotesInPlay));
    const auto kept = memory.keptOvernight();
    const bool keepsWhatWasMet = kept && *kept >= KeptOvernightShare && m_recentRightShare >= KeepingReadyShare;
    if (static_cast<double>(unsettled) >= inPlay && m_recentRightShare < ReadyShare && !keepsWhatWasMet)
        return std::nullopt;
    for (const size_t i : m_introductionOrder) {
        if (!m_introduced[i] && !repeatsPrevious(i) && !delaysReturn(i))
            return i;
    }
    return std::nullopt;
}

size_t PracticeDraw::reviewNote(const NoteMemory& memory, int64_t nowUtcMs)
{
    markMet(memory);
    // A return at the end of its window first, then a note about to miss
    // its round, then any return due; the coverage margin lets it wait.
    const auto returning = returningNote();
    if (returning && returning->second <= m_draws)
        return returning->first;
    if (const auto overdue = overdueNote())
        return *overdue;
    if (returning)
        return returning->first;
    if (const auto newNote = noteToIntroduce(memory, nowUtcMs))
        return *newNote;

    std::vector<double> weights(m_notes.size(), 0.0);
    double total = 0;
    for (size_t i = 0; i < m_notes.size(); ++i) {
        if (!m_introduced[i] || repeatsPrevious(i) || returnsLater(i) || delaysReturn(i))
            continue;
        weights[i] = weightOf(memory, i, nowUtcMs);
        total += weights[i];
    }
    if (total <= 0) { // a single key, or every other note met waiting to return
        for (const size_t i : m_introductionOrder) {
            if (!repeatsPrevious(i) && !returnsLater(i))
                return i;
        }
        return m_previous.value_or(0);
    }
    double target = unit() * total;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] <= 0)
            continue;
        target -= weights[i];
        if (target < 0)
            return i;
    }
    // Rounding left a sliver: the last note with any weight.
    for (size_t i = weights.size(); i-- > 0;) {
        if (weights[i] > 0)
            return i;
    }
    return 0;
}

} // namespace zintaro::compose
