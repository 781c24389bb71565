#pragma once

#include "compose/drawn_note.h"
#include "compose/note_memory.h"
#include "compose/practice_choices.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
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
// With "Ripasso" the draw fits the student's effort. Notes come in one at a
// time, notes on the staff first, then those with an accidental or a ledger
// line, a black key's second name after its first, each from the middle of
// the range outwards, while the notes already met that are not yet settled
// (the memory does not expect them read right tomorrow) are fewer than a
// day's answers can keep fresh (NoteMemory::answersPerDay /
// AnswersPerFreshNote), or while the student reads right most notes lately
// (ReadyShare, or KeepingReadyShare for one who keeps what was met from one
// day to the next); with ample practice the whole range comes in within the
// first sitting. Among the notes met, each is weighed by the chance that it
// has been forgotten, plus a floor so that notes learned long ago still come
// now and then. Three rules override the weights: a note missed at the first
// try returns as the MissedReturnsFrom-th to MissedReturnsBy-th note after it
// (the fifth or sixth when nothing else is due), no note met waits more than
// CoverageRounds × N draws (N the range's written notes), and no key comes
// twice in a row.
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

    // The draw weight of a written note met before, under "Ripasso".
    double reviewWeight(const NoteMemory& memory, SpelledNote note, int64_t nowUtcMs) const;

    // How many answers a day keep one note fresh while it is being learned.
    static constexpr double AnswersPerFreshNote = 5.0;
    // A note is settled when it is expected read right this likely a day later.
    static constexpr double SettledRecall = 0.5;
    // At least this many notes are in play, whatever the effort.
    static constexpr size_t FewestNotesInPlay = 4;
    // A student reading this share right at the first try lately gets a new note anyway.
    static constexpr double ReadyShare = 0.65;
    // So does one who reads right this share of the notes met before after a
    // night away (NoteMemory::keptOvernight) and KeepingReadyShare lately:
    // what they learn stays, so more notes can be learned side by side.
    static constexpr double KeptOvernightShare = 0.4;
    static constexpr double KeepingReadyShare = 0.55;

private:
    struct Return {
        size_t note;
        int64_t earliest;
        int64_t latest;
    };

    size_t uniformNote();
    size_t reviewNote(const NoteMemory& memory, int64_t nowUtcMs);
    void markMet(const NoteMemory& memory);
    double weightOf(const NoteMemory& memory, size_t note, int64_t nowUtcMs) const;
    // The next note to bring in, if the effort allows one more.
    std::optional<size_t> noteToIntroduce(const NoteMemory& memory, int64_t nowUtcMs) const;
    std::optional<size_t> overdueNote() const;
    // The missed note due back soonest, and the last draw it may wait for.
    std::optional<std::pair<size_t, int64_t>> returningNote() const;
    bool repeatsPrevious(size_t note) const;
    bool returnsLater(size_t note) const;
    bool delaysReturn(size_t note) const;
    double unit();

    std::mt19937 m_random;
    PracticeChoices m_choices;
    std::vector<SpelledNote> m_notes;
    std::vector<std::string> m_items; // as the memory names them
    std::vector<std::vector<size_t>> m_spellingsOfKey; // written notes of each key, keys low to high
    std::vector<size_t> m_keyOfNote; // the key of each written note
    std::vector<int64_t> m_lastDrawn; // per written note, draw count; -1 before the first
    std::vector<bool> m_introduced; // per written note: met before, in the memory or in this draw
    std::vector<size_t> m_introductionOrder; // middle of the range first, naturals before accidentals
    std::vector<Return> m_returns;
    std::optional<size_t> m_previous;
    bool m_previousReturned = false; // the note drawn last came back after a miss
    double m_recentRightShare = 0; // of first answers under "Ripasso", recent ones weighing most
    int64_t m_draws = 0;
};

} // namespace zintaro::compose
