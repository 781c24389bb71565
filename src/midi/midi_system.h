#pragma once

#include "core/translation.h"

#include <cstdint>
#include <string>

namespace zintaro::midi {

class StreamClock;

// A result code of the MIDI platform layer: 0 is success.
using MidiResult = int32_t;
inline constexpr MidiResult MidiOk = 0;

// The operating system's MIDI output service, as the program uses it:
// device count, a device's product name, open, close, a short message and
// the text for a result code. Device -1 is the built-in synthesizer (where
// the system's MIDI mapper would stand); 0 .. deviceCount() − 1 are the
// external output ports. A handle of 0 means no device.
class MidiSystem {
public:
    virtual ~MidiSystem() = default;

    virtual int deviceCount() = 0;
    virtual MidiResult deviceName(int32_t deviceId, std::string& productName) = 0;
    virtual MidiResult open(uint32_t& handle, int32_t deviceId) = 0;
    virtual MidiResult close(uint32_t handle) = 0;
    // status in bits 0-7, data1 in 8-15, data2 in 16-23.
    virtual MidiResult shortMessage(uint32_t handle, uint32_t packed) = 0;
    virtual Text errorText(MidiResult code) = 0;
    // The built-in synthesizer's sound stream while it is open, where the
    // metronome's clicks are scheduled; none otherwise.
    virtual StreamClock* streamClock() { return nullptr; }
};

} // namespace zintaro::midi
