#include "core/written_piece.h"
#include "storage/composition_file.h"
#include "storage/composition_format.h"
#include "storage/export_writers.h"
#include "storage_test_support.h"
#include "support/run_command.h"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace zintaro::storage {
namespace {

namespace fs = std::filesystem;
using testing::runCommand;
using testing::shellQuoted;
using testing::TemporaryFolder;

// Every offered key and meter, each key with a meter of its own in turn, a
// minor key, and a piece of dotted values and ties: seventeen pieces.
struct Notation {
    Key key;
    Meter meter;
    std::string name;
    bool marked = false; // dotted quarters tied to eighths
};

std::vector<Notation> everyKeyAndMeter()
{
    std::vector<Notation> all;
    const auto meters = offeredMeters();
    for (int fifths = -MostAccidentals; fifths <= MostAccidentals; ++fifths) {
        const Meter meter = meters[static_cast<size_t>(fifths + MostAccidentals) % meters.size()];
        all.push_back({ Key { fifths }, meter, "key" + std::to_string(fifths + MostAccidentals) });
    }
    all.push_back({ Key { -5, KeyMode::Minor }, Meter { 6, 8 }, "minor" });
    all.push_back({ Key { -3 }, Meter {}, "marked", true });
    return all;
}

// Eighths climbing every key of the piano with a few notes repeated, so
// that accidentals hold and are cancelled within measures; eighths fill the
// measures of every meter exactly. Marked, an eighth rest and then each key
// a dotted quarter tied to an eighth, every other tie over a bar line, and a
// dotted rest to end.
Modulo1 chromaticPiece(Key key, Meter meter, bool marked = false)
{
    Modulo1 m;
    m.PieceKey = key;
    m.PieceMeter = meter;
    int count = 0;
    for (int16_t note = 0; marked && note < NoteCountOnPiano; ++note) {
        if (note == 0)
            m.Composition.set(count++, { True16, 0, 3 });
        m.Composition.set(count++, { False16, note, 2, true, true });
        m.Composition.set(count++, { False16, note, 3 });
        if (note + 1 == NoteCountOnPiano)
            m.Composition.set(count++, { True16, 0, 2, true });
    }
    for (int16_t note = 0; !marked && note < NoteCountOnPiano; ++note) {
        m.Composition.set(count++, { False16, note, 3 });
        if (note % 4 == 1)
            m.Composition.set(count++, { False16, static_cast<int16_t>(note - 1), 3 });
    }
    m.Composition.set(count++, { True16, 0, 3 });
    m.NoteCount = count;
    m.Composition.set(count, EndEntry);
    return m;
}

TEST(NotationFiles, everyKeyAndMeterIsSavedAndLoadedBackWithThePiece)
{
    TemporaryFolder folder;
    for (const Notation& n : everyKeyAndMeter()) {
        SCOPED_TRACE(n.name);
        const Modulo1 m = chromaticPiece(n.key, n.meter, n.marked);
        ASSERT_EQ(saveComposition(m, folder.path(), n.name).result, SaveResult::Saved);
        const auto bytes = testing::readBytes(folder.path() / (n.name + ".txt"));
        // The key and meter lines come first, and only when they are not C major and 4/4.
        EXPECT_EQ(bytes.starts_with("\"key\","), n.key != Key {});
        EXPECT_EQ(bytes.find("\"ties\",\"1 3 5 ") != std::string::npos, n.marked);
        const auto loaded = loadComposition(folder.path() / (n.name + ".txt"));
        ASSERT_EQ(loaded.result, LoadResult::Loaded) << loaded.text.render();
        EXPECT_EQ(loaded.piece->key, n.key);
        EXPECT_EQ(loaded.piece->meter, n.meter);
        ASSERT_EQ(loaded.piece->noteCount(), m.NoteCount);
        for (int i = 0; i < m.NoteCount; ++i)
            EXPECT_EQ(loaded.piece->entries[static_cast<size_t>(i)], m.Composition.at(i)) << i;
    }
    // C major in 4/4 has no line of its own: the file is as it always was.
    const Modulo1 plain = chromaticPiece({}, {});
    EXPECT_EQ(writeCompositionText(plain.Composition, plain.NoteCount, {}, {}),
        writeCompositionText(plain.Composition, plain.NoteCount));
    EXPECT_EQ(writeCompositionText(plain.Composition, 1, Key { 2 }, Meter { 3, 4 }),
        "\"key\",\"D\"\r\n\"meter\",\"3/4\"\r\n\"_\",0,0,3\r\n\"_\",111,111,111\r\n");
}

TEST(NotationFiles, anUnknownKeyOrMeterIsRefusedInWordsAndLinesOutOfPlaceAreSkipped)
{
    TemporaryFolder folder;
    const struct {
        const char* what;
        const char* bytes;
        LoadResult result;
        const char* told; // a part of the words
    } cases[] = {
        { "a key of a later version", "\"key\",\"H\"\r\n\"_\",0,7,0\r\n\"_\",111,111,111\r\n",
            LoadResult::UnknownNotation, "in una tonalità che questa versione di Zintaro non conosce (\"H\")" },
        { "a meter of a later version", "\"meter\",\"5/4\"\r\n\"_\",0,7,0\r\n\"_\",111,111,111\r\n",
            LoadResult::UnknownNotation, "in un tempo che questa versione di Zintaro non conosce (\"5/4\")" },
        { "a key line among the entries belongs to no piece", "\"_\",0,7,0\r\n\"key\",\"D\"\r\n\"_\",111,111,111\r\n",
            LoadResult::LoadedWithGaps, "1 riga" },
        { "spaces around the fields", " \"key\" , \"Bb\" \n\"_\",0,7,0\n\"_\",111,111,111\n", LoadResult::Loaded, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = folder.path() / "piece.txt";
        testing::writeBytes(file, c.bytes);
        const auto loaded = loadComposition(file);
        EXPECT_EQ(loaded.result, c.result);
        const std::string told = loaded.text.render();
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_EQ(loaded.piece.has_value(), c.result != LoadResult::UnknownNotation);
        if (c.result == LoadResult::UnknownNotation) {
            EXPECT_NE(told.find("La composizione sul pentagramma è rimasta."), std::string::npos);
        }
    }
    EXPECT_EQ(readCompositionText(" \"key\" , \"Bb\" \n\"_\",0,7,0\n").key, (Key { -2 }));
}

// Writes every piece's exports into a folder: name.mid and name.musicxml.
// Every piece saved and loaded back, as a student's would be, then exported
// in the key and meter its file gave.
void exportAll(const fs::path& folder)
{
    for (const Notation& n : everyKeyAndMeter()) {
        ASSERT_EQ(saveComposition(chromaticPiece(n.key, n.meter, n.marked), folder, n.name).result, SaveResult::Saved);
        const auto loaded = loadComposition(folder / (n.name + ".txt"));
        ASSERT_TRUE(loaded.piece) << loaded.text.render();
        const ParsedComposition& piece = *loaded.piece;
        CompositionStore store;
        applyToStore(piece, store);
        testing::writeBytes(
            folder / (n.name + ".mid"), writeMidiFile(store, piece.noteCount(), 500'000, 0, piece.key, piece.meter));
        testing::writeBytes(folder / (n.name + ".musicxml"),
            writeMusicXml(store, piece.noteCount(), "Piano", false, NoteNaming::Solfege, piece.key, piece.meter));
    }
}

std::string midiFacts(const fs::path& file)
{
    const auto result
        = runCommand("/usr/bin/python3 " + shellQuoted((fs::path(ZINTARO_STORAGE_TEST_DIR) / "midi_events.py").string())
            + " " + shellQuoted(file.string()));
    return result.exitCode == 0 ? result.output : "exit " + std::to_string(result.exitCode);
}

std::string line(const std::string& facts, const std::string& start)
{
    std::istringstream lines(facts);
    for (std::string l; std::getline(lines, l);)
        if (l.starts_with(start))
            return l;
    return {};
}

TEST(NotationExports, midiFilesCarryTheKeyAndTimeSignatures)
{
    if (runCommand("/usr/bin/python3 -c 'import mido' 2>/dev/null").exitCode != 0)
        GTEST_SKIP() << "skipped: python3-mido is not installed";
    TemporaryFolder folder;
    exportAll(folder.path());
    for (const Notation& n : everyKeyAndMeter()) {
        SCOPED_TRACE(n.name);
        const std::string facts = midiFacts(folder.path() / (n.name + ".mid"));
        EXPECT_EQ(line(facts, "time_signature"),
            "time_signature 0 " + std::to_string(n.meter.beats) + " " + std::to_string(n.meter.unit));
        EXPECT_EQ(line(facts, "key_signature"), n.key == Key {} ? "" : "key_signature 0 " + keyText(n.key));
        // Tied notes are one note: a dotted quarter and an eighth after an eighth rest.
        if (n.marked) {
            EXPECT_EQ(line(facts, "note"), "note 0 53 240 960 127");
        }
    }
}

TEST(NotationExports, musicXmlScoresValidateAgainstTheSchemaAndShowOnlyThePrintedAccidentals)
{
    if (!testing::haveProgram("xmllint"))
        GTEST_SKIP() << "skipped: xmllint is not installed";
    const fs::path schema = ZINTARO_MUSICXML_SCHEMA;
    if (!fs::exists(schema))
        GTEST_SKIP() << "skipped: the MusicXML 4.0 schema is not at " << schema;
    TemporaryFolder folder;
    exportAll(folder.path());
    std::string files;
    for (const Notation& n : everyKeyAndMeter()) {
        files += ' ';
        files += shellQuoted((folder.path() / (n.name + ".musicxml")).string());
    }
    const auto result
        = runCommand("xmllint --noout --nonet --schema " + shellQuoted(schema.string()) + files + " 2>&1");
    EXPECT_EQ(result.exitCode, 0) << result.output;

    // As many accidentals as the staff prints for the same piece, and the key and time.
    for (const Notation& n : everyKeyAndMeter()) {
        SCOPED_TRACE(n.name);
        const Modulo1 m = chromaticPiece(n.key, n.meter, n.marked);
        const std::string score = testing::readBytes(folder.path() / (n.name + ".musicxml"));
        EXPECT_NE(score.find("<key><fifths>" + std::to_string(n.key.fifths) + "</fifths>"), std::string::npos);
        EXPECT_NE(score.find("<time><beats>" + std::to_string(n.meter.beats) + "</beats><beat-type>"
                      + std::to_string(n.meter.unit) + "</beat-type></time>"),
            std::string::npos);
        size_t shown = 0;
        for (size_t at = score.find("<accidental>"); at != std::string::npos; at = score.find("<accidental>", at + 1))
            ++shown;
        size_t printed = 0;
        for (const WrittenNote& w : writeOut(m.Composition, m.NoteCount, n.key, n.meter))
            printed += w.printed ? 1 : 0;
        EXPECT_EQ(shown, printed);
        EXPECT_EQ(score.find("<tied type=\"start\"/>") != std::string::npos, n.marked);
        EXPECT_EQ(score.find("<dot/>") != std::string::npos, n.marked);
    }
}

// A notation program opens every score and plays it into MIDI: the same
// notes, in the key and meter written.
TEST(NotationExports, musicXmlScoresReadBackInANotationProgramWithTheirKeyAndMeter)
{
    if (!testing::haveProgram("musescore3"))
        GTEST_SKIP() << "skipped: musescore3 is not installed";
    if (runCommand("/usr/bin/python3 -c 'import mido' 2>/dev/null").exitCode != 0)
        GTEST_SKIP() << "skipped: python3-mido is not installed";
    TemporaryFolder folder;
    exportAll(folder.path());
    // One run of the program converts them all.
    std::string job = "[";
    for (const Notation& n : everyKeyAndMeter()) {
        job += job.size() > 1 ? "," : "";
        job += "{\"in\":\"" + (folder.path() / (n.name + ".musicxml")).string() + "\",\"out\":\""
            + (folder.path() / (n.name + ".played.mid")).string() + "\"}";
    }
    testing::writeBytes(folder.path() / "job.json", job + "]");
    ASSERT_EQ(runCommand("QT_QPA_PLATFORM=offscreen musescore3 -j " + shellQuoted((folder.path() / "job.json").string())
                  + " >/dev/null 2>&1")
                  .exitCode,
        0);
    for (const Notation& n : everyKeyAndMeter()) {
        SCOPED_TRACE(n.name);
        const std::string played = midiFacts(folder.path() / (n.name + ".played.mid"));
        const std::string ours = midiFacts(folder.path() / (n.name + ".mid"));
        EXPECT_EQ(line(played, "time_signature"), line(ours, "time_signature"));
        // The program names the key by its signature, always as a major key.
        if (n.key.fifths != 0) {
            EXPECT_EQ(line(played, "key_signature"), "key_signature 0 " + keyText({ n.key.fifths, KeyMode::Major }));
        }
        std::vector<std::string> notesPlayed, notesOurs;
        std::istringstream a(played), b(ours);
        for (std::string l; std::getline(a, l);)
            if (l.starts_with("note"))
                notesPlayed.push_back(l.substr(0, l.find(' ', l.find(' ', 7) + 1)));
        for (std::string l; std::getline(b, l);)
            if (l.starts_with("note"))
                notesOurs.push_back(l.substr(0, l.find(' ', l.find(' ', 7) + 1)));
        EXPECT_EQ(notesPlayed, notesOurs);
    }
}

} // namespace
} // namespace zintaro::storage
