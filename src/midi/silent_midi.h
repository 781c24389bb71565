#pragma once

#include "midi/midi_system.h"

#include <string>

namespace zintaro::midi {

// A MIDI system with one device that takes every message and sounds none:
// for pictures of the window, benchmarks, and as a base for systems that
// only watch the messages.
class SilentMidiSystem : public MidiSystem {
public:
    int deviceCount() override { return 0; }
    MidiResult deviceName(int32_t, std::string& productName) override
    {
        productName = "Silent";
        return MidiOk;
    }
    MidiResult open(uint32_t& handle, int32_t) override
    {
        handle = 1;
        return MidiOk;
    }
    MidiResult close(uint32_t) override { return MidiOk; }
    MidiResult shortMessage(uint32_t, uint32_t) override { return MidiOk; }
    Text errorText(MidiResult) override { return {}; }
};

} // namespace zintaro::midi
