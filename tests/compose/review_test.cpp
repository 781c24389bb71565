#include "compose/chord_review.h"
#include "compose/note_memory.h"
#include "compose/practice_draw.h"
#include "compose/recall_replay.h"
#include "compose/study_table.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

namespace zintaro::compose {
namespace {

constexpr int64_t Minute = 60 * 1000;
constexpr int64_t Day = 24 * 60 * Minute;
constexpr int64_t Start = 20000 * Day;

// A draw for "Ripasso", with or without "Alterazioni".
PracticeDraw reviewDraw(uint32_t seed, bool accidentals = false)
{
    PracticeChoices choices;
    choices.review = true;
    choices.accidentals = accidentals;
    PracticeDraw draw(seed);
    draw.setChoices(choices);
    return draw;
}

TEST(RecallModelTest, fittingFindsTheWeightsThatMadeTheAnswersAndFewAnswersStayNearThePrior)
{
    const RecallWeights truth { { 0.5, 1.4, -0.9, -0.6, 0.2 } };
    std::mt19937 random(4);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<RecallExample> examples;
    for (int i = 0; i < 40000; ++i) {
        const RecallEvidence evidence { 8 * unit(random), 3 * unit(random), 200 * unit(random) * unit(random) };
        examples.push_back(recallExample(evidence, unit(random) < predictRecall(truth, evidence)));
    }
    const RecallWeights fitted = fitRecallWeights(examples, RecallWeights::defaults());
    // The fit is the best there is for these answers, and near the truth.
    EXPECT_LE(recallLogLoss(examples, fitted), recallLogLoss(examples, truth));
    for (size_t i = 0; i < truth.w.size(); ++i)
        EXPECT_NEAR(fitted.w[i], truth.w[i], 0.25) << "weight " << i;

    const std::vector<RecallExample> few(examples.begin(), examples.begin() + 20);
    const RecallWeights near = fitRecallWeights(few, RecallWeights::defaults());
    for (size_t i = 0; i < truth.w.size(); ++i)
        EXPECT_NEAR(near.w[i], RecallWeights::defaults().w[i], 0.6) << "weight " << i;
}

TEST(ReplayTest, scoresGiveLogLossAreaUnderTheCurveAndCalibration)
{
    const struct {
        const char* name;
        std::vector<double> predicted;
        std::vector<bool> right;
        double logLoss, auc, calibration;
    } cases[] = {
        { "sure and right", { 0.9, 0.9, 0.1, 0.1 }, { true, true, false, false }, 0.10536, 1.0, 0.1 },
        { "sure and wrong", { 0.1, 0.9 }, { true, false }, 2.30259, 0.0, 0.9 },
        { "ties share ranks", { 0.5, 0.5, 0.5, 0.5 }, { true, false, true, false }, 0.69315, 0.5, 0.0 },
        { "one kind of answer only", { 0.8, 0.6 }, { true, true }, 0.36695, 0.5, 0.3 },
    };
    for (const auto& c : cases) {
        const ReplayScore score = scorePredictions(c.predicted, c.right);
        EXPECT_NEAR(score.logLoss, c.logLoss, 1e-4) << c.name;
        EXPECT_NEAR(score.auc, c.auc, 1e-9) << c.name;
        EXPECT_NEAR(score.calibration, c.calibration, 1e-9) << c.name;
    }
}

TEST(ReplayTest, theMemoryPredictsEverySimulatedStudentBetterThanTheRunningAverage)
{
    for (const StudentModel model : AllStudentModels) {
        SCOPED_TRACE(std::string(studentModelName(model)));
        const auto rows = runStudy({ model, false, true, 0, 28, true, 3 }, true).rows;
        const ReplayScore average = replayScore(rows, RecallPredictor::RunningAverage);
        const ReplayScore memory = replayScore(rows, RecallPredictor::Model);
        EXPECT_LT(memory.logLoss, average.logLoss);
        EXPECT_GT(memory.auc, average.auc);
        // Fitted on the student's own history, it predicts another history of theirs at least as well.
        const auto other = runStudy({ model, false, true, 0, 28, true, 4 }, true).rows;
        const NoteMemory fitted = NoteMemory::fromHistory(other);
        EXPECT_LE(replayScore(rows, RecallPredictor::ModelFitted, fitted.weights()).logLoss, memory.logLoss + 0.01);
    }
}

TEST(NoteMemoryTest, aLongHistoryFitsTheWeightsAShortOneKeepsTheDefaults)
{
    StudyPlan plan { StudentModel::Dash, false, true, 0, 8, true, 5 };
    const auto shortHistory = runStudy(plan, true).rows;
    plan.days = 56;
    const auto longHistory = runStudy(plan, true).rows;
    EXPECT_FALSE(
        NoteMemory::fromHistory(std::vector(shortHistory.begin(), shortHistory.begin() + 300)).fittedOnHistory());
    const NoteMemory fitted = NoteMemory::fromHistory(longHistory);
    EXPECT_TRUE(fitted.fittedOnHistory());
    EXPECT_NE(fitted.weights().w, RecallWeights::defaults().w);
    EXPECT_FALSE(NoteMemory::fromHistory(longHistory, RecallWeights::defaults()).fittedOnHistory());
}

TEST(NoteMemoryTest, anyWrittenItemHasItsMemoryAndMissesFadeFasterThanRightAnswers)
{
    NoteMemory memory;
    const std::string chord = "treble C4+E4+G4";
    const std::string inKey = "treble F#4 key=G";
    EXPECT_FALSE(memory.recall(chord, Start));
    for (int i = 0; i < 3; ++i)
        memory.firstAnswer(chord, false, 3000, Start + i * Minute);
    for (int i = 0; i < 3; ++i)
        memory.firstAnswer(inKey, true, 900, Start + i * Minute);
    EXPECT_LT(*memory.recall(chord, Start + 10 * Minute), *memory.recall(inKey, Start + 10 * Minute));
    EXPECT_EQ(memory.trace(chord).wrong, 3);
    EXPECT_EQ(memory.trace("treble C4").wrong, 0);

    // A week on, the misses count for a sixth of themselves; the right answers for more than half.
    const RecallEvidence week = memory.evidence(chord, Start + 2 * Minute + 7 * Day);
    EXPECT_NEAR(week.wrong, 3 * std::exp2(-7 / WrongFadeDays), 1e-3);
    EXPECT_NEAR(memory.evidence(inKey, Start + 2 * Minute + 7 * Day).right, 3 * std::exp2(-7 / RightFadeDays), 1e-3);
    EXPECT_NEAR(week.hoursSinceSeen, 7 * 24, 0.1);
}

TEST(NoteMemoryTest, answersPerDayTakeTodayOrTheMeanOfTheDaysPractisedThatWeek)
{
    NoteMemory memory;
    EXPECT_EQ(memory.answersPerDay(Start), 0);
    const auto answer = [&memory](int64_t at, int count) {
        for (int i = 0; i < count; ++i)
            memory.firstAnswer("treble C4", true, 900, at + i * 1000);
    };
    answer(Start + 10 * Day, 30);
    answer(Start + 12 * Day, 90);
    EXPECT_EQ(memory.answersPerDay(Start + 13 * Day), 60); // two days practised that week
    answer(Start + 13 * Day, 70);
    EXPECT_EQ(memory.answersPerDay(Start + 13 * Day), 70); // today beats the mean
    EXPECT_EQ(memory.answersPerDay(Start + 30 * Day), 0); // all too long ago
}

// A student who answered `perDay` notes on each of the last days, right at
// the first try unless `missed` says otherwise.
NoteMemory historyOf(const std::vector<SpelledNote>& notes, int perDay, size_t noteCount)
{
    NoteMemory memory;
    for (int day = 1; day <= 5; ++day) {
        for (int i = 0; i < perDay; ++i) {
            memory.firstAnswer(
                Clef::Treble, notes[static_cast<size_t>(i) % noteCount], true, 900, Start - day * Day + i * 3000);
        }
    }
    return memory;
}

TEST(PracticeDrawTest, littlePracticeBringsNotesInGraduallyAmplePracticeCoversTheRange)
{
    PracticeDraw draw = reviewDraw(3, true);
    const auto& notes = draw.writtenNotes();
    // The student reads right the notes met before, and a new one from its
    // (1 + missesToLearn)-th time on.
    const struct {
        int perDay;
        size_t notesMet;
        size_t missesToLearn;
        size_t fewest, most; // distinct notes in the first 140 draws
    } cases[] = {
        { 20, 4, 1000, 4, 10 },
        { 20, 35, 0, 35, 35 },
        { 200, 4, 1, 35, 35 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.perDay) + " a day");
        NoteMemory memory = historyOf(notes, c.perDay, c.notesMet);
        draw.setChoices(PracticeChoices(draw.choices()));
        std::multiset<std::string> seen;
        int64_t now = Start;
        for (int i = 0; i < 140; ++i) {
            const DrawnNote note = draw.next(memory, now);
            const std::string text = spelledText(note.note);
            const auto met = static_cast<size_t>(std::find(notes.begin(), notes.end(), note.note) - notes.begin());
            const bool right = met < c.notesMet || seen.count(text) >= c.missesToLearn;
            seen.insert(text);
            now += 2000;
            memory.firstAnswer(note.clef, note.note, right, right ? 900 : 3000, now);
            draw.firstAnswer(right);
        }
        const std::set<std::string> distinct(seen.begin(), seen.end());
        EXPECT_GE(distinct.size(), c.fewest);
        EXPECT_LE(distinct.size(), c.most);
    }
}

TEST(PracticeDrawTest, aNoteLearnedAgainLeavesTheFrontWithinAFewSessions)
{
    const SpelledNote e5 { Letter::E, Accidental::Natural, 5 };
    const SpelledNote f5 { Letter::F, Accidental::Natural, 5 };
    const struct {
        const char* name;
        SpelledNote note;
        int64_t missedDaysAgo;
        int rightSince; // first answers right just after the misses
        int sessions;
        int drawsEach;
        int most; // draws of the note
    } cases[] = {
        { "missed three times a month ago, then nothing", e5, 30, 0, 3, 15, 45 / 15 + 2 },
        { "missed three times two days before, then right ten times", f5, 1, 10, 1, 20, 3 },
        { "missed three times the day before, then right three times", f5, 0, 3, 2, 20, 7 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PracticeDraw draw = reviewDraw(8);
        // Days of every note read right before.
        NoteMemory memory = historyOf(draw.writtenNotes(), 60, draw.writtenNotes().size());
        int64_t now = Start - c.missedDaysAgo * Day;
        for (int i = 0; i < 3; ++i)
            memory.firstAnswer(Clef::Treble, c.note, false, 3000, now += Minute);
        for (int i = 0; i < c.rightSince; ++i)
            memory.firstAnswer(Clef::Treble, c.note, true, 900, now += Minute);
        now = std::max(now, Start);
        int drawn = 0;
        for (int session = 0; session < c.sessions; ++session) {
            now += Day;
            for (int i = 0; i < c.drawsEach; ++i) {
                const DrawnNote note = draw.next(memory, now);
                drawn += note.note == c.note ? 1 : 0;
                now += 2000;
                memory.firstAnswer(note.clef, note.note, true, 900, now);
                draw.firstAnswer(true);
            }
        }
        EXPECT_LE(drawn, c.most);
    }
}

TEST(NoteMemoryTest, keptOvernightCountsFirstAnswersAfterANightAwayTheNewestMost)
{
    NoteMemory memory;
    for (int i = 0; i < 5; ++i)
        memory.firstAnswer("treble C4", i % 2 == 0, 900, Start + i * Minute);
    EXPECT_FALSE(memory.keptOvernight()); // one sitting: nothing was kept or lost overnight yet
    memory.firstAnswer("treble C4", true, 900, Start + Day);
    memory.firstAnswer("treble D4", false, 900, Start + Day); // never seen before: not a return
    EXPECT_NEAR(memory.keptOvernight().value_or(0), 1.0, 1e-9);
    for (int day = 2; day < 40; ++day)
        memory.firstAnswer("treble C4", false, 900, Start + day * Day);
    EXPECT_LT(memory.keptOvernight().value_or(1), 0.25);
    // The history read back gives the same share as the answers given live.
    std::vector<AnswerHistoryRow> rows;
    for (int day = 0; day < 6; ++day) {
        const int64_t at = Start + day * Day;
        rows.emplace_back(at, AnswerRecord { AnswerMode::Review, 60, day % 3 == 0 ? 61 : 60, day % 3 != 0, 900 }, at);
    }
    NoteMemory live;
    for (const AnswerHistoryRow& row : rows)
        live.firstAnswer(NoteMemory::itemOf(row), row.record.right, 900, row.utcMs);
    EXPECT_NEAR(NoteMemory::fromHistory(rows).keptOvernight().value_or(-1), live.keptOvernight().value_or(-2), 1e-9);
}

TEST(PracticeDrawTest, aFirstMissComesBackFifthOrSixthAndAMissOnItsReturnThirdOrFourth)
{
    const SpelledNote e4 { Letter::E, Accidental::Natural, 4 };
    for (const uint32_t seed : { 1U, 2U, 3U, 4U }) {
        PracticeDraw draw = reviewDraw(seed);
        NoteMemory memory = historyOf(draw.writtenNotes(), 60, draw.writtenNotes().size());
        std::vector<int> shownAt; // draws showing E4, missed the first two times
        int64_t now = Start;
        for (int i = 0; i < 200 && shownAt.size() < 3; ++i) {
            const DrawnNote note = draw.next(memory, now += 2000);
            const bool right = note.note != e4 || shownAt.size() >= 2;
            if (note.note == e4)
                shownAt.push_back(i);
            memory.firstAnswer(note.clef, note.note, right, right ? 900 : 3000, now);
            draw.firstAnswer(right);
        }
        ASSERT_EQ(shownAt.size(), 3U) << "seed " << seed;
        EXPECT_GE(shownAt[1] - shownAt[0], 5) << "seed " << seed;
        EXPECT_LE(shownAt[1] - shownAt[0], 6) << "seed " << seed;
        EXPECT_GE(shownAt[2] - shownAt[1], 3) << "seed " << seed;
        EXPECT_LE(shownAt[2] - shownAt[1], 4) << "seed " << seed;
    }
}

TEST(ChordReviewTest, aMissedIntervalIsRememberedAsItselfInItsKeyAndComesBackAsThatInterval)
{
    const SpelledNote d4 { Letter::D, Accidental::Natural, 4 };
    const SpelledNote fSharp4 { Letter::F, Accidental::Sharp, 4 };
    std::vector<AnswerHistoryRow> rows;
    rows.emplace_back(Start, AnswerRecord { AnswerMode::Review, 62, 62, true, 900 }, Start, Clef::Treble, d4);
    for (const int fifths : { 0, 2 }) {
        rows.emplace_back(
            Start + Minute, AnswerRecord { AnswerMode::Review, 62, 62, false, 900 }, Start, Clef::Treble, d4);
        rows.back().above = { fSharp4 };
        rows.back().key = Key { fifths };
        rows.emplace_back(
            Start + Minute, AnswerRecord { AnswerMode::Review, 66, 66, true, 900 }, Start, Clef::Treble, fSharp4);
        rows.back().key = Key { fifths };
    }
    const NoteMemory read = NoteMemory::fromHistory(rows);
    EXPECT_EQ(read.trace("treble D4").quickRight, 1);
    EXPECT_EQ(read.trace("treble D4").wrong, 0) << "an interval is not its lowest note";
    EXPECT_EQ(read.trace("treble D4+F#4").wrong, 1);
    EXPECT_EQ(read.trace("treble D4+F#4 in D").wrong, 1);
    EXPECT_EQ(read.trace("treble F#4").quickRight, 1);
    EXPECT_EQ(read.trace("treble F#4 in D").quickRight, 1) << "a note in a key is what its signature shows";
    std::vector<AnswerHistoryRow> missedTwice { rows[1], rows[1] };
    EXPECT_FALSE(NoteMemory::isFirstAnswer(missedTwice, 1));
    missedTwice[0].above.clear();
    EXPECT_TRUE(NoteMemory::isFirstAnswer(missedTwice, 1)) << "an interval after its missed lowest note";

    // Every other interval of Do4–Sol4 read right: the missed one comes most
    // often, and a miss brings it back third or fourth.
    const std::string missed = "treble D4+F#4";
    for (const uint32_t seed : { 1U, 2U, 3U, 4U }) {
        PracticeChoices choices;
        choices.review = true;
        choices.drill = Drill::Intervals;
        choices.range() = { natural(Letter::C, 4), natural(Letter::G, 4) };
        ChordReview review(seed);
        review.setChoices(choices);
        ASSERT_NE(std::find(review.items().begin(), review.items().end(), missed), review.items().end());
        NoteMemory memory;
        for (const std::string& item : review.items()) {
            for (int i = 0; i < 3; ++i)
                memory.firstAnswer(item, item != missed, 900, Start + i * Minute);
        }
        std::map<std::string, int> shown;
        std::vector<int> missedAt;
        for (int i = 0; i < 40; ++i) {
            const auto drawn = review.next(memory, Start + Day + i * 2000);
            ASSERT_TRUE(drawn.has_value());
            const std::string item = NoteMemory::itemOf(Clef::Treble, drawn->notes, Key {});
            ++shown[item];
            if (item == missed)
                missedAt.push_back(i);
            review.firstAnswer(item != missed || missedAt.size() > 1);
        }
        ASSERT_GE(missedAt.size(), 2U) << "seed " << seed;
        EXPECT_GE(missedAt[1] - missedAt[0], 3) << "seed " << seed;
        EXPECT_LE(missedAt[1] - missedAt[0], 4) << "seed " << seed;
        for (const auto& [item, times] : shown)
            EXPECT_LE(times, shown[missed]) << item << " seed " << seed;
    }
}

TEST(PracticeDrawTest, notesComeInStaffFirstThenOneNoveltyAtATimeAKeysSecondNameAfterItsFirst)
{
    PracticeDraw draw = reviewDraw(4, true);
    const auto& notes = draw.writtenNotes();
    NoteMemory memory;
    std::vector<SpelledNote> firstSeen;
    int64_t now = Start;
    for (int i = 0; i < 3000; ++i) {
        const DrawnNote note = draw.next(memory, now += 2000);
        if (std::find(firstSeen.begin(), firstSeen.end(), note.note) == firstSeen.end())
            firstSeen.push_back(note.note);
        memory.firstAnswer(note.clef, note.note, true, 900, now);
        draw.firstAnswer(true);
    }
    ASSERT_EQ(firstSeen.size(), notes.size());
    // Whichever name of a black key comes first, the other comes as one more novelty.
    const auto novelties = [&firstSeen](SpelledNote note) {
        const auto at = std::find(firstSeen.begin(), firstSeen.end(), note);
        const bool secondName = std::any_of(
            firstSeen.begin(), at, [note](SpelledNote other) { return midiNoteOf(other) == midiNoteOf(note); });
        return (note.accidental != Accidental::Natural ? 1 : 0) + (needsLedgerLine(note, Clef::Treble) ? 1 : 0)
            + (secondName ? 1 : 0);
    };
    for (size_t i = 1; i < firstSeen.size(); ++i) {
        EXPECT_LE(novelties(firstSeen[i - 1]), novelties(firstSeen[i]))
            << spelledText(firstSeen[i - 1]) << " before " << spelledText(firstSeen[i]);
    }
}

TEST(PracticeDrawTest, whileNotesComeInGraduallyTheGuaranteesHoldForEveryNoteMet)
{
    // A student with twenty answers a day: new notes come in slowly, and
    // still a miss returns third to sixth, no note met waits over 4 × N
    // draws, and no key comes twice in a row.
    for (const bool accidentals : { false, true }) {
        SCOPED_TRACE(accidentals ? "Alterazioni" : "first range");
        PracticeDraw draw = reviewDraw(21, accidentals);
        const auto& notes = draw.writtenNotes();
        NoteMemory memory = historyOf(notes, 20, 3);
        std::mt19937 student(6);
        std::vector<size_t> shown;
        std::vector<bool> right;
        int64_t now = Start;
        for (int i = 0; i < 3000; ++i) {
            const DrawnNote note = draw.next(memory, now);
            shown.push_back(static_cast<size_t>(std::find(notes.begin(), notes.end(), note.note) - notes.begin()));
            right.push_back(student() % 10 >= 3);
            now += 3000;
            memory.firstAnswer(note.clef, note.note, right.back(), 1000, now);
            draw.firstAnswer(right.back());
        }
        const size_t window = 4 * notes.size();
        std::vector<size_t> lastAt(notes.size(), SIZE_MAX);
        for (size_t t = 0; t < shown.size(); ++t) {
            if (t > 0) {
                EXPECT_NE(midiNoteOf(notes[shown[t]]), midiNoteOf(notes[shown[t - 1]])) << "draw " << t;
            }
            if (lastAt[shown[t]] != SIZE_MAX) {
                EXPECT_LE(t - lastAt[shown[t]], window) << spelledText(notes[shown[t]]) << " at " << t;
            }
            lastAt[shown[t]] = t;
            if (!right[t] && t + 6 < shown.size()) {
                size_t back = 0;
                for (size_t k = 1; k <= 6 && back == 0; ++k)
                    back = shown[t + k] == shown[t] ? k : 0;
                EXPECT_GE(back, 3U) << "draw " << t;
            }
        }
    }
}

TEST(NoteMemoryTest, aClockGoneBackNeitherCountsOldDaysAsTodayNorMovesTracesBack)
{
    NoteMemory memory;
    memory.firstAnswer("treble C4", true, 900, Start + 10 * Day);
    memory.firstAnswer("treble C4", false, 900, Start + 2 * Day); // the clock went back eight days
    EXPECT_EQ(memory.trace("treble C4").lastSeenUtcMs, Start + 10 * Day);
    EXPECT_EQ(memory.trace("treble C4").wrong, 1);
    EXPECT_EQ(memory.answersPerDay(Start + 10 * Day), 1);
    EXPECT_NEAR(memory.evidence("treble C4", Start + 10 * Day).wrong, 1.0, 1e-9);
}

} // namespace
} // namespace zintaro::compose
