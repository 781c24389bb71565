#pragma once

#include "core/pitch.h"

#include <array>
#include <cstddef>
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

// The naturals from one note to another, both included.
struct NoteRange {
    SpelledNote lowest;
    SpelledNote highest;

    friend bool operator==(const NoteRange&, const NoteRange&) = default;
};

// What "Estensione…" offers on each staff: on the treble staff the piano's
// white keys (Fa3–Mi6), so that the computer keys answer every note without
// moving; on the bass staff Do2–Mi4; on the grand staff Do2–Do6.
constexpr NoteRange offeredRange(Clef clef)
{
    switch (clef) {
    case Clef::Bass:
        return { { Letter::C, Accidental::Natural, 2 }, { Letter::E, Accidental::Natural, 4 } };
    case Clef::Grand:
        return { { Letter::C, Accidental::Natural, 2 }, { Letter::C, Accidental::Natural, 6 } };
    case Clef::Treble:
        break;
    }
    return { { Letter::F, Accidental::Natural, 3 }, { Letter::E, Accidental::Natural, 6 } };
}

// The range a staff starts with: Do4–Do6, Sol2–Do4, Do3–Do5.
constexpr NoteRange firstRange(Clef clef)
{
    switch (clef) {
    case Clef::Bass:
        return { { Letter::G, Accidental::Natural, 2 }, { Letter::C, Accidental::Natural, 4 } };
    case Clef::Grand:
        return { { Letter::C, Accidental::Natural, 3 }, { Letter::C, Accidental::Natural, 5 } };
    case Clef::Treble:
        break;
    }
    return { { Letter::C, Accidental::Natural, 4 }, { Letter::C, Accidental::Natural, 6 } };
}

// What the student chose to read while "Rispondi" is on.
struct PracticeChoices {
    bool review = false; // "Ripasso": the draw follows the memory of each note
    bool accidentals = false; // "Alterazioni": black keys join, as sharps and flats
    // Each staff keeps its own range, by Clef.
    std::array<NoteRange, 3> ranges { firstRange(Clef::Treble), firstRange(Clef::Bass), firstRange(Clef::Grand) };
    NoteFilter filter = NoteFilter::All;
    Clef clef = Clef::Treble;

    // The range of the staves chosen.
    const NoteRange& range() const { return ranges.at(static_cast<std::size_t>(clef)); }
    NoteRange& range() { return ranges.at(static_cast<std::size_t>(clef)); }

    friend bool operator==(const PracticeChoices&, const PracticeChoices&) = default;
};

// True for a natural note a range on the staves can start or end on.
bool isRangeNote(SpelledNote note, Clef clef);

// Whether a written note's head needs a ledger line on a staff.
bool needsLedgerLine(SpelledNote note, Clef clef);
bool sitsOnLine(SpelledNote note);

// The written notes to read, low to high: every natural of the range of the
// staves chosen (either way round) that passes the filter, and with accidentals each
// black key twice, as its sharp and its flat. A filter that leaves nothing
// gives the whole range instead, so there is always something to read.
std::vector<SpelledNote> writtenNotesOf(const PracticeChoices& choices);

} // namespace zintaro::compose
