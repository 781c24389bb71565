#include "import_pieces.h"
#include "storage/export_writers.h"
#include "storage/importers.h"
#include "storage_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace zintaro::storage {
namespace {

using namespace zintaro::testing;

constexpr int QuarterMicrosAtTempo100 = 600'000;

TEST(Import, piecesWeExportReadBackNoteForNote)
{
    for (const ExportedPiece& piece : exportedPieces()) {
        SCOPED_TRACE(piece.name);
        const ImportOutcome score = readMusicXml(writeMusicXml(
            piece.store(), piece.count(), "Pianoforte", true, NoteNaming::Solfege, piece.key, piece.meter));
        ASSERT_TRUE(score.piece) << score.text.render();
        EXPECT_EQ(score.piece->notes, piece.asScore());
        EXPECT_EQ(score.piece->key, piece.key);
        EXPECT_EQ(score.piece->meter, piece.meter);
        EXPECT_EQ(score.piece->clef, ImportedClef {});
        EXPECT_EQ(score.piece->parts.at(0).render(), "Pianoforte");

        const ImportOutcome sound = readMidiFile(
            writeMidiFile(piece.store(), piece.count(), QuarterMicrosAtTempo100, 0, piece.key, piece.meter));
        ASSERT_TRUE(sound.piece) << sound.text.render();
        EXPECT_EQ(sound.piece->notes, piece.asSound());
        EXPECT_EQ(sound.piece->key, piece.key);
        EXPECT_EQ(sound.piece->meter, piece.meter);
        EXPECT_EQ(sound.piece->tempo, 100.0);
        EXPECT_FALSE(score.piece->losses.any() || sound.piece->losses.any());
    }
}

// A partwise score of one or two parts from the measures' contents.
std::string score(const std::string& measures, const std::string& secondPart = {})
{
    std::string xml = "<?xml version=\"1.0\"?><score-partwise version=\"4.0\"><part-list>"
                      "<score-part id=\"P1\"><part-name>Flauto</part-name></score-part>";
    if (!secondPart.empty())
        xml += "<score-part id=\"P2\"><part-name></part-name></score-part>";
    xml += "</part-list><part id=\"P1\">" + measures + "</part>";
    if (!secondPart.empty())
        xml += "<part id=\"P2\">" + secondPart + "</part>";
    return xml + "</score-partwise>";
}

constexpr const char* Attributes = "<attributes><divisions>6</divisions><key><fifths>-1</fifths></key>"
                                   "<time><beats>3</beats><beat-type>4</beat-type></time>"
                                   "<clef><sign>F</sign><line>4</line></clef></attributes>";

std::string n(const std::string& step, int duration, const std::string& type, const std::string& extra = {})
{
    return "<note>"
        + (step.empty() ? std::string("<rest/>") : "<pitch><step>" + step + "</step><octave>4</octave></pitch>")
        + "<duration>" + std::to_string(duration) + "</duration>" + extra + "<type>" + type + "</type></note>";
}

TEST(Import, scoreRulesKeepOneLineOfTheFirstStaff)
{
    const std::string chord = "<chord/>";
    const std::string triplet = "<time-modification><actual-notes>3</actual-notes><normal-notes>2</normal-notes>"
                                "</time-modification>";
    struct Case {
        const char* name;
        std::string xml;
        std::vector<ImportedNote> notes;
        const char* losses;
    } const cases[] = {
        { "chords keep their top note, and its tie",
            score("<measure>" + std::string(Attributes) + n("C", 6, "quarter") + "<note><chord/><pitch><step>G</step>"
                + "<octave>4</octave></pitch><duration>6</duration><tie type=\"start\"/><type>quarter</type></note>"
                + n("E", 6, "quarter", chord) + n("D", 12, "half") + n("F", 12, "half", chord) + "</measure>"),
            { note(67, 2, false, true), note(65, 1) }, "2 accordi ridotti alla nota più alta" },
        { "triplets take the nearest value, counted by group",
            score("<measure>" + std::string(Attributes) + n("C", 2, "eighth", triplet) + n("D", 2, "eighth", triplet)
                + n("E", 2, "eighth", triplet) + n("F", 6, "quarter") + n("G", 2, "eighth", triplet)
                + n("A", 2, "eighth", triplet) + n("B", 2, "eighth", triplet) + "</measure>"),
            { note(60, 4, true), note(62, 4, true), note(64, 4, true), note(65, 2), note(67, 4, true),
                note(69, 4, true), note(71, 4, true) },
            "2 terzine approssimate" },
        { "a tie across the bar line, a measure rest without a type",
            score("<measure>" + std::string(Attributes) + n("C", 18, "half", "<tie type=\"start\"/><dot/>")
                + "</measure><measure>" + n("C", 6, "quarter", "<tie type=\"stop\"/>")
                + "<note><rest measure=\"yes\"/><duration>12</duration></note></measure>"),
            { note(60, 1, true, true), note(60, 2), rest(1) }, "" },
        { "the second voice and staff are left out, a forward is a rest",
            score("<measure>" + std::string(Attributes) + n("C", 6, "quarter") + "<forward><duration>6</duration>"
                + "</forward>" + n("E", 6, "quarter") + "<backup><duration>18</duration></backup>"
                + n("A", 18, "half", "<voice>2</voice><dot/>") + "<backup><duration>18</duration></backup>"
                + n("B", 18, "half", "<staff>2</staff><dot/>") + "</measure>"),
            { note(60, 2), rest(2), note(64, 2) }, "" },
        { "values the staff does not write are approximated",
            score("<measure>" + std::string(Attributes) + n("C", 21, "half", "<dot/><dot/>")
                + "<note><pitch><step>D</step><alter>1</alter><octave>4</octave></pitch><duration>0.25</duration>"
                + "<type>128th</type></note><note><grace/><pitch><step>E</step><octave>4</octave></pitch>"
                + "<type>eighth</type></note></measure>"),
            { note(60, 1, true), note(63, 6) }, "2 valori che il pentagramma non scrive approssimati" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportOutcome outcome = readMusicXml(c.xml);
        ASSERT_TRUE(outcome.piece) << outcome.text.render();
        EXPECT_EQ(outcome.piece->notes, c.notes);
        EXPECT_EQ(lossesText(outcome.piece->losses).render(), c.losses);
        EXPECT_EQ(outcome.piece->key, (Key { -1, KeyMode::Major }));
        EXPECT_EQ(outcome.piece->meter, (Meter { 3, 4 }));
        EXPECT_EQ(outcome.piece->clef, (ImportedClef { 'F', 4, 0 }));
    }
    // A silence longer than any piece: the part ends at the cap, and says so.
    const ImportOutcome endless = readMusicXml(score("<measure>" + std::string(Attributes) + n("C", 6, "quarter")
        + "<forward><duration>1000000</duration></forward>" + n("E", 6, "quarter") + "</measure>"));
    ASSERT_TRUE(endless.piece);
    EXPECT_EQ(endless.piece->notes.size(), static_cast<std::size_t>(storage::MaxImportedNotes));
    EXPECT_TRUE(endless.piece->losses.notesLeftOut);
}

TEST(Import, aPartIsPickedByIndexAndTimewiseScoresReadAlike)
{
    const std::string first = "<measure><attributes><divisions>1</divisions></attributes>" + n("C", 1, "quarter")
        + "<direction><sound tempo=\"72\"/></direction></measure>";
    const std::string second
        = "<measure><attributes><divisions>2</divisions></attributes>" + n("G", 4, "half") + "</measure>";
    const ImportOutcome picked = readMusicXml(score(first, second), 1);
    ASSERT_TRUE(picked.piece);
    EXPECT_EQ(picked.piece->notes, std::vector { note(67, 1) });
    EXPECT_EQ(picked.piece->tempo, 72.0);
    ASSERT_EQ(picked.piece->parts.size(), 2U);
    EXPECT_EQ(picked.piece->parts[0].render() + "|" + picked.piece->parts[1].render(), "Flauto|Parte 2");

    const std::string timewise = "<score-timewise><part-list><score-part id=\"A\"/><score-part id=\"B\"/></part-list>"
                                 "<measure number=\"1\"><part id=\"A\">"
        + n("C", 1, "quarter") + "</part><part id=\"B\">" + n("D", 1, "quarter")
        + "</part></measure><measure number=\"2\"><part id=\"A\"/><part id=\"B\">" + n("E", 1, "quarter")
        + "</part></measure></score-timewise>";
    const ImportOutcome b = readMusicXml(timewise, 1);
    ASSERT_TRUE(b.piece) << b.text.render();
    EXPECT_EQ(b.piece->notes, (std::vector { note(62, 2), note(64, 2) }));
}

// A MIDI file of one track at 480 ticks a quarter: each note (delta, pitch,
// length in ticks) on channel 0, or on channel 1 from pitch 100 up (less 40).
std::string midi(std::initializer_list<std::array<int, 3>> notes, int format = 0, int tracks = 1)
{
    struct Event {
        int at;
        std::string bytes;
    };
    std::vector<Event> events;
    int at = 0;
    for (const auto& [delta, pitch, length] : notes) {
        at += delta;
        const char channel = pitch >= 100 ? 1 : 0;
        const char key = static_cast<char>(pitch >= 100 ? pitch - 40 : pitch);
        events.push_back({ at, { static_cast<char>(0x90 | channel), key, 100 } });
        events.push_back({ at + length, { static_cast<char>(0x80 | channel), key, 0 } });
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.at < b.at; });
    std::string track;
    int last = 0;
    for (const Event& e : events) {
        int delta = e.at - last;
        last = e.at;
        std::string vlq(1, static_cast<char>(delta & 0x7F));
        while ((delta >>= 7) != 0)
            vlq.insert(vlq.begin(), static_cast<char>(0x80 | (delta & 0x7F)));
        track += vlq + e.bytes;
    }
    track += std::string("\x00\xFF\x2F\x00", 4);
    const auto be = [](uint32_t v, int bytes) {
        std::string out;
        for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
            out += static_cast<char>((v >> shift) & 0xFF);
        return out;
    };
    std::string file
        = "MThd" + be(6, 4) + be(static_cast<uint32_t>(format), 2) + be(static_cast<uint32_t>(tracks), 2) + be(480, 2);
    for (int t = 0; t < tracks; ++t)
        file += "MTrk" + be(static_cast<uint32_t>(track.size()), 4) + track;
    return file;
}

TEST(Import, midiNotesAreQuantisedToTheValuesTheStaffWrites)
{
    struct Case {
        const char* name;
        std::string file;
        int part;
        std::vector<ImportedNote> notes;
        const char* losses;
    } const cases[] = {
        { "lengths near a value take it; halfway takes the shorter",
            midi({ { 0, 60, 470 }, { 470, 62, 490 }, { 490, 64, 720 }, { 720, 65, 600 }, { 600, 67, 29 },
                { 29, 69, 5 } }),
            0, { note(60, 2), note(62, 2), note(64, 2, true), note(65, 2), note(67, 6), note(69, 6) }, "" },
        { "silences become rests", midi({ { 490, 60, 480 }, { 1440, 62, 240 }, { 1200, 64, 960 } }), 0,
            { rest(2), note(60, 2), rest(1), note(62, 3), rest(1), note(64, 1) }, "" },
        { "overlapping notes keep the highest",
            midi({ { 0, 60, 480 }, { 0, 67, 480 }, { 240, 55, 480 }, { 240, 72, 480 }, { 480, 74, 480 } }), 0,
            { note(67, 2), note(72, 2), note(74, 2) }, "2 note sovrapposte a una più alta tralasciate" },
        { "each channel is a part of its own", midi({ { 0, 60, 480 }, { 0, 105, 960 } }), 1, { note(65, 1) }, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportOutcome outcome = readMidiFile(c.file, c.part);
        ASSERT_TRUE(outcome.piece) << outcome.text.render();
        EXPECT_EQ(outcome.piece->notes, c.notes);
        EXPECT_EQ(lossesText(outcome.piece->losses).render(), c.losses);
    }
    const ImportOutcome channels = readMidiFile(midi({ { 0, 60, 480 }, { 0, 105, 960 } }, 1, 2));
    ASSERT_TRUE(channels.piece);
    std::string names;
    for (const Text& name : channels.piece->parts)
        names += name.render() + "|";
    EXPECT_EQ(names, "Traccia 1, canale 1|Traccia 1, canale 2|Traccia 2, canale 1|Traccia 2, canale 2|");
}

TEST(Import, lossesAreOneSentence)
{
    ImportLosses losses;
    losses.chordsReduced = 3;
    losses.tripletsApproximated = 2;
    EXPECT_EQ(lossesText(losses).render(), "3 accordi ridotti alla nota più alta; 2 terzine approssimate");
    losses = { 1, 1, 1, 0, 1, true };
    EXPECT_EQ(lossesText(losses).render(),
        "1 accordo ridotto alla nota più alta; 1 terzina approssimata; 1 gruppo irregolare approssimato; "
        "1 nota sovrapposta a una più alta tralasciata; le note dopo le prime 20000 lasciate fuori");
}

TEST(Import, badInputIsRefusedInWords)
{
    const std::string goodMidi = midi({ { 0, 60, 480 } });
    struct Case {
        const char* name;
        std::string bytes;
        const char* why;
    } const cases[] = {
        { "not XML", "\x01\x02 hello", "non è una partitura MusicXML" },
        { "another schema", "<html><body/></html>", "non è una partitura MusicXML" },
        { "truncated score", score(n("C", 1, "quarter")).substr(0, 150),
            "il file MusicXML è danneggiato o incompleto (riga 1)" },
        { "no parts", "<score-partwise><part-list/></score-partwise>", "non contiene parti da importare" },
        { "a part with no notes", score("<measure/>"), "la parte scelta non contiene note" },
        { "truncated MIDI", goodMidi.substr(0, goodMidi.size() - 6), "il file MIDI è danneggiato o incompleto" },
        { "zero tracks", midi({ { 0, 60, 480 } }, 1, 0).substr(0, 14), "il file MIDI non contiene tracce" },
        { "format 2", midi({ { 0, 60, 480 } }, 2),
            "il file MIDI è di formato 2 (sequenze indipendenti), che non si importa" },
        { "no notes", midi({}), "il file MIDI non contiene note" },
        { "time in frames", midi({ { 0, 60, 480 } }).replace(12, 2, "\xE7\x28"),
            "il file MIDI conta il tempo in fotogrammi, non in battiti" },
        { "a track that runs out before its end marker",
            midi({ { 0, 60, 480 } }).substr(0, 18) + std::string("\0\0\0\x04\0\x90\x3C\x64", 8),
            "il file MIDI è danneggiato o incompleto" },
        { "a broken archive", std::string("PK\x03\x04 nothing more", 17),
            "non è una partitura MusicXML compressa leggibile" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportOutcome outcome = c.bytes.starts_with("MThd") ? readMidiFile(c.bytes)
            : c.bytes.starts_with("PK")                           ? readCompressedMusicXml(c.bytes)
                                                                  : readMusicXml(c.bytes);
        EXPECT_EQ(outcome.result, ImportResult::Refused);
        EXPECT_FALSE(outcome.piece);
        EXPECT_EQ(outcome.text.render(), c.why);
    }
    EXPECT_EQ(readMidiFile(goodMidi, 1).text.render(), "la parte 2 non c'è: il file ne ha 1");
}

TEST(Import, filesAreRefusedWithTheirNameBeforeTheyAreReadWhole)
{
    const TemporaryFolder folder;
    const auto told = [](const std::filesystem::path& path) { return importFile(path).text.render(); };
    EXPECT_EQ(told(folder.path()),
        "Il file \"" + folder.path().filename().string()
            + "\" non si è potuto importare: è una cartella. Non è cambiato nulla.");
    EXPECT_EQ(told(folder.path() / "manca.mid"),
        "Il file \"manca.mid\" non si è potuto importare: il file o la cartella non esiste. Non è cambiato nulla.");
    // A gigabyte that takes no room: refused from its size alone.
    const auto huge = folder.path() / "enorme.musicxml";
    writeBytes(huge, "<score-partwise>");
    ASSERT_EQ(::truncate(huge.c_str(), 1LL << 30), 0);
    EXPECT_EQ(told(huge),
        "Il file \"enorme.musicxml\" non si è potuto importare: il file è troppo grande (più di 32 MB). Non è cambiato "
        "nulla.");
    writeBytes(folder.path() / "brano.mid", midi({ { 0, 60, 480 } }));
    EXPECT_EQ(importFile(folder.path() / "brano.mid").piece->notes, std::vector { note(60, 2) });
}

} // namespace
} // namespace zintaro::storage
