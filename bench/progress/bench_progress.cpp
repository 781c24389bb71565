// The progress page's figures, with a generated history of 150,000 answers
// (a year of twenty sessions a day):
//  - the figures read from the file, as the page's reading thread does;
//  - the page built and painted for the first time from those figures;
//  - from the menu item to the page painted, through the real window and
//    the module loaded from the build, with the longest the window's event
//    loop was kept from turning meanwhile.

#include "app/form1.h"
#include "app/progress_opener.h"
#include "compose/progress_figures.h"
#include "core/dialogs.h"
#include "midi/silent_midi.h"
#include "progress/progress_page.h"
#include "staff/speech.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <time.h>

namespace {

using Clock = std::chrono::steady_clock;

const int Today = zintaro::compose::dayNumber(2026, 12, 7);
constexpr int HistoryLines = 150000;

// answers.csv in a folder of its own, made once.
const QTemporaryDir& historyHome()
{
    static QTemporaryDir home;
    static bool written = false;
    if (!written) {
        written = true;
        QDir(home.path()).mkpath(QStringLiteral("zintaro"));
        std::ofstream out((home.path() + QStringLiteral("/zintaro/answers.csv")).toStdString());
        out << "time,mode,shown,answered,right,response_ms,session,clef,spelled\n";
        std::mt19937 random(7);
        const int naturals[] = { 60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79, 81, 83, 84 };
        int lines = 0;
        for (int day = Today - 364; lines < HistoryLines; ++day) {
            const auto date = zintaro::compose::calendarDate(day);
            for (int session = 0; session < 20 && lines < HistoryLines; ++session) {
                const int startMinute = 8 * 60 + session * 30;
                char start[40];
                std::snprintf(start, sizeof start, "%04d-%02d-%02dT%02d:%02d:00.000+01:00", date.year, date.month,
                    date.day, startMinute / 60, startMinute % 60);
                int second = 0;
                for (int done = 0; done < 20 && lines < HistoryLines; ++lines) {
                    const int shown = naturals[random() % 15];
                    const bool right = random() % 10 < 8;
                    const int answered = right ? shown : shown + (random() % 2 ? 2 : -1);
                    second += 1 + int(random() % 4);
                    const int at = startMinute * 60 + second;
                    char line[160];
                    std::snprintf(line, sizeof line, "%04d-%02d-%02dT%02d:%02d:%02d.000+01:00,random,%d,%d,%d,%d",
                        date.year, date.month, date.day, at / 3600, at / 60 % 60, at % 60, shown, answered,
                        right ? 1 : 0, 600 + int(random() % 2400));
                    out << line;
                    // The first months were written before lines had their session.
                    if (day > Today - 270)
                        out << ',' << start << ",treble," << zintaro::spelledText(zintaro::sharpSpelling(shown));
                    out << '\n';
                    done += right ? 1 : 0;
                }
            }
        }
    }
    return home;
}

std::filesystem::path historyFile()
{
    return (historyHome().path() + QStringLiteral("/zintaro/answers.csv")).toStdString();
}

void BM_FiguresOfAYearOfAnswers(benchmark::State& state)
{
    const auto file = historyFile();
    for (auto _ : state) {
        const auto figures = zintaro::compose::readProgress(file, Today);
        benchmark::DoNotOptimize(figures.notesAnswered);
        if (figures.answers != HistoryLines || figures.damagedLines != 0)
            state.SkipWithError("the generated history was not read whole");
    }
}
BENCHMARK(BM_FiguresOfAYearOfAnswers)->Unit(benchmark::kMillisecond);

void BM_PageBuiltAndFirstPainted(benchmark::State& state)
{
    const zintaro::progress::PageInput input { zintaro::compose::readProgress(historyFile(), Today), QDir::tempPath(),
        zintaro::NoteNaming::Solfege };
    for (auto _ : state) {
        auto* page = new zintaro::progress::ProgressPage(input);
        page->show();
        page->repaint();
        state.PauseTiming();
        page->close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PageBuiltAndFirstPainted)->Unit(benchmark::kMillisecond);

class PrintedDialogs : public zintaro::Dialogs {
public:
    void message(const zintaro::Text& text, const zintaro::Text&) override
    {
        std::fprintf(stderr, "[box] %s\n", text.render().c_str());
    }
    bool question(const zintaro::Text&, const zintaro::Text&) override { return true; }
};

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// The first iteration loads the module; the others find it loaded.
void BM_MenuItemToPagePainted(benchmark::State& state)
{
    qputenv("XDG_DATA_HOME", historyHome().path().toLocal8Bit());
    PrintedDialogs dialogs;
    zintaro::midi::SilentMidiSystem midi;
    zintaro::staff::SilentSpeech speech;
    QTemporaryDir files;
    zintaro::app::Form1 form(zintaro::app::Form1Services {
        dialogs, midi, speech, files.path(), false, { QStringLiteral(ZINTARO_PROGRESS_MODULE_DIR) } });
    form.Form_Load();
    form.show();
    QApplication::processEvents();

    double longestStall = 0;
    double longestStallCpu = 0;
    double first = -1;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        form.controls().progressAction->trigger();
        QWidget* page = nullptr;
        while (!(page = form.progress().page())) {
            const auto turn = Clock::now();
            const double cpu = threadCpuMs();
            QApplication::processEvents(QEventLoop::AllEvents);
            longestStall
                = std::max(longestStall, std::chrono::duration<double, std::milli>(Clock::now() - turn).count());
            longestStallCpu = std::max(longestStallCpu, threadCpuMs() - cpu);
        }
        page->repaint();
        const double took = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(took);
        if (first < 0)
            first = took * 1000;
        page->close();
        QApplication::processEvents();
    }
    state.counters["first_ms"] = first;
    state.counters["longest_turn_ms"] = longestStall;
    // The same in the window thread's processor time, which a busy machine does not inflate.
    state.counters["longest_turn_cpu_ms"] = longestStallCpu;
}
BENCHMARK(BM_MenuItemToPagePainted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
