#include "compose/practice_choices.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zintaro::compose {

namespace {

constexpr std::array<std::pair<NoteFilter, std::string_view>, 4> FilterWords { {
    { NoteFilter::All, "all" },
    { NoteFilter::Lines, "lines" },
    { NoteFilter::Spaces, "spaces" },
    { NoteFilter::Ledger, "ledger" },
} };

// Steps from middle C of the bottom and top lines of each staff.
constexpr int TrebleBottomLine = 2; // E4
constexpr int TrebleTopLine = 10; // F5
constexpr int BassBottomLine = -10; // G2
constexpr int BassTopLine = -2; // A3

bool passes(SpelledNote note, const PracticeChoices& choices)
{
    switch (choices.filter) {
    case NoteFilter::Lines:
        return sitsOnLine(note);
    case NoteFilter::Spaces:
        return !sitsOnLine(note);
    case NoteFilter::Ledger:
        return needsLedgerLine(note, choices.clef);
    case NoteFilter::All:
        break;
    }
    return true;
}

std::vector<SpelledNote> notesBetween(int low, int high, const PracticeChoices& choices, bool filtered)
{
    std::vector<SpelledNote> notes;
    for (int midi = low; midi <= high; ++midi) {
        const SpelledNote sharp = sharpSpelling(midi);
        const bool black = sharp.accidental != Accidental::Natural;
        if (black && !choices.accidentals)
            continue;
        const SpelledNote flat = flatSpelling(midi);
        for (const SpelledNote note : black ? std::vector { sharp, flat } : std::vector { sharp }) {
            if (!filtered || passes(note, choices))
                notes.push_back(note);
        }
    }
    return notes;
}

} // namespace

std::string_view noteFilterWord(NoteFilter filter)
{
    for (const auto& [value, word] : FilterWords) {
        if (value == filter)
            return word;
    }
    return "all";
}

std::optional<NoteFilter> noteFilterFromWord(std::string_view word)
{
    for (const auto& [value, name] : FilterWords) {
        if (name == word)
            return value;
    }
    return std::nullopt;
}

bool isRangeNote(SpelledNote note, Clef clef)
{
    const int midi = midiNoteOf(note);
    const NoteRange offered = offeredRange(clef);
    return note.accidental == Accidental::Natural && midi >= midiNoteOf(offered.lowest)
        && midi <= midiNoteOf(offered.highest);
}

bool sitsOnLine(SpelledNote note)
{
    // Every staff line, ledger lines included, lies an even number of steps
    // from middle C, which sits on one.
    return stepsFromMiddleC(note) % 2 == 0;
}

bool needsLedgerLine(SpelledNote note, Clef clef)
{
    const int step = stepsFromMiddleC(note);
    // A head one step beyond the outer line hangs from it without a ledger line.
    const bool offTreble = step < TrebleBottomLine - 1 || step > TrebleTopLine + 1;
    const bool offBass = step < BassBottomLine - 1 || step > BassTopLine + 1;
    switch (clef) {
    case Clef::Bass:
        return offBass;
    case Clef::Grand:
        return offTreble && offBass;
    case Clef::Treble:
        break;
    }
    return offTreble;
}

std::vector<SpelledNote> writtenNotesOf(const PracticeChoices& choices)
{
    const int a = midiNoteOf(choices.range().lowest);
    const int b = midiNoteOf(choices.range().highest);
    const int low = std::min(a, b);
    const int high = std::max(a, b);
    auto notes = notesBetween(low, high, choices, true);
    if (notes.empty())
        notes = notesBetween(low, high, choices, false);
    return notes;
}

} // namespace zintaro::compose
