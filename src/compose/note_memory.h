#pragma once

#include "compose/answer_history.h"
#include "core/pitch.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zintaro::compose {

// What the student remembers of each written note (staff, letter,
// accidental, octave), estimated from their first answers on all days.
//
// Half-life regression: the chance of reading a note right at the first try
// falls as p = 2^(−Δ/h), Δ the time since it was last seen and h its
// half-life, h = BaseHalfLife · 2^(θ·x) with x the square roots of the note's
// quick right answers, slow right answers and wrong answers. Quick and slow
// are measured against the student's own median time, so a note read right
// but with hesitation is not taken as learned. The weights θ are set by hand
// rather than fitted: a year of answers of one student is too little to fit
// them well, and hand weights keep the draw predictable.
class NoteMemory {
public:
    // The traces of one written note.
    struct Trace {
        int quickRight = 0;
        int slowRight = 0;
        int wrong = 0;
        int64_t lastSeenUtcMs = 0;
        bool seen = false;
    };

    // Every first answer in the rows (file order); later answers to the same
    // note only mark it as seen. A first answer is one that follows a right
    // answer, another note, a change of mode or a pause of SessionBreakMs.
    static NoteMemory fromHistory(const std::vector<AnswerHistoryRow>& rows);

    // The first answer to a note shown, right or wrong, at utcMs.
    void firstAnswer(Clef clef, SpelledNote note, bool right, int64_t responseMs, int64_t utcMs);
    // A later answer to the same note: it was seen again.
    void seenAgain(Clef clef, SpelledNote note, int64_t utcMs);

    const Trace& trace(Clef clef, SpelledNote note) const;

    // Nothing for a note never answered.
    std::optional<double> recall(Clef clef, SpelledNote note, int64_t nowUtcMs) const;
    double halfLifeMs(Clef clef, SpelledNote note) const;

    // The student's median time of first answers; a moderate default before
    // the first one.
    int64_t medianResponseMs() const;

    // A right answer slower than this share of the median counts as slow.
    static constexpr double SlowShareOfMedian = 1.5;

private:
    static constexpr int64_t BucketMs = 50;
    static constexpr size_t BucketCount = 600; // up to 30 s; slower ones share the last bucket
    static constexpr size_t TraceCount = 3 * 7 * 3 * 12;

    static size_t indexOf(Clef clef, SpelledNote note);
    void countResponse(int64_t responseMs);
    void record(Clef clef, SpelledNote note, bool right, bool slow, int64_t utcMs);

    std::array<Trace, TraceCount> m_traces {};
    std::array<int, BucketCount> m_responses {};
    int m_responseCount = 0;
};

} // namespace zintaro::compose
