#pragma once

#include "core/midi_message.h"
#include "midi/midi_errors.h"
#include "midi/midi_system.h"

#include <cstdint>

namespace zintaro::midi {

constexpr bool dataBytesInRange(uint32_t packed)
{
    const ShortMessage message = unpack(packed);
    return isDataByte(message.data1) && isDataByte(message.data2);
}

// The one check of a short channel message, wherever one is sent or taken.
constexpr MidiResult checkChannelMessage(uint32_t packed)
{
    if (!isChannelStatus(packed & 0xFF))
        return errors::NotChannelMessage;
    if (!dataBytesInRange(packed))
        return errors::DataOutOfRange;
    return MidiOk;
}

} // namespace zintaro::midi
