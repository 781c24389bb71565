// What one change costs the window's thread with the unsaved piece kept,
// and an undo that draws a full page again, on the staff widget.
#include "compose/workspace.h"
#include "midi/midi_out.h"
#include "staff/staff_widget.h"
#include "support/fake_piano.h"
#include "support/recording_midi.h"
#include "support/recording_speech.h"

#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace zintaro;

using Piano = testing::FakePiano;

// A workspace with a piece of 1000 sixty-fourth notes, the most marks a page
// can hold, on the window's staff widget, its recovery file in a temporary folder.
struct Rig {
    Rig()
    {
        surface.resize(1257, 167);
        surface.createRestImages();
        workspace.switchMode(compose::Mode::Compose, 0, 1);
        workspace.setDuration(6);
        for (int i = 0; i < MaxEntries; ++i)
            workspace.apply(compose::WriteNote { static_cast<int16_t>(i % 36) });
        workspace.waitForSafeCopy();
    }
    QTemporaryDir folder;
    staff::StaffWidget surface;
    testing::RecordingMidiSystem system;
    midi::MidiOut midi { system };
    testing::RecordingSpeech speech;
    Piano piano;
    compose::Ports ports { surface, midi, speech, piano };
    compose::Workspace workspace { ports, {}, {},
        std::filesystem::path(folder.path().toStdString()) / "zintaro" / "recovery.txt" };
};

// A note written over the piece's middle and the cursor put back: the change,
// its undo step and the recovery text handed to the writing thread.
void changeWithRecovery(benchmark::State& state)
{
    Rig rig;
    rig.workspace.moveCursor(compose::CursorMove::Left);
    int16_t note = 0;
    for (auto _ : state) {
        rig.workspace.apply(compose::WriteNote { note });
        rig.workspace.moveCursor(compose::CursorMove::Left);
        note = static_cast<int16_t>((note + 1) % 36);
    }
    rig.workspace.waitForSafeCopy();
}
BENCHMARK(changeWithRecovery)->Unit(benchmark::kMicrosecond);

// An undo and a redo, each drawing a full page of sixty-fourth notes again.
void undoRedrawingAFullPage(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.workspace.undo();
        rig.workspace.redo();
    }
    state.SetItemsProcessed(state.iterations() * 2);
    rig.workspace.waitForSafeCopy();
}
BENCHMARK(undoRedrawingAFullPage)->Unit(benchmark::kMicrosecond);

} // namespace
