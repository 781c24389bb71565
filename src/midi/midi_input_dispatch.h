#pragma once

#include "midi/midi_message_parser.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

namespace zintaro::midi {

// A key pressed or released on a MIDI keyboard. Its note counts from the
// piano's first key: 0 (F3) .. 35 (E6) on the piano, any MIDI note beyond.
struct NoteEvent {
    int16_t noteIndex; // MIDI note − 53
    int16_t velocity; // 1..127 when pressed, 0 when released
    bool pressed;
    bool operator==(const NoteEvent&) const = default;
};

// Where the MIDI input hands its events. soundNow is called on the input's
// own thread with a short message for the synthesizer (status | data1 << 8
// | data2 << 16, channel 0), so it must be safe to call from any thread;
// post receives every note, for the window to queue to its own thread.
struct MidiInputSinks {
    std::function<void(uint32_t packed)> soundNow;
    std::function<void(NoteEvent)> post;
};

// What a message from a keyboard does: every note sounds on channel 0 with
// its velocity, the sustain pedal goes to the synthesizer, and every note is
// posted (the trainer's staves reach beyond the piano). It remembers the notes held down so that they can be
// released when their keyboard goes away.
//
// receive is called from one thread at a time; releaseHeldNotes may be
// called from another.
class MidiInputDispatch {
public:
    explicit MidiInputDispatch(MidiInputSinks sinks);

    void receive(std::span<const uint8_t> bytes);
    void receive(const MidiEvent& event);
    // Sends a note-off for every note still held, and forgets them.
    void releaseHeldNotes();
    // Drops a message cut short by a source that went away.
    void resetParser() { m_parser.reset(); }

private:
    void noteOff(uint8_t note);

    MidiInputSinks m_sinks;
    MidiMessageParser m_parser;
    std::array<std::atomic<bool>, 128> m_held {};
};

} // namespace zintaro::midi
