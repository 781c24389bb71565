#pragma once

#include "core/midi_message.h"
#include "midi/midi_system.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zintaro::testing {

// A MIDI platform layer that records every short message as its four bytes,
// lowest first, as the system would receive them. It offers the built-in
// device (-1) and `ports` further devices; opening succeeds unless failOpen.
class RecordingMidiSystem : public midi::MidiSystem {
public:
    static constexpr midi::MidiResult InvalidHandle = 5;

    using Bytes = std::array<uint8_t, 4>;

    int deviceCount() override { return ports; }
    midi::MidiResult deviceName(int32_t id, std::string& name) override
    {
        name = id < 0 ? "Recording Synth" : "Recording Port " + std::to_string(id);
        return midi::MidiOk;
    }
    midi::MidiResult open(uint32_t& handle, int32_t id) override
    {
        if (failOpen)
            return 2;
        handle = static_cast<uint32_t>(id + 100);
        opened.push_back(id);
        return midi::MidiOk;
    }
    midi::MidiResult close(uint32_t) override
    {
        ++closes;
        return midi::MidiOk;
    }
    midi::MidiResult shortMessage(uint32_t handle, uint32_t packed) override
    {
        if (handle == 0)
            return InvalidHandle;
        sent.push_back({ static_cast<uint8_t>(packed), static_cast<uint8_t>(packed >> 8),
            static_cast<uint8_t>(packed >> 16), static_cast<uint8_t>(packed >> 24) });
        return midi::MidiOk;
    }
    Text errorText(midi::MidiResult code) override { return Text::verbatim("recorded error " + std::to_string(code)); }

    // Note-on messages with a velocity, and note-offs (velocity 0), by note.
    std::vector<int> notesOn() const
    {
        std::vector<int> out;
        for (const Bytes& b : sent)
            if (midi::ShortMessage { b[0], b[1], b[2] }.startsNote())
                out.push_back(b[1]);
        return out;
    }
    std::vector<int> notesOff() const
    {
        std::vector<int> out;
        for (const Bytes& b : sent)
            if (midi::ShortMessage { b[0], b[1], b[2] }.endsNote())
                out.push_back(b[1]);
        return out;
    }

    int ports = 0;
    bool failOpen = false;
    int closes = 0;
    std::vector<int32_t> opened;
    std::vector<Bytes> sent;
};

} // namespace zintaro::testing
