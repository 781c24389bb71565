#include "midi/midi_errors.h"

namespace zintaro::midi {

MidiProblem problemOf(MidiResult code)
{
    switch (code) {
    case errors::Unspecified:
        return MidiProblem::Unspecified;
    case errors::BadDeviceId:
        return MidiProblem::BadDeviceId;
    case errors::InvalidHandle:
        return MidiProblem::NotOpen;
    case errors::NoDevice:
        return MidiProblem::NoDevice;
    case errors::NoAudioOutput:
        return MidiProblem::NoAudioOutput;
    case errors::SoundFontMissing:
        return MidiProblem::SoundFontMissing;
    case errors::SoundFontUnreadable:
        return MidiProblem::SoundFontUnreadable;
    case errors::SynthesizerFailed:
        return MidiProblem::SynthesizerFailed;
    case errors::PortVanished:
        return MidiProblem::PortVanished;
    case errors::PortFailed:
        return MidiProblem::PortFailed;
    case errors::SendFailed:
        return MidiProblem::SendFailed;
    case errors::DataOutOfRange:
        return MidiProblem::DataOutOfRange;
    case errors::NotChannelMessage:
        return MidiProblem::NotChannelMessage;
    default:
        return MidiProblem::Other;
    }
}

std::string errorTextFor(MidiResult code)
{
    switch (code) {
    case MidiOk:
        return "The MIDI operation succeeded.";
    case errors::Unspecified:
        return "The MIDI output failed for an unknown reason.";
    case errors::BadDeviceId:
        return "There is no MIDI output device with this number.";
    case errors::InvalidHandle:
        return "No MIDI output device is open, so the message was not sent.";
    case errors::NoDevice:
        return "No MIDI output device is available.";
    case errors::NoAudioOutput:
        return "No audio output was found (PulseAudio, PipeWire or ALSA). Zintaro works silently; sound comes back by "
               "itself when an output appears.";
    case errors::SoundFontMissing:
        return "No General MIDI SoundFont was found (looked in /usr/share/sounds/sf2 and sf3, FluidSynth's default, "
               "and soundfonts/ or sounds/sf2/ in the XDG data folders). Install the package fluid-soundfont-gm.";
    case errors::SoundFontUnreadable:
        return "The General MIDI SoundFont could not be read: the built-in synthesizer has no instruments.";
    case errors::SynthesizerFailed:
        return "The built-in synthesizer could not be started.";
    case errors::PortVanished:
        return "The MIDI port is gone: its device was unplugged or its program ended.";
    case errors::PortFailed:
        return "The MIDI port could not be opened.";
    case errors::SendFailed:
        return "The MIDI port did not accept the message.";
    case errors::DataOutOfRange:
        return "A MIDI message with a value outside 0 to 127 was not sent.";
    case errors::NotChannelMessage:
        return "The MIDI message is not a channel message and was not sent.";
    default:
        return "MIDI error " + std::to_string(code) + ".";
    }
}

} // namespace zintaro::midi
