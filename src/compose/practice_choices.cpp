#include "compose/practice_choices.h"

#include "compose/chord_material.h"

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

bool hasSignature(Key key)
{
    return key.fifths != 0;
}

// The natural at an end of the range with the sign the key gives its letter.
int signedEnd(int midi, Key key)
{
    SpelledNote note = sharpSpelling(midi);
    note.accidental = signatureAccidental(key, note.letter);
    return midiNoteOf(note);
}

// A key with a signature: its notes, and with accidentals the others as it
// spells them. The range's ends are the lines or spaces chosen, so a sign
// of the key on them moves the end with it: D major from Do4 starts on C#4.
std::vector<SpelledNote> notesInKey(int low, int high, const PracticeChoices& choices, bool filtered)
{
    const auto scale = scalePitchClasses(choices.key);
    std::vector<SpelledNote> notes;
    const int from = std::min(low, signedEnd(low, choices.key));
    const int to = std::max(high, signedEnd(high, choices.key));
    for (int midi = from; midi <= to; ++midi) {
        const bool ofKey = std::find(scale.begin(), scale.end(), midi % 12) != scale.end();
        const SpelledNote note = spellInKey(midi, choices.key);
        if ((ofKey || choices.accidentals) && (!filtered || passes(note, choices)))
            notes.push_back(note);
    }
    return notes;
}

std::vector<SpelledNote> notesBetween(int low, int high, const PracticeChoices& choices, bool filtered)
{
    if (hasSignature(choices.key))
        return notesInKey(low, high, choices, filtered);
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

std::pair<int, int> rangeEnds(const PracticeChoices& choices)
{
    const int a = midiNoteOf(choices.range().lowest);
    const int b = midiNoteOf(choices.range().highest);
    return { std::min(a, b), std::max(a, b) };
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

std::optional<Text> tooFewNotes(const PracticeChoices& choices)
{
    const auto [low, high] = rangeEnds(choices);
    if (notesBetween(low, high, choices, false).size() < FewestNotesToRead)
        return translate("Practice", "L'estensione scelta ha meno di tre note da leggere: restano le scelte di prima");
    if (notesBetween(low, high, choices, true).empty())
        return translate(
            "Practice", "Nessuna nota dell'estensione scelta è tra «Quali note»: restano le scelte di prima");
    if (choices.drill != Drill::Notes && !drawChord(choices, 0))
        return translate(
            "Practice", "L'estensione scelta non ha posto per un intervallo o un accordo: restano le scelte di prima");
    return std::nullopt;
}

MaterialRequest materialOf(const PracticeChoices& choices, uint32_t seed)
{
    const auto [low, high] = rangeEnds(choices);
    MaterialRequest request { low, high, std::nullopt, seed };
    if (hasSignature(choices.key))
        request.key = choices.key;
    return request;
}

std::optional<DrawnChord> drawChord(const PracticeChoices& choices, uint32_t seed)
{
    const MaterialRequest request = materialOf(choices, seed);
    if (choices.drill == Drill::Intervals) {
        // The seed's lowest bit chooses: together or one after the other.
        const bool together = (seed & 1U) == 0;
        if (const auto interval = drawInterval(request, together))
            return DrawnChord { { interval->lower, interval->upper }, together };
    } else if (choices.drill == Drill::Chords) {
        if (const auto triad = drawTriad(request))
            return DrawnChord { triad->notes, true };
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
    const auto [low, high] = rangeEnds(choices);
    auto notes = notesBetween(low, high, choices, true);
    if (notes.empty())
        notes = notesBetween(low, high, choices, false);
    return notes;
}

} // namespace zintaro::compose
