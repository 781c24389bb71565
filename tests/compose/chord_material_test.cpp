#include "compose/chord_material.h"
#include "support/spelled_texts.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace zintaro::compose {
namespace {

Interval interval(const char* lower, const char* upper)
{
    return { *parseSpelled(lower), *parseSpelled(upper), true };
}

TEST(Intervals, areNamedByTheirLettersAndSize)
{
    const struct {
        const char* lower;
        const char* upper;
        const char* name;
    } cases[] = {
        { "C4", "E4", "Terza maggiore Do4–Mi4" },
        { "C4", "Eb4", "Terza minore Do4–Mi bemolle 4" },
        { "D4", "F4", "Terza minore Re4–Fa4" },
        { "F4", "B4", "Quarta eccedente Fa4–Si4" },
        { "B3", "F4", "Quinta diminuita Si3–Fa4" },
        { "E4", "F4", "Seconda minore Mi4–Fa4" },
        { "C4", "D#4", "Seconda eccedente Do4–Re diesis 4" },
        { "A3", "F#4", "Sesta maggiore La3–Fa diesis 4" },
        { "G4", "F5", "Settima minore Sol4–Fa5" },
        { "C4", "C5", "Ottava giusta Do4–Do5" },
        { "G4", "D5", "Quinta giusta Sol4–Re5" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(intervalName(interval(c.lower, c.upper), NoteNaming::Solfege).render(), c.name);
    EXPECT_EQ(intervalName(interval("C4", "E4"), NoteNaming::Letters).render(), "Terza maggiore C4–E4");
}

TEST(Triads, areNamedByRootQualityAndInversionAndOtherNotesByTheirNames)
{
    const struct {
        const char* notes;
        const char* name;
    } cases[] = {
        { "C4+E4+G4", "Do maggiore Do4–Mi4–Sol4" },
        { "F#4+A4+D5", "Re maggiore primo rivolto Fa diesis 4–La4–Re5" },
        { "E4+A4+C5", "La minore secondo rivolto Mi4–La4–Do5" },
        { "B3+D4+F4", "Si diminuito Si3–Re4–Fa4" },
        { "Eb4+G4+B4", "Mi bemolle aumentato Mi bemolle 4–Sol4–Si4" },
        { "D4+G4+B4", "Sol maggiore secondo rivolto Re4–Sol4–Si4" },
        { "C4+D4+G4", "Do4–Re4–Sol4" }, // no triad
        { "C4+E4+G#4", "Do aumentato Do4–Mi4–Sol diesis 4" },
        { "D4+F#4", "Terza maggiore Re4–Fa diesis 4" },
        { "Bb3", "Si bemolle 3" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(shownName(testing::spelledList(c.notes), NoteNaming::Solfege).render(), c.name) << c.notes;
    EXPECT_EQ(
        shownName(testing::spelledList("A3+C4+F4"), NoteNaming::Letters).render(), "F maggiore primo rivolto A3–C4–F4");
}

TEST(Intervals, drawnOnesStayInTheRangeAndTheKeyAndCoverEveryNumber)
{
    for (const std::optional<Key> key : { std::optional<Key> {}, std::optional<Key> { Key { 2 } } }) {
        std::set<int> numbers;
        for (uint32_t seed = 0; seed < 400; ++seed) {
            const auto drawn = drawInterval({ 57, 76, key, seed }, seed % 2 == 0);
            ASSERT_TRUE(drawn.has_value());
            const int low = midiNoteOf(drawn->lower), high = midiNoteOf(drawn->upper);
            EXPECT_GE(low, 57);
            EXPECT_LE(high, 76);
            EXPECT_LT(low, high);
            EXPECT_LE(high - low, 12);
            EXPECT_EQ(drawn->harmonic, seed % 2 == 0);
            numbers.insert(intervalNumber(*drawn));
            if (key) {
                EXPECT_EQ(drawn->lower, spellInKey(low, *key));
                EXPECT_EQ(signatureAccidental(*key, drawn->upper.letter), drawn->upper.accidental);
            }
        }
        EXPECT_EQ(numbers, (std::set<int> { 2, 3, 4, 5, 6, 7, 8 }));
    }
    EXPECT_FALSE(drawInterval({ 60, 60, std::nullopt, 1 }, true).has_value());
}

TEST(Triads, drawnOnesHaveTheirQualityAndInversionInTheRangeAndTheKey)
{
    // Semitones from the bass to each upper note, by quality and inversion.
    const int shapes[4][3][2] = {
        { { 4, 7 }, { 3, 8 }, { 5, 9 } },
        { { 3, 7 }, { 4, 9 }, { 5, 8 } },
        { { 3, 6 }, { 3, 9 }, { 6, 9 } },
        { { 4, 8 }, { 4, 8 }, { 4, 8 } },
    };
    std::set<std::pair<int, int>> seen;
    for (uint32_t seed = 0; seed < 600; ++seed) {
        const std::optional<Key> key = seed % 2 == 0 ? std::nullopt : std::optional<Key> { Key { -3 } };
        const auto triad = drawTriad({ 55, 79, key, seed });
        ASSERT_TRUE(triad.has_value());
        ASSERT_EQ(triad->notes.size(), 3u);
        const int bass = midiNoteOf(triad->notes[0]);
        const auto q = static_cast<size_t>(triad->quality);
        const auto inv = static_cast<size_t>(triad->inversion);
        EXPECT_EQ(midiNoteOf(triad->notes[1]) - bass, shapes[q][inv][0]) << seed;
        EXPECT_EQ(midiNoteOf(triad->notes[2]) - bass, shapes[q][inv][1]) << seed;
        for (const SpelledNote& n : triad->notes) {
            EXPECT_GE(midiNoteOf(n), 55);
            EXPECT_LE(midiNoteOf(n), 79);
            if (key) {
                EXPECT_EQ(signatureAccidental(*key, n.letter), n.accidental) << seed;
            }
        }
        if (key) {
            EXPECT_NE(triad->quality, TriadQuality::Augmented) << "no augmented triad in a major key";
        }
        EXPECT_EQ(triadOf(triad->notes), triad) << "read back from its notes, as the summary names it";
        seen.insert({ static_cast<int>(q), triad->inversion });
    }
    EXPECT_EQ(seen.size(), 12u) << "every quality and inversion comes";
}

TEST(ChordAnswers, areJudgedOnTheNotesStruckTogether)
{
    const std::vector<int> cMajor = { 60, 64, 67 };
    using S = KeyStroke;
    const struct {
        const char* what;
        ChordInput input;
        std::vector<KeyStroke> strokes;
        int64_t now;
        bool complete, right;
        std::vector<int> wrong, missing;
    } cases[] = {
        { "MIDI: all within 150 ms", ChordInput::MidiKeyboard, { S { 60, 0, {} }, S { 64, 40, {} }, S { 67, 150, {} } },
            150, true, true, {}, {} },
        { "MIDI: the last too late", ChordInput::MidiKeyboard, { S { 60, 0, {} }, S { 64, 40, {} }, S { 67, 151, {} } },
            400, true, false, {}, { 67 } },
        { "MIDI: still waiting", ChordInput::MidiKeyboard, { S { 60, 0, {} }, S { 64, 40, {} } }, 100, false, false, {},
            {} },
        { "MIDI: another octave is wrong", ChordInput::MidiKeyboard,
            { S { 60, 0, {} }, S { 76, 10, {} }, S { 67, 20, {} } }, 20, true, false, { 76 }, { 64 } },
        { "keys: one after the other within 2 s", ChordInput::ComputerKeys,
            { S { 60, 0, 300 }, S { 64, 900, 1200 }, S { 67, 1900, 2100 } }, 1900, true, true, {}, {} },
        { "keys: held together, however slowly", ChordInput::ComputerKeys,
            { S { 60, 0, {} }, S { 64, 1500, {} }, S { 67, 3500, {} } }, 3500, true, true, {}, {} },
        { "keys: a late note after letting go", ChordInput::ComputerKeys,
            { S { 60, 0, 500 }, S { 64, 900, 1000 }, S { 67, 2500, {} } }, 2600, true, false, {}, { 67 } },
        { "keys: a key still held keeps the answer open", ChordInput::ComputerKeys,
            { S { 60, 0, {} }, S { 64, 900, {} } }, 2600, false, false, {}, {} },
        { "keys: a wrong note", ChordInput::ComputerKeys, { S { 60, 0, {} }, S { 65, 100, {} }, S { 67, 200, {} } },
            200, true, false, { 65 }, { 64 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ChordAnswer a = judgeChord(cMajor, c.strokes, c.input, c.now);
        EXPECT_EQ(a.complete, c.complete);
        EXPECT_EQ(a.right, c.right);
        EXPECT_EQ(a.wrong, c.wrong);
        EXPECT_EQ(a.missing, c.missing);
    }
    EXPECT_FALSE(judgeChord(cMajor, {}, ChordInput::MidiKeyboard, 10'000).complete);
}

} // namespace
} // namespace zintaro::compose
