#pragma once

#include "compose/note_memory.h"
#include "compose/practice_choices.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace zintaro::compose {

// Which interval ("Intervalli") or triad ("Accordi") the trainer shows next
// under "Ripasso". Among those the choices allow, one missed at the first
// try comes back as the MissedReturnsFrom-th to MissedReturnsBy-th after
// it; otherwise each is weighed by the chance that the student has
// forgotten it, as the memory keeps it by what was written (clef, notes,
// key), plus a floor so that those learned long ago still come now and
// then. The same one never comes twice in a row while there are others.
class ChordReview {
public:
    explicit ChordReview(uint32_t seed = 1);

    void seed(uint32_t seed) { m_random.seed(seed); }

    // New choices start over: nothing owed, nothing shown before.
    void setChoices(const PracticeChoices& choices);

    // Nothing when the choices hold no interval or chord.
    std::optional<DrawnChord> next(const NoteMemory& memory, int64_t nowUtcMs);

    // The first answer to the one drawn last.
    void firstAnswer(bool right);

    // How the memory names each candidate, in the order drawn from.
    const std::vector<std::string>& items() const { return m_items; }

private:
    struct Return {
        size_t candidate;
        int64_t earliest;
        int64_t latest;
    };

    size_t weighedCandidate(const NoteMemory& memory, int64_t nowUtcMs);
    double unit();

    std::mt19937 m_random;
    PracticeChoices m_choices;
    std::vector<std::vector<SpelledNote>> m_candidates;
    std::vector<std::string> m_items;
    std::vector<Return> m_returns;
    std::optional<size_t> m_previous;
    int64_t m_draws = 0;
};

} // namespace zintaro::compose
