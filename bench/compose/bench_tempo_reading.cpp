// The window's thread while a piece is read in time: eight measures of
// sixteenths at tempo 210 (a note every 71 ms), read page by page from the
// composition, every key struck on its note. Each call the window makes
// (the key going down and up, the timer of the notes that are due, the key
// that starts the next page with its drawing) is timed on its own; the
// longest of them is the figure, against a frame of 16 ms (the first
// reading's apart). With the staff widget the painting the call caused is
// counted in it too.
#include "compose/timed_reading.h"
#include "compose/workspace.h"
#include "midi/midi_out.h"
#include "midi/silent_midi.h"
#include "staff/speech.h"
#include "staff/staff_widget.h"
#include "support/fake_piano.h"
#include "support/recording_surface.h"

#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace zintaro;

constexpr int Tempo = 210;
constexpr int Measures = 8;

struct NoClicks : compose::ClickTrack {
    void schedule(double, bool) override { }
    void cancel() override { }
};

std::filesystem::path makeFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zintaro-bench-XXXXXX").string();
    return mkdtemp(pattern.data()) ? std::filesystem::path { pattern } : std::filesystem::path {};
}

// The surface the phrase is drawn on, ready as the window has it.
template<typename Surface> struct ReadingRig {
    explicit ReadingRig(Surface& surface)
        : folder(makeFolder())
        , ports { surface, midi, speech, piano }
    {
        midi.open(-1);
        std::vector<Entry> sixteenths;
        for (int i = 0; i < Measures * 16; ++i)
            sixteenths.push_back({ False16, static_cast<int16_t>(7 + (i * 5) % 17), 4 });
        workspace.apply(compose::ReplacePiece { sixteenths, Key {}, Meter { 4, 4 } });
        workspace.setTempo(Tempo);
        workspace.setClickTrack(&clicks);
        workspace.switchMode(compose::Mode::Read, 0, 1);
        compose::PracticeChoices practice = workspace.choices().practice;
        practice.inTime = true;
        practice.fromPiece = true;
        workspace.choosePractice(practice, 0, 1);
    }
    ~ReadingRig()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::filesystem::path folder;
    midi::SilentMidiSystem system;
    midi::MidiOut midi { system };
    staff::SilentSpeech speech;
    testing::FakePiano piano;
    compose::Ports ports;
    NoClicks clicks;
    compose::Workspace workspace { ports, folder / "answers.csv", [](int) {} };
};

// The longest call of each kind, in ms of the thread's own time: other
// programs of a busy machine taking the processor meanwhile do not count,
// the wall time's longest is told apart.
struct Longest {
    double start = 0; // "Rispondi" switched on, or the key that starts a page
    double key = 0; // a key going down or up on a note
    double due = 0; // the timer of the notes due
    double wall = 0;
    int judged = 0;
    int perfect = 0;

    double any() const { return std::max({ start, key, due }); }
    void add(const Longest& other)
    {
        start = std::max(start, other.start);
        key = std::max(key, other.key);
        due = std::max(due, other.due);
        wall = std::max(wall, other.wall);
        judged = other.judged;
        perfect = other.perfect;
    }
};

double threadMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Reads the whole piece once from `start`.
template<typename Surface> Longest readThePiece(ReadingRig<Surface>& rig, int64_t start, bool paint)
{
    Longest longest;
    const auto timed = [&](double& kind, auto call) {
        const auto before = std::chrono::steady_clock::now();
        const double beforeThread = threadMs();
        call();
        if (paint)
            QApplication::processEvents();
        kind = std::max(kind, threadMs() - beforeThread);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - before;
        longest.wall = std::max(longest.wall, took.count());
    };
    compose::Workspace& w = rig.workspace;
    timed(longest.start, [&] { w.setAnswering(true, start, 1); });
    for (int page = 0; page * StaffColumns < w.state().NoteCount; ++page) {
        const compose::TimedReading* reading = w.timedReading();
        if (page > 0) {
            // The key that starts the next page: the page is drawn.
            const int64_t at = start;
            timed(longest.start, [&] { w.keyDown(0, at, false, compose::KeySound::Sounded, static_cast<double>(at)); });
            timed(longest.key, [&] { w.keyUp(0, at + 20, compose::KeySound::Sounded); });
            reading = w.timedReading();
        }
        const int64_t origin = reading->startMs();
        std::optional<int64_t> due = w.answersDue(origin).answersDue;
        for (const compose::TimedNote& note : reading->timeline().notes) {
            const int64_t onset = origin + static_cast<int64_t>(note.onsetMs);
            while (due && *due < onset) {
                const int64_t at = *due;
                timed(longest.due, [&] { due = w.answersDue(at).answersDue; });
            }
            const auto index = static_cast<int16_t>(note.midi - MidiNoteOfLowestKey);
            timed(longest.key,
                [&] { w.keyDown(index, onset, false, compose::KeySound::Sounded, static_cast<double>(onset)); });
            timed(longest.key, [&] { w.keyUp(index, onset + 40, compose::KeySound::Sounded); });
        }
        for (int64_t at = origin + static_cast<int64_t>(reading->timeline().endMs); !reading->finished(); at += 10)
            timed(longest.due, [&] { w.answersDue(at); });
        longest.judged += static_cast<int>(reading->judgements().size());
        for (const compose::NoteJudgement& j : reading->judgements())
            longest.perfect += j.timing == compose::Timing::Perfect ? 1 : 0;
        start = origin + static_cast<int64_t>(reading->timeline().endMs) + 500;
    }
    w.setAnswering(false, start, 1);
    return longest;
}

template<typename Surface> void report(benchmark::State& state, ReadingRig<Surface>& rig, bool paint)
{
    // The first reading meets cold caches (the widget's first painting of a
    // page, the history file's first line): told apart from the rest.
    int64_t start = 1000;
    const Longest cold = readThePiece(rig, start, paint);
    start += 3'600'000;
    Longest longest;
    for (auto _ : state) {
        longest.add(readThePiece(rig, start, paint));
        start += 3'600'000;
    }
    state.counters["first_reading_ms"] = cold.any();
    state.counters["longest_call_ms"] = longest.any();
    state.counters["longest_wall_ms"] = longest.wall;
    state.counters["start_ms"] = longest.start;
    state.counters["key_ms"] = longest.key;
    state.counters["due_ms"] = longest.due;
    // Every note judged "Perfetto", or the run did not read what it meant to.
    state.counters["perfect"] = longest.perfect;
    state.counters["notes"] = longest.judged;
}

void BM_ReadInTimeRecorded(benchmark::State& state)
{
    testing::RecordingSurface surface;
    ReadingRig rig(surface);
    report(state, rig, false);
}
BENCHMARK(BM_ReadInTimeRecorded)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ReadInTimePainted(benchmark::State& state)
{
    staff::StaffWidget surface;
    surface.setGeometry(0, 0, 1257, 200);
    surface.createRestImages();
    surface.show();
    ReadingRig rig(surface);
    QApplication::processEvents();
    report(state, rig, true);
}
BENCHMARK(BM_ReadInTimePainted)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
