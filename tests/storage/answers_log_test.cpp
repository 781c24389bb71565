#include "storage/answers_log.h"
#include "storage_test_support.h"

#include <gtest/gtest.h>
#include <sstream>

namespace zintaro::testing {
namespace {

using storage::AnswerLogLine;
using storage::AnswerMode;
using Kind = AnswerLogLine::Kind;

constexpr storage::LocalTime May1 { 2024, 5, 1, 23, 30, 0, 0, 120 };

// What the reader makes of each line of a history: the header only first,
// lines of this version and of every earlier one (six, nine, ten, eleven
// columns) alike, empty lines passed over, anything else damaged. The local
// day is the one written; only a line with an onset error has one.
TEST(AnswersLog, everyLineOfAHistoryIsReadAsWhatItIs)
{
    const std::string now = storage::answerHistoryLine(
        May1, { AnswerMode::Review, 70, 70, true, 800 }, { May1, Clef::Bass, { Letter::B, Accidental::Flat, 4 } });
    const std::string nine = "2024-05-01T23:59:59.000+02:00,tempo,60,0,0,2000,2024-05-01T23:00:00.000+02:00,treble,C4";
    const struct {
        std::string line;
        std::optional<Kind> kind;
        std::optional<int> onsetMs = {};
    } lines[] = {
        { "time,mode,shown,answered,right,response_ms", Kind::Header },
        { now, Kind::Answer },
        { "2024-05-01T23:59:59.000-03:00,scale,60,62,0,1375", Kind::Answer },
        { "", std::nullopt },
        { "\r", std::nullopt },
        { "2024-05-01T14:03:07.042+02:00,random,60,6", Kind::Damaged },
        { std::string(storage::AnswerHistoryHeader), Kind::Damaged },
        { now + "\r", Kind::Answer },
        { nine, Kind::Answer },
        { nine + ",D", Kind::Answer },
        { nine + ",,midi", Kind::Answer },
        { nine + ",,midi,-35", Kind::Answer, -35 },
        { nine + ",,midi,120\r", Kind::Answer, 120 },
        { nine + ",,midi,", Kind::Answer },
        { nine + ",,midi,+7", Kind::Damaged },
        { nine + ",,midi,-3.5", Kind::Damaged },
        { nine + ",,midi,86400001", Kind::Damaged },
        { nine + ",,midi,1,", Kind::Damaged },
    };
    std::string file;
    std::vector<std::optional<Kind>> expected;
    std::vector<std::optional<int>> expectedOnsets;
    for (const auto& l : lines) {
        (file += l.line) += '\n';
        if (l.kind)
            expected.push_back(l.kind);
        if (l.kind == Kind::Answer)
            expectedOnsets.push_back(l.onsetMs);
    }
    std::vector<std::optional<Kind>> kinds;
    std::vector<AnswerLogLine> answers;
    std::istringstream in(file);
    storage::readAnswerLog(in, [&](const AnswerLogLine& line) {
        kinds.emplace_back(line.kind);
        if (line.kind == Kind::Answer)
            answers.push_back(line);
    });
    EXPECT_EQ(kinds, expected);
    std::vector<std::optional<int>> onsets;
    for (const auto& answer : answers)
        onsets.push_back(answer.row.record.onsetMs);
    EXPECT_EQ(onsets, expectedOnsets);
    ASSERT_EQ(answers.size(), 9U);
    EXPECT_EQ(answers[0].row.spelledNote(), (SpelledNote { Letter::B, Accidental::Flat, 4 }));
    EXPECT_EQ(answers[0].row.clefOrTreble(), Clef::Bass);
    EXPECT_EQ(answers[0].localDay, May1.localDay()) << "the day it was in where it was written";
    EXPECT_EQ(answers[1].localDay, May1.localDay());
    EXPECT_FALSE(answers[1].row.sessionUtcMs) << "a first-version line has no session";
    EXPECT_EQ(answers[3].row.record.mode, AnswerMode::Tempo);
    EXPECT_EQ(answers[3].row.record.answered, 0) << "a note never played";
}

// A year of answers is read in large pieces: every line comes back whole
// across the pieces, the last one without its end too, onset errors with it.
TEST(AnswersLog, aLongHistoryReadsWholeAcrossThePiecesItIsReadIn)
{
    TemporaryFolder temp;
    const auto file = temp.path() / "answers.csv";
    const auto recordAt = [](int i) {
        if (i % 4 == 0)
            return storage::AnswerRecord { AnswerMode::Tempo, 60, 60, true, i, i % 400 - 200 };
        return storage::AnswerRecord { AnswerMode::Random, 40 + i % 40, 40 + i % 41, i % 3 == 0, i };
    };
    std::string text = std::string(storage::AnswerHistoryHeader) + "\n";
    for (int i = 0; i < 5000; ++i)
        text += storage::answerHistoryLine(May1, recordAt(i)) + "\n";
    text.pop_back();
    writeBytes(file, text);
    const auto rows = storage::readAnswerHistory(file);
    ASSERT_EQ(rows.size(), 5000U);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(rows[static_cast<std::size_t>(i)].record, recordAt(i)) << i;
    EXPECT_TRUE(storage::readAnswerHistory(temp.path() / "missing.csv").empty());
}

// An exam's result is one line with the exercise's title last, quoted so
// that its commas and quotes read back; its lines join into one. Damaged
// titles damage the line, and the answers read for the notes leave exams out.
TEST(AnswersLog, anExamsLineKeepsItsTitleAndStaysOutOfTheAnswers)
{
    const struct {
        std::string title;
        std::string readBack;
    } titles[] = {
        { "Scala di Do", "Scala di Do" },
        { "Lettura, \"prima\"", "Lettura, \"prima\"" },
        { "Due\nrighe", "Due righe" },
        { "", "" },
    };
    TemporaryFolder temp;
    std::string file = std::string(storage::AnswerHistoryHeader) + "\n";
    for (const auto& t : titles) {
        storage::AnswerContext context { May1, Clef::Treble, sharpSpelling(75) };
        context.title = t.title;
        const std::string line = storage::answerHistoryLine(May1, { AnswerMode::Exam, 75, 80, false, 90000 }, context);
        const auto row = storage::parseAnswerHistoryLine(line);
        ASSERT_TRUE(row) << line;
        EXPECT_EQ(row->title, t.readBack);
        EXPECT_EQ(row->record, (storage::AnswerRecord { AnswerMode::Exam, 75, 80, false, 90000 }));
        for (const std::string& damaged :
            { line.substr(0, line.rfind(',') + 1) + "Scala", line + "x", line.substr(0, line.size() - 1) + "\"x\"" })
            EXPECT_FALSE(storage::parseAnswerHistoryLine(damaged)) << damaged;
        file += line + "\n";
    }
    file += storage::answerHistoryLine(May1, { AnswerMode::Random, 60, 60, true, 700 }) + "\n";
    writeBytes(temp.path() / "answers.csv", file);
    const auto rows = storage::readAnswerHistory(temp.path() / "answers.csv");
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0].record.mode, AnswerMode::Random);
}

} // namespace
} // namespace zintaro::testing
