#pragma once

#include "compose/ports.h"
#include "core/modulo1.h"
#include "midi/midi_out.h"
#include "support/fake_piano.h"
#include "support/plain_columns.h"
#include "support/recording_midi.h"
#include "support/recording_speech.h"
#include "support/recording_surface.h"

#include <algorithm>
#include <vector>

namespace zintaro::testing {

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
        out.reserve(static_cast<size_t>(std::max(0, m.NoteCount)));
        for (int p = 0; p < m.NoteCount; ++p)
            out.push_back(m.Composition.at(p));
        return out;
    }

    Modulo1 m;
    CursorTrailSurface surface;
    RecordingMidiSystem system;
    midi::MidiOut midi { system };
    RecordingSpeech speech;
    FakePiano piano;
    compose::Ports ports { surface, midi, speech, piano };
};

} // namespace zintaro::testing
