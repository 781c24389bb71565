#include "core/key_meter.h"

#include <gtest/gtest.h>
#include <string>

namespace zintaro {
namespace {

std::string lettersOf(Key key)
{
    std::string text;
    for (const Letter letter : signatureLetters(key))
        text += "CDEFGAB"[static_cast<int>(letter)];
    return text;
}

TEST(Keys, eachSignatureHasItsTonicsLettersAndScale)
{
    const struct {
        int fifths;
        const char* major;
        const char* minor;
        const char* letters;
        const char* scale; // the major scale from its tonic, octave 4 upward
    } cases[] = {
        { 0, "C", "Am", "", "C D E F G A B" },
        { 1, "G", "Em", "F", "G A B C D E F#" },
        { 2, "D", "Bm", "FC", "D E F# G A B C#" },
        { 3, "A", "F#m", "FCG", "A B C# D E F# G#" },
        { 4, "E", "C#m", "FCGD", "E F# G# A B C# D#" },
        { 5, "B", "G#m", "FCGDA", "B C# D# E F# G# A#" },
        { 6, "F#", "D#m", "FCGDAE", "F# G# A# B C# D# E#" },
        { 7, "C#", "A#m", "FCGDAEB", "C# D# E# F# G# A# B#" },
        { -1, "F", "Dm", "B", "F G A Bb C D E" },
        { -2, "Bb", "Gm", "BE", "Bb C D Eb F G A" },
        { -3, "Eb", "Cm", "BEA", "Eb F G Ab Bb C D" },
        { -4, "Ab", "Fm", "BEAD", "Ab Bb C Db Eb F G" },
        { -5, "Db", "Bbm", "BEADG", "Db Eb F Gb Ab Bb C" },
        { -6, "Gb", "Ebm", "BEADGC", "Gb Ab Bb Cb Db Eb F" },
        { -7, "Cb", "Abm", "BEADGCF", "Cb Db Eb Fb Gb Ab Bb" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.major);
        const Key major { c.fifths, KeyMode::Major };
        const Key minor { c.fifths, KeyMode::Minor };
        EXPECT_EQ(keyText(major), c.major);
        EXPECT_EQ(keyText(minor), c.minor);
        EXPECT_EQ(parseKey(c.major), major);
        EXPECT_EQ(parseKey(c.minor), minor);
        EXPECT_EQ(lettersOf(major), c.letters);
        EXPECT_EQ(lettersOf(minor), c.letters);

        // The scale spelled in its key climbs a letter a step and names each note of the key once.
        const SpelledNote tonic = tonicOf(major, 4);
        const auto classes = scalePitchClasses(major);
        std::string scale;
        int midi = midiNoteOf(tonic);
        for (size_t i = 0; i < classes.size(); ++i) {
            while ((midi % 12 + 12) % 12 != classes[i])
                ++midi;
            std::string text = spelledText(spellInKey(midi, major));
            text.erase(text.find_first_of("-0123456789"));
            scale += (i == 0 ? "" : " ") + text;
        }
        EXPECT_EQ(scale, c.scale);
        EXPECT_EQ(spellInKey(midiNoteOf(tonic), major), tonic);
        // The minor reads the same notes from its sixth degree.
        EXPECT_EQ(tonicOf(minor, 4).letter, static_cast<Letter>((static_cast<int>(tonic.letter) + 5) % 7));
    }
    for (const char* text : { "", "H", "c", "Cm#", "E#", "Fb", "Gbm", "C ", "Dbm" })
        EXPECT_FALSE(parseKey(text).has_value()) << text;
    EXPECT_FALSE(isValidKey({ 8, KeyMode::Major }));
    EXPECT_FALSE(isValidKey({ -8, KeyMode::Minor }));
}

TEST(Keys, notesOutsideTheKeyAreWhiteNaturalsOrTheKeysSideOfTheBlackKey)
{
    const struct {
        const char* key;
        int midi;
        const char* written;
    } cases[] = {
        { "C", 66, "F#4" }, // a black key in C reads as a sharp
        { "F", 70, "Bb4" }, // in F as the key's flat
        { "E", 70, "A#4" }, // in E as a sharp, the key's side
        { "F", 66, "Gb4" }, // outside F on the flat side
        { "D", 65, "F4" }, // a white key outside D is its natural
        { "D", 63, "D#4" },
        { "C#", 65, "E#4" }, // a white key of the key in its own spelling
        { "C#", 60, "B#3" }, // even across the octave
        { "Cb", 71, "Cb5" },
        { "Cb", 64, "Fb4" },
        { "Gb", 71, "Cb5" },
        { "Gb", 72, "C5" },
        { "Bbm", 70, "Bb4" },
        { "Ebm", 59, "Cb4" },
        { "A", 0, "C-1" },
        { "C#", 0, "B#-2" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.midi));
        const auto key = parseKey(c.key);
        ASSERT_TRUE(key.has_value());
        const SpelledNote written = spellInKey(c.midi, *key);
        EXPECT_EQ(spelledText(written), c.written);
        EXPECT_EQ(midiNoteOf(written), c.midi);
    }
}

TEST(Meters, theOfferedMetersAreReadBackAndOthersRefused)
{
    const struct {
        const char* text;
        double length;
        bool compound;
    } cases[] = {
        { "2/4", 0.5, false },
        { "3/4", 0.75, false },
        { "4/4", 1.0, false },
        { "2/2", 1.0, false },
        { "3/8", 0.375, false },
        { "6/8", 0.75, true },
        { "9/8", 1.125, true },
        { "12/8", 1.5, true },
    };
    ASSERT_EQ(offeredMeters().size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto meter = parseMeter(c.text);
        ASSERT_TRUE(meter.has_value());
        EXPECT_EQ(meterText(*meter), c.text);
        EXPECT_TRUE(isOfferedMeter(*meter));
        EXPECT_DOUBLE_EQ(measureLength(*meter), c.length);
        EXPECT_EQ(isCompound(*meter), c.compound);
    }
    for (const char* text : { "", "5/4", "4/3", "4 /4", "04/4", "6/8 " })
        EXPECT_FALSE(parseMeter(text).has_value()) << text;
}

} // namespace
} // namespace zintaro
