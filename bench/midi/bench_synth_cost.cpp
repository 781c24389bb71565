// What the built-in synthesizer costs the machine: resident memory with the
// SoundFont in, CPU per second through a real audio output with nothing
// sounding and with the trainer's pace of notes, what each part of the
// rendering costs, and how often the output runs dry over a minute of keys.
// The figures that need a sound server are skipped without one; start one
// with bench/startup/run.sh's notes or:
//   pulseaudio -D --exit-idle-time=-1 && pactl load-module module-null-sink
#include "midi/fluid_synth_engine.h"

#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fluidsynth.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zintaro::midi;
using Clock = std::chrono::steady_clock;

namespace {

// Seconds each CPU figure is measured over; ZINTARO_BENCH_SECONDS shortens
// or lengthens every run (the underrun count runs six times as long).
double measureSeconds()
{
    const char* s = std::getenv("ZINTARO_BENCH_SECONDS");
    return s ? std::max(1.0, std::atof(s)) : 10.0;
}

double processCpuSeconds()
{
    timespec t {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A field of /proc/self/status in megabytes (VmRSS, VmHWM).
double statusMegabytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1) / 1024.0;
    return 0;
}

struct MemoryFigures {
    double baseMb = 0, withPianoMb = 0, peakMb = 0, afterSecondMb = 0, loadMs = 0;
    bool loaded = false;
};

// In a child process of its own, so that the peak is this engine's alone
// and nothing freed by an earlier run is counted.
MemoryFigures measureMemory(SampleLoading loading)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        MemoryFigures f;
        f.baseMb = statusMegabytes("VmRSS");
        const auto start = Clock::now();
        {
            FluidSynthEngine engine(AudioLatency {}, loading);
            f.loaded = engine.loadSoundFont();
            engine.waitUntilIdle();
            f.loadMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            f.withPianoMb = statusMegabytes("VmRSS");
            f.peakMb = statusMegabytes("VmHWM");
            engine.programChange(0, 40);
            engine.waitUntilIdle();
            f.afterSecondMb = statusMegabytes("VmRSS");
        }
        const ssize_t written = ::write(pipeFds[1], &f, sizeof f);
        ::_exit(written == sizeof f ? 0 : 1);
    }
    ::close(pipeFds[1]);
    MemoryFigures f;
    if (::read(pipeFds[0], &f, sizeof f) != sizeof f)
        f = {};
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return f;
}

// Resident memory with the piano (and the drum kit General MIDI puts on
// channel 10), and after choosing the violin. Arg 0: samples read as used;
// 1: the whole font, as before.
void BM_ResidentMemoryWithTheFontIn(benchmark::State& state)
{
    const SampleLoading loading = state.range(0) == 0 ? SampleLoading::WhenUsed : SampleLoading::WholeFont;
    state.SetLabel(loading == SampleLoading::WhenUsed ? "samples as used" : "whole font");
    MemoryFigures f;
    for (auto _ : state) {
        f = measureMemory(loading);
        state.SetIterationTime(f.loadMs / 1000.0);
    }
    if (!f.loaded)
        state.SkipWithError("no General MIDI SoundFont");
    state.counters["rss_mb"] = f.withPianoMb;
    state.counters["peak_mb"] = f.peakMb;
    state.counters["engine_mb"] = f.withPianoMb - f.baseMb;
    state.counters["after_violin_mb"] = f.afterSecondMb;
}
BENCHMARK(BM_ResidentMemoryWithTheFontIn)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The outputs compared: FluidSynth's PulseAudio driver, as before, and the
// own stream that pauses while silent, each at 128 x 3 frames (8 ms).
const std::array<const char*, 2> Outputs { "pulseaudio", OwnPulseStream };

enum class Pace { Silent, Trainer, Keys };

// CPU of the whole process, all threads, per second of wall time, with the
// synthesizer sounding through the real output at the given pace. Returns
// the underruns, or -2 when no output starts.
struct RunFigures {
    double cpuMsPerSecond = 0;
    double pausedFraction = 0;
    int underruns = -2;
};

// Sleeps until `until`, noting every 20 ms whether the output is paused.
void watch(const FluidSynthEngine& engine, Clock::time_point until, int& samples, int& paused)
{
    for (auto now = Clock::now(); now < until; now = Clock::now()) {
        std::this_thread::sleep_until(std::min(until, now + std::chrono::milliseconds(20)));
        ++samples;
        paused += engine.audioPaused();
    }
}

RunFigures run(benchmark::State& state, const char* output, AudioLatency latency, Pace pace, double seconds)
{
    RunFigures figures;
    FluidSynthEngine engine(latency);
    if (!engine.loadSoundFont() || engine.startAudio({ output }) != MidiOk)
        return figures;
    // Let the output settle before measuring.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    const double cpuStart = processCpuSeconds();
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    int note = 0, samples = 0, paused = 0;
    // The trainer: a new note every 3.6 s, released at the next tick 1.8 s
    // later. Keys: a fast passage, eight notes a second, each held 100 ms.
    const auto onEvery = pace == Pace::Trainer ? std::chrono::milliseconds(3600) : std::chrono::milliseconds(125);
    const auto heldFor = pace == Pace::Trainer ? std::chrono::milliseconds(1800) : std::chrono::milliseconds(100);
    for (auto next = start; pace != Pace::Silent && next < end; next += onEvery) {
        watch(engine, next, samples, paused);
        const int key = 60 + (note++ % 24);
        engine.noteOn(0, key, 100);
        watch(engine, std::min(next + heldFor, end), samples, paused);
        engine.noteOff(0, key);
    }
    watch(engine, end, samples, paused);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    figures.cpuMsPerSecond = 1000 * (processCpuSeconds() - cpuStart) / wall;
    figures.pausedFraction = samples ? double(paused) / samples : 0;
    figures.underruns = engine.underruns();
    state.SetIterationTime(wall);
    return figures;
}

// 8 ms either way: 128 frames x 3 wakes the output 375 times a second,
// 192 x 2 250 times.
AudioLatency latencyOf(int64_t periodSize)
{
    return AudioLatency { 48000.0, static_cast<int>(periodSize), static_cast<int>(384 / periodSize) };
}

// Args: output (0 FluidSynth's driver, 1 the own stream), pace (0 nothing
// sounding, 1 the trainer), period size (128 or 192 frames, 8 ms in all).
void BM_CpuPerSecond(benchmark::State& state)
{
    const char* output = Outputs.at(static_cast<std::size_t>(state.range(0)));
    const auto pace = static_cast<Pace>(state.range(1));
    state.SetLabel(std::string(output) + (pace == Pace::Silent ? ", nothing sounding" : ", trainer"));
    RunFigures f;
    for (auto _ : state)
        if (f = run(state, output, latencyOf(state.range(2)), pace, measureSeconds()); f.underruns == -2)
            state.SkipWithError("no audio output (no PulseAudio server)");
    state.counters["cpu_ms_per_s"] = f.cpuMsPerSecond;
    state.counters["paused"] = f.pausedFraction;
}
BENCHMARK(BM_CpuPerSecond)
    ->ArgNames({ "output", "pace", "period" })
    ->ArgsProduct({ { 0, 1 }, { int(Pace::Silent), int(Pace::Trainer) }, { 128, 192 } })
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

// Underruns of the own stream (the only output that counts them) over a
// minute of fast keys at 128 x 3 frames, 8 ms.
// Arg: period size, as above.
void BM_UnderrunsOverAMinuteOfKeys(benchmark::State& state)
{
    RunFigures f;
    for (auto _ : state)
        if (f = run(state, OwnPulseStream, latencyOf(state.range(0)), Pace::Keys, 6 * measureSeconds());
            f.underruns == -2)
            state.SkipWithError("no audio output (no PulseAudio server)");
    state.counters["underruns"] = f.underruns;
    state.counters["cpu_ms_per_s"] = f.cpuMsPerSecond;
}
BENCHMARK(BM_UnderrunsOverAMinuteOfKeys)
    ->ArgName("period")
    ->Arg(128)
    ->Arg(192)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

// What one audio period of 128 frames costs FluidSynth to render, with the
// effects on or off, silent or with one piano note: times 375 periods a
// second, the synthesizer's own share of the CPU while the output runs.
// Args: reverb, chorus, notes sounding.
void BM_RenderOnePeriod(benchmark::State& state)
{
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", 48000.0);
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(settings, "synth.reverb.active", static_cast<int>(state.range(0)));
    fluid_settings_setint(settings, "synth.chorus.active", static_cast<int>(state.range(1)));
    fluid_synth_t* synth = new_fluid_synth(settings);
    MidiResult error = MidiOk;
    const auto font = findSoundFont(defaultSoundFonts(), error);
    if (!font || fluid_synth_sfload(synth, font->c_str(), 1) == FLUID_FAILED) {
        state.SkipWithError("no General MIDI SoundFont");
    } else {
        for (int i = 0; i < state.range(2); ++i)
            fluid_synth_noteon(synth, 0, 60 + 4 * i, 100);
        std::array<float, 128> left {}, right {};
        for (auto _ : state) {
            fluid_synth_write_float(synth, 128, left.data(), 0, 1, right.data(), 0, 1);
            benchmark::DoNotOptimize(left.data());
        }
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}
BENCHMARK(BM_RenderOnePeriod)
    ->ArgNames({ "reverb", "chorus", "notes" })
    ->ArgsProduct({ { 1, 0 }, { 1, 0 }, { 0, 1 } })
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
