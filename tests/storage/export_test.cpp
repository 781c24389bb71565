#include "core/pitch.h"
#include "storage/export_writers.h"
#include "storage_test_support.h"
#include "support/run_command.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace zintaro::storage {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::runCommand;
using testing::shellQuoted;
using testing::TemporaryFolder;
using testing::writeBytes;

constexpr const char* Python = "/usr/bin/python3";
constexpr int QuarterMicrosAtTempo100 = 750'000;
constexpr int Violin = 40;

fs::path exportData()
{
    return testing::compositionsData().parent_path() / "export";
}

fs::path reader(const char* script)
{
    return fs::path(ZINTARO_STORAGE_TEST_DIR) / script;
}

// Every duration as a note, rests, sharps (and a natural after a sharp in
// its measure), two notes across a bar line, entries a damaged file may
// hold, and a rest at the end.
Modulo1 everyDurationPiece()
{
    const std::vector<Entry> entries = {
        { False16, 7, 0 }, // C4 whole: measure 1
        { True16, 0, 0 }, // whole rest: measure 2
        { False16, 9, 1 },
        { True16, 0, 2 },
        { False16, 13, 3 },
        { False16, 14, 4 },
        { False16, 20, 5 },
        { False16, 35, 6 },
        { True16, 0, 6 }, // measure 3, full
        { False16, 0, 5 },
        { True16, 0, 3 },
        { False16, 13, 2 },
        { False16, 12, 2 },
        { False16, 29, 1 }, // A#5 half from 42/64: across the bar
        { False16, 40, 2 },
        { False16, 5, 7 }, // no piano note, no duration: skipped
        { True16, 0, 1 },
        { False16, 16, 0 }, // A4 whole from 42/64: across the bar
        { True16, 0, 2 },
    };
    Modulo1 m;
    for (std::size_t i = 0; i < entries.size(); ++i)
        m.Composition.set(static_cast<int>(i), entries[i]);
    m.NoteCount = static_cast<int>(entries.size());
    m.Composition.set(m.NoteCount, EndEntry);
    return m;
}

// Notes and rests across bar lines: quarters, a whole note from the second
// beat, eighths, 32nds and a half rest, then whole notes and rests that
// start after the beat, so that each split needs a dotted value.
Modulo1 acrossBarsPiece()
{
    const std::vector<Entry> entries = {
        { False16, 7, 2 }, { False16, 8, 2 }, { False16, 9, 2 }, { False16, 10, 2 }, // measure 1
        { False16, 11, 2 }, { False16, 12, 0 }, // F4 whole from the second beat
        { False16, 14, 3 }, { False16, 16, 3 }, { False16, 18, 3 }, { False16, 19, 3 }, { False16, 21, 5 },
        { False16, 23, 5 }, { True16, 0, 1 }, // a half rest from 52/64
        { False16, 26, 0 }, // G5 whole from 20/64
        { True16, 0, 0 }, // a whole rest from 20/64
        { False16, 28, 4 }, { False16, 30, 3 }, { False16, 24, 1 }, // measure 6 fills up
        { False16, 31, 3 }, { True16, 0, 0 }, // a whole rest from an eighth in
        { False16, 35, 1 }, { False16, 25, 1 }, // F#5 half from the third beat and an eighth
        { False16, 19, 1 }, { False16, 21, 2 }, { False16, 23, 3 }, // measure 9 fills up
    };
    Modulo1 m;
    for (std::size_t i = 0; i < entries.size(); ++i)
        m.Composition.set(static_cast<int>(i), entries[i]);
    m.NoteCount = static_cast<int>(entries.size());
    m.Composition.set(m.NoteCount, EndEntry);
    return m;
}

// What a piece sounds like, as musicxml_events.py prints it: notes with
// their MIDI keys, rests that follow each other as one, in 64ths.
std::string eventsOf(const Modulo1& m)
{
    std::ostringstream out;
    int time = 0;
    int restFrom = -1;
    for (int i = 0; i < m.NoteCount; ++i) {
        const Entry e = m.Composition.at(i);
        const int length = 64 >> e.DurationCode;
        if (e.RestFlag != 0) {
            if (restFrom < 0)
                restFrom = time;
        } else {
            if (restFrom >= 0)
                out << "rest " << restFrom << " " << time - restFrom << "\n";
            restFrom = -1;
            out << "note " << midiNoteOfKey(e.NoteIndex) << " " << time << " " << length << "\n";
        }
        time += length;
    }
    if (restFrom >= 0)
        out << "rest " << restFrom << " " << time - restFrom << "\n";
    return out.str();
}

struct Golden {
    const char* file;
    std::string bytes;
};

std::vector<Golden> goldens()
{
    const Modulo1 piece = everyDurationPiece();
    const Modulo1 acrossBars = acrossBarsPiece();
    const Modulo1 empty;
    return {
        { "across_bars.musicxml", writeMusicXml(acrossBars.Composition, acrossBars.NoteCount, "Flute", false) },
        { "every_duration.mid", writeMidiFile(piece.Composition, piece.NoteCount, QuarterMicrosAtTempo100, Violin) },
        { "every_duration.musicxml", writeMusicXml(piece.Composition, piece.NoteCount, "Violin", true) },
        { "empty.mid", writeMidiFile(empty.Composition, 0, QuarterMicrosAtTempo100, 0) },
        { "empty.musicxml", writeMusicXml(empty.Composition, 0, "Acoustic Grand Piano", false) },
    };
}

// Runs one of the readers on a file; skips the test when the reader is missing.
#define READ_WITH_PYTHON(script, file, out)                                                                            \
    do {                                                                                                               \
        if (!fs::exists(Python))                                                                                       \
            GTEST_SKIP() << "skipped: " << Python << " is not installed";                                              \
        const auto result_ = runCommand(                                                                               \
            std::string(Python) + " " + shellQuoted(reader(script).string()) + " " + shellQuoted((file).string()));    \
        if (result_.exitCode == 77)                                                                                    \
            GTEST_SKIP() << "skipped: python3-mido is not installed";                                                  \
        ASSERT_EQ(result_.exitCode, 0) << (file);                                                                      \
        (out) = result_.output;                                                                                        \
    } while (false)

TEST(Export, writersGiveTheGoldenFilesByteForByte)
{
    // ZINTARO_WRITE_GOLDEN=1 writes them anew, to be checked by the reader tests below.
    const bool rewrite = std::getenv("ZINTARO_WRITE_GOLDEN") != nullptr;
    for (const Golden& g : goldens()) {
        SCOPED_TRACE(g.file);
        if (rewrite)
            writeBytes(exportData() / g.file, g.bytes);
        ASSERT_TRUE(fs::exists(exportData() / g.file));
        EXPECT_TRUE(readBytes(exportData() / g.file) == g.bytes);
    }
}

TEST(Export, midiFilesReadBackWithTheirTimesLengthsTempoAndProgram)
{
    struct Case {
        const char* file;
        std::string expected;
    };
    const std::string header = "format 0 ticks 480 tracks 1\ntime_signature 0 4 4\ntempo 0 750000\n";
    const std::vector<Case> cases = {
        { "empty.mid", header + "program 0 0 0\nend 0\n" },
        { "every_duration.mid",
            header
                + "program 0 0 40\n"
                  "note 0 60 0 1920 127\n"
                  "note 0 62 3840 960 127\n"
                  "note 0 66 5280 240 127\n"
                  "note 0 67 5520 120 127\n"
                  "note 0 73 5640 60 127\n"
                  "note 0 88 5700 30 127\n"
                  "note 0 53 5760 60 127\n"
                  "note 0 66 6060 480 127\n"
                  "note 0 65 6540 480 127\n"
                  "note 0 82 7020 960 127\n"
                  "note 0 69 8940 1920 127\n"
                  "end 11340\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string read;
        READ_WITH_PYTHON("midi_events.py", exportData() / c.file, read);
        EXPECT_EQ(read, c.expected);
    }
}

struct Note {
    int key, start, length;
};

std::vector<Note> notesIn(const std::string& events)
{
    std::vector<Note> notes;
    std::istringstream lines(events);
    std::string word;
    while (lines >> word) {
        if (word != "note")
            continue;
        int channel = 0, velocity = 0;
        Note n {};
        lines >> channel >> n.key >> n.start >> n.length >> velocity;
        notes.push_back(n);
    }
    return notes;
}

// The notation program opens `score` and writes it out as `written`, the
// format following the name; false when it fails.
bool convertInNotationProgram(const fs::path& score, const fs::path& written)
{
    return runCommand("QT_QPA_PLATFORM=offscreen musescore3 -o " + shellQuoted(written.string()) + " "
               + shellQuoted(score.string()) + " >/dev/null 2>&1")
               .exitCode
        == 0;
}

// An independent notation program reads the score and plays it into a MIDI
// file: the same notes at the same times, tied notes joined again.
TEST(Export, musicXmlPlaysBackInANotationProgramAsTheMidiExport)
{
    if (!testing::haveProgram("musescore3"))
        GTEST_SKIP() << "skipped: musescore3 is not installed";
    TemporaryFolder temp;
    const fs::path played = temp.path() / "played.mid";
    ASSERT_TRUE(convertInNotationProgram(exportData() / "every_duration.musicxml", played));

    std::string fromScore, fromMidi;
    READ_WITH_PYTHON("midi_events.py", played, fromScore);
    READ_WITH_PYTHON("midi_events.py", exportData() / "every_duration.mid", fromMidi);
    const std::vector<Note> expected = notesIn(fromMidi);
    const std::vector<Note> actual = notesIn(fromScore);
    ASSERT_EQ(actual.size(), expected.size()) << fromScore;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].key, expected[i].key);
        EXPECT_EQ(actual[i].start, expected[i].start);
        // The notation program lets a note go one tick before the next.
        EXPECT_NEAR(actual[i].length, expected[i].length, 1);
    }
}

TEST(Export, musicXmlMeasuresHoldAWholeNoteAndNotesCarryTheirNames)
{
    struct Case {
        const char* file;
        std::string expected;
    };
    const std::vector<Case> cases = {
        { "empty.musicxml", "part Acoustic Grand Piano\nattributes 16 4/4 G 2\nmeasure 1 0\n" },
        { "every_duration.musicxml",
            "part Violin\nattributes 16 4/4 G 2\n"
            "measure 1 64\nlyric Do\n"
            "measure 2 64\n"
            "measure 3 64\nlyric Re\nlyric Fa diesis\nlyric Sol\nlyric Do diesis\nlyric Mi\n"
            "measure 4 64\nlyric Fa\nlyric Fa diesis\nlyric Fa\nlyric La diesis\n"
            "measure 5 64\nlyric La\n"
            "measure 6 58\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string read;
        READ_WITH_PYTHON("musicxml_facts.py", exportData() / c.file, read);
        EXPECT_EQ(read, c.expected);
    }
}

// A note split at a bar line takes a dotted value where one fills the room
// and is tied on; a rest split at a bar line just goes on, with no tie.
// The lines of a reader's output that start with `prefix`.
std::string linesStarting(const std::string& text, const std::string& prefix)
{
    std::istringstream in(text);
    std::string out;
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0)
            out += line + "\n";
    return out;
}

// A note split at a bar line takes a dotted value where one fills the room
// and is tied on; a rest split at a bar line just goes on, with no tie.
TEST(Export, musicXmlSplitsAtBarLinesIntoDottedValuesAndRestsWithoutTies)
{
    std::string read;
    READ_WITH_PYTHON("musicxml_events.py", exportData() / "across_bars.musicxml", read);
    EXPECT_EQ(linesStarting(read, "written"),
        "written 1 quarter quarter quarter quarter\n"
        "written 2 quarter half.~\n"
        "written 3 quarter eighth eighth eighth eighth 32nd 32nd r:eighth.\n"
        "written 4 r:quarter r:16th eighth.~ half~\n"
        "written 5 quarter~ 16th r:eighth. r:half\n"
        "written 6 r:quarter r:16th 16th eighth half\n"
        "written 7 eighth r:eighth r:half.\n"
        "written 8 r:eighth half quarter.~\n"
        "written 9 eighth half quarter eighth\n");
    EXPECT_EQ(linesStarting(read, "note") + linesStarting(read, "rest"),
        linesStarting(eventsOf(acrossBarsPiece()), "note") + linesStarting(eventsOf(acrossBarsPiece()), "rest"));
}

// The notation program reads the split notes and rests back as the piece
// has them: written out again, they sound and rest at the same times.
TEST(Export, musicXmlSplitAtBarLinesReadsBackInANotationProgramAsThePiece)
{
    if (!testing::haveProgram("musescore3"))
        GTEST_SKIP() << "skipped: musescore3 is not installed";
    TemporaryFolder temp;
    const fs::path again = temp.path() / "again.musicxml";
    ASSERT_TRUE(convertInNotationProgram(exportData() / "across_bars.musicxml", again));
    std::string readBack;
    READ_WITH_PYTHON("musicxml_events.py", again, readBack);
    const std::string expected = eventsOf(acrossBarsPiece());
    EXPECT_EQ(linesStarting(readBack, "note"), linesStarting(expected, "note"));
    EXPECT_EQ(linesStarting(readBack, "rest"), linesStarting(expected, "rest"));
}

} // namespace
} // namespace zintaro::storage
