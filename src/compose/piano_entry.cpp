#include "compose/piano_entry.h"

#include "compose/note_entry.h"
#include "core/pitch.h"
#include "input/piano_view.h"
#include "midi/midi_out.h"
#include "staff/staff.h"

namespace zintaro::compose {

void pressKey(input::PianoView& piano, midi::MidiOut& midi, int16_t index, KeySound sound)
{
    if (!isPianoNote(index) || piano.isPressed(index))
        return;
    piano.setPressed(index, true);
    if (sound == KeySound::Sounded)
        midi.noteOn(0, midiNoteOfKey(index), 127);
}

void releaseKey(input::PianoView& piano, midi::MidiOut& midi, int16_t index, KeySound sound)
{
    if (!isPianoNote(index))
        return;
    piano.setPressed(index, false);
    if (sound == KeySound::Sounded)
        midi.noteOff(0, midiNoteOfKey(index));
}

KeyDownEffect playKey(Modulo1& m, const Ports& ports, int16_t index, KeySound sound)
{
    if (!isPianoNote(index))
        return KeyDownEffect::Ignored;
    const auto outcome = enterNote(m, ports.surface, true, false, index, m.CurrentDuration);
    // A refused note is not sounded either: the key-up may go to the message
    // box, and a note sounded now would then never be silenced.
    if (outcome == EntryOutcome::Refused)
        return KeyDownEffect::Refused;
    if (m.SpeakNames) {
        staff::speakNoteName(ports.speech, index, m.Naming, m.PieceKey);
        return KeyDownEffect::Spoken;
    }
    pressKey(ports.piano, ports.midi, index, sound);
    return KeyDownEffect::Sounded;
}

void releasePlayedKey(const Ports& ports, int16_t index, KeySound sound)
{
    releaseKey(ports.piano, ports.midi, index, sound);
}

} // namespace zintaro::compose
