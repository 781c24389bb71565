#pragma once

#include "compose/ports.h"
#include "core/modulo1.h"

#include <cstdint>

namespace zintaro::compose {

// Whether showing a key pressed or released also sends its note.
enum class KeySound { Sounded, DisplayOnly };

// Shows the key pressed and, when sounded, sends its note-on. A key already
// shown pressed is left alone, so a held key sounds once.
void pressKey(input::PianoView& piano, midi::MidiOut& midi, int16_t index, KeySound sound);

// Shows the key released and, when sounded, sends its note-off.
void releaseKey(input::PianoView& piano, midi::MidiOut& midi, int16_t index, KeySound sound);

enum class KeyDownEffect {
    Ignored, // not a piano key
    Spoken, // written and its name spoken ("Parla")
    Sounded, // written, sounded and shown pressed
    Refused, // the composition is full: nothing written or sounded
};

// A piano key played: the note goes to the staff and the composition, then
// it is spoken or sounded. A key of a MIDI keyboard has sounded already, as
// it came in: it is only shown (DisplayOnly).
KeyDownEffect playKey(Modulo1& m, const Ports& ports, int16_t index, KeySound sound = KeySound::Sounded);

// A played key let go: shown released and silenced, also after a spoken note.
void releasePlayedKey(const Ports& ports, int16_t index, KeySound sound = KeySound::Sounded);

} // namespace zintaro::compose
