// How long the built-in synthesizer takes to start, how long the window is
// kept waiting for it, and how long a note takes to reach it.
#include "midi/fluid_synth_engine.h"
#include "midi/midi_out.h"
#include "midi/system_midi.h"

#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <future>
#include <thread>

using namespace zintaro;
using namespace zintaro::midi;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

SystemMidiOptions silentSynth()
{
    SystemMidiOptions options;
    options.audio = false;
    options.alsaPorts = false;
    return options;
}

// Settings, synthesizer and the whole General MIDI font, waited for.
void BM_CreateSynthAndLoadSoundFont(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = Clock::now();
        auto engine = std::make_unique<FluidSynthEngine>();
        if (!engine->loadSoundFont())
            state.SkipWithError("no General MIDI SoundFont");
        state.SetIterationTime(secondsSince(start));
        engine.reset();
    }
}
BENCHMARK(BM_CreateSynthAndLoadSoundFont)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// What start-up does with the device list: list, open the synthesizer, send
// the instrument. The time is how long the caller is blocked; font_ready_ms
// is when the synthesizer can first sound, told by its ready callback.
// Arg: the audio output opened too (0 none, 1 the own stream, 2 FluidSynth's
// PulseAudio driver).
void BM_StartUpBlocksTheWindowFor(benchmark::State& state)
{
    double readyMs = 0;
    for (auto _ : state) {
        std::promise<void> ready;
        SystemMidiOptions options = silentSynth();
        options.audio = state.range(0) != 0;
        options.audioDrivers = { state.range(0) == 1 ? OwnPulseStream : "pulseaudio" };
        options.onSynthReady = [&ready](MidiResult) { ready.set_value(); };
        auto system = makeSystemMidi(options);
        MidiOut midi(*system);
        const auto start = Clock::now();
        const std::vector<DeviceEntry> list = midi.deviceList();
        midi.selectDevice(list.at(0).deviceId, 0);
        state.SetIterationTime(secondsSince(start));
        if (midi.failure())
            state.SkipWithError("the synthesizer did not open");
        ready.get_future().wait();
        readyMs += 1000 * secondsSince(start);
    }
    state.counters["font_ready_ms"] = benchmark::Counter(readyMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartUpBlocksTheWindowFor)
    ->ArgName("audio")
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The note-on that resumes the own PulseAudio stream after a silence: the
// key's way to the synthesizer then includes waking the output.
void BM_NoteOnResumingThePausedOutput(benchmark::State& state)
{
    FluidSynthEngine engine;
    if (!engine.loadSoundFont() || engine.startAudio({ OwnPulseStream }) != MidiOk) {
        state.SkipWithError("no PulseAudio server to play to");
        return;
    }
    for (auto _ : state) {
        while (!engine.audioPaused())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto start = Clock::now();
        engine.noteOn(0, 84, 30);
        state.SetIterationTime(secondsSince(start));
        engine.noteOff(0, 84);
    }
}
BENCHMARK(BM_NoteOnResumingThePausedOutput)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(10);

// One NoteOn from the program's routine down to the synthesizer, font loaded.
void BM_NoteOnReachesTheSynth(benchmark::State& state)
{
    FluidSynthEngine engine;
    if (!engine.loadSoundFont()) {
        state.SkipWithError("no General MIDI SoundFont");
        return;
    }
    std::array<float, 64> left {}, right {};
    int missed = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        engine.noteOn(0, 60, 127);
        state.SetIterationTime(secondsSince(start));
        missed += engine.activeVoices() == 0;
        engine.noteOff(0, 60);
        engine.render(left.data(), right.data(), static_cast<int>(left.size()));
    }
    if (missed)
        state.SkipWithError("a note-on did not start a voice");
}
BENCHMARK(BM_NoteOnReachesTheSynth)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The program's routines over a platform layer that hands every message to
// an engine the benchmark can render, so that voices end between notes.
struct EngineSystem : MidiSystem {
    FluidSynthEngine& engine;
    explicit EngineSystem(FluidSynthEngine& e)
        : engine(e)
    {
    }
    int deviceCount() override { return 0; }
    MidiResult deviceName(int32_t, std::string& name) override { return name = BuiltInSynthName, MidiOk; }
    MidiResult open(uint32_t& handle, int32_t) override { return handle = 1, MidiOk; }
    MidiResult close(uint32_t) override { return MidiOk; }
    MidiResult shortMessage(uint32_t, uint32_t packed) override { return engine.handle(packed); }
    Text errorText(MidiResult) override { return {}; }
};

// The same note sent by MidiOut, as the piano sends it.
void BM_NoteOnThroughMidiOut(benchmark::State& state)
{
    FluidSynthEngine engine;
    if (!engine.loadSoundFont()) {
        state.SkipWithError("no General MIDI SoundFont");
        return;
    }
    EngineSystem system(engine);
    MidiOut midi(system);
    midi.open(-1);
    std::array<float, 64> left {}, right {};
    for (auto _ : state) {
        const auto start = Clock::now();
        midi.noteOn(0, 60, 127);
        state.SetIterationTime(secondsSince(start));
        midi.noteOff(0, 60);
        engine.render(left.data(), right.data(), static_cast<int>(left.size()));
    }
    if (midi.failure())
        state.SkipWithError("a message failed");
}
BENCHMARK(BM_NoteOnThroughMidiOut)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One audio period (128 frames, 2.67 ms at 48 kHz) with ten notes sounding:
// the audio thread's work per period, which must stay well under the period.
void BM_RenderOnePeriodWithTenNotes(benchmark::State& state)
{
    FluidSynthEngine engine;
    if (!engine.loadSoundFont()) {
        state.SkipWithError("no General MIDI SoundFont");
        return;
    }
    engine.programChange(0, 48); // a sustained string ensemble
    for (int note = 60; note < 70; ++note)
        engine.noteOn(0, note, 100);
    std::array<float, 128> left {}, right {};
    for (auto _ : state) {
        engine.render(left.data(), right.data(), static_cast<int>(left.size()));
        benchmark::DoNotOptimize(left.data());
    }
}
BENCHMARK(BM_RenderOnePeriodWithTenNotes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
