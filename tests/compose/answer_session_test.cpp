#include "compose/answer_session.h"
#include "core/translation.h"
#include "support/spelled_texts.h"

#include <gtest/gtest.h>

namespace zintaro::compose {
namespace {

using testing::spelledList;

std::vector<std::string> rendered(const std::vector<Text>& lines)
{
    std::vector<std::string> words;
    for (const Text& line : lines)
        words.push_back(line.render());
    return words;
}

TEST(AnswerSessionTest, timesReadAsSecondsWithOneDecimalAndAComma)
{
    const struct {
        int64_t ms;
        const char* text;
    } rows[] = { { 0, "0,0 s" }, { 49, "0,0 s" }, { 50, "0,1 s" }, { 1449, "1,4 s" }, { 1450, "1,5 s" },
        { 12345, "12,3 s" }, { -20, "0,0 s" } };
    for (const auto& row : rows)
        EXPECT_EQ(secondsText(row.ms).render(), row.text) << row.ms;
}

TEST(AnswerSessionTest, theMedianTakesTheMiddleOrTheMeanOfTheMiddleTwo)
{
    const struct {
        std::vector<int64_t> times;
        std::optional<int64_t> median;
    } rows[] = { { {}, std::nullopt }, { { 3 }, 3 }, { { 5, 1, 3 }, 3 }, { { 4, 1, 3, 2 }, 2 },
        { { 1000, 3000 }, 2000 }, { { 900, 100, 100 }, 100 } };
    for (const auto& row : rows)
        EXPECT_EQ(medianOf(row.times), row.median);
}

TEST(AnswerSessionTest, sessionsRankByProportionRightThenByTheFasterMedian)
{
    const struct {
        SessionFigures a, b;
        bool aAbove;
    } rows[] = {
        { { 20, 19, 2000 }, { 20, 18, 900 }, true },
        { { 20, 18, 900 }, { 20, 19, 2000 }, false },
        { { 20, 19, 1500 }, { 20, 19, 1400 }, false },
        { { 20, 19, 1400 }, { 20, 19, 1500 }, true },
        { { 21, 20, 1000 }, { 20, 20, 1000 }, false }, // 20 of 21 is below 20 of 20
        { { 20, 19, 1000 }, { 20, 19, 1000 }, false },
    };
    for (const auto& row : rows)
        EXPECT_EQ(ranksAbove(row.a, row.b), row.aAbove) << row.a.rightAtFirstTry << "/" << row.a.notes;
}

TEST(AnswerSessionTest, theScoreLabelCountsFirstAnswersAndTheirMedian)
{
    AnswerSession session;
    EXPECT_EQ(session.scoreLabel().render(), "giuste 0 su 0");
    session.noteShown(0);
    session.firstAnswer(60, true, 1200);
    session.firstAnswer(62, false, 1600);
    session.firstAnswer(64, true, 1400);
    EXPECT_EQ(session.scoreLabel().render(), "giuste 2 su 3 · 1,4 s");
}

// Twenty notes in 50 s, six missed at the first try (G4 and A4 twice, F4 and B4
// once, so ties fall to the lower note), first answers after 500..2400 ms.
TEST(AnswerSessionTest, theSummaryGivesPercentMedianPaceMostMissedAndTheBest)
{
    constexpr int F4 = 65, G4 = 67, A4 = 69, B4 = 71, C5 = 72;
    const std::vector<int> missed = { A4, G4, B4, G4, F4, A4 };
    AnswerSession session;
    for (int i = 0; i < SessionNoteCount; ++i) {
        session.noteShown(i * 2500);
        const bool wrong = static_cast<size_t>(i) < missed.size();
        session.firstAnswer(wrong ? missed[static_cast<size_t>(i)] : C5, !wrong, 500 + i * 100);
        session.answeredRight(i * 2500 + 2500);
    }
    EXPECT_TRUE(session.complete());
    EXPECT_EQ(session.figures().percentRight(), 70);
    EXPECT_EQ(session.notesPerMinute(), 24);
    EXPECT_EQ(session.mostMissed(),
        (std::vector<std::vector<SpelledNote>> {
            { sharpSpelling(G4) }, { sharpSpelling(A4) }, { sharpSpelling(F4) } }));

    const std::vector<std::string> ownBest = { "Giuste al primo colpo: 70 %", "Tempo mediano di risposta: 1,5 s",
        "Note al minuto: 24", "Più sbagliate: Sol4, La4, Fa4", "Miglior sessione: 70 % · 1,5 s" };
    EXPECT_EQ(rendered(session.summaryLines(std::nullopt)), ownBest);
    EXPECT_EQ(rendered(session.summaryLines(SessionFigures { 20, 13, 900 })), ownBest);
    EXPECT_EQ(session.summaryLines(SessionFigures { 20, 19, 1240 }).back().render(), "Miglior sessione: 95 % · 1,2 s");
    EXPECT_EQ(session.summaryLines(std::nullopt, NoteNaming::Letters).at(3).render(), "Più sbagliate: G4, A4, F4");
}

TEST(AnswerSessionTest, aSessionWithoutMissesSaysNoneAndNamesSharpsWithTheirSign)
{
    AnswerSession session;
    session.noteShown(0);
    session.firstAnswer(60, true, 800);
    session.answeredRight(1000);
    EXPECT_EQ(session.summaryLines(std::nullopt).at(3).render(), "Più sbagliate: nessuna");

    const struct {
        int midi;
        const char* name;
        const char* letter;
    } names[] = { { 53, "Fa", "F" }, { 54, "Fa#", "F#" }, { 60, "Do", "C" }, { 61, "Do#", "C#" }, { 70, "La#", "A#" },
        { 88, "Mi", "E" }, { 52, "52", "52" }, { 89, "89", "89" } };
    for (const auto& row : names) {
        EXPECT_EQ(noteNameOfMidi(row.midi), row.name);
        EXPECT_EQ(noteNameOfMidi(row.midi, NoteNaming::Letters), row.letter);
    }
}

TEST(AnswerSessionTest, mostMissedNamesWrittenNotesWithTheirOctave)
{
    const SpelledNote e4 { Letter::E, Accidental::Natural, 4 };
    const SpelledNote e5 { Letter::E, Accidental::Natural, 5 };
    const SpelledNote fSharp5 { Letter::F, Accidental::Sharp, 5 };
    const SpelledNote gFlat5 { Letter::G, Accidental::Flat, 5 };
    const struct {
        std::vector<SpelledNote> missed;
        const char* line;
    } cases[] = {
        { { e5, e4 }, "Più sbagliate: Mi4, Mi5" }, // once each: the lower first
        { { e5, fSharp5, e5 }, "Più sbagliate: Mi5, Fa diesis 5" },
        { { gFlat5, fSharp5 }, "Più sbagliate: Fa diesis 5, Sol bemolle 5" }, // one key, two notes
        { { e4, e4, e4, e5, fSharp5, gFlat5 }, "Più sbagliate: Mi4, Mi5, Fa diesis 5" }, // three at most
    };
    for (const auto& c : cases) {
        AnswerSession session;
        for (const SpelledNote note : c.missed)
            session.firstAnswer(note, false, 900);
        EXPECT_EQ(session.summaryLines(std::nullopt).at(3).render(), c.line);
    }
    // Intervals and chords by their names, the most missed one; a chord's notes
    // that are one only once kept apart from its inversion.
    const struct {
        std::vector<const char*> missed;
        NoteNaming naming;
        const char* line;
    } shown[] = {
        { { "C4+E4", "D4+F#4", "D4+F#4" }, NoteNaming::Solfege, "Il più sbagliato: Terza maggiore Re4–Fa diesis 4" },
        { { "C4+E4+G4", "E4+G4+C5" }, NoteNaming::Solfege, "Il più sbagliato: Do maggiore Do4–Mi4–Sol4" },
        { { "E4+G4+C5", "E4+G4+C5" }, NoteNaming::Letters, "Il più sbagliato: C maggiore primo rivolto E4–G4–C5" },
    };
    for (const auto& c : shown) {
        AnswerSession session;
        for (const char* notes : c.missed)
            session.firstAnswer(spelledList(notes), false, 900);
        EXPECT_EQ(session.summaryLines(std::nullopt, c.naming).at(3).render(), c.line);
    }
}

} // namespace
} // namespace zintaro::compose
