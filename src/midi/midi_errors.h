#pragma once

#include "midi/midi_system.h"

#include <cstdint>
#include <string>

namespace zintaro::midi {

// The result codes of the program's MIDI layer. Each fits a 16-bit signed
// code, which is how MidiOut narrows every result before reporting it.
namespace errors {
inline constexpr MidiResult Unspecified = 1;
inline constexpr MidiResult BadDeviceId = 2;
inline constexpr MidiResult InvalidHandle = 5;
inline constexpr MidiResult NoDevice = 68;
inline constexpr MidiResult NoAudioOutput = 101;
inline constexpr MidiResult SoundFontMissing = 102;
inline constexpr MidiResult SoundFontUnreadable = 103;
inline constexpr MidiResult SynthesizerFailed = 104;
inline constexpr MidiResult PortVanished = 105;
inline constexpr MidiResult PortFailed = 106;
inline constexpr MidiResult SendFailed = 107;
inline constexpr MidiResult DataOutOfRange = 108;
inline constexpr MidiResult NotChannelMessage = 109;
} // namespace errors

// What went wrong, as the window tells it apart: one kind for each result
// code above, Other for a code of the system that none of them names.
enum class MidiProblem : uint8_t {
    Unspecified,
    BadDeviceId,
    NotOpen,
    NoDevice,
    NoAudioOutput,
    SoundFontMissing,
    SoundFontUnreadable,
    SynthesizerFailed,
    PortVanished,
    PortFailed,
    SendFailed,
    DataOutOfRange,
    NotChannelMessage,
    Other,
};

MidiProblem problemOf(MidiResult code);

// A failure of the output: its kind and the words to show.
struct MidiFailure {
    MidiProblem problem = MidiProblem::Other;
    MidiResult code = errors::Unspecified;
    Text text;
};

// The plain-words text for a result code, at most 255 characters; unknown
// codes get a generic text carrying the number.
Text errorTextFor(MidiResult code);

} // namespace zintaro::midi
