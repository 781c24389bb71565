#pragma once

#include <cstdint>

// The program's one vocabulary of MIDI bytes: every status, mask and packing
// of a short channel message lives here, below both the MIDI library that
// sends them and the writer of MIDI files. A message travels packed as
// status | data1 << 8 | data2 << 16, as the output service takes it.
namespace zintaro::midi {

namespace status {
inline constexpr uint8_t NoteOff = 0x80;
inline constexpr uint8_t NoteOn = 0x90;
inline constexpr uint8_t KeyPressure = 0xA0;
inline constexpr uint8_t ControlChange = 0xB0;
inline constexpr uint8_t ProgramChange = 0xC0;
inline constexpr uint8_t ChannelPressure = 0xD0;
inline constexpr uint8_t PitchBend = 0xE0;
// 0xF0 and above are system messages, 0xF8 and above real-time ones.
inline constexpr uint8_t SystemExclusive = 0xF0;
inline constexpr uint8_t RealTimeFirst = 0xF8;
} // namespace status

namespace controller {
inline constexpr uint8_t BankSelect = 0;
inline constexpr uint8_t SustainPedal = 64;
inline constexpr uint8_t AllNotesOff = 123;
} // namespace controller

inline constexpr int ChannelCount = 16;
inline constexpr int MaxData = 127;

constexpr bool isStatusByte(int value)
{
    return value >= 0x80 && value <= 0xFF;
}

constexpr bool isDataByte(int value)
{
    return value >= 0 && value <= MaxData;
}

// The kind of a status byte (note-on, control change, …) without its channel.
constexpr uint8_t kindOf(uint32_t statusOrPacked)
{
    return static_cast<uint8_t>(statusOrPacked & 0xF0);
}

constexpr int channelOf(uint32_t statusOrPacked)
{
    return static_cast<int>(statusOrPacked & 0x0F);
}

// Note-off up to pitch bend on any of the 16 channels.
constexpr bool isChannelStatus(uint32_t status)
{
    return status >= status::NoteOff && status < status::SystemExclusive;
}

// Program change and channel pressure carry one data byte, the others two.
constexpr int dataLength(uint8_t status)
{
    const uint8_t kind = kindOf(status);
    return kind == status::ProgramChange || kind == status::ChannelPressure ? 1 : 2;
}

constexpr uint32_t packMessage(uint8_t statusByte, uint8_t data1, uint8_t data2)
{
    return static_cast<uint32_t>(statusByte) | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

// A channel message of a kind on a channel; the caller has checked the
// data bytes (isDataByte), since a masked value would change the message.
constexpr uint32_t channelMessage(uint8_t kind, int channel, int data1, int data2)
{
    return packMessage(
        static_cast<uint8_t>(kind | (channel & 0x0F)), static_cast<uint8_t>(data1), static_cast<uint8_t>(data2));
}

struct ShortMessage {
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    constexpr uint8_t kind() const { return kindOf(status); }
    constexpr int channel() const { return channelOf(status); }
    // A note-on with velocity 0 is how the program ends a note.
    constexpr bool startsNote() const { return kind() == status::NoteOn && data2 != 0; }
    constexpr bool endsNote() const { return kind() == status::NoteOff || (kind() == status::NoteOn && data2 == 0); }
    constexpr bool isNote() const { return kind() == status::NoteOn || kind() == status::NoteOff; }
};

constexpr ShortMessage unpack(uint32_t packed)
{
    return { static_cast<uint8_t>(packed & 0xFF), static_cast<uint8_t>((packed >> 8) & 0xFF),
        static_cast<uint8_t>((packed >> 16) & 0xFF) };
}

} // namespace zintaro::midi
