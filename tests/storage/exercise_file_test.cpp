#include "storage/exercise_file.h"
#include "storage_test_support.h"

#include <gtest/gtest.h>

namespace zintaro::storage {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TemporaryFolder;
using testing::writeBytes;

Entry scaleNote(int i)
{
    return { False16, static_cast<int16_t>(14 + i % 8), static_cast<int16_t>(i % 7) };
}

constexpr const char* SmallExercise = "Zintaro exercise 1\r\n"
                                      "title: Scala\r\n"
                                      "tempo: 90\r\n"
                                      "mode: in time\r\n"
                                      "pass mark: 70\r\n"
                                      "repeats: 2\r\n"
                                      "count-in: 0\r\n"
                                      "piece:\r\n"
                                      "\"_\",0,14,2\r\n"
                                      "\"_\",111,111,111\r\n";

TEST(ExerciseFile, anExerciseRoundTripsByteForByteThroughItsFile)
{
    TemporaryFolder temp;
    Modulo1 m;
    testing::fillPiece(m, 40, scaleNote);
    m.PieceKey = { 2, KeyMode::Major };
    m.PieceMeter = { 3, 4 };
    const ExerciseSettings settings { "Scala di Re\nin 3/4", "Prima riga.\r\n\nUltima: con i due punti.\n", 132,
        ExerciseMode::InTime, 75, 2, 3 };
    ASSERT_EQ(saveExercise(settings, m, temp.path(), "scala").result, SaveResult::Saved);
    const std::string bytes = readBytes(temp.path() / "scala.zex");
    EXPECT_EQ(bytes, writeExerciseText(settings, m));
    EXPECT_NE(bytes.find("instructions: Ultima: con i due punti.\r\ninstructions: \r\ntempo: 132\r\nmode: in time"),
        std::string::npos);

    const ExerciseLoadOutcome loaded = loadExercise(temp.path() / "scala.zex");
    ASSERT_EQ(loaded.result, ExerciseLoadResult::Loaded) << loaded.text.render();
    Modulo1 again;
    applyToStore(loaded.exercise->piece, again.Composition);
    again.NoteCount = loaded.exercise->piece.noteCount();
    again.PieceKey = loaded.exercise->piece.key;
    again.PieceMeter = loaded.exercise->piece.meter;
    EXPECT_EQ(writeExerciseText(loaded.exercise->settings, again), bytes);
    EXPECT_EQ(loaded.exercise->settings.instructions, "Prima riga.\n\nUltima: con i due punti.\n");

    // The file a teacher writes by hand: the documented form, and the defaults of what it leaves out.
    const ExerciseReading small = readExerciseText(SmallExercise);
    ASSERT_TRUE(small.exercise);
    Modulo1 one;
    testing::fillPiece(one, 1, [](int) { return Entry { False16, 14, 2 }; });
    EXPECT_EQ(writeExerciseText(small.exercise->settings, one), SmallExercise);
    const ExerciseReading bare
        = readExerciseText("\xEF\xBB\xBFZintaro exercise 1\nrepeats: 0\n\npiece:\n\"_\",0,3,1\n");
    ASSERT_TRUE(bare.exercise) << bare.problem.render();
    EXPECT_EQ(bare.exercise->settings, (ExerciseSettings { "", "", 100, ExerciseMode::SingleNotes, 80, 0, 1 }));
}

TEST(ExerciseFile, badFilesAreRefusedWithWhatIsWrongInWords)
{
    const std::string head = "Zintaro exercise 1\r\n";
    const std::string piece = "piece:\r\n\"_\",0,14,2\r\n";
    const std::pair<std::string, const char*> cases[] = {
        { "", "non è un esercizio di Zintaro" },
        { "\"_\",0,14,2\r\n", "non è un esercizio di Zintaro" },
        { "Zintaro exercise x\r\n" + piece, "non è un esercizio di Zintaro" },
        { "Zintaro exercise 2\r\n" + piece, "versione più recente" },
        { head, "manca il brano" },
        { head + "title: senza brano\r\n", "manca il brano" },
        { head + "piece: 1\r\n", "la riga 2 non si capisce: \"piece: 1\"" },
        { head + "tempo 90\r\n" + piece, "la riga 2 non si capisce: \"tempo 90\"" },
        { head + "colour: red\r\n" + piece, "la riga 2 non si capisce" },
        { head + "tempo: 39\r\n" + piece, "alla riga 2 \"tempo\" deve essere un numero da 40 a 210" },
        { head + "\r\npass mark: 101\r\n" + piece, "alla riga 3 \"pass mark\" deve essere un numero da 0 a 100" },
        { head + "repeats: 3\r\n" + piece, "\"repeats\" deve essere un numero da 0 a 2" },
        { head + "count-in: 1.5\r\n" + piece, "\"count-in\" deve essere un numero da 0 a 4" },
        { head + "tempo: 90\r\ntempo: 90\r\n" + piece, "la riga 3 ripete \"tempo\"" },
        { head + "mode: in time\r\nmode: in time\r\n" + piece, "ripete \"mode\"" },
        { head + "mode: fast\r\n" + piece, "la modalità deve essere \"single notes\" o \"in time\"" },
        { head + "piece:\r\n\"_\",111,111,111\r\n", "il brano non ha note" },
        { head + "piece:\r\n\"_\",-1,0,3\r\n", "il brano non ha note" },
        { head + "piece:\r\n\"_\",0,99,2\r\n", "alcune righe del brano non si possono leggere" },
        { head + "piece:\r\n\"key\",\"H\"\r\n\"_\",0,14,2\r\n", "tonalità o in un tempo che questa versione" },
    };
    for (const auto& [bytes, words] : cases) {
        SCOPED_TRACE(bytes);
        const ExerciseReading reading = readExerciseText(bytes);
        EXPECT_FALSE(reading.exercise);
        EXPECT_NE(reading.problem.render().find(words), std::string::npos) << reading.problem.render();
    }
}

TEST(ExerciseFile, savingAndOpeningSayWhyNothingWasDone)
{
    TemporaryFolder temp;
    Modulo1 empty;
    EXPECT_EQ(saveExercise({}, empty, temp.path(), "vuoto").text.render(),
        "Un esercizio ha bisogno di almeno una nota. Non è stato salvato nulla.");
    testing::fillPiece(empty, 1, scaleNote);
    EXPECT_EQ(saveExercise({}, empty, temp.path(), "a/b").result, SaveResult::NameRefused);
    EXPECT_TRUE(testing::namesIn(temp.path()).empty());

    writeBytes(temp.path() / "grande.zex", std::string(SmallExercise) + std::string(MaxExerciseBytes, '\n'));
    writeBytes(temp.path() / "foto.zex", "\x89PNG");
    for (const char* name : { "grande.zex", "foto.zex", "manca.zex" }) {
        const ExerciseLoadOutcome outcome = loadExercise(temp.path() / name);
        EXPECT_FALSE(outcome.exercise);
        EXPECT_TRUE(
            outcome.text.render().starts_with("L'esercizio \"" + std::string(name) + "\" non si è potuto aprire: "))
            << outcome.text.render();
    }
    EXPECT_EQ(loadExercise(temp.path() / "foto.zex").text.render(),
        "L'esercizio \"foto.zex\" non si è potuto aprire: non è un esercizio di Zintaro. Non è cambiato nulla.");
}

} // namespace
} // namespace zintaro::storage
