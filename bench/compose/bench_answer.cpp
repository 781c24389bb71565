// A key pressed in answer, up to the judged note head painted again, through
// the trainer's real path: the judge, the history line written to disk, the
// key sounded through the MIDI output, and the trainer's column redrawn on
// the staff surface widget (offscreen, painting included).
#include "compose/answer_judge.h"
#include "compose/answering.h"
#include "compose/trainer.h"
#include "core/modulo1.h"
#include "midi/midi_out.h"
#include "midi/silent_midi.h"
#include "staff/speech.h"
#include "staff/staff_widget.h"
#include "support/fake_piano.h"

#include <QApplication>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace zintaro;

using Piano = testing::FakePiano;

struct AnswerRig {
    AnswerRig()
        : folder(makeFolder())
    {
        m.DrawScale = 5; // "Leggi" enlarges the staff
        pn.setGeometry(0, 0, 1257, 835);
        pn.createRestImages();
        pn.show();
        midi.open(-1);
        trainer.enter(1);
        answering.start(0);
        QApplication::processEvents();
    }
    ~AnswerRig()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    static std::filesystem::path makeFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zintaro-bench-XXXXXX").string();
        return mkdtemp(pattern.data()) ? std::filesystem::path { pattern } : std::filesystem::path {};
    }

    int16_t shown() const { return trainer.state().note; }

    std::filesystem::path folder;
    Modulo1 m;
    staff::StaffWidget pn;
    midi::SilentMidiSystem system;
    midi::MidiOut midi { system };
    staff::SilentSpeech speech;
    Piano piano;
    compose::Ports ports { pn, midi, speech, piano };
    compose::Trainer trainer { m, ports };
    compose::Answering answering { m, ports, trainer, folder / "answers.csv" };
};

void BM_RightAnswerToHeadPainted(benchmark::State& state)
{
    AnswerRig rig;
    int64_t now = 0;
    for (auto _ : state) {
        const int16_t note = rig.shown();
        rig.answering.keyDown(note, now + 900, false);
        QApplication::processEvents();
        state.PauseTiming();
        rig.answering.keyUp(note, now + 950);
        // The pause ends and the next note shows; a summary needs a key to go on.
        rig.answering.timerDue(now + 900 + compose::NextNoteDelayMs);
        if (rig.answering.judge().showingSummary()) {
            rig.answering.keyDown(0, now + 1500, false);
            rig.answering.keyUp(0, now + 1550);
        }
        now += 2000;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RightAnswerToHeadPainted)->Unit(benchmark::kMicrosecond);

void BM_WrongAnswerToHeadPainted(benchmark::State& state)
{
    AnswerRig rig;
    const auto wrong = static_cast<int16_t>(rig.shown() == 7 ? 9 : 7);
    int64_t now = 0;
    for (auto _ : state) {
        rig.answering.keyDown(wrong, now, false);
        QApplication::processEvents();
        rig.answering.keyUp(wrong, now + 1);
        now += 100;
    }
}
BENCHMARK(BM_WrongAnswerToHeadPainted)->Unit(benchmark::kMicrosecond);

} // namespace
