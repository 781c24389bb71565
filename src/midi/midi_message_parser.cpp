#include "midi/midi_message_parser.h"

namespace zintaro::midi {

namespace {

constexpr uint8_t SysExStart = 0xF0;
constexpr uint8_t RealTimeFirst = 0xF8;

// The data bytes a channel message carries after its status byte.
constexpr uint8_t dataLength(uint8_t status)
{
    const uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

} // namespace

std::optional<MidiEvent> MidiMessageParser::push(uint8_t byte)
{
    if (byte >= RealTimeFirst)
        return std::nullopt;
    if (byte & 0x80) {
        // Any status byte ends a message under way; system common messages
        // (End of Exclusive included) also cancel the running status.
        m_have = 0;
        m_inSysEx = byte == SysExStart;
        m_status = byte < SysExStart ? byte : 0;
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
    switch (m_status & 0xF0) {
    case 0x90:
        return MidiEvent { data2 == 0 ? MidiEvent::Type::NoteOff : MidiEvent::Type::NoteOn, data1, data2 };
    case 0x80:
        return MidiEvent { MidiEvent::Type::NoteOff, data1, 0 };
    case 0xB0:
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
