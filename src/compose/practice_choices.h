#pragma once

#include "core/pitch.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zintaro::compose {

// Which notes of the range are read: all of them, only those whose head sits
// on a line (ledger lines too), only those in a space, or only those that
// need a ledger line.
enum class NoteFilter : uint8_t { All, Lines, Spaces, Ledger };

// "all", "lines", "spaces", "ledger": the words of the settings file.
std::string_view noteFilterWord(NoteFilter filter);
std::optional<NoteFilter> noteFilterFromWord(std::string_view word);

// The lowest and highest note offered for the range: the piano's white keys,
// so that every note drawn can be answered on it.
inline constexpr SpelledNote LowestRangeNote { Letter::F, Accidental::Natural, 3 };
inline constexpr SpelledNote HighestRangeNote { Letter::E, Accidental::Natural, 6 };

// What the student chose to read while "Rispondi" is on.
struct PracticeChoices {
    bool review = false; // "Ripasso": the draw follows the memory of each note
    bool accidentals = false; // "Alterazioni": black keys join, as sharps and flats
    SpelledNote lowest { Letter::C, Accidental::Natural, 4 };
    SpelledNote highest { Letter::C, Accidental::Natural, 6 };
    NoteFilter filter = NoteFilter::All;
    Clef clef = Clef::Treble;

    friend bool operator==(const PracticeChoices&, const PracticeChoices&) = default;
};

// True for a natural note the range can start or end on.
bool isRangeNote(SpelledNote note);

// Whether a written note's head needs a ledger line on a staff.
bool needsLedgerLine(SpelledNote note, Clef clef);
bool sitsOnLine(SpelledNote note);

// The written notes to read, low to high: every natural between lowest and
// highest (either order) that passes the filter, and with accidentals each
// black key twice, as its sharp and its flat. A filter that leaves nothing
// gives the whole range instead, so there is always something to read.
std::vector<SpelledNote> writtenNotesOf(const PracticeChoices& choices);

} // namespace zintaro::compose
