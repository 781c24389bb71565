#pragma once

#include "compose/ports.h"
#include "core/modulo1.h"
#include "input/piano_view.h"
#include "midi/midi_out.h"
#include "support/recording_midi.h"
#include "support/recording_speech.h"
#include "support/recording_surface.h"
#include "support/scripted_dialogs.h"

#include <array>
#include <vector>

namespace zintaro::testing {

class FakePiano : public input::PianoView {
public:
    bool isPressed(int index) const override { return keys.at(static_cast<size_t>(index)); }
    void setPressed(int index, bool pressed) override { keys.at(static_cast<size_t>(index)) = pressed; }

    bool anyPressed() const
    {
        for (bool k : keys)
            if (k)
                return true;
        return false;
    }

    std::array<bool, 36> keys {};
};

// A surface that also keeps every place the cursor was moved to.
class CursorTrailSurface : public RecordingSurface {
public:
    void setCursorLeft(int left) override
    {
        RecordingSurface::setCursorLeft(left);
        trail.push_back(left);
    }
    std::vector<int> trail;
};

// A fresh program state with recording stand-ins behind the real MIDI output.
struct ComposeRig {
    ComposeRig()
    {
        midi.open(-1);
        system.sent.clear();
    }

    // The stored piece, positions 0 .. NoteCount − 1.
    std::vector<Entry> piece() const
    {
        std::vector<Entry> out;
        for (int p = 0; p < m.NoteCount; ++p)
            out.push_back(m.Composition.at(p));
        return out;
    }

    Modulo1 m;
    CursorTrailSurface surface;
    RecordingMidiSystem system;
    ScriptedDialogs dialogs;
    midi::MidiOut midi { system };
    RecordingSpeech speech;
    FakePiano piano;
    compose::Ports ports { surface, midi, speech, dialogs, piano };
};

} // namespace zintaro::testing
