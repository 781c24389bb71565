#include "staff/speech.h"
#include "staff/staff.h"
#include "support/recording_speech.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

namespace zintaro::staff {
namespace {

using testing::RecordingSurface;
using Kind = RecordingSurface::Kind;
using Mark = RecordingSurface::Mark;

constexpr bool Solid = true;
constexpr bool Open = false;

Mark ring(float x, float y, float r, bool solid)
{
    return { Kind::Circle, x, y, r, 0, Black, solid };
}
Mark rect(float x1, float y1, float x2, float y2, bool solid)
{
    return { Kind::Rectangle, x1, y1, x2, y2, Black, solid };
}
Mark fill(float x1, float y1, float x2, float y2)
{
    return { Kind::FilledRectangle, x1, y1, x2, y2, Black, false };
}
Mark line(float x1, float y1, float x2, float y2, bool solid)
{
    return { Kind::Line, x1, y1, x2, y2, Black, solid };
}

struct GlyphCase {
    const char* name;
    int16_t duration;
    int16_t isRest;
    int16_t note;
    int16_t column;
    std::vector<Mark> marks;
};

class GlyphTable : public ::testing::TestWithParam<GlyphCase> { };

TEST_P(GlyphTable, drawsTheMarksInOrderAtTheirPixels)
{
    const GlyphCase& c = GetParam();
    RecordingSurface s;
    drawGlyph(Look {}, s, c.duration, c.isRest, c.note, c.column);
    EXPECT_EQ(s.marks, c.marks);
}

// Notes: 11 E4 (step 2), 19 C5 (7), 0 F3 (−4), 35 E6 (16), 6 B3 (−1), 28 A5 (12).
INSTANTIATE_TEST_SUITE_P(Staff, GlyphTable,
    ::testing::Values(
        GlyphCase { "quarterE4", 2, 0, 11, 0, { ring(100, 80, 4, Solid), rect(104, 90, 105, 60, Solid) } },
        GlyphCase { "halfC5StemDown", 1, 0, 19, 3,
            { ring(160, 55, 4, Open), ring(160, 55, 5, Open), rect(155, 65, 156, 95, Open) } },
        GlyphCase { "wholeF3ThreeLedgers", 0, 0, 0, 0,
            { ring(100, 110, 4, Open), ring(100, 110, 5, Open), rect(92, 110, 108, 111, Open),
                rect(92, 100, 108, 101, Open), rect(92, 90, 108, 91, Open) } },
        GlyphCase { "wholeE6LedgersAbove", 0, 0, 35, 0,
            { ring(100, 10, 4, Open), ring(100, 10, 5, Open), rect(92, 29.6f, 108, 30.4f, Open),
                rect(92, 19.6f, 108, 20.4f, Open), rect(92, 9.6f, 108, 10.4f, Open) } },
        GlyphCase { "wholeB3OnlyMiddleC", 0, 0, 6, 0,
            { ring(100, 95, 4, Open), ring(100, 95, 5, Open), rect(92, 90, 108, 91, Open) } },
        GlyphCase { "sixteenthE4FlagsUp", 4, 0, 11, 0,
            { ring(100, 80, 4, Solid), rect(104, 90, 105, 60, Solid), line(104, 60, 112, 68, Solid),
                line(104, 61, 112, 69, Solid), line(104, 62, 112, 70, Solid), line(104, 66, 112, 74, Solid),
                line(104, 67, 112, 75, Solid), line(104, 68, 112, 76, Solid) } },
        GlyphCase { "sixtyFourthA5FlagsDown", 6, 0, 28, 0,
            { ring(100, 30, 4, Solid), rect(92, 29.6f, 108, 30.4f, Solid), rect(95, 40, 96, 70, Solid),
                line(95, 70, 103, 62, Solid), line(95, 71, 103, 63, Solid), line(95, 71, 103, 64, Solid),
                line(95, 64, 103, 56, Solid), line(95, 65, 103, 57, Solid), line(95, 65, 103, 58, Solid),
                line(95, 58, 103, 50, Solid), line(95, 59, 103, 51, Solid), line(95, 59, 103, 52, Solid),
                line(95, 52, 103, 44, Solid), line(95, 53, 103, 45, Solid), line(95, 53, 103, 46, Solid) } },
        GlyphCase { "wholeRest", 0, -1, 11, 2, { fill(135, 60, 145, 65) } },
        GlyphCase { "halfRest", 1, -1, 11, 2, { fill(135, 65, 145, 70) } },
        GlyphCase { "eighthRest", 3, -1, 11, 2,
            { ring(140, 70, 2, Solid), line(145, 70, 141, 82, Solid), line(144, 70, 140, 82, Solid) } },
        GlyphCase { "sixteenthRest", 4, -1, 11, 2,
            { ring(140, 65, 2, Solid), ring(137, 75, 2, Solid), line(145, 65, 139, 85, Solid),
                line(144, 65, 138, 85, Solid) } },
        GlyphCase { "thirtySecondRest", 5, -1, 11, 2,
            { ring(140, 55, 2, Solid), ring(137, 65, 2, Solid), ring(134, 75, 2, Solid), line(145, 55, 136, 85, Solid),
                line(144, 55, 135, 85, Solid) } },
        GlyphCase { "sixtyFourthRest", 6, -1, 11, 2,
            { ring(140, 55, 2, Solid), ring(137, 65, 2, Solid), ring(134, 75, 2, Solid), ring(131, 85, 2, Solid),
                line(145, 55, 133, 95, Solid), line(144, 55, 132, 95, Solid) } },
        GlyphCase { "unknownDurationDrawsNothing", 7, 0, 11, 2, {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Glyphs, wholeNoteAtScaleFiveIsCentredWithSixRingsAndMovesTheLabel)
{
    RecordingSurface s;
    drawWhole(Look { 5, true, NoteNaming::Solfege, {}, {} }, s, 0, 14, 0);
    std::vector<Mark> rings;
    for (float r = 20; r <= 25; ++r)
        rings.push_back(ring(500, 350, r, Open));
    EXPECT_EQ(s.marks, rings);
    EXPECT_EQ(s.staffLabelTop, 335);
}

TEST(Glyphs, sharpsAreDrawnLikeTheirNaturals)
{
    for (int16_t duration = 0; duration <= 6; ++duration) {
        for (int16_t natural : { 0, 7, 21, 33 }) {
            RecordingSurface plain, sharp;
            drawGlyph(Look {}, plain, duration, 0, natural, 4);
            drawGlyph(Look {}, sharp, duration, 0, static_cast<int16_t>(natural + 1), 4);
            EXPECT_EQ(plain.marks, sharp.marks) << "duration " << duration << " note " << natural;
        }
    }
}

TEST(Glyphs, namesAreWrittenOnlyWhileScriviIsOn)
{
    Look look;
    RecordingSurface s;
    EXPECT_EQ(notePosition(look, s, 8), 0);
    EXPECT_EQ(s.nameLabels, "Do diesis");
    EXPECT_EQ(notePosition(look, s, 36), -4);
    EXPECT_EQ(s.nameLabels, "");

    look.writeNames = false;
    s.nameLabels = "RE";
    EXPECT_EQ(notePosition(look, s, 35), 16);
    EXPECT_EQ(s.nameLabels, "RE");
}

TEST(Glyphs, namesSayTheNoteAsItsKeyWritesItWithoutItsOctaveAndAreEmptyOffThePiano)
{
    testing::RecordingSpeech speech;
    for (int16_t note : { 7, 8, 31, 35, 36, -1 })
        speakNoteName(speech, note, NoteNaming::Solfege);
    speakNoteName(speech, 17, NoteNaming::Solfege, Key { -1 });
    speakNoteName(speech, 17, NoteNaming::Letters, Key { 4 });
    EXPECT_EQ(
        speech.said, (std::vector<std::string> { "Do", "Do diesis", "Do", "Mi", "", "", "Si bemolle", "A sharp" }));

    Look look;
    RecordingSurface s;
    notePosition(look, s, 13);
    EXPECT_EQ(s.nameLabels, "Fa diesis");
    look.key = Key { -6 };
    notePosition(look, s, 13);
    EXPECT_EQ(s.nameLabels, "Sol bemolle");
    look.naming = NoteNaming::Letters;
    notePosition(look, s, 18);
    EXPECT_EQ(s.nameLabels, "C\u266D");
}

TEST(Glyphs, aNoteIsWrittenWithTheSignBeforeItsHeadAtEveryScale)
{
    for (const int scale : { 1, 5 }) {
        RecordingSurface s;
        const Look look { scale, true, NoteNaming::Solfege, {}, {} };
        drawSignBefore(look, s, std::nullopt, 13, 3);
        drawSignBefore(look, s, Accidental::Sharp, 36, 3);
        EXPECT_TRUE(s.marks.empty());
        drawSignBefore(look, s, Accidental::Natural, 12, 3);
        ASSERT_EQ(s.marks.size(), 1u);
        const auto& sign = s.marks[0];
        EXPECT_EQ(sign.kind, RecordingSurface::Kind::Natural);
        // Left of the head's ring in column 3, clear of the head of column 2.
        EXPECT_LT(sign.x2, static_cast<float>((160 - 5) * scale));
        EXPECT_GT(sign.x1, static_cast<float>((140 + 4) * scale));
        const float y = static_cast<float>((90 - 5 * staffStepOf(12)) * scale);
        EXPECT_LT(sign.y1, y);
        EXPECT_GT(sign.y2, y);
    }
}

TEST(Glyphs, staffLinesFollowTheScaleAndEveryRestImageIsHidden)
{
    struct Layout {
        int16_t scale;
        std::array<int, 5> lineY;
        int barTop, barBottom;
    };
    for (const Layout& l :
        { Layout { 1, { 40, 50, 60, 70, 80 }, 40, 80 }, Layout { 5, { 200, 250, 300, 350, 400 }, 200, 400 } }) {
        const Look look { l.scale, true, NoteNaming::Solfege, {}, {} };
        RecordingSurface s;
        s.restVisible.fill(true);
        s.marks.push_back(ring(1, 1, 1, Open));
        drawStaff(look, s);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(s.staffLines[i].y1, l.lineY[i]);
            EXPECT_EQ(s.staffLines[i].y2, l.lineY[i]);
            EXPECT_EQ(s.staffLines[i].thickness, l.scale);
        }
        for (int bar : { 5, 6 }) {
            EXPECT_EQ(s.staffLines[bar].y1, l.barTop);
            EXPECT_EQ(s.staffLines[bar].y2, l.barBottom);
            EXPECT_EQ(s.staffLines[bar].thickness, l.scale);
        }
        EXPECT_EQ(s.visibleRestImages(), 0);
        EXPECT_EQ(s.marks.size(), 1u) << "the staff is laid out over what is drawn";
    }
}

// The clef of the look picks the staff a page is drawn on: the bass staff
// stands where the treble one does, its notes twelve steps higher, its
// signature two steps lower; notes below the piano have their steps on it
// alone. The grand staff is the trainer's and pages draw it as the treble.
TEST(Glyphs, theLooksClefPicksTheStaffAndTheStepsOfItsNotes)
{
    struct ClefCase {
        Clef clef;
        ClefSign sign;
        int16_t middleC, lowC, e4; // steps of C4 (key 7), C2 (key −17), E4 (key 11)
        float sharpTop; // of the F sharp of G major's signature
    };
    const RecordingSurface treble = [] {
        RecordingSurface s;
        drawStaff(Look { 1, false, NoteNaming::Solfege, Key { 1 }, {} }, s);
        return s;
    }();
    const float trebleSharpTop = treble.marksOf(Kind::Sharp).at(0).y1;
    for (const ClefCase& c : { ClefCase { Clef::Treble, ClefSign::G, 0, -4, 2, trebleSharpTop },
             ClefCase { Clef::Bass, ClefSign::F, 12, -2, 14, trebleSharpTop + 10 },
             ClefCase { Clef::Grand, ClefSign::G, 0, -4, 2, trebleSharpTop } }) {
        SCOPED_TRACE(static_cast<int>(c.clef));
        const Look look { 1, false, NoteNaming::Solfege, Key { 1 }, {}, c.clef };
        RecordingSurface s;
        drawStaff(look, s);
        EXPECT_EQ(s.clefs[0].sign, c.sign);
        EXPECT_EQ(s.staffLines[4].y1, 80);
        EXPECT_EQ(s.marksOf(Kind::Sharp).at(0).y1, c.sharpTop);
        EXPECT_EQ(writtenStep(look, 7), c.middleC);
        EXPECT_EQ(writtenStep(look, -17), c.lowC);
        EXPECT_EQ(writtenStep(look, 11), c.e4);
    }
}

} // namespace
} // namespace zintaro::staff
