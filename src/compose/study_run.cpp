#include "compose/study_run.h"

#include "compose/note_memory.h"
#include "compose/practice_draw.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace zintaro::compose {

namespace {

constexpr int64_t Second = 1000;
constexpr int64_t Day = 24 * 3600 * Second;
constexpr int64_t FirstDay = 20000 * Day;
constexpr std::array<int, 6> Loads = { 0, 20, 40, 60, 100, 200 };

int keysOf(const std::vector<SpelledNote>& notes)
{
    std::vector<int> keys;
    keys.reserve(notes.size());
    for (const SpelledNote note : notes)
        keys.push_back(midiNoteOf(note));
    std::sort(keys.begin(), keys.end());
    return static_cast<int>(std::unique(keys.begin(), keys.end()) - keys.begin());
}

double meanChance(const SimulatedStudent& student, const std::vector<size_t>& notes, int64_t at)
{
    double sum = 0;
    for (const size_t note : notes)
        sum += student.chanceRight(note, at);
    return notes.empty() ? 0 : sum / static_cast<double>(notes.size());
}

} // namespace

StudyOutcome runStudy(const StudyPlan& plan, bool keepRows)
{
    // The program reads the history, and fits the memory to it, when it starts: here once a day.
    keepRows = keepRows || plan.review;
    PracticeChoices choices;
    choices.review = plan.review;
    choices.accidentals = plan.accidentals;
    PracticeDraw draw(plan.seed * 7919U + 1U);
    draw.setChoices(choices);
    const auto& notes = draw.writtenNotes();
    SimulatedStudent student(plan.model, notes, choices.clef, keysOf(notes), plan.seed);
    NoteMemory memory;
    std::mt19937 schedule(plan.seed * 104729U + 3U);
    StudyOutcome outcome;
    int64_t now = FirstDay;
    for (int day = 0; day < plan.days; ++day) {
        // Some time in the evening, a different one each day.
        now = std::max(
            now, FirstDay + day * Day + 17 * 3600 * Second + static_cast<int64_t>(schedule() % 7200) * Second);
        const int load = plan.varyingLoad ? Loads.at(schedule() % Loads.size()) : plan.answersPerDay;
        const int64_t sessionStart = now;
        if (plan.review && day > 0)
            memory = NoteMemory::fromHistory(outcome.rows);
        for (int answer = 0; answer < load; ++answer) {
            if (answer > 0 && answer % SessionNoteCount == 0)
                now += 60 * Second;
            const DrawnNote shown = draw.next(memory, now);
            const auto index = static_cast<size_t>(std::find(notes.begin(), notes.end(), shown.note) - notes.begin());
            const int64_t shownAt = now;
            const bool right = student.answer(index, shownAt, shownAt + 4 * Second);
            const int64_t responseMs = right ? 1000 + static_cast<int64_t>(schedule() % 1500) : 2500;
            now += responseMs;
            memory.firstAnswer(shown.clef, shown.note, right, responseMs, now);
            draw.firstAnswer(right);
            const int midi = shown.midiNote();
            const AnswerMode mode = plan.review ? AnswerMode::Review : AnswerMode::Random;
            if (keepRows)
                outcome.rows.emplace_back(now, AnswerRecord { mode, midi, right ? midi : midi + 1, right, responseMs },
                    sessionStart, shown.clef, shown.note);
            if (!right) { // the right key follows after the correction
                now += 1500;
                memory.seenAgain(shown.clef, shown.note, now);
                if (keepRows)
                    outcome.rows.emplace_back(
                        now, AnswerRecord { mode, midi, midi, true, 1500 }, sessionStart, shown.clef, shown.note);
            }
            now += 400;
        }
    }
    std::vector<size_t> all(notes.size());
    std::iota(all.begin(), all.end(), size_t { 0 });
    std::vector<size_t> hardest = all;
    std::sort(hardest.begin(), hardest.end(),
        [&student](size_t a, size_t b) { return student.difficulty(a) > student.difficulty(b); });
    hardest.resize(std::max<size_t>(1, (notes.size() + 4) / 5));
    outcome.nextDay = meanChance(student, all, now + Day);
    outcome.weekAway = meanChance(student, all, now + 7 * Day);
    outcome.hardestNextDay = meanChance(student, hardest, now + Day);
    outcome.hardestWeekAway = meanChance(student, hardest, now + 7 * Day);
    return outcome;
}

} // namespace zintaro::compose
