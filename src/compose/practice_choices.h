#pragma once

#include "core/key_meter.h"
#include "core/pitch.h"
#include "core/translation.h"

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

constexpr SpelledNote natural(Letter letter, int octave)
{
    return { letter, Accidental::Natural, octave };
}

// What "Estensione…" offers on each staff, by Clef: on the treble staff the
// piano's white keys (Fa3–Mi6), so that the computer keys answer every note
// without moving; on the bass staff Do2–Mi4; on the grand staff Do2–Do6.
inline constexpr std::array<NoteRange, 3> OfferedRanges { {
    { natural(Letter::F, 3), natural(Letter::E, 6) },
    { natural(Letter::C, 2), natural(Letter::E, 4) },
    { natural(Letter::C, 2), natural(Letter::C, 6) },
} };
// The range each staff starts with: Do4–Do6, Sol2–Do4, Do3–Do5.
inline constexpr std::array<NoteRange, 3> FirstRanges { {
    { natural(Letter::C, 4), natural(Letter::C, 6) },
    { natural(Letter::G, 2), natural(Letter::C, 4) },
    { natural(Letter::C, 3), natural(Letter::C, 5) },
} };

constexpr NoteRange offeredRange(Clef clef)
{
    return OfferedRanges.at(static_cast<std::size_t>(clef));
}

constexpr NoteRange firstRange(Clef clef)
{
    return FirstRanges.at(static_cast<std::size_t>(clef));
}

// What is drawn for each answer: one note, two notes ("Intervalli") or a
// triad ("Accordi").
enum class Drill : uint8_t { Notes, Intervals, Chords };

// Generated melodies grow in difficulty from the first level to the last.
inline constexpr int FirstLevel = 1;
inline constexpr int LastLevel = 8;

// What the student chose to read while "Rispondi" is on.
struct PracticeChoices {
    bool review = false; // "Ripasso": the draw follows the memory of each note
    bool accidentals = false; // "Alterazioni": black keys join, as sharps and flats
    // Each staff keeps its own range, by Clef.
    std::array<NoteRange, 3> ranges = FirstRanges;
    NoteFilter filter = NoteFilter::All;
    Clef clef = Clef::Treble;
    Key key; // "Armatura": the key read in; C major reads as before keys
    bool randomKey = false; // "Tutte, a caso": a new key each session
    int level = FirstLevel; // "Livello": for generated melodies
    Drill drill = Drill::Notes;
    // "A tempo": "Leggi" shows a phrase to play at the tempo, judged note by
    // note; "Dalla composizione": the phrase is the piece on the staff.
    bool inTime = false;
    bool fromPiece = false;
    bool metronome = true; // "Metronomo": the clicks go on through the phrase
    int delayCorrectionMs = 0; // from "Calibra ritardo…"

    // The range of the staves chosen.
    const NoteRange& range() const { return ranges.at(static_cast<std::size_t>(clef)); }
    NoteRange& range() { return ranges.at(static_cast<std::size_t>(clef)); }

    friend bool operator==(const PracticeChoices&, const PracticeChoices&) = default;
};

// The delay correction kept: a calibration beyond it is surely no delay.
inline constexpr int LargestDelayCorrectionMs = 500;

// True for a natural note a range on the staves can start or end on.
bool isRangeNote(SpelledNote note, Clef clef);

// Whether a written note's head needs a ledger line on a staff.
bool needsLedgerLine(SpelledNote note, Clef clef);
bool sitsOnLine(SpelledNote note);

// The written notes to read, low to high: every natural of the range of the
// staves chosen (either way round) that passes the filter, and with accidentals each
// black key twice, as its sharp and its flat. In a key with a signature, the
// key's own notes instead, and with accidentals every other key of the range
// once, spelled as the key would. A filter that leaves nothing gives the
// whole range instead, so there is always something to read.
std::vector<SpelledNote> writtenNotesOf(const PracticeChoices& choices);

// Where intervals and chords are drawn from: the range chosen, in the key
// when it has a signature.
struct MaterialRequest;
MaterialRequest materialOf(const PracticeChoices& choices, uint32_t seed);

// An interval ("Intervalli") or a triad ("Accordi") of the choices, low to
// high, and whether its notes are written together; nothing for single
// notes or a range that holds none.
struct DrawnChord {
    std::vector<SpelledNote> notes;
    bool together = true;
};
std::optional<DrawnChord> drawChord(const PracticeChoices& choices, uint32_t seed);

// Too few notes to read: a range of fewer than three, a filter that leaves
// none, or no interval or chord where they are asked. The workspace keeps the choices it had and tells why.
inline constexpr std::size_t FewestNotesToRead = 3;
std::optional<Text> tooFewNotes(const PracticeChoices& choices);

} // namespace zintaro::compose
