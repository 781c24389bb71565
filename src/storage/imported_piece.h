#pragma once

#include "core/key_meter.h"
#include "core/translation.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace zintaro::storage {

// A written value: 0 a whole note .. 6 a sixty-fourth, dotted or not.
struct WrittenValue {
    int code = 2;
    bool dotted = false;

    // Its length in sixty-fourths of a whole note; a dotted sixty-fourth is
    // not written and has no length here.
    int sixtyFourths() const
    {
        const int plain = 64 >> code;
        return dotted ? plain + plain / 2 : plain;
    }

    friend bool operator==(const WrittenValue&, const WrittenValue&) = default;
};

// Every value the staff writes, longest first.
inline constexpr std::array<WrittenValue, 13> WrittenValues
    = { { { 0, true }, { 0, false }, { 1, true }, { 1, false }, { 2, true }, { 2, false }, { 3, true }, { 3, false },
        { 4, true }, { 4, false }, { 5, true }, { 5, false }, { 6, false } } };

// The value whose length is nearest to `sixtyFourths` (a fraction is
// allowed: a triplet eighth is 16/3); between two equally near, the shorter.
WrittenValue nearestValue(double sixtyFourths);

// The values that fill `sixtyFourths` exactly, longest first (none for 0),
// or the first `most` of them: a hostile length asks for millions.
std::vector<WrittenValue> valuesFilling(long long sixtyFourths, std::size_t most);

// One note or rest of an imported part, as written.
struct ImportedNote {
    std::optional<int> pitch; // the MIDI note number; none for a rest
    WrittenValue value;
    bool tiedToNext = false;

    friend bool operator==(const ImportedNote&, const ImportedNote&) = default;
};

// A clef as a score writes it: its sign (G, F, C) on a line counted from the
// bottom, an octave up or down.
struct ImportedClef {
    char sign = 'G';
    int line = 2;
    int octaveChange = 0;

    friend bool operator==(const ImportedClef&, const ImportedClef&) = default;
};

// What could not be kept as it was in the file, counted.
struct ImportLosses {
    int chordsReduced = 0; // chords that kept only their top note
    int tripletsApproximated = 0; // groups of three, each note the written value nearest its length
    int otherTupletsApproximated = 0; // other irregular groups, likewise
    int valuesApproximated = 0; // values the staff does not write (double dots, shorter than 1/64)
    int overlapsDropped = 0; // MIDI notes that sounded under a higher one
    bool notesLeftOut = false; // the part went on past MaxImportedNotes

    bool any() const
    {
        return chordsReduced + tripletsApproximated + otherTupletsApproximated + valuesApproximated + overlapsDropped
            > 0
            || notesLeftOut;
    }
};

// No part imports more notes and rests than this: far beyond what a piece
// on the staff holds, small enough that a file of endless rests stays small.
inline constexpr int MaxImportedNotes = 20000;

// How many values a part of `kept` notes may still be given: one more than
// fits, so that a value left out marks the part as cut short.
inline std::size_t valuesRoom(std::size_t kept)
{
    constexpr auto most = static_cast<std::size_t>(MaxImportedNotes);
    return kept < most ? most - kept + 1 : 1;
}

// The sentence of what was changed: "3 accordi ridotti alla nota più alta;
// 2 terzine approssimate". Empty when nothing was.
Text lossesText(const ImportLosses& losses);

// What an imported file gives: its notation, the parts or tracks found (for
// the user to pick one) and the notes of the part picked.
struct ImportedPiece {
    Key key;
    Meter meter;
    std::optional<ImportedClef> clef; // a MIDI file has none
    std::optional<double> tempo; // quarter notes a minute, when the file gives one
    std::vector<Text> parts; // names as the file gives them, or "Traccia 2"
    int chosenPart = 0;
    std::vector<ImportedNote> notes;
    ImportLosses losses;
};

enum class ImportResult {
    Imported,
    Unreadable, // the file cannot be opened or read, or is too large
    Refused, // not a file of the kind, damaged, or holding no part to import
};

// What became of an import: the piece, or why there is none, in words for
// the student.
struct ImportOutcome {
    ImportResult result = ImportResult::Imported;
    std::optional<ImportedPiece> piece;
    Text text; // empty when imported; an imported piece's losses are in lossesText
};

} // namespace zintaro::storage
