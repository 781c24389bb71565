// The review draw's costs: the memory built from a year of answers (twenty
// sessions of twenty notes a day), its update after one answer, and the
// choice of the next note among the range's written notes.
#include "compose/answer_history.h"
#include "compose/note_memory.h"
#include "compose/practice_draw.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace zintaro;
using namespace zintaro::compose;

constexpr int64_t Day = int64_t { 24 } * 3600 * 1000;

PracticeChoices everyNote()
{
    PracticeChoices choices;
    choices.review = true;
    choices.accidentals = true;
    choices.range() = offeredRange(Clef::Treble);
    return choices;
}

// The history's lines, as the file holds them.
const std::vector<std::string>& yearOfLines()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> text;
        const auto notes = writtenNotesOf(everyNote());
        std::mt19937 random(1);
        // Twelve months of 28 days, twenty sessions a day half an hour apart;
        // a miss is followed by its right answer, so the year has about 160,000 lines.
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 28; ++day) {
                for (int session = 0; session < 20; ++session) {
                    LocalTime when { 2025, month, day, 8 + session / 2, (session % 2) * 30, 0, 0, 60 };
                    const LocalTime start = when;
                    for (int note = 0; note < SessionNoteCount; ++note) {
                        const SpelledNote shown = notes[random() % notes.size()];
                        const int midi = midiNoteOf(shown);
                        const bool right = random() % 5 != 0;
                        const auto responseMs = static_cast<int64_t>(600 + random() % 3000);
                        text.push_back(answerHistoryLine(when,
                            { AnswerMode::Review, midi, right ? midi : midi + 1, right, responseMs },
                            { start, Clef::Treble, shown }));
                        if (!right) {
                            when.second += 2;
                            text.push_back(answerHistoryLine(
                                when, { AnswerMode::Review, midi, midi, true, 2000 }, { start, Clef::Treble, shown }));
                        }
                        when.second += 3;
                        if (when.second >= 60) {
                            when.second -= 60;
                            ++when.minute;
                        }
                    }
                }
            }
        }
        return text;
    }();
    return lines;
}

std::vector<AnswerHistoryRow> parsed()
{
    std::vector<AnswerHistoryRow> rows;
    for (const auto& line : yearOfLines())
        rows.push_back(*storage::parseAnswerHistoryLine(line));
    return rows;
}

void memoryFromAYearOfRows(benchmark::State& state)
{
    const auto rows = parsed();
    for (auto _ : state)
        benchmark::DoNotOptimize(NoteMemory::fromHistory(rows));
    state.counters["rows"] = static_cast<double>(rows.size());
}
BENCHMARK(memoryFromAYearOfRows)->Unit(benchmark::kMillisecond);

void memoryFromAYearOfLines(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<AnswerHistoryRow> rows;
        rows.reserve(yearOfLines().size());
        for (const auto& line : yearOfLines())
            rows.push_back(*storage::parseAnswerHistoryLine(line));
        benchmark::DoNotOptimize(NoteMemory::fromHistory(rows));
    }
}
BENCHMARK(memoryFromAYearOfLines)->Unit(benchmark::kMillisecond);

void memoryUpdatedByOneAnswer(benchmark::State& state)
{
    NoteMemory memory = NoteMemory::fromHistory(parsed());
    const auto notes = writtenNotesOf(everyNote());
    int64_t now = 400 * Day;
    size_t i = 0;
    for (auto _ : state) {
        now += 2000;
        ++i;
        memory.firstAnswer(Clef::Treble, notes[i % notes.size()], i % 3 != 0, 1200, now);
    }
}
BENCHMARK(memoryUpdatedByOneAnswer)->Unit(benchmark::kMicrosecond);

void nextReviewNote(benchmark::State& state)
{
    const NoteMemory memory = NoteMemory::fromHistory(parsed());
    PracticeDraw draw(5);
    draw.setChoices(everyNote());
    int64_t now = 400 * Day;
    bool right = false;
    for (auto _ : state) {
        now += 2000;
        benchmark::DoNotOptimize(draw.next(memory, now));
        draw.firstAnswer(right = !right);
    }
    state.counters["notes"] = static_cast<double>(draw.writtenNotes().size());
}
BENCHMARK(nextReviewNote)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
