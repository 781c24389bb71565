#pragma once

#include "core/modulo1.h"

#include <array>
#include <cstdint>

namespace zintaro::midi {
class MidiOut;
}
namespace zintaro::compose {
struct Ports;
}

namespace zintaro::input {

struct KeyShortcut {
    char caption; // the character on the key
    int16_t keyCode; // the upper-case letter's or the digit's character code
};

// The computer-keyboard shortcut of each piano key, by NoteIndex. The white
// keys lie on the letter rows, the black keys on the digit row and I O P K L.
inline constexpr std::array<KeyShortcut, 36> KeyShortcuts = { {
    { 'Q', 81 },
    { '1', 49 },
    { 'W', 87 },
    { '2', 50 },
    { 'E', 69 },
    { '3', 51 },
    { 'R', 82 },
    { 'T', 84 },
    { '4', 52 },
    { 'Y', 89 },
    { '5', 53 },
    { 'U', 85 },
    { 'A', 65 },
    { '6', 54 },
    { 'S', 83 },
    { '7', 55 },
    { 'D', 68 },
    { '8', 56 },
    { 'F', 70 },
    { 'G', 71 },
    { '9', 57 },
    { 'H', 72 },
    { '0', 48 },
    { 'J', 74 },
    { 'Z', 90 },
    { 'I', 73 },
    { 'X', 88 },
    { 'O', 79 },
    { 'C', 67 },
    { 'P', 80 },
    { 'V', 86 },
    { 'B', 66 },
    { 'K', 75 },
    { 'N', 78 },
    { 'L', 76 },
    { 'M', 77 },
} };

// The piano as the rules see it: 36 two-state keys.
class PianoView {
public:
    virtual ~PianoView() = default;
    virtual bool isPressed(int index) const = 0;
    virtual void setPressed(int index, bool pressed) = 0;
};

// The index of the piano key with this key code, or -1; LastKeyIndex follows.
int16_t KeyIndexOf(Form1State& form, int16_t keyCode);

// Shows the key pressed and, unless KeyDisplayOnly, sounds it. A key already
// shown pressed is left alone, so a held key sounds once.
void PressKey(Form1State& form, PianoView& piano, midi::MidiOut& midi, int16_t index);

// Shows the key released and, unless KeyDisplayOnly, silences it.
void ReleaseKey(Form1State& form, PianoView& piano, midi::MidiOut& midi, int16_t index);

enum class KeyDownEffect {
    Ignored, // not a shortcut
    Spoken, // written and its name spoken ("Parla")
    Sounded, // written, sounded and shown pressed; the focus goes back to key 0
    Refused, // the composition is full: nothing written or sounded
};

// A key pressed while the piano holds the focus: the note goes to the staff
// and the composition, then it is spoken or sounded.
KeyDownEffect key_KeyDown(Modulo1& m, Form1State& form, compose::Ports& ports, int16_t keyCode);

// The key released: shown released and silenced, also after a spoken note.
void key_KeyUp(Form1State& form, compose::Ports& ports, int16_t keyCode);

} // namespace zintaro::input
