#include "midi/midi_message_parser.h"

#include "midi/channel_message.h"

namespace zintaro::midi {

std::optional<MidiEvent> MidiMessageParser::push(uint8_t byte)
{
    if (byte >= status::RealTimeFirst)
        return std::nullopt;
    if (isStatusByte(byte)) {
        // Any status byte ends a message under way; system common messages
        // (End of Exclusive included) also cancel the running status.
        m_have = 0;
        m_inSysEx = byte == status::SystemExclusive;
        m_status = isChannelStatus(byte) ? byte : 0;
        return std::nullopt;
    }
    if (m_inSysEx || m_status == 0)
        return std::nullopt;
    if (m_have == 0 && dataLength(m_status) == 2) {
        m_data1 = byte;
        m_have = 1;
        return std::nullopt;
    }
    const uint8_t data1 = m_have == 1 ? m_data1 : byte;
    const uint8_t data2 = m_have == 1 ? byte : 0;
    // The status stays for the next message (running status).
    m_have = 0;
    switch (kindOf(m_status)) {
    case status::NoteOn:
        return MidiEvent { data2 == 0 ? MidiEvent::Type::NoteOff : MidiEvent::Type::NoteOn, data1, data2 };
    case status::NoteOff:
        return MidiEvent { MidiEvent::Type::NoteOff, data1, 0 };
    case status::ControlChange:
        return MidiEvent { MidiEvent::Type::ControlChange, data1, data2 };
    default:
        return std::nullopt;
    }
}

void MidiMessageParser::reset()
{
    m_status = 0;
    m_have = 0;
    m_inSysEx = false;
}

} // namespace zintaro::midi
