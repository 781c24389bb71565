#pragma once

#include "midi/fluid_synth_engine.h"
#include "midi/midi_system.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zintaro::midi {

// The name the built-in synthesizer is listed under (at most 31 characters).
inline constexpr const char* BuiltInSynthName = "Zintaro Synth (FluidSynth)";

struct SystemMidiOptions {
    // Empty: the usual places (defaultSoundFonts), looked through when the
    // synthesizer first opens rather than while the program starts.
    std::vector<std::filesystem::path> soundFonts;
    // The data folders the usual places include, the user's first.
    std::vector<std::filesystem::path> dataFolders;
    // Without audio the built-in synthesizer takes every message and sounds
    // nowhere: for tests and benchmarks on machines without a sound card.
    bool audio = true;
    std::vector<std::string> audioDrivers = defaultAudioDrivers();
    // When set, asked for the drivers at every start of the audio output in
    // place of audioDrivers: how a test makes an output appear later.
    std::function<std::vector<std::string>()> currentAudioDrivers;
    // The clock that spaces the looks for a missing audio output.
    std::function<std::chrono::steady_clock::time_point()> now = [] { return std::chrono::steady_clock::now(); };
    AudioLatency latency {};
    // Whether the ALSA sequencer's ports are listed after the synthesizer.
    bool alsaPorts = true;
    // Called once, on the synthesizer's worker thread, when its SoundFont is
    // in (MidiOk) or has failed (the reason).
    std::function<void(MidiResult)> onSynthReady;
};

// The program's MIDI platform layer: device -1 is the built-in FluidSynth
// synthesizer, 0 .. n-1 the ALSA sequencer's output ports as last listed.
//
// Opening the synthesizer returns at once: its SoundFont loads in the
// background (a key held meanwhile sounds when it is in), and a missing font
// is reported by the open itself. Without an audio output the open succeeds
// and the synthesizer works silently: each note-on answers NoAudioOutput,
// and looks for an output again when two seconds have passed since the last
// look, until one starts. The synthesizer, once made, is kept until the end
// so that reopening it does not load the font again.
std::unique_ptr<MidiSystem> makeSystemMidi(SystemMidiOptions options = {});

} // namespace zintaro::midi
