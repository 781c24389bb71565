#include "compose/answer_judge.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace zintaro::compose {

void PrintTo(const AnswerStep& step, std::ostream* out)
{
    static constexpr const char* Names[]
        = { "MarkRight", "MarkWrong", "SoundCorrection", "SpeakCorrection", "PressCorrectionKey", "SilenceCorrection",
              "ReleaseCorrectionKey", "ShowNextNote", "ShowSummary", "StartNewSession" };
    *out << Names[static_cast<int>(step.action)] << '(' << step.midiNote << ')';
}

namespace {

using A = AnswerAction;

enum class Kind { Show, Down, Repeat, Up, RepeatUp, Timer, Voice };

struct Event {
    Kind kind;
    int note; // the voice for Kind::Voice
    int64_t at;
};

constexpr int C4 = 60;
constexpr int D4 = 62;
constexpr int E4 = 64;
constexpr int CSharp4 = 61;
constexpr int B3 = 59;

struct Played {
    std::vector<AnswerStep> steps;
    std::vector<AnswerRecord> records;
};

Played play(AnswerJudge& judge, const std::vector<Event>& events)
{
    Played run;
    for (const auto& event : events) {
        AnswerResult result;
        switch (event.kind) {
        case Kind::Show:
            result = judge.noteShown(event.note, event.at, AnswerMode::Random);
            break;
        case Kind::Down:
        case Kind::Repeat:
            result = judge.keyDown(event.note, event.at, event.kind == Kind::Repeat);
            break;
        case Kind::Up:
        case Kind::RepeatUp:
            result = judge.keyUp(event.note, event.at, event.kind == Kind::RepeatUp);
            break;
        case Kind::Timer:
            result = judge.timerDue(event.at);
            break;
        case Kind::Voice:
            judge.setVoice(static_cast<AnswerVoice>(event.note));
            break;
        }
        run.steps.insert(run.steps.end(), result.steps.begin(), result.steps.end());
        if (result.record)
            run.records.push_back(*result.record);
    }
    return run;
}

TEST(AnswerJudgeTest, judgesAnswersByTheirRules)
{
    const int speak = static_cast<int>(AnswerVoice::Speak);
    const int silent = static_cast<int>(AnswerVoice::Silent);
    const struct {
        const char* name;
        std::vector<Event> events;
        std::vector<AnswerStep> steps;
        size_t records;
        int rightAtFirstTry;
        int notes;
    } cases[] = {
        { "right: green, the next note 400 ms later",
            { { Kind::Show, C4, 0 }, { Kind::Down, C4, 1000 }, { Kind::Up, C4, 1100 }, { Kind::Timer, 0, 1399 },
                { Kind::Timer, 0, 1400 } },
            { { A::MarkRight, C4 }, { A::ShowNextNote, 0 } }, 1, 1, 1 },
        { "wrong: red, the right note after the key goes up, for 600 ms, then right",
            { { Kind::Show, C4, 0 }, { Kind::Down, D4, 500 }, { Kind::Timer, 0, 550 }, { Kind::Up, D4, 600 },
                { Kind::Timer, 0, 1199 }, { Kind::Timer, 0, 1200 }, { Kind::Down, C4, 1500 } },
            { { A::MarkWrong, C4 }, { A::SoundCorrection, C4 }, { A::SilenceCorrection, C4 }, { A::MarkRight, C4 } }, 2,
            0, 1 },
        { "repeated wrong: each is red, the correction waits for every key to go up, a new answer cuts it",
            { { Kind::Show, C4, 0 }, { Kind::Down, D4, 500 }, { Kind::Down, E4, 550 }, { Kind::Up, D4, 600 },
                { Kind::Up, E4, 700 }, { Kind::Down, B3, 800 }, { Kind::Up, B3, 900 }, { Kind::Timer, 0, 1500 },
                { Kind::Down, C4, 2000 } },
            { { A::MarkWrong, C4 }, { A::MarkWrong, C4 }, { A::SoundCorrection, C4 }, { A::SilenceCorrection, C4 },
                { A::MarkWrong, C4 }, { A::SoundCorrection, C4 }, { A::SilenceCorrection, C4 }, { A::MarkRight, C4 } },
            4, 0, 1 },
        { "keys in the 400 ms pause are not judged",
            { { Kind::Show, C4, 0 }, { Kind::Down, C4, 100 }, { Kind::Up, C4, 150 }, { Kind::Down, D4, 300 },
                { Kind::Up, D4, 320 }, { Kind::Down, C4, 450 }, { Kind::Timer, 0, 500 } },
            { { A::MarkRight, C4 }, { A::ShowNextNote, 0 } }, 1, 1, 1 },
        { "a held key repeating is no answer; a lost key-up delays the correction at most a second",
            { { Kind::Show, C4, 0 }, { Kind::Down, D4, 100 }, { Kind::Repeat, D4, 600 }, { Kind::RepeatUp, D4, 700 },
                { Kind::Repeat, D4, 700 }, { Kind::Timer, 0, 1099 }, { Kind::Timer, 0, 1100 }, { Kind::Up, D4, 1200 },
                { Kind::Timer, 0, 1700 } },
            { { A::MarkWrong, C4 }, { A::SoundCorrection, C4 }, { A::SilenceCorrection, C4 } }, 1, 0, 1 },
        { "a black key beside the note is wrong and corrected with the note shown",
            { { Kind::Show, C4, 0 }, { Kind::Down, CSharp4, 400 }, { Kind::Up, CSharp4, 500 } },
            { { A::MarkWrong, C4 }, { A::SoundCorrection, C4 } }, 1, 0, 1 },
        { "the right key during the correction silences it first",
            { { Kind::Show, C4, 0 }, { Kind::Down, D4, 100 }, { Kind::Up, D4, 200 }, { Kind::Down, C4, 300 } },
            { { A::MarkWrong, C4 }, { A::SoundCorrection, C4 }, { A::SilenceCorrection, C4 }, { A::MarkRight, C4 } }, 2,
            0, 1 },
        { "Parla speaks the correction and releases only its key",
            { { Kind::Voice, speak, 0 }, { Kind::Show, C4, 0 }, { Kind::Down, D4, 100 }, { Kind::Up, D4, 200 },
                { Kind::Timer, 0, 800 } },
            { { A::MarkWrong, C4 }, { A::SpeakCorrection, C4 }, { A::ReleaseCorrectionKey, C4 } }, 1, 0, 1 },
        { "Muto only shows the key; a voice changed meanwhile does not change the release",
            { { Kind::Voice, silent, 0 }, { Kind::Show, C4, 0 }, { Kind::Down, D4, 100 }, { Kind::Up, D4, 200 },
                { Kind::Voice, 0, 300 }, { Kind::Timer, 0, 800 } },
            { { A::MarkWrong, C4 }, { A::PressCorrectionKey, C4 }, { A::ReleaseCorrectionKey, C4 } }, 1, 0, 1 },
        { "a note changed (Scala) during the correction silences it; the unanswered note does not count",
            { { Kind::Show, C4, 0 }, { Kind::Down, D4, 100 }, { Kind::Up, D4, 200 }, { Kind::Show, E4, 300 },
                { Kind::Show, D4, 400 }, { Kind::Down, D4, 900 } },
            { { A::MarkWrong, C4 }, { A::SoundCorrection, C4 }, { A::SilenceCorrection, C4 }, { A::MarkRight, D4 } }, 2,
            1, 2 },
        { "keys before any note are not judged",
            { { Kind::Down, C4, 0 }, { Kind::Up, C4, 50 }, { Kind::Timer, 0, 5000 } }, {}, 0, 0, 0 },
    };
    for (const auto& c : cases) {
        AnswerJudge judge;
        const Played run = play(judge, c.events);
        EXPECT_EQ(run.steps, c.steps) << c.name;
        EXPECT_EQ(run.records.size(), c.records) << c.name;
        EXPECT_EQ(judge.session().rightAtFirstTry(), c.rightAtFirstTry) << c.name;
        EXPECT_EQ(judge.session().notes(), c.notes) << c.name;
    }
}

TEST(AnswerJudgeTest, everyJudgedAnswerIsRecordedWithItsTimeFromTheNoteAppearing)
{
    AnswerJudge judge;
    judge.noteShown(C4, 10'000, AnswerMode::Scale);
    const Played run = play(judge,
        { { Kind::Down, D4, 11'250 }, { Kind::Up, D4, 11'300 }, { Kind::Down, CSharp4, 12'000 },
            { Kind::Down, C4, 12'500 } });
    const std::vector<AnswerRecord> expected = { { AnswerMode::Scale, C4, D4, false, 1250 },
        { AnswerMode::Scale, C4, CSharp4, false, 2000 }, { AnswerMode::Scale, C4, C4, true, 2500 } };
    EXPECT_EQ(run.records, expected);
    // The score keeps only the first answer and its time.
    EXPECT_EQ(judge.session().scoreLabel().render(), "giuste 0 su 1 · 1,3 s");
}

TEST(AnswerJudgeTest, nextDueNamesTheEarliestPendingMoment)
{
    AnswerJudge judge;
    judge.noteShown(C4, 0, AnswerMode::Random);
    EXPECT_EQ(judge.nextDue(), std::nullopt);
    judge.keyDown(D4, 100, false);
    EXPECT_EQ(judge.nextDue(), 100 + CorrectionWaitMs);
    judge.keyUp(D4, 200);
    EXPECT_EQ(judge.nextDue(), 200 + CorrectionMs);
    judge.keyDown(C4, 300, false);
    EXPECT_EQ(judge.nextDue(), 300 + NextNoteDelayMs);
}

TEST(AnswerJudgeTest, theTwentiethRightNoteShowsTheSummaryAndTheNextKeyStartsANewSessionUnjudged)
{
    AnswerJudge judge;
    int64_t now = 0;
    std::vector<AnswerStep> last;
    for (int i = 0; i < SessionNoteCount; ++i) {
        const int note = i % 2 == 0 ? C4 : E4;
        judge.noteShown(note, now, AnswerMode::Random);
        if (i == 3) {
            judge.keyDown(D4, now + 500, false);
            judge.keyUp(D4, now + 600);
        }
        judge.keyDown(note, now + 1000, false);
        judge.keyUp(note, now + 1100);
        last = judge.timerDue(now + 1000 + NextNoteDelayMs).steps;
        now += 2000;
    }
    EXPECT_EQ(last, (std::vector<AnswerStep> { { A::ShowSummary, C4 + 4 } }));
    EXPECT_TRUE(judge.showingSummary());
    EXPECT_EQ(judge.session().rightAtFirstTry(), SessionNoteCount - 1);
    EXPECT_EQ(judge.nextDue(), std::nullopt);

    const AnswerResult press = judge.keyDown(D4, now, false);
    EXPECT_EQ(press.steps, (std::vector<AnswerStep> { { A::StartNewSession, D4 }, { A::ShowNextNote, 0 } }));
    EXPECT_FALSE(press.record);
    EXPECT_EQ(judge.session().notes(), 0);
    EXPECT_EQ(judge.session().scoreLabel().render(), "giuste 0 su 0");
}

// A whole session through the judge into the history file: the best session
// read back from the file has the figures the judge counted.
TEST(AnswerJudgeTest, aSessionWrittenToTheHistoryIsReadBackAsTheBest)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zintaro-judge-XXXXXX").string();
    ASSERT_TRUE(mkdtemp(pattern.data()));
    const std::filesystem::path folder = pattern;
    AnswerHistory history(folder / "answers.csv");
    AnswerJudge judge;
    LocalTime clock { 2024, 5, 1, 10, 0, 0, 0, 60 };
    const LocalTime sessionStart = clock;
    const auto carryOut = [&](const AnswerResult& result) {
        ASSERT_TRUE(result.record);
        const AnswerContext context { sessionStart, Clef::Treble, sharpSpelling(result.record->shown) };
        EXPECT_FALSE(history.append(clock, *result.record, context));
    };

    int64_t now = 0;
    for (int i = 0; i < SessionNoteCount; ++i) {
        const int note = C4 + (i % 7);
        clock.minute = i;
        judge.noteShown(note, now, AnswerMode::Scale);
        if (i % 5 == 0)
            carryOut(judge.keyDown(note + 1, now + 700, false));
        carryOut(judge.keyDown(note, now + 1000 + i * 10, false));
        judge.keyUp(note, now + 1100 + i * 10);
        judge.timerDue(now + 2000);
        now += 3000;
    }
    ASSERT_TRUE(judge.showingSummary());
    const auto best = history.bestSession();
    ASSERT_TRUE(best);
    EXPECT_EQ(best->percentRight(), judge.session().figures().percentRight());
    EXPECT_EQ(best->medianResponseMs, judge.session().figures().medianResponseMs);
    EXPECT_EQ(judge.session().summaryLines(best).front().render(), "Giuste al primo colpo: 80 %");
    std::filesystem::remove_all(folder);
}

TEST(AnswerJudgeTest, stoppingEndsTheSessionAndSilencesTheCorrection)
{
    AnswerJudge judge;
    judge.noteShown(C4, 0, AnswerMode::Random);
    judge.keyDown(D4, 100, false);
    judge.keyUp(D4, 200);
    EXPECT_EQ(judge.stop().steps, (std::vector<AnswerStep> { { A::SilenceCorrection, C4 } }));
    EXPECT_EQ(judge.session().notes(), 0);
    EXPECT_EQ(judge.nextDue(), std::nullopt);
    EXPECT_TRUE(judge.keyDown(C4, 300, false).steps.empty());
    EXPECT_TRUE(judge.stop().steps.empty());
}

TEST(AnswerJudgeTest, randomDrawsNeverRepeatThePreviousNote)
{
    const struct {
        std::optional<int> previous;
        std::vector<int> draws;
        int drawn;
    } cases[] = {
        { std::nullopt, { 5, 7 }, 5 },
        { 5, { 5, 5, 5, 7 }, 7 },
        { 7, { 5, 7 }, 5 },
    };
    for (const auto& c : cases) {
        size_t next = 0;
        EXPECT_EQ(drawOtherThan(c.previous, [&] { return c.draws.at(next++); }), c.drawn);
    }
}

} // namespace
} // namespace zintaro::compose
