#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zintaro::midi {

// A channel message the program acts on, with its channel dropped: every
// keyboard plays on channel 0.
struct MidiEvent {
    enum class Type : uint8_t { NoteOn, NoteOff, ControlChange };
    Type type;
    uint8_t data1; // the note or the controller
    uint8_t data2; // the velocity or the value
    bool operator==(const MidiEvent&) const = default;
};

// Turns a MIDI byte stream into events, one byte at a time: running status,
// note-on with velocity 0 as note-off, System Exclusive skipped, real-time
// bytes ignored wherever they fall, stray data bytes and messages cut short
// by a new status dropped. Other channel messages are read and ignored.
class MidiMessageParser {
public:
    std::optional<MidiEvent> push(uint8_t byte);

    template<typename Sink> void feed(std::span<const uint8_t> bytes, Sink&& sink)
    {
        for (const uint8_t byte : bytes)
            if (const auto event = push(byte))
                sink(*event);
    }

    // Forgets a message under way and the running status, as after a
    // source is reconnected.
    void reset();

private:
    uint8_t m_status = 0; // 0: no running status
    uint8_t m_data1 = 0;
    uint8_t m_have = 0; // data bytes of the message under way
    bool m_inSysEx = false;
};

} // namespace zintaro::midi
