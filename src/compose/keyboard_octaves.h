#pragma once

#include "core/pitch.h"
#include "core/translation.h"

#include <string>

namespace zintaro::compose {

// The computer keyboard's 36 keys play F3–E6; while they answer the
// trainer they can be moved by whole octaves, from three down to one up.
inline constexpr int LowestKeyboardShift = -3;
inline constexpr int HighestKeyboardShift = 1;

// The bass clef's notes lie two octaves below the keys' own.
inline constexpr int BassKeyboardShift = -2;

// The MIDI note a key (0..35) plays with the keys moved by `shift` octaves.
constexpr int midiNoteOfShiftedKey(int key, int shift)
{
    return midiNoteOfKey(key) + 12 * shift;
}

// The key that plays a MIDI note with the keys moved; outside 0..35 when
// no key does.
constexpr int shiftedKeyOfMidiNote(int midiNote, int shift)
{
    return midiNote - MidiNoteOfLowestKey - 12 * shift;
}

// Whether the computer keys moved by `shift` octaves play a MIDI note.
constexpr bool keysReach(int midiNote, int shift)
{
    const int key = shiftedKeyOfMidiNote(midiNote, shift);
    return key >= 0 && key < 36;
}

// The shift whose keys play the most notes from `lowest` to `highest`; of
// shifts that play as many, the one whose keys are centred nearest the
// range, so that a range wider than the keys loses as little at each end.
int shiftCovering(int lowest, int highest);

// "Tastiera: Fa1–Mi4": the notes of the keys moved by `shift` octaves.
Text keyboardRangeText(int shift, NoteNaming naming);

} // namespace zintaro::compose
