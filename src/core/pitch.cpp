#include "core/pitch.h"

#include <array>
#include <charconv>

namespace zintaro {

namespace {

// Semitones above C of each letter.
constexpr std::array<int, 7> LetterSemitones = { 0, 2, 4, 5, 7, 9, 11 };
constexpr std::array<char, 7> LetterChars = { 'C', 'D', 'E', 'F', 'G', 'A', 'B' };
constexpr std::array<std::string_view, 7> SolfegeNames = { "Do", "Re", "Mi", "Fa", "Sol", "La", "Si" };
// The letters of the piano's scale steps, counted from F as the keys are.
constexpr std::array<std::string_view, 7> KeyLetterNames = { "F", "G", "A", "B", "C", "D", "E" };

// The letter of each pitch class, read with a sharp (index 0) or with a flat.
constexpr std::array<Letter, 12> SharpLetters = { Letter::C, Letter::C, Letter::D, Letter::D, Letter::E, Letter::F,
    Letter::F, Letter::G, Letter::G, Letter::A, Letter::A, Letter::B };
constexpr std::array<Letter, 12> FlatLetters = { Letter::C, Letter::D, Letter::D, Letter::E, Letter::E, Letter::F,
    Letter::G, Letter::G, Letter::A, Letter::A, Letter::B, Letter::B };

constexpr int floorDiv(int a, int b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

SpelledNote spell(int midiNote, const std::array<Letter, 12>& letters)
{
    const int octave = floorDiv(midiNote, 12) - 1;
    const int pitchClass = midiNote - (octave + 1) * 12;
    const Letter letter = letters[static_cast<std::size_t>(pitchClass)];
    const int offset = pitchClass - LetterSemitones[static_cast<std::size_t>(letter)];
    return { letter, static_cast<Accidental>(offset), octave };
}

} // namespace

std::string_view clefWord(Clef clef)
{
    switch (clef) {
    case Clef::Bass:
        return "bass";
    case Clef::Grand:
        return "grand";
    case Clef::Treble:
        break;
    }
    return "treble";
}

std::optional<Clef> clefFromWord(std::string_view word)
{
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand })
        if (clefWord(clef) == word)
            return clef;
    return std::nullopt;
}

int midiNoteOf(SpelledNote note)
{
    return (note.octave + 1) * 12 + LetterSemitones[static_cast<std::size_t>(note.letter)]
        + static_cast<int>(note.accidental);
}

SpelledNote sharpSpelling(int midiNote)
{
    return spell(midiNote, SharpLetters);
}

SpelledNote flatSpelling(int midiNote)
{
    return spell(midiNote, FlatLetters);
}

SpelledNote naturalAtStep(int stepsFromMiddleC)
{
    const int octaves = floorDiv(stepsFromMiddleC, 7);
    return { static_cast<Letter>(stepsFromMiddleC - octaves * 7), Accidental::Natural, 4 + octaves };
}

std::string spelledText(SpelledNote note)
{
    std::string text(1, LetterChars[static_cast<std::size_t>(note.letter)]);
    if (note.accidental == Accidental::Sharp)
        text += '#';
    else if (note.accidental == Accidental::Flat)
        text += 'b';
    text += std::to_string(note.octave);
    return text;
}

std::optional<SpelledNote> parseSpelled(std::string_view text)
{
    if (text.size() < 2)
        return std::nullopt;
    SpelledNote note;
    std::size_t at = 0;
    bool found = false;
    for (std::size_t i = 0; i < LetterChars.size(); ++i)
        if (text[0] == LetterChars[i]) {
            note.letter = static_cast<Letter>(i);
            found = true;
        }
    if (!found)
        return std::nullopt;
    ++at;
    if (text[at] == '#' || text[at] == 'b') {
        note.accidental = text[at] == '#' ? Accidental::Sharp : Accidental::Flat;
        ++at;
    }
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, note.octave);
    // Octaves past those of MIDI's notes (B#-2 is note 0) are no note at
    // all, and would overflow the note number.
    if (error != std::errc {} || end != last || first == last || note.octave < -2 || note.octave > 10)
        return std::nullopt;
    return note;
}

std::string noteName(SpelledNote note, NoteNaming naming, bool withOctave)
{
    const auto letter = static_cast<std::size_t>(note.letter);
    const std::string octave = std::to_string(note.octave);
    if (naming == NoteNaming::Letters) {
        std::string name(1, LetterChars[letter]);
        if (note.accidental == Accidental::Sharp)
            name += "\u266F";
        else if (note.accidental == Accidental::Flat)
            name += "\u266D";
        return withOctave ? name + octave : name;
    }
    std::string name(SolfegeNames[letter]);
    if (note.accidental == Accidental::Natural)
        return withOctave ? name + octave : name;
    name += note.accidental == Accidental::Sharp ? " diesis" : " bemolle";
    return withOctave ? name + " " + octave : name;
}

std::string spokenNoteName(SpelledNote note, NoteNaming naming)
{
    if (naming == NoteNaming::Solfege)
        return noteName(note, naming, false);
    std::string name(1, LetterChars[static_cast<std::size_t>(note.letter)]);
    if (note.accidental == Accidental::Sharp)
        name += " sharp";
    else if (note.accidental == Accidental::Flat)
        name += " flat";
    return name;
}

std::string_view writtenName(int noteIndex, NoteNaming naming)
{
    if (naming == NoteNaming::Solfege || !isPianoNote(noteIndex))
        return writtenName(noteIndex);
    return KeyLetterNames[scaleStep(noteIndex) % 7];
}

std::string spokenName(int noteIndex, NoteNaming naming)
{
    if (naming == NoteNaming::Solfege || !isPianoNote(noteIndex))
        return std::string(spokenName(noteIndex));
    return spokenNoteName(sharpSpelling(midiNoteOfKey(noteIndex)), naming);
}

} // namespace zintaro
