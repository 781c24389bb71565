#include "input/piano_keys.h"

#include "midi/midi_out.h"

namespace zintaro::input {

int16_t KeyIndexOf(Form1State& form, int16_t keyCode)
{
    form.LastKeyIndex = -1;
    for (int16_t i = 0; i < static_cast<int16_t>(KeyShortcuts.size()); ++i) {
        if (KeyShortcuts[i].keyCode == keyCode) {
            form.LastKeyIndex = i;
            break;
        }
    }
    return form.LastKeyIndex;
}

void PressKey(Form1State& form, PianoView& piano, midi::MidiOut& midi, int16_t index)
{
    if (index < 0 || index >= NoteCountOnPiano)
        return;
    if (piano.isPressed(index))
        return;
    piano.setPressed(index, true);
    if (form.KeyDisplayOnly == 1)
        return;
    midi.NoteOn(0, static_cast<int16_t>(MidiNoteOffset + index), 127);
}

void ReleaseKey(Form1State& form, PianoView& piano, midi::MidiOut& midi, int16_t index)
{
    if (index < 0 || index >= NoteCountOnPiano)
        return;
    piano.setPressed(index, false);
    if (form.KeyDisplayOnly == 1)
        return;
    midi.NoteOff(0, static_cast<int16_t>(MidiNoteOffset + index));
}

} // namespace zintaro::input
