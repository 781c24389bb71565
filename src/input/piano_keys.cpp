#include "input/piano_keys.h"

#include "compose/ports.h"
#include "midi/midi_out.h"
#include "staff/staff.h"

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

KeyDownEffect key_KeyDown(Modulo1& m, Form1State& form, compose::Ports& ports, int16_t keyCode)
{
    const int16_t index = KeyIndexOf(form, keyCode);
    if (index < 0)
        return KeyDownEffect::Ignored;
    const auto outcome = staff::EnterNote(m, ports.surface, ports.dialogs, true, 0, index, m.CurrentDuration);
    // A refused note is not sounded either: the key-up may go to the message
    // box, and a note sounded now would then never be silenced.
    if (outcome == staff::EntryOutcome::Refused)
        return KeyDownEffect::Refused;
    if (m.SpeakNames) {
        staff::SpeakNoteName(ports.speech, index);
        return KeyDownEffect::Spoken;
    }
    form.KeyDisplayOnly = 0;
    PressKey(form, ports.piano, ports.midi, KeyIndexOf(form, keyCode));
    return KeyDownEffect::Sounded;
}

void key_KeyUp(Form1State& form, compose::Ports& ports, int16_t keyCode)
{
    form.KeyDisplayOnly = 0;
    ReleaseKey(form, ports.piano, ports.midi, KeyIndexOf(form, keyCode));
}

} // namespace zintaro::input
