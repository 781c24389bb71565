#pragma once

#include "midi/midi_errors.h"
#include "midi/midi_system.h"

#include <cstdint>

namespace zintaro::midi {

// The one check of a short channel message, wherever one is sent or taken:
// a message packed as status | data1 << 8 | data2 << 16.

constexpr bool isStatusByte(int value)
{
    return value >= 0x80 && value <= 0xFF;
}

constexpr bool isDataByte(int value)
{
    return value >= 0 && value <= 127;
}

// Note-off (0x80) up to pitch bend (0xE0) on any of the 16 channels; 0xF0 and
// above are system messages.
constexpr bool isChannelStatus(uint32_t status)
{
    return status >= 0x80 && status < 0xF0;
}

constexpr bool dataBytesInRange(uint32_t packed)
{
    return isDataByte(static_cast<int>((packed >> 8) & 0xFF)) && isDataByte(static_cast<int>((packed >> 16) & 0xFF));
}

constexpr MidiResult checkChannelMessage(uint32_t packed)
{
    if (!isChannelStatus(packed & 0xFF))
        return errors::NotChannelMessage;
    if (!dataBytesInRange(packed))
        return errors::DataOutOfRange;
    return MidiOk;
}

} // namespace zintaro::midi
