#include "core/written_piece.h"
#include "support/piece_entries.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zintaro {

void PrintTo(const Measure& m, std::ostream* os)
{
    *os << "[" << m.first << "," << m.end << (m.closed ? " closed" : " open") << (m.red ? " red]" : "]");
}

namespace {

using testing::dottedAt;
using testing::notesOf;
using testing::storeOf;

TEST(Measures, areClosedWhenTheyFillTheMeter)
{
    const struct {
        const char* what;
        Meter meter;
        std::vector<Entry> entries;
        std::vector<Measure> measures;
    } cases[] = {
        { "four quarters", {}, notesOf({ 2, 2, 2, 2 }), { { 0, 4, true, false } } },
        { "an overfull measure turns every later bar red", {}, notesOf({ 1, 2, 1, 2, 2, 2, 2 }),
            { { 0, 3, true, true }, { 3, 7, true, true } } },
        { "eight eighths then a whole", {}, notesOf({ 3, 3, 3, 3, 3, 3, 3, 3, 0 }),
            { { 0, 8, true, false }, { 8, 9, true, false } } },
        { "a last measure not filled stays open", {}, notesOf({ 0, 2, 3 }),
            { { 0, 1, true, false }, { 1, 3, false, false } } },
        { "nothing", {}, {}, {} },
        { "2/4 closes on each half", { 2, 4 }, notesOf({ 1, 2, 2, 2 }),
            { { 0, 1, true, false }, { 1, 3, true, false }, { 3, 4, false, false } } },
        { "3/4", { 3, 4 }, notesOf({ 1, 2, 2, 2, 2 }), { { 0, 2, true, false }, { 2, 5, true, false } } },
        { "2/2 as 4/4", { 2, 2 }, notesOf({ 1, 1 }), { { 0, 2, true, false } } },
        { "3/8", { 3, 8 }, notesOf({ 3, 3, 3, 2, 3 }), { { 0, 3, true, false }, { 3, 5, true, false } } },
        { "a half in 3/8 overflows", { 3, 8 }, notesOf({ 1, 3, 3, 3 }),
            { { 0, 1, true, true }, { 1, 4, true, true } } },
        { "6/8", { 6, 8 }, notesOf({ 2, 3, 2, 3 }), { { 0, 4, true, false } } },
        { "9/8", { 9, 8 }, notesOf({ 1, 3, 2, 3, 3 }), { { 0, 5, true, false } } },
        { "12/8", { 12, 8 }, notesOf({ 0, 2, 2, 3 }), { { 0, 3, true, false }, { 3, 4, false, false } } },
        { "dotted values last half again", { 3, 4 }, dottedAt(notesOf({ 1, 2, 2, 2, 2 }), { 0, 1, 2, 4 }),
            { { 0, 1, true, false }, { 1, 3, true, false }, { 3, 5, false, false } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(measuresOf(storeOf(c.entries), static_cast<int>(c.entries.size()), c.meter), c.measures);
    }
}

// Entries are quarters of piano keys (−1 a rest): 7 C4, 12 F4, 13 F#4,
// 17 A#4/Bb4, 18 B4, 19 C5, 20 C#5.
std::vector<Entry> quarters(std::initializer_list<int> keys)
{
    std::vector<Entry> entries;
    for (const int key : keys)
        entries.push_back({ key < 0 ? True16 : False16, static_cast<int16_t>(key < 0 ? 0 : key), 2 });
    return entries;
}

// "F#4 #" is the note and the sign printed; "F4 n" a natural sign.
std::string written(const std::vector<WrittenNote>& notes)
{
    std::string text;
    for (const WrittenNote& n : notes) {
        text += text.empty() ? "" : " ";
        text += spelledText(n.spelling);
        if (n.printed)
            text += *n.printed == Accidental::Sharp ? "#" : *n.printed == Accidental::Flat ? "b" : "n";
    }
    return text;
}

TEST(WrittenPiece, signsShowWhereTheLineReadsOtherwiseAndHoldToTheBar)
{
    const struct {
        const char* what;
        const char* key;
        Meter meter;
        std::vector<Entry> entries;
        const char* expected;
    } cases[] = {
        { "C: a sharp, its natural, the sharp again, then held", "C", {}, quarters({ 13, 12, 13, 13 }),
            "F#4# F4n F#4# F#4" },
        { "C: naturals alone show nothing", "C", {}, quarters({ 12, 14, 12, 14 }), "F4 G4 F4 G4" },
        { "C: each line keeps its own sharp", "C", {}, quarters({ 13, 15, 12, 15 }), "F#4# G#4# F4n G#4" },
        { "C: a rest changes nothing", "C", {}, quarters({ 13, -1, 13, 12 }), "F#4# C4 F#4 F4n" },
        { "C: the next measure starts afresh", "C", {}, quarters({ 13, 13, 13, 13, 13, 12, 12, 12 }),
            "F#4# F#4 F#4 F#4 F#4# F4n F4 F4" },
        { "C: another octave keeps its own reading", "C", {}, quarters({ 13, 25, 25, 1 }), "F#4# F#5# F#5 F#3#" },
        { "D: the key's sharps need no sign", "D", {}, quarters({ 13, 20, 7, 13 }), "F#4 C#5 C4n F#4" },
        { "D: a natural holds, the sharp comes back with its sign", "D", {}, quarters({ 12, 12, 13, 12 }),
            "F4n F4 F#4# F4n" },
        { "F: B flat is the key's, B natural is signed", "F", {}, quarters({ 17, 18, 17, 17 }), "Bb4 B4n Bb4b Bb4" },
        { "F: a black key off the key reads flat", "F", {}, quarters({ 13, 13 }), "Gb4b Gb4" },
        { "E: A sharp", "E", {}, quarters({ 17, 16 }), "A#4# A4n" },
        { "C# major: white keys of the key need nothing", "C#", {}, quarters({ 12, 7, 14 }), "E#4 B#3 G4n" },
        { "3/4 bars restore the signature sooner", "D", { 3, 4 }, quarters({ 12, 12, 12, 12 }), "F4n F4 F4 F4n" },
        { "3/8 with quarters: the bar falls inside", "C", { 3, 8 }, quarters({ 13, 13, 13 }), "F#4# F#4 F#4#" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto key = parseKey(c.key);
        ASSERT_TRUE(key.has_value());
        const auto notes = writeOut(storeOf(c.entries), static_cast<int>(c.entries.size()), *key, c.meter);
        EXPECT_EQ(written(notes), c.expected);
    }
}

TEST(WrittenPiece, aSingleKeyShowsTheSignOnlyWhereTheSignatureLacksIt)
{
    EXPECT_EQ(written({ writtenKey(13, Key {}) }), "F#4#");
    EXPECT_EQ(written({ writtenKey(13, Key { 2 }) }), "F#4");
    EXPECT_EQ(written({ writtenKey(12, Key { 2 }) }), "F4n");
    EXPECT_EQ(written({ writtenKey(17, Key { -1 }) }), "Bb4");
    EXPECT_EQ(written({ writtenKey(18, Key { -1 }) }), "B4n");
}

} // namespace
} // namespace zintaro
