#pragma once

#include "core/note_model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zintaro {

// The MIDI note of the piano's lowest key, F3.
inline constexpr int MidiNoteOfLowestKey = 53;

// Any MIDI note number (0..127); a piano key's note is midiNoteOfKey(index).
constexpr int midiNoteOfKey(int noteIndex)
{
    return noteIndex + MidiNoteOfLowestKey;
}

// The piano key (0..35) that plays a MIDI note, or -1 when it lies off the piano.
constexpr int keyOfMidiNote(int midiNote)
{
    const int index = midiNote - MidiNoteOfLowestKey;
    return isPianoNote(index) ? index : -1;
}

// The staves the reading trainer can show. The composition is always treble.
enum class Clef : uint8_t { Treble, Bass, Grand };

// "treble", "bass", "grand": the words of the answers' history.
std::string_view clefWord(Clef clef);
std::optional<Clef> clefFromWord(std::string_view word);

enum class Accidental : int8_t { Flat = -1, Natural = 0, Sharp = 1 };

// Letters counted from C, as the staff counts them upward.
enum class Letter : uint8_t { C, D, E, F, G, A, B };

// A note as it is written: its letter, accidental and octave (scientific
// octaves: middle C is C4, MIDI 60). A black key has two spellings.
struct SpelledNote {
    Letter letter = Letter::C;
    Accidental accidental = Accidental::Natural;
    int octave = 4;

    friend bool operator==(const SpelledNote&, const SpelledNote&) = default;
};

int midiNoteOf(SpelledNote note);

// The natural, or for a black key the sharp, spelling of a MIDI note.
SpelledNote sharpSpelling(int midiNote);
// The natural, or for a black key the flat, spelling of a MIDI note.
SpelledNote flatSpelling(int midiNote);

// Diatonic steps from middle C: C4 is 0, D4 1, B3 −1. An accidental does
// not move a note on the staff.
constexpr int stepsFromMiddleC(SpelledNote note)
{
    return (note.octave - 4) * 7 + static_cast<int>(note.letter);
}

// The natural note that many diatonic steps from middle C: 0 is C4, −1 B3.
SpelledNote naturalAtStep(int stepsFromMiddleC);

// "C4", "F#4", "Bb4": the spelling the answers' history keeps.
std::string spelledText(SpelledNote note);
std::optional<SpelledNote> parseSpelled(std::string_view text);

// How note names are shown and spoken: "Do Re Mi" or "C D E".
enum class NoteNaming : uint8_t { Solfege, Letters };

// "Do", "Fa diesis", "Si bemolle" (solfège, Italian words) or "C", "F♯",
// "B♭" (letters); with the octave "Fa diesis 5", "La4", "F♯5", "A4": a
// natural's octave joins its name, an accidental's stands apart.
std::string noteName(SpelledNote note, NoteNaming naming, bool withOctave);

// The words a voice says for a note, without its octave: "Fa diesis", "Si
// bemolle" for the Italian voice, "F sharp", "B flat" for the English one.
std::string spokenNoteName(SpelledNote note, NoteNaming naming);

// The name labels' text in either naming: "FA", or "F" for the letters; a
// black key shows its step's name, as the labels always did.
std::string_view writtenName(int noteIndex, NoteNaming naming);

// What speech says for a key: its solfège step "Fa" as always, or its
// letter for the English voice, "F sharp" for a black key.
std::string spokenName(int noteIndex, NoteNaming naming);

} // namespace zintaro
