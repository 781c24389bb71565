// The MIDI input's own path: a keyboard's message parsed and handed to the
// synthesizer on the input's thread, and a flood of notes carried to the
// window's thread.
#include "midi/fluid_synth_engine.h"
#include "midi/midi_input_dispatch.h"
#include "midi/note_event_queue.h"

#include <QCoreApplication>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

using namespace zintaro::midi;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Parser and dispatch alone, per message, to a sink that only counts.
void BM_KeyboardMessageToSoundNowSink(benchmark::State& state)
{
    uint64_t sounded = 0;
    MidiInputDispatch dispatch({ [&](uint32_t packed) { sounded += packed; }, [](NoteEvent) {} });
    const std::array<uint8_t, 6> onAndOff { 0x90, 60, 100, 0x80, 60, 0 };
    for (auto _ : state) {
        dispatch.receive(std::span(onAndOff).first(3));
        dispatch.receive(std::span(onAndOff).last(3));
    }
    benchmark::DoNotOptimize(sounded);
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_KeyboardMessageToSoundNowSink);

// A keyboard's note-on, as the MIDI system hands it over, until the
// synthesizer has started the note (the bound: under 1 ms).
void BM_KeyboardNoteOnReachesTheSynth(benchmark::State& state)
{
    FluidSynthEngine engine;
    if (!engine.loadSoundFont()) {
        state.SkipWithError("no General MIDI SoundFont");
        return;
    }
    MidiInputDispatch dispatch({ [&](uint32_t packed) { engine.handle(packed); }, [](NoteEvent) {} });
    const std::array<uint8_t, 3> noteOn { 0x90, 60, 100 };
    const std::array<uint8_t, 3> noteOff { 0x80, 60, 0 };
    std::array<float, 64> left {}, right {};
    int missed = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        dispatch.receive(noteOn);
        state.SetIterationTime(secondsSince(start));
        missed += engine.activeVoices() == 0;
        dispatch.receive(noteOff);
        engine.render(left.data(), right.data(), static_cast<int>(left.size()));
    }
    if (missed)
        state.SkipWithError("a note-on did not start a voice");
}
BENCHMARK(BM_KeyboardNoteOnReachesTheSynth)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One second of a flood, 10,000 notes (note-on and note-off each), sent from
// the input's thread while the window's event loop carries them: the time
// the loop spends on them, and how many of its turns they took.
void BM_FloodOfTenThousandNotesReachesTheWindow(benchmark::State& state)
{
    int argc = 1;
    std::array<char*, 2> argv { const_cast<char*>("bench_midi_input"), nullptr };
    QCoreApplication app(argc, argv.data());
    constexpr int Notes = 10'000;
    int64_t batches = 0;
    for (auto _ : state) {
        NoteEventQueue queue;
        int received = 0;
        QObject::connect(&queue, &NoteEventQueue::noteEvent, [&](NoteEvent) { ++received; });
        MidiInputDispatch dispatch({ [](uint32_t) {}, queue.sink() });
        std::thread keyboard([&] {
            for (int i = 0; i < Notes; ++i) {
                const uint8_t note = static_cast<uint8_t>(53 + i % 36);
                const std::array<uint8_t, 6> bytes { 0x90, note, 100, 0x90, note, 0 };
                dispatch.receive(bytes);
            }
        });
        const auto start = Clock::now();
        while (received < 2 * Notes) {
            QCoreApplication::processEvents();
            ++batches;
        }
        state.SetIterationTime(secondsSince(start));
        keyboard.join();
    }
    state.counters["loop passes per flood"] = benchmark::Counter(static_cast<double>(batches) / state.iterations());
}
BENCHMARK(BM_FloodOfTenThousandNotesReachesTheWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
