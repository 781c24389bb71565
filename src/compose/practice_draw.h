#pragma once

#include "compose/drawn_note.h"
#include "compose/note_memory.h"
#include "compose/practice_choices.h"

#include <cstdint>
#include <optional>
#include <random>
#include <utility>
#include <vector>

namespace zintaro::compose {

// A note missed at the first try comes back as the third to sixth note after it.
inline constexpr int64_t MissedReturnsFrom = 3;
inline constexpr int64_t MissedReturnsBy = 6;

// Every note of the range comes at least once in this many times as many draws.
inline constexpr int64_t CoverageRounds = 4;

// Which note the trainer shows next while "Rispondi" is on.
//
// Without "Ripasso" every key of the range is equally likely (a black key
// spelled as a sharp or a flat by a coin), never the key just shown.
//
// With "Ripasso" each written note is weighed by the memory: the chance that
// it has been forgotten, plus its share of misses, plus a floor so that
// notes learned long ago still come now and then; a note never answered
// weighs as a half-forgotten one, so new notes come in soon. Two rules
// override the weights: a note missed at the first try returns as the
// MissedReturnsFrom-th to MissedReturnsBy-th note after it, and no note of
// the range waits more than CoverageRounds × N draws (N its written notes).
class PracticeDraw {
public:
    explicit PracticeDraw(uint32_t seed = 1);

    void seed(uint32_t seed) { m_random.seed(seed); }

    // New choices start over: nothing owed, nothing shown before.
    void setChoices(const PracticeChoices& choices);
    const PracticeChoices& choices() const { return m_choices; }
    const std::vector<SpelledNote>& writtenNotes() const { return m_notes; }

    DrawnNote next(const NoteMemory& memory, int64_t nowUtcMs);

    // The first answer to the note drawn last.
    void firstAnswer(bool right);

    // The draw weight of a written note under "Ripasso"; for tests and the benchmark.
    double reviewWeight(const NoteMemory& memory, SpelledNote note, int64_t nowUtcMs) const;

private:
    struct Return {
        size_t note;
        int64_t earliest;
        int64_t latest;
    };

    size_t uniformNote();
    size_t reviewNote(const NoteMemory& memory, int64_t nowUtcMs);
    std::optional<size_t> overdueNote() const;
    // The missed note due back soonest, and the last draw it may wait for.
    std::optional<std::pair<size_t, int64_t>> returningNote() const;
    bool repeatsPrevious(size_t note) const;
    bool returnsLater(size_t note) const;
    double unit();

    std::mt19937 m_random;
    PracticeChoices m_choices;
    std::vector<SpelledNote> m_notes;
    std::vector<std::vector<size_t>> m_spellingsOfKey; // written notes of each key, keys low to high
    std::vector<size_t> m_keyOfNote; // the key of each written note
    std::vector<int64_t> m_lastDrawn; // per written note, draw count; -1 before the first
    std::vector<Return> m_returns;
    std::optional<size_t> m_previous;
    int64_t m_draws = 0;
};

} // namespace zintaro::compose
