#pragma once

#include "midi/midi_system.h"
#include "midi/sound_fonts.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zintaro::midi {

class StreamClock;

// The audio outputs tried in order when the synthesizer starts sounding.
// "pulse-stream" is the synthesizer's own PulseAudio stream, paused while
// nothing sounds; the others are FluidSynth's drivers of those names, which
// wake for every period whether anything sounds or not.
std::vector<std::string> defaultAudioDrivers();
inline constexpr const char* OwnPulseStream = "pulse-stream";
// FluidSynth's file driver, writing to /dev/null: an output with a thread of
// its own that pulls the synthesizer, where there is no sound card.
inline constexpr const char* DiscardingOutput = "file";

// Whether the SoundFont's samples are read as the instruments that use them
// are chosen (the piano alone is about a quarter of the General MIDI font),
// or all at once.
enum class SampleLoading { WhenUsed, WholeFont };

// Buffer figures of the audio output: 128 frames × 3 periods at 48 kHz is
// 8 ms between a note-on and its sound.
struct AudioLatency {
    double sampleRate = 48000.0;
    int periodSize = 128;
    int periods = 3;
};

// The built-in synthesizer: FluidSynth with a General MIDI SoundFont. It runs
// without an audio output (render pulls its samples) or with one on top.
//
// The slow work runs on a worker thread of the synthesizer's own, so that
// neither start-up nor the window waits for it: loading the SoundFont, and
// a program change, which reads the new instrument's samples. Messages that
// arrive meanwhile wait in order and are applied as soon as the work is done,
// except that a note released while it waits is dropped silently: a key
// pressed before the synthesizer is ready sounds when it is, if still held.
// Otherwise messages reach FluidSynth at once, on the caller's thread.
// Messages come from two threads, one at a time: the window's (keys, the
// trainer, playback) and the MIDI input's (a keyboard's notes sound straight
// from it), which the shared MIDI system's lock keeps apart. Render and the
// audio output's own thread may run beside them.
class FluidSynthEngine {
public:
    enum class FontState { NotLoaded, Loading, Ready, Failed };

    explicit FluidSynthEngine(AudioLatency latency = {}, SampleLoading loading = SampleLoading::WhenUsed);
    ~FluidSynthEngine();
    FluidSynthEngine(const FluidSynthEngine&) = delete;
    FluidSynthEngine& operator=(const FluidSynthEngine&) = delete;

    // False when FluidSynth could not create its settings or synthesizer.
    bool valid() const;

    // Loads the first readable SoundFont of the candidates and waits for it.
    bool loadSoundFont(const std::vector<std::filesystem::path>& candidates = defaultSoundFonts());
    // Starts loading and returns at once; a second call while a font is
    // loading or loaded does nothing.
    void loadSoundFontInBackground(std::vector<std::filesystem::path> candidates = defaultSoundFonts());
    void waitForSoundFont();
    FontState fontState() const;
    // MidiOk, or why the font could not be loaded.
    MidiResult fontError() const;
    // Called once on the worker thread when the font is in (MidiOk) or has
    // failed (the reason). Set it before loading.
    void setReadyCallback(std::function<void(MidiResult)> ready);
    // Waits until the font and every instrument asked for are in and the
    // messages that waited for them are applied.
    void waitUntilIdle();
    std::filesystem::path soundFontPath() const;

    // Starts an audio output, trying the drivers in order; NoAudioOutput when
    // none starts. Stopping silences the synthesizer.
    MidiResult startAudio(const std::vector<std::string>& drivers = defaultAudioDrivers());
    void stopAudio();
    bool audioRunning() const;
    std::string audioDriverName() const;
    // Whether the output is paused because nothing sounds; only the own
    // PulseAudio stream pauses.
    bool audioPaused() const;
    // Times the audio output ran dry since it started, or -1 where the
    // driver does not tell.
    int underruns() const;

    // A short channel message packed as status | data1 << 8 | data2 << 16.
    MidiResult handle(uint32_t packed);
    void noteOn(int channel, int key, int velocity);
    void noteOff(int channel, int key);
    void controlChange(int channel, int controller, int value);
    void programChange(int channel, int program);
    void allSoundsOff();

    // Pulls the next `frames` stereo samples out of the synthesizer.
    void render(float* left, float* right, int frames);
    // The frames rendered so far and the metronome's clicks at their frames,
    // whichever output renders.
    StreamClock& streamClock();
    double sampleRate() const;
    int activeVoices() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace zintaro::midi
