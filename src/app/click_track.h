#pragma once

#include "compose/timed_reading.h"

#include <QElapsedTimer>

namespace zintaro::midi {
class MidiSystem;
}

namespace zintaro::app {

// The metronome's clicks on the built-in synthesizer's sound stream: a time
// of the window's clock becomes the frame heard then, so that each click
// sounds on its beat however late the window schedules it. Without the
// synthesizer open (a MIDI port chosen, no sound yet) the clicks are silent.
class StreamClickTrack : public compose::ClickTrack {
public:
    StreamClickTrack(midi::MidiSystem& system, const QElapsedTimer& clock);

    void schedule(double atMs, bool accent) override;
    void cancel() override;

private:
    midi::MidiSystem& m_system;
    const QElapsedTimer& m_clock;
};

} // namespace zintaro::app
