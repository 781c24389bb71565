#include "compose/progress_figures.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace zintaro;
using namespace zintaro::compose;

namespace {

const int Today = dayNumber(2026, 12, 7);

ProgressFigures goldenFigures(const std::array<NoteRange, 3>& ranges = FirstRanges)
{
    const std::string data
        = std::getenv("ZINTARO_TEST_DATA") ? std::getenv("ZINTARO_TEST_DATA") : ZINTARO_SOURCE_TEST_DATA;
    return readProgress(std::filesystem::path(data) / "progress" / "history.csv", Today, ranges);
}

const NoteProgress* noteOf(const ProgressFigures& f, Clef clef, const char* spelled)
{
    for (const auto& staff : f.staves)
        if (staff.clef == clef)
            for (const auto& n : staff.notes)
                if (n.note == *parseSpelled(spelled))
                    return &n;
    return nullptr;
}

// One six-field line on a day counted from Today, at a time of that day.
std::string lineOn(int day, int seconds, int shown, int answered, int64_t responseMs = 1000)
{
    const CalendarDate d = calendarDate(day);
    char line[128];
    std::snprintf(line, sizeof line, "%04d-%02d-%02dT%02d:%02d:%02d.000+01:00,random,%d,%d,%d,%lld", d.year, d.month,
        d.day, 8 + seconds / 3600, seconds / 60 % 60, seconds % 60, shown, answered, shown == answered ? 1 : 0,
        static_cast<long long>(responseMs));
    return line;
}

// The same as a line of a note played in time, with its onset error when it was heard.
std::string tempoLineOn(int day, int seconds, int shown, int answered, std::optional<int> onsetMs)
{
    std::string line = lineOn(day, seconds, shown, answered);
    line.replace(line.find("random"), 6, "tempo");
    return line + ',' + line.substr(0, 29) + ",treble," + spelledText(sharpSpelling(shown)) + ",,midi,"
        + (onsetMs ? std::to_string(*onsetMs) : "");
}

ProgressFigures figuresOf(const std::vector<std::string>& lines, int today = Today)
{
    ProgressCounter counter(today);
    for (const auto& line : lines)
        counter.addLine(line);
    return counter.finish();
}

} // namespace

TEST(ProgressLines, eachLineCountsOnItsStaffOrAsDamaged)
{
    struct Case {
        const char* line;
        Clef clef; // the staff it counts on, when it is read
        const char* spelled; // nothing when the line is damaged
    };
    const Case cases[] = {
        // Lines without the last three columns: the treble staff, a black key as a sharp.
        { "2026-12-05T10:00:00.000+01:00,random,61,61,1,600", Clef::Treble, "C#4" },
        { "2026-12-05T23:59:00.000-05:00,scale,60,62,0,600\r", Clef::Treble, "C4" },
        { "2026-12-05T10:00:00.000+01:00,review,70,70,1,600,2026-12-05T10:00:00.000+01:00,grand,Bb4", Clef::Grand,
            "Bb4" },
        { "2026-12-05T10:00:00.000+01:00,random,43,43,1,600,2026-12-05T10:00:00.000+01:00,bass,G2", Clef::Bass, "G2" },
        { "2026-12-05T10:00:00.000+01:00,random,61,61,1,600,2026-12-05T10:00:00.000+01:00,treble,C4", Clef::Treble,
            nullptr },
        { "2026-12-05T10:00:00.000+01:00,random,60,60,1,600,2026-12-05T10:00:00.000+01:00,alto,C4", Clef::Treble,
            nullptr },
        { "2026-12-05T10:00:00.000+01:00,random,60,60,1", Clef::Treble, nullptr },
        { "2026-12-05T10:00:00.000+01:00,guess,60,60,1,600", Clef::Treble, nullptr },
        { "time,mode,shown,answered,right,response_ms", Clef::Treble, nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ProgressCounter counter(Today);
        counter.addLine("time,mode,shown,answered,right,response_ms,session,clef,spelled");
        counter.addLine(c.line);
        const ProgressFigures f = counter.finish();
        EXPECT_EQ(f.damagedLines, c.spelled ? 0 : 1);
        if (!c.spelled)
            continue;
        // The day is the one written in the line, whatever its distance from UTC.
        ASSERT_EQ(f.recentDays.size(), 1U);
        EXPECT_EQ(f.recentDays[0].day, dayNumber(2026, 12, 5));
        ASSERT_EQ(f.staves.size(), 1U);
        EXPECT_EQ(f.staves[0].clef, c.clef);
        const auto seen = std::count_if(f.staves[0].notes.begin(), f.staves[0].notes.end(),
            [&](const NoteProgress& n) { return n.firstAnswers == 1 && n.note == *parseSpelled(c.spelled); });
        EXPECT_EQ(seen, 1);
    }
}

TEST(ProgressFigures, goldenHistoryGivesEachNoteItsShareAndMedian)
{
    const ProgressFigures f = goldenFigures();
    struct Case {
        Clef clef;
        const char* note;
        int firstAnswers;
        int right;
        std::optional<int64_t> median;
    };
    const Case cases[] = {
        { Clef::Treble, "C4", 2, 2, 1400 }, // 1000 and 1800
        { Clef::Treble, "D4", 2, 1, 2500 }, // wrong at 2000, then right at the first try at 3000
        { Clef::Treble, "C#4", 1, 1, 600 },
        { Clef::Treble, "A4", 1, 0, 1500 }, // the second wrong answer and the right one are not first tries
        { Clef::Treble, "E4", 1, 1, 1200 },
        { Clef::Treble, "Bb4", 1, 0, 2500 },
        { Clef::Treble, "C6", 0, 0, std::nullopt }, // in the range, never seen
        { Clef::Bass, "G3", 1, 1, 1800 },
        { Clef::Bass, "G2", 0, 0, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        const NoteProgress* n = noteOf(f, c.clef, c.note);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->firstAnswers, c.firstAnswers);
        EXPECT_EQ(n->rightAtFirstTry, c.right);
        EXPECT_EQ(n->medianResponseMs, c.median);
    }
    // Naturals C4–C6 with the two accidentals seen, low to high; bass G2–C4.
    ASSERT_EQ(f.staves.size(), 2U);
    std::vector<std::string> treble;
    for (const auto& n : f.staves[0].notes)
        treble.push_back(spelledText(n.note));
    EXPECT_EQ(treble,
        (std::vector<std::string> {
            "C4", "C#4", "D4", "E4", "F4", "G4", "A4", "Bb4", "B4", "C5", "D5", "E5", "F5", "G5", "A5", "B5", "C6" }));
    EXPECT_EQ(f.staves[1].clef, Clef::Bass);
    EXPECT_EQ(f.staves[1].notes.size(), 11U);
    EXPECT_EQ(noteOf(f, Clef::Grand, "C4"), nullptr);

    // Each staff shows the range chosen for it, widened to the notes seen:
    // treble E4–G4 still reaches C4–Bb4 seen; bass C2–E2 reaches G3.
    std::array<NoteRange, 3> chosen = FirstRanges;
    chosen[0] = { natural(Letter::E, 4), natural(Letter::G, 4) };
    chosen[1] = { natural(Letter::C, 2), natural(Letter::E, 2) };
    const ProgressFigures wide = goldenFigures(chosen);
    EXPECT_EQ(spelledText(wide.staves[0].notes.front().note), "C4");
    EXPECT_EQ(spelledText(wide.staves[0].notes.back().note), "B4");
    EXPECT_EQ(spelledText(wide.staves[1].notes.front().note), "C2");
    EXPECT_EQ(spelledText(wide.staves[1].notes.back().note), "G3");
    ASSERT_NE(noteOf(wide, Clef::Bass, "D2"), nullptr);
    EXPECT_EQ(noteOf(wide, Clef::Bass, "D2")->firstAnswers, 0) << "a note of the range never seen";
}

TEST(ProgressFigures, goldenHistoryGivesDaysMistakesAndTotals)
{
    const ProgressFigures f = goldenFigures();
    EXPECT_EQ(f.answers, 12);
    EXPECT_EQ(f.damagedLines, 3);
    EXPECT_EQ(f.daysPractised, 3);
    EXPECT_EQ(f.currentRunOfDays, 3);
    EXPECT_EQ(f.notesAnswered, 9);
    EXPECT_EQ(f.sessionsComplete, 0);
    EXPECT_FALSE(f.bestSession);

    struct Day {
        int day;
        int notes;
        int right;
        double perMinute;
    };
    // Practice time is each note's wait for its answer: a retry's time runs
    // from the note appearing (the D4 answered right at 800 after a wrong
    // answer at 2000 adds nothing); the seconds between notes are no practice.
    const Day days[] = {
        { dayNumber(2026, 12, 5), 4, 3, 4 * 60000.0 / 6600 },
        { dayNumber(2026, 12, 6), 1, 0, 1 * 60000.0 / 1500 },
        { dayNumber(2026, 12, 7), 4, 3, 3 * 60000.0 / 7300 },
    };
    ASSERT_EQ(f.recentDays.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(f.recentDays[i].day, days[i].day);
        EXPECT_EQ(f.recentDays[i].notes, days[i].notes);
        EXPECT_EQ(f.recentDays[i].rightAtFirstTry, days[i].right);
        EXPECT_NEAR(f.recentDays[i].notesPerMinute().value_or(-1), days[i].perMinute, 1e-9);
    }

    std::vector<std::string> mistakes;
    for (const Confusion& c : f.mistakes)
        mistakes.push_back(noteName(c.shown, NoteNaming::Solfege, true) + " → "
            + noteName(c.played, NoteNaming::Solfege, true) + ": " + std::to_string(c.count));
    EXPECT_EQ(mistakes, (std::vector<std::string> { "La4 → Sol4: 2", "Re4 → Mi4: 1", "Si bemolle 4 → La4: 1" }));
}

// Each day's pace and timing: notes played in time are on time within
// 100 ms; a note never played is a note not on time, with no error and no
// mistake; the mean of all onset errors says early or late.
TEST(ProgressFigures, eachDayHasItsPaceAndItsTiming)
{
    const ProgressFigures f = figuresOf({
        tempoLineOn(Today - 2, 0, 60, 60, -50),
        tempoLineOn(Today - 2, 1, 60, 60, 150),
        tempoLineOn(Today - 2, 2, 62, 62, -100),
        tempoLineOn(Today - 2, 3, 64, 0, std::nullopt),
        // A retry takes only what it adds to the wait; nine minutes away are no practice.
        lineOn(Today - 1, 0, 60, 62, 2000),
        lineOn(Today - 1, 5, 60, 60, 2500),
        lineOn(Today - 1, 545, 64, 64, 1000),
        tempoLineOn(Today, 0, 60, 60, 20),
        tempoLineOn(Today, 1, 60, 61, 101),
    });
    struct Day {
        int notes;
        double perMinute;
        std::optional<double> onTime;
        std::optional<double> meanErrorMs;
    };
    const Day days[] = {
        { 4, 3 * 60000.0 / 4000, 2 / 4.0, 100.0 },
        { 2, 2 * 60000.0 / 3500, std::nullopt, std::nullopt },
        { 2, 1 * 60000.0 / 2000, 1 / 2.0, 60.5 },
    };
    ASSERT_EQ(f.recentDays.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(f.recentDays[i].notes, days[i].notes);
        EXPECT_NEAR(f.recentDays[i].notesPerMinute().value_or(-1), days[i].perMinute, 1e-9);
        EXPECT_EQ(f.recentDays[i].onTimeShare(), days[i].onTime);
        EXPECT_EQ(f.recentDays[i].meanOnsetErrorMs(), days[i].meanErrorMs);
    }
    EXPECT_EQ(f.meanOnsetMs, 24) << "(-50 + 150 - 100 + 20 + 101) / 5, late";
    EXPECT_EQ(f.notesAnswered, 8);
    std::vector<int> played;
    for (const Confusion& c : f.mistakes)
        played.push_back(midiNoteOf(c.played));
    EXPECT_EQ(played, (std::vector { 61, 62 })) << "no confusion with a note never played";
    EXPECT_FALSE(figuresOf({ lineOn(Today, 0, 60, 60) }).meanOnsetMs);
}

TEST(ProgressFigures, theRunOfDaysCountsBackFromTodayOrYesterday)
{
    struct Case {
        std::vector<int> daysBack;
        int run;
    };
    const Case cases[] = {
        { {}, 0 },
        { { 0 }, 1 },
        { { 1 }, 1 },
        { { 2 }, 0 },
        { { 3, 2, 1 }, 3 },
        { { 5, 4, 2, 1, 0 }, 3 },
        { { 1, 0, 0, 0 }, 2 },
        // Answers written in a time zone ahead can carry tomorrow's date.
        { { 0, -1 }, 1 },
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines;
        int second = 0;
        for (const int back : c.daysBack)
            lines.push_back(lineOn(Today - back, second += 2, 60, 60));
        const ProgressFigures f = figuresOf(lines);
        EXPECT_EQ(f.currentRunOfDays, c.run) << ::testing::PrintToString(c.daysBack);
    }
}

TEST(ProgressFigures, theChartKeepsTheLastThirtyDaysWithAnswers)
{
    const ProgressFigures f
        = figuresOf({ lineOn(Today - 40, 0, 60, 60), lineOn(Today - 30, 0, 60, 60), lineOn(Today - 29, 0, 60, 60),
            lineOn(Today - 3, 0, 60, 62), lineOn(Today - 3, 5, 60, 60), lineOn(Today, 0, 60, 60) });
    std::vector<int> days;
    for (const auto& d : f.recentDays)
        days.push_back(Today - d.day);
    EXPECT_EQ(days, (std::vector<int> { 29, 3, 0 }));
    EXPECT_EQ(f.daysPractised, 5);
    EXPECT_DOUBLE_EQ(f.recentDays[1].share(), 0.0);
}

TEST(ProgressFigures, sessionsCompleteWithTheirTwentiethRightNote)
{
    // Six-field lines: sessions are found again from the answers.
    std::vector<std::string> lines;
    lines.reserve(62);
    int second = 0;
    for (int i = 0; i < 20; ++i)
        lines.push_back(lineOn(Today, second += 2, 60 + i % 5, 60 + i % 5, 1000 + i));
    // A second run with two misses, then a break of an hour before it ends.
    for (int i = 0; i < 20; ++i) {
        if (i < 2)
            lines.push_back(lineOn(Today, second += 2, 72, 71, 900));
        lines.push_back(lineOn(Today, second += 2, 72, 72, 900));
    }
    for (int i = 0; i < 19; ++i)
        lines.push_back(lineOn(Today, second += 2, 65, 65, 500));
    lines.push_back(lineOn(Today, second += 3600, 65, 65, 500));
    ProgressFigures f = figuresOf(lines);
    EXPECT_EQ(f.sessionsComplete, 2);
    ASSERT_TRUE(f.bestSession);
    EXPECT_EQ(f.bestSession->notes, 20);
    EXPECT_EQ(f.bestSession->rightAtFirstTry, 20);
    EXPECT_EQ(f.bestSession->medianResponseMs, 1009);

    // Nine-field lines: the session field says where each one starts, across pauses.
    lines.clear();
    for (int session = 0; session < 3; ++session)
        for (int i = 0; i < (session == 2 ? 12 : 20); ++i) {
            std::string line = lineOn(Today, session * 7200 + i * 60 * 15, 62, 62, 700 + session);
            line += ',';
            line += lineOn(Today, session * 7200, 62, 62).substr(0, 29);
            line += ",treble,D4";
            lines.push_back(line);
        }
    f = figuresOf(lines);
    EXPECT_EQ(f.sessionsComplete, 2);
    EXPECT_EQ(f.bestSession->medianResponseMs, 700);
    EXPECT_EQ(f.notesAnswered, 52);
}

TEST(ProgressFigures, anEmptyOrMissingHistoryHasNoFigures)
{
    const ProgressFigures missing = readProgress(std::filesystem::path("/nonexistent/answers.csv"), Today);
    EXPECT_EQ(missing.answers, 0);
    EXPECT_TRUE(missing.staves.empty());
    std::istringstream headerOnly("time,mode,shown,answered,right,response_ms,session,clef,spelled\n");
    const ProgressFigures header = readProgress(headerOnly, Today);
    EXPECT_EQ(header.answers, 0);
    EXPECT_EQ(header.damagedLines, 0);
    // A header in the middle is a damaged line.
    std::istringstream twice("time,mode,shown,answered,right,response_ms\n" + lineOn(Today, 0, 60, 60)
        + "\ntime,mode,shown,answered,right,response_ms\n");
    EXPECT_EQ(readProgress(twice, Today).damagedLines, 1);
}

// Exams' results count as exams, passed or not, and never as answers.
TEST(ProgressFigures, examsAreCountedApartFromTheAnswers)
{
    const auto exam = [](bool passed) {
        const std::string time = lineOn(Today, 0, 0, 0).substr(0, 29);
        const int percent = passed ? 90 : 40;
        std::string line = time;
        line += ",exam," + std::to_string(percent) + ",80,";
        line += passed ? "1" : "0";
        line += ",1000,";
        line += time;
        line += ",treble," + spelledText(sharpSpelling(percent));
        line += ",,keys,,\"Scala, \"\"Do\"\"\"";
        return line;
    };
    const ProgressFigures f = figuresOf({ exam(true), lineOn(Today, 1, 60, 60), exam(false), exam(true) });
    EXPECT_EQ(f.examsTaken, 3);
    EXPECT_EQ(f.examsPassed, 2);
    EXPECT_EQ(f.answers, 1);
    EXPECT_EQ(f.damagedLines, 0);
}

TEST(ProgressColours, theScaleRunsFromRedThroughYellowToGreen)
{
    struct Case {
        std::optional<double> share;
        ShareColour colour;
    };
    const ShareColour red { 220, 30, 30 };
    const ShareColour yellow { 230, 200, 0 };
    const ShareColour green { 20, 160, 40 };
    const Case cases[] = {
        { std::nullopt, { 170, 170, 170 } },
        { 0.0, red },
        { 0.499, red },
        { 0.5, { 235, 120, 20 } },
        { 0.6, { 233, 160, 10 } },
        { 0.7, yellow },
        { 0.8, { 125, 180, 20 } },
        { 0.8999, { 20, 160, 40 } },
        { 0.9, green },
        { 1.0, green },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.share.value_or(-1));
        EXPECT_EQ(shareColour(c.share), c.colour);
    }
}
