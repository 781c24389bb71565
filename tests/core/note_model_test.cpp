#include "core/modulo1.h"

#include <gtest/gtest.h>

namespace zintaro {
namespace {

TEST(NoteModel, everyPianoKeyHasTheStepAndNameOfItsNatural)
{
    struct Row {
        int note;
        int step;
        const char* written;
        const char* spoken;
        const char* letter; // "C D E": the label's letter, and the English voice's words
        const char* spokenLetter;
    };
    const Row rows[] = {
        { 0, 0, "FA", "Fa", "F", "F" },
        { 1, 0, "FA", "Fa", "F", "F sharp" },
        { 2, 1, "SOL", "Sol", "G", "G" },
        { 3, 1, "SOL", "Sol", "G", "G sharp" },
        { 4, 2, "LA", "La", "A", "A" },
        { 5, 2, "LA", "La", "A", "A sharp" },
        { 6, 3, "SI", "Si", "B", "B" },
        { 7, 4, "DO", "Do", "C", "C" },
        { 8, 4, "DO", "Do", "C", "C sharp" },
        { 9, 5, "RE", "Re", "D", "D" },
        { 10, 5, "RE", "Re", "D", "D sharp" },
        { 11, 6, "MI", "Mi", "E", "E" },
        { 12, 7, "FA", "Fa", "F", "F" },
        { 13, 7, "FA", "Fa", "F", "F sharp" },
        { 14, 8, "SOL", "Sol", "G", "G" },
        { 15, 8, "SOL", "Sol", "G", "G sharp" },
        { 16, 9, "LA", "La", "A", "A" },
        { 17, 9, "LA", "La", "A", "A sharp" },
        { 18, 10, "SI", "Si", "B", "B" },
        { 19, 11, "DO", "Do", "C", "C" },
        { 20, 11, "DO", "Do", "C", "C sharp" },
        { 21, 12, "RE", "Re", "D", "D" },
        { 22, 12, "RE", "Re", "D", "D sharp" },
        { 23, 13, "MI", "Mi", "E", "E" },
        { 24, 14, "FA", "Fa", "F", "F" },
        { 25, 14, "FA", "Fa", "F", "F sharp" },
        { 26, 15, "SOL", "Sol", "G", "G" },
        { 27, 15, "SOL", "Sol", "G", "G sharp" },
        { 28, 16, "LA", "La", "A", "A" },
        { 29, 16, "LA", "La", "A", "A sharp" },
        { 30, 17, "SI", "Si", "B", "B" },
        { 31, 18, "DO", "Do", "C", "C" },
        { 32, 18, "DO", "Do", "C", "C sharp" },
        { 33, 19, "RE", "Re", "D", "D" },
        { 34, 19, "RE", "Re", "D", "D sharp" },
        { 35, 20, "MI", "Mi", "E", "E" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.note);
        EXPECT_EQ(scaleStep(r.note), r.step);
        EXPECT_EQ(staffStepOf(r.note), r.step - 4);
        EXPECT_EQ(writtenName(r.note), r.written);
        EXPECT_EQ(spokenName(r.note), r.spoken);
        EXPECT_EQ(writtenName(r.note, NoteNaming::Solfege), r.written);
        EXPECT_EQ(spokenName(r.note, NoteNaming::Solfege), r.spoken);
        EXPECT_EQ(writtenName(r.note, NoteNaming::Letters), r.letter);
        EXPECT_EQ(spokenName(r.note, NoteNaming::Letters), r.spokenLetter);
    }
}

TEST(NoteModel, indicesOutsideThePianoHaveStepZeroAndNoName)
{
    for (int note : { -1, 36, 111, -32768 }) {
        SCOPED_TRACE(note);
        EXPECT_EQ(scaleStep(note), 0);
        EXPECT_EQ(staffStepOf(note), -4);
        EXPECT_EQ(writtenName(note), "");
        EXPECT_EQ(spokenName(note), "");
        EXPECT_EQ(writtenName(note, NoteNaming::Letters), "");
        EXPECT_EQ(spokenName(note, NoteNaming::Letters), "");
    }
}

TEST(NoteModel, stepToNoteIsTheNaturalOnEveryStepAndInvertsScaleStep)
{
    for (int step = 0; step <= 20; ++step) {
        const int note = stepToNote(step);
        EXPECT_FALSE(isSharp(static_cast<int16_t>(note))) << step;
        EXPECT_EQ(scaleStep(note), step);
    }
    EXPECT_EQ(stepToNote(4), 7); // C4
    EXPECT_EQ(stepToNote(18), 31); // C6
    EXPECT_EQ(stepToNote(-1), 0);
    EXPECT_EQ(stepToNote(21), 0);
}

TEST(NoteModel, theBlackKeysAreTheSharps)
{
    std::vector<int> sharps;
    for (int16_t i = 0; i < 36; ++i)
        if (isSharp(i))
            sharps.push_back(i);
    EXPECT_EQ(sharps, (std::vector<int> { 1, 3, 5, 8, 10, 13, 15, 17, 20, 22, 25, 27, 29, 32, 34 }));
}

TEST(TempoDurations, areRoundedDownNotToNearest)
{
    EXPECT_EQ(tempoDurationsFor(100), (std::array<double, 4> { 3000, 1500, 750, 375 }));
    EXPECT_EQ(tempoDurationsFor(41), (std::array<double, 4> { 1230, 615, 307, 153 }));
    EXPECT_EQ(tempoDurationsFor(210), (std::array<double, 4> { 6300, 3150, 1575, 787 }));
    EXPECT_EQ(tempoDurationsFor(40), (std::array<double, 4> { 1200, 600, 300, 150 }));
}

TEST(CompositionStore, startsAndClearsToTheEmptyState)
{
    Modulo1 m;
    EXPECT_EQ(m.NoteCount, 0);
    EXPECT_EQ(m.Composition.at(0), (Entry { -1, 0, 0 }));
    m.Composition.set(5, EndEntry);
    m.Composition.set(1000, Entry { 0, 35, 6 });
    m.Composition.clear();
    EXPECT_EQ(m.Composition.at(0), (Entry { -1, 0, 0 }));
    for (int i = 1; i < StorePositions; ++i)
        ASSERT_EQ(m.Composition.at(i), (Entry { 0, 0, 0 })) << i;
}

} // namespace
} // namespace zintaro
