#include "compose/answer_history.h"
#include "support/full_disk.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zintaro::compose {
namespace {

namespace fs = std::filesystem;
using storage::answerHistoryLine;
using storage::parseAnswerHistoryLine;
using storage::readAnswerHistory;

// A folder of its own under the temporary folder, removed afterwards.
class AnswerHistoryFileTest : public ::testing::Test {
protected:
    AnswerHistoryFileTest()
    {
        std::string pattern = (fs::temp_directory_path() / "zintaro-answers-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            folder = pattern;
    }
    ~AnswerHistoryFileTest() override
    {
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder, ignored);
    }

    static std::string contents(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void writeFile(const fs::path& file, const std::string& text)
    {
        std::ofstream(file, std::ios::binary) << text;
    }

    fs::path folder;
};

constexpr LocalTime May1 { 2024, 5, 1, 14, 3, 7, 42, 120 };

// An answer of the session that starts on May1, its note spelled as a sharp.
std::optional<Text> appendOnMay1(AnswerHistory& history, const AnswerRecord& record)
{
    return history.append(May1, record, { May1, Clef::Treble, sharpSpelling(record.shown) });
}

TEST(AnswerHistoryTest, linesCarryLocalTimeWithMillisecondsModeNotesRightAndResponse)
{
    const struct {
        LocalTime when;
        AnswerRecord record;
        const char* line;
    } rows[] = {
        { May1, { AnswerMode::Random, 60, 62, false, 1375 },
            "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:03:07.042+02:00,treble,C4,,keys," },
        { { 2023, 12, 31, 23, 59, 59, 999, -210 }, { AnswerMode::Scale, 84, 84, true, 0 },
            "2023-12-31T23:59:59.999-03:30,scale,84,84,1,0,2023-12-31T23:59:59.999-03:30,treble,C6,,keys," },
        { { 2025, 1, 2, 0, 0, 0, 0, 0 }, { AnswerMode::Review, 54, 55, false, 120000 },
            "2025-01-02T00:00:00.000+00:00,review,54,55,0,120000,2025-01-02T00:00:00.000+00:00,treble,F#3,,keys," },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(answerHistoryLine(row.when, row.record), row.line);
        const auto parsed = parseAnswerHistoryLine(row.line);
        ASSERT_TRUE(parsed) << row.line;
        EXPECT_EQ(parsed->record, row.record);
        EXPECT_EQ(parsed->utcMs, row.when.utcMilliseconds());
        EXPECT_EQ(parsed->sessionUtcMs, row.when.utcMilliseconds());
    }
}

TEST(AnswerHistoryTest, theSessionStaffAndSpellingGoAtTheEndAndOldLinesReadWithout)
{
    const LocalTime session { 2024, 5, 1, 14, 0, 0, 0, 120 };
    const SpelledNote bFlat4 { Letter::B, Accidental::Flat, 4 };
    const std::string line
        = answerHistoryLine(May1, { AnswerMode::Review, 70, 70, true, 800 }, { session, Clef::Bass, bFlat4 });
    EXPECT_EQ(line, "2024-05-01T14:03:07.042+02:00,review,70,70,1,800,2024-05-01T14:00:00.000+02:00,bass,Bb4,,keys,");
    const auto nine = parseAnswerHistoryLine(line);
    ASSERT_TRUE(nine);
    EXPECT_EQ(nine->sessionUtcMs, session.utcMilliseconds());
    EXPECT_EQ(nine->clef, Clef::Bass);
    EXPECT_EQ(nine->spelledNote(), bFlat4);

    // A chord read in a key keeps every note and the key; in C major the key stays empty.
    const SpelledNote d4 { Letter::D, Accidental::Natural, 4 };
    const SpelledNote fSharp4 { Letter::F, Accidental::Sharp, 4 };
    const SpelledNote a4 { Letter::A, Accidental::Natural, 4 };
    const std::string chord = answerHistoryLine(
        May1, { AnswerMode::Random, 62, 62, true, 800 }, { session, Clef::Treble, d4, { fSharp4, a4 }, { 2 } });
    EXPECT_TRUE(chord.ends_with(",treble,D4+F#4+A4,D,keys,")) << chord;
    const auto ten = parseAnswerHistoryLine(chord);
    ASSERT_TRUE(ten);
    EXPECT_EQ(ten->spelledNote(), d4);
    EXPECT_EQ(ten->above, (std::vector { fSharp4, a4 }));
    EXPECT_EQ(ten->key, (Key { 2 }));
    EXPECT_EQ(parseAnswerHistoryLine(line)->key, Key {});

    // An old line: no session, staff or spelling of its own; the sharp name stands in.
    const auto six = parseAnswerHistoryLine("2024-05-01T14:03:07.042+02:00,random,70,70,1,800");
    ASSERT_TRUE(six);
    EXPECT_FALSE(six->sessionUtcMs || six->clef || six->spelled);
    EXPECT_EQ(six->spelledNote(), (SpelledNote { Letter::A, Accidental::Sharp, 4 }));
    EXPECT_EQ(six->clefOrTreble(), Clef::Treble);
}

TEST(AnswerHistoryTest, whatAnsweredIsTheEleventhFieldAndLinesWrittenBeforeItStillRead)
{
    const AnswerRecord right { AnswerMode::Random, 60, 60, true, 800 };
    for (const auto& [input, word] : { std::pair { AnswerInput::Keys, "keys" }, std::pair { AnswerInput::Midi, "midi" },
             std::pair { AnswerInput::Microphone, "mic" } }) {
        const std::string line
            = answerHistoryLine(May1, right, { May1, Clef::Treble, sharpSpelling(60), {}, Key {}, input });
        EXPECT_EQ(line.substr(line.rfind(',', line.size() - 2) + 1), std::string(word) + ",");
        const auto row = parseAnswerHistoryLine(line);
        ASSERT_TRUE(row) << line;
        EXPECT_EQ(row->input, input);
        EXPECT_EQ(row->record, right);
    }
    const std::string six = "2024-05-01T14:03:07.042+02:00,random,60,60,1,800";
    const std::string nine = six + ",2024-05-01T14:00:00.000+02:00,treble,C4";
    const struct {
        std::string line;
        bool reads;
        std::optional<AnswerInput> input;
    } lines[] = {
        { six, true, std::nullopt },
        { nine, true, std::nullopt },
        { nine + ",", true, std::nullopt },
        { nine + ",,midi", true, AnswerInput::Midi },
        { nine + ",D,mic", true, AnswerInput::Microphone },
        { nine + ",,voice", false, std::nullopt },
        { nine + ",,", false, std::nullopt },
        { nine + ",,MIC", false, std::nullopt },
        { nine + ",,keys,keys", false, std::nullopt },
        { six + ",keys", false, std::nullopt },
    };
    for (const auto& c : lines) {
        const auto row = parseAnswerHistoryLine(c.line);
        EXPECT_EQ(row.has_value(), c.reads) << c.line;
        if (row) {
            EXPECT_EQ(row->input, c.input) << c.line;
        }
    }
}

TEST(AnswerHistoryTest, newRowsKeepTheirOwnSessionsAndOldRowsBreakAtPausesAndModes)
{
    constexpr int64_t Minute = 60'000;
    const AnswerRecord random { AnswerMode::Random, 60, 60, true, 500 };
    const AnswerRecord review { AnswerMode::Review, 60, 60, true, 500 };
    const auto oldRow = [](int64_t utc, const AnswerRecord& record) { return AnswerHistoryRow(utc, record); };
    const auto newRow = [](int64_t utc, int64_t session, const AnswerRecord& record) {
        return AnswerHistoryRow(utc, record, session);
    };
    const struct {
        const char* name;
        AnswerHistoryRow previous, row;
        bool starts;
    } cases[] = {
        { "old rows a moment apart", oldRow(0, random), oldRow(1000, random), false },
        { "old rows after a long pause", oldRow(0, random), oldRow(11 * Minute, random), true },
        { "old rows of another mode", oldRow(0, random), oldRow(1000, review), true },
        { "old rows with the clock gone back", oldRow(5000, random), oldRow(1000, random), true },
        { "new rows of one session across a long pause", newRow(0, 0, random), newRow(30 * Minute, 0, random), false },
        { "new rows of two sessions a moment apart", newRow(0, 0, random), newRow(1000, 1000, random), true },
        { "a new row after an old one", oldRow(0, random), newRow(1000, 1000, random), true },
        { "an old row after a new one", newRow(0, 0, random), oldRow(1000, random), true },
    };
    for (const auto& c : cases)
        EXPECT_EQ(startsNewSession(c.row, c.previous), c.starts) << c.name;
}

TEST(AnswerHistoryTest, theSameMomentInTwoTimeZonesIsOneUtcTime)
{
    EXPECT_EQ((LocalTime { 1970, 1, 1, 0, 0, 0, 0, 0 }).utcMilliseconds(), 0);
    EXPECT_EQ((LocalTime { 1970, 1, 1, 1, 0, 0, 0, 60 }).utcMilliseconds(), 0);
    EXPECT_EQ((LocalTime { 2000, 3, 1, 0, 0, 0, 5, -30 }).utcMilliseconds(), 951'868'800'000 + 30 * 60'000 + 5);
}

TEST(AnswerHistoryTest, damagedLinesDoNotParse)
{
    const char* damaged[] = {
        "time,mode,shown,answered,right,response_ms",
        "",
        "garbage",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,9",
        "2024-05-01T14:03:07.042+02:00,walk,60,62,0,1375",
        "2024-05-01T14:03:07.042+02:00,random,60,62,2,1375",
        "2024-05-01T14:03:07.042+02:00,random,128,62,0,1375",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,-1",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,13x5",
        "2024-05-01T14:03:07.042+02:00,random, 60,62,0,1375",
        "2024-13-01T14:03:07.042+02:00,random,60,62,0,1375",
        "2024-05-01T14:03:07+02:00,random,60,62,0,1375",
        "2024-05-01 14:03:07.042+02:00,random,60,62,0,1375",
        "2024-05-01T14:03:07.042+02:00,random,60,6", // a write cut short
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:03:07.042+02:00,treble",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:03:07.042+02:00,alto,C4",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,yesterday,treble,C4",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:03:07.042+02:00,treble,D4",
        "2024-05-01T14:03:07.042+02:00,random,61,62,0,1375,2024-05-01T14:03:07.042+02:00,treble,C#",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:03:07.042+02:00,treble,C4+E4+,",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:03:07.042+02:00,treble,E4+C4,",
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:03:07.042+02:00,treble,C4,Hm",
    };
    for (const char* line : damaged)
        EXPECT_FALSE(parseAnswerHistoryLine(line)) << line;
    EXPECT_TRUE(parseAnswerHistoryLine("2024-05-01T14:03:07.042+02:00,random,60,62,0,1375\r"));
}

TEST_F(AnswerHistoryFileTest, aNewFileInAMissingFolderGetsTheHeaderOnceThenOneLinePerAnswer)
{
    const fs::path file = folder / "data" / "zintaro" / "answers.csv";
    AnswerHistory history(file);
    EXPECT_FALSE(appendOnMay1(history, { AnswerMode::Random, 60, 62, false, 1375 }));
    EXPECT_FALSE(appendOnMay1(history, { AnswerMode::Random, 60, 60, true, 2010 }));
    EXPECT_EQ(contents(file),
        "time,mode,shown,answered,right,response_ms,session,clef,spelled,key,input,onset_ms,title\n"
        "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:03:07.042+02:00,treble,C4,,keys,\n"
        "2024-05-01T14:03:07.042+02:00,random,60,60,1,2010,2024-05-01T14:03:07.042+02:00,treble,C4,,keys,\n");

    // Another run of the program appends after what is there.
    AnswerHistory later(file);
    EXPECT_FALSE(appendOnMay1(later, { AnswerMode::Scale, 62, 62, true, 900 }));
    EXPECT_EQ(contents(file).substr(contents(file).rfind("\n2024")),
        "\n2024-05-01T14:03:07.042+02:00,scale,62,62,1,900,2024-05-01T14:03:07.042+02:00,treble,D4,,keys,\n");
}

TEST_F(AnswerHistoryFileTest, aDamagedFileIsAppendedToAndALineCutShortIsEndedFirst)
{
    const fs::path file = folder / "answers.csv";
    const std::string damaged = "time,mode,shown,answered,right,response_ms\nnot a line\n"
                                "2024-05-01T14:03:07.042+02:00,random,60,6";
    writeFile(file, damaged);
    AnswerHistory history(file);
    EXPECT_FALSE(appendOnMay1(history, { AnswerMode::Random, 64, 64, true, 700 }));
    // An old file keeps its first line; its six-field lines and the new ones are read alike.
    EXPECT_EQ(contents(file),
        damaged
            + "\n2024-05-01T14:03:07.042+02:00,random,64,64,1,700,2024-05-01T14:03:07.042+02:00,treble,E4,,keys,\n");
    EXPECT_EQ(readAnswerHistory(file).size(), 1U);

    writeFile(file, "");
    EXPECT_FALSE(appendOnMay1(history, { AnswerMode::Random, 64, 64, true, 700 }));
    EXPECT_EQ(contents(file),
        "time,mode,shown,answered,right,response_ms,session,clef,spelled,key,input,onset_ms,title\n"
        "2024-05-01T14:03:07.042+02:00,random,64,64,1,700,2024-05-01T14:03:07.042+02:00,treble,E4,,keys,\n");
}

// A disk that fills and empties at random: answers that cannot be written
// wait and go in when it takes them again, in order, none twice, none lost;
// while any wait, every answer says why.
TEST_F(AnswerHistoryFileTest, answersThatCannotBeWrittenWaitAndGoInOnceInOrder)
{
    testing::FullDisk disk;
    AnswerHistory history(folder / "zintaro" / "answers.csv");
    std::mt19937 random(7);
    std::size_t waiting = 0;
    for (int i = 0; i < 300; ++i) {
        disk.full = random() % 3 == 0;
        const auto told = appendOnMay1(history, { AnswerMode::Random, 40 + i % 50, 40 + i % 50, true, i });
        waiting = told ? waiting + 1 : 0;
        EXPECT_EQ(told.has_value(), bool(disk.full)) << i;
        EXPECT_EQ(history.writeFailed(), bool(disk.full));
        if (told) {
            EXPECT_EQ(told->render(),
                "Disco pieno: le risposte non sono state scritte; restano in memoria e verranno scritte appena "
                "possibile");
        }
        const auto rows = readAnswerHistory(history.path());
        ASSERT_EQ(rows.size() + waiting, static_cast<std::size_t>(i + 1)) << i;
        for (std::size_t row = 0; row < rows.size(); ++row)
            ASSERT_EQ(rows[row].record.responseMs, static_cast<int64_t>(row)) << "in order, once";
    }
    // Without a home folder there is nowhere to write.
    EXPECT_TRUE(AnswerHistory(fs::path {}).append(May1, {}, { May1, Clef::Treble, sharpSpelling(0) }));
}

TEST_F(AnswerHistoryFileTest, aReadOnlyFolderIsAFailedWrite)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: permissions do not stop writes";
    fs::create_directory(folder / "locked");
    fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    AnswerHistory history(folder / "locked" / "answers.csv");
    EXPECT_TRUE(appendOnMay1(history, { AnswerMode::Random, 60, 62, false, 1375 }));
    fs::permissions(folder / "locked", fs::perms::owner_all);
}

// Rows of one session: `notes` notes a second apart from `start`, the listed
// ones missed once at first, each first answer after `responseMs`.
// Rows of old lines, or of new ones with `session` as their session's start.
std::vector<AnswerHistoryRow> sessionRows(int64_t start, int notes, const std::vector<int>& missed, int64_t responseMs,
    AnswerMode mode = AnswerMode::Random, std::optional<int64_t> session = {})
{
    std::vector<AnswerHistoryRow> rows;
    int64_t now = start;
    for (int i = 0; i < notes; ++i) {
        const int shown = 60 + (i % 2) * 2;
        if (std::find(missed.begin(), missed.end(), i) != missed.end()) {
            rows.emplace_back(now, AnswerRecord { mode, shown, shown + 1, false, responseMs }, session);
            now += 1000;
            rows.emplace_back(now, AnswerRecord { mode, shown, shown, true, responseMs + 1000 }, session);
        } else {
            rows.emplace_back(now, AnswerRecord { mode, shown, shown, true, responseMs }, session);
        }
        now += 1000;
    }
    return rows;
}

std::vector<AnswerHistoryRow> joined(std::initializer_list<std::vector<AnswerHistoryRow>> parts)
{
    std::vector<AnswerHistoryRow> rows;
    for (const auto& part : parts)
        rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

TEST(AnswerHistoryTest, theBestSessionIsTheBestCompleteOne)
{
    constexpr int64_t Minute = 60'000;
    const struct {
        const char* name;
        std::vector<AnswerHistoryRow> rows;
        std::optional<SessionFigures> best;
    } cases[] = {
        { "empty", {}, std::nullopt },
        { "an unfinished session is not ranked", sessionRows(0, 19, {}, 800), std::nullopt },
        { "one session, missed notes counted once", sessionRows(0, 20, { 3, 7 }, 900), SessionFigures { 20, 18, 900 } },
        { "the higher proportion wins",
            joined({ sessionRows(0, 20, { 1 }, 700), sessionRows(Minute, 20, {}, 1500),
                sessionRows(2 * Minute, 20, { 1, 2 }, 600) }),
            SessionFigures { 20, 20, 1500 } },
        { "ties go to the faster median",
            joined({ sessionRows(0, 20, { 1 }, 1200), sessionRows(Minute, 20, { 5 }, 1100) }),
            SessionFigures { 20, 19, 1100 } },
        { "a long pause ends an unfinished session, so its rest cannot complete one",
            joined({ sessionRows(0, 10, {}, 500), sessionRows(20 * Minute, 10, {}, 500),
                sessionRows(40 * Minute, 20, { 0 }, 900) }),
            SessionFigures { 20, 19, 900 } },
        { "a change of mode ends an unfinished session",
            joined({ sessionRows(0, 10, {}, 500), sessionRows(Minute, 10, {}, 500, AnswerMode::Scale) }),
            std::nullopt },
        { "new rows keep their sessions across a pause",
            joined({ sessionRows(0, 10, {}, 500, AnswerMode::Random, 0),
                sessionRows(20 * Minute, 10, {}, 700, AnswerMode::Random, 0) }),
            SessionFigures { 20, 20, 600 } },
        { "a stopped session's wrong answer does not join the next note",
            joined({ sessionRows(0, 20, {}, 500), { { 30 * Minute, { AnswerMode::Random, 64, 65, false, 500 } } },
                sessionRows(30 * Minute + 1000, 20, {}, 600) }),
            SessionFigures { 20, 20, 500 } },
    };
    for (const auto& c : cases) {
        const auto best = bestSessionOf(c.rows);
        ASSERT_EQ(best.has_value(), c.best.has_value()) << c.name;
        if (best) {
            EXPECT_EQ(best->notes, c.best->notes) << c.name;
            EXPECT_EQ(best->rightAtFirstTry, c.best->rightAtFirstTry) << c.name;
            EXPECT_EQ(best->medianResponseMs, c.best->medianResponseMs) << c.name;
        }
    }
}

TEST_F(AnswerHistoryFileTest, theBestSessionIsReadPastDamagedLines)
{
    const fs::path file = folder / "answers.csv";
    {
        AnswerHistory history(file);
        LocalTime when = May1;
        for (int i = 0; i < SessionNoteCount; ++i) {
            when.second = i;
            const AnswerContext session { May1, Clef::Treble, sharpSpelling(60 + i) };
            history.append(when, { AnswerMode::Scale, 60 + i, 60 + i, i != 4, 1000 + i }, session);
            if (i == 4)
                history.append(when, { AnswerMode::Scale, 60 + i, 60 + i, true, 3000 }, session);
            if (i == 10)
                std::ofstream(file, std::ios::app) << "a damaged line\n,,,,,\n";
        }
    }
    const auto best = AnswerHistory(file).bestSession();
    ASSERT_TRUE(best);
    EXPECT_EQ(best->percentRight(), 95);
    EXPECT_EQ(best->medianResponseMs, 1009);
    EXPECT_FALSE(AnswerHistory(folder / "missing.csv").bestSession());
}

} // namespace
} // namespace zintaro::compose
