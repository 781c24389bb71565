#include "core/pitch.h"

#include <gtest/gtest.h>

namespace zintaro {
namespace {

struct SpellingCase {
    int midi;
    const char* sharp;
    const char* flat;
    int steps; // of the sharp spelling, from middle C
};

TEST(Pitch, everyNoteOfTwoOctavesHasItsSpellingsAndStaffStep)
{
    const SpellingCase cases[] = {
        { 60, "C4", "C4", 0 },
        { 61, "C#4", "Db4", 0 },
        { 63, "D#4", "Eb4", 1 },
        { 64, "E4", "E4", 2 },
        { 66, "F#4", "Gb4", 3 },
        { 70, "A#4", "Bb4", 5 },
        { 71, "B4", "B4", 6 },
        { 72, "C5", "C5", 7 },
        { 59, "B3", "B3", -1 },
        { 53, "F3", "F3", -4 },
        { 36, "C2", "C2", -14 },
        { 0, "C-1", "C-1", -35 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.midi);
        EXPECT_EQ(spelledText(sharpSpelling(c.midi)), c.sharp);
        EXPECT_EQ(spelledText(flatSpelling(c.midi)), c.flat);
        EXPECT_EQ(stepsFromMiddleC(sharpSpelling(c.midi)), c.steps);
        EXPECT_EQ(midiNoteOf(sharpSpelling(c.midi)), c.midi);
        EXPECT_EQ(midiNoteOf(flatSpelling(c.midi)), c.midi);
        EXPECT_EQ(parseSpelled(c.sharp), sharpSpelling(c.midi));
        EXPECT_EQ(parseSpelled(c.flat), flatSpelling(c.midi));
        EXPECT_EQ(naturalAtStep(c.steps).letter, sharpSpelling(c.midi).letter);
        EXPECT_EQ(naturalAtStep(c.steps).octave, sharpSpelling(c.midi).octave);
    }
}

TEST(Pitch, malformedSpellingsAreRefused)
{
    for (const char* text : { "", "C", "H4", "C#", "Cx4", "C4 ", "c4", "C4.5", "C11", "B-3", "C2147483647" })
        EXPECT_FALSE(parseSpelled(text).has_value()) << text;
}

TEST(Pitch, namesFollowTheChosenNaming)
{
    EXPECT_EQ(noteName(sharpSpelling(64), NoteNaming::Solfege, true), "Mi4");
    EXPECT_EQ(noteName(sharpSpelling(78), NoteNaming::Solfege, true), "Fa diesis 5");
    EXPECT_EQ(noteName(flatSpelling(70), NoteNaming::Solfege, false), "Si bemolle");
    EXPECT_EQ(noteName(sharpSpelling(69), NoteNaming::Letters, true), "A4");
    EXPECT_EQ(noteName(flatSpelling(70), NoteNaming::Letters, false), "B\u266D");
    // Spoken: whole words for each voice, never the signs.
    EXPECT_EQ(spokenNoteName(sharpSpelling(60), NoteNaming::Letters), "C");
    EXPECT_EQ(spokenNoteName(sharpSpelling(66), NoteNaming::Letters), "F sharp");
    EXPECT_EQ(spokenNoteName(flatSpelling(70), NoteNaming::Letters), "B flat");
    EXPECT_EQ(spokenNoteName(sharpSpelling(66), NoteNaming::Solfege), "Fa diesis");
}

TEST(Pitch, pianoKeysAndMidiNotesMapBothWays)
{
    EXPECT_EQ(midiNoteOfKey(7), 60);
    EXPECT_EQ(keyOfMidiNote(60), 7);
    EXPECT_EQ(keyOfMidiNote(52), -1);
    EXPECT_EQ(keyOfMidiNote(89), -1);
    EXPECT_EQ(keyOfMidiNote(88), 35);
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand })
        EXPECT_EQ(clefFromWord(clefWord(clef)), clef);
    EXPECT_FALSE(clefFromWord("alto").has_value());
}

} // namespace
} // namespace zintaro
