// Editing at the cursor of a long composition, redraw included.
#include "compose/editing.h"
#include "compose/note_entry.h"
#include "midi/midi_out.h"
#include "staff/staff.h"
#include "support/fake_piano.h"
#include "support/recording_midi.h"
#include "support/recording_speech.h"
#include "support/recording_surface.h"

#include <array>
#include <benchmark/benchmark.h>

namespace {

using namespace zintaro;

using Piano = testing::FakePiano;

struct Rig {
    explicit Rig(int entries)
    {
        for (int i = 0; i < entries; ++i) {
            m.CurrentDuration = static_cast<int16_t>(i % 4);
            compose::enterNote(m, surface, true, false, static_cast<int16_t>(i % 36), m.CurrentDuration);
        }
        // The cursor in the middle of the last page but one.
        m.WriteIndex = static_cast<int16_t>(entries - 80);
        m.CursorColumn = m.columnOf(m.WriteIndex);
    }
    Modulo1 m;
    testing::RecordingSurface surface;
    testing::RecordingMidiSystem system;
    midi::MidiOut midi { system };
    testing::RecordingSpeech speech;
    Piano piano;
    compose::Ports ports { surface, midi, speech, piano };
};

void insertRestIntoAFullLengthPiece(benchmark::State& state)
{
    Rig rig(MaxEntries - 1);
    for (auto _ : state) {
        compose::insertRest(rig.m, rig.ports);
        state.PauseTiming();
        compose::deleteAtCursor(rig.m, rig.ports);
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(rig.m.NoteCount);
}
BENCHMARK(insertRestIntoAFullLengthPiece)->Unit(benchmark::kMicrosecond);

void deleteFromAFullPiece(benchmark::State& state)
{
    Rig rig(MaxEntries);
    for (auto _ : state) {
        compose::deleteAtCursor(rig.m, rig.ports);
        state.PauseTiming();
        compose::insertRest(rig.m, rig.ports);
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(rig.m.NoteCount);
}
BENCHMARK(deleteFromAFullPiece)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
