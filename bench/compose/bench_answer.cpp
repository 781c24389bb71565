// A key pressed in answer, up to the judged note head painted again: the
// judge, the history line written to disk, and the trainer's column redrawn
// on the staff surface widget (offscreen, painting included).
#include "compose/answer_history.h"
#include "compose/answer_judge.h"
#include "compose/trainer.h"
#include "core/modulo1.h"
#include "staff/pn_widget.h"
#include "staff/staff.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace zintaro;

constexpr int C5 = 72;
constexpr int16_t C5Index = C5 - MidiNoteOffset;

struct AnswerRig {
    AnswerRig()
        : history(folder() / "answers.csv")
    {
        m.DrawScale = 5; // "Leggi" enlarges the staff
        pn.setGeometry(0, 0, 1257, 835);
        pn.createRestImages();
        pn.show();
        QApplication::processEvents();
    }
    ~AnswerRig()
    {
        std::error_code ignored;
        std::filesystem::remove_all(history.path().parent_path(), ignored);
    }

    static std::filesystem::path folder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zintaro-bench-XXXXXX").string();
        return mkdtemp(pattern.data()) ? std::filesystem::path { pattern } : std::filesystem::path {};
    }

    // What the trainer does with a judged answer: history, head redrawn, painted.
    void carryOut(const compose::AnswerResult& result)
    {
        if (result.record)
            benchmark::DoNotOptimize(history.append(compose::LocalTime::now(), *result.record));
        for (const auto& step : result.steps) {
            if (step.action == compose::AnswerAction::MarkRight || step.action == compose::AnswerAction::MarkWrong) {
                staff::EraseColumn(m, pn, compose::TrainerColumn);
                staff::DrawGlyph(m, pn, 0, False16, C5Index, compose::TrainerColumn);
            }
        }
        QApplication::processEvents();
    }

    Modulo1 m;
    staff::PnWidget pn;
    compose::AnswerJudge judge;
    compose::AnswerHistory history;
};

void BM_RightAnswerToHeadPainted(benchmark::State& state)
{
    AnswerRig rig;
    int64_t now = 0;
    for (auto _ : state) {
        rig.judge.noteShown(C5, now, compose::AnswerMode::Random);
        rig.carryOut(rig.judge.keyDown(C5, now + 900, false));
        rig.judge.keyUp(C5, now + 950);
        now += 2000;
    }
}
BENCHMARK(BM_RightAnswerToHeadPainted)->Unit(benchmark::kMicrosecond);

void BM_WrongAnswerToHeadPainted(benchmark::State& state)
{
    AnswerRig rig;
    rig.judge.noteShown(C5, 0, compose::AnswerMode::Random);
    int64_t now = 0;
    for (auto _ : state) {
        rig.carryOut(rig.judge.keyDown(C5 + 2, now, false));
        rig.judge.keyUp(C5 + 2, now + 1);
        now += 100;
    }
}
BENCHMARK(BM_WrongAnswerToHeadPainted)->Unit(benchmark::kMicrosecond);

} // namespace
