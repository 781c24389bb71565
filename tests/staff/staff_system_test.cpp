#include "staff/staff_signs.h"
#include "staff/staff_system.h"
#include "support/recording_surface.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace zintaro::staff {
namespace {

using testing::RecordingSurface;

SpelledNote note(const std::string& text)
{
    const auto parsed = parseSpelled(text);
    EXPECT_TRUE(parsed) << text;
    return parsed.value_or(SpelledNote {});
}

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// The notes written from three ledger lines below a staff to three above,
// one per step from −6 (three ledger lines below the bottom line) to 14.
struct ClefColumn {
    Clef clef;
    const char* notes;
};
constexpr int FirstStep = -6;
// Ledger lines by step, from step −6 on: the same for every staff.
constexpr int LedgersByStep[] = { 3, 2, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 2, 2, 3 };

TEST(StaffPositions, everyNoteOfBothSingleStavesSitsOnItsLineOrSpaceWithItsLedgerLines)
{
    const ClefColumn columns[] = {
        { Clef::Treble, "F3 G3 A3 B3 C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5 A5 B5 C6 D6 E6" },
        { Clef::Bass, "A1 B1 C2 D2 E2 F2 G2 A2 B2 C3 D3 E3 F3 G3 A3 B3 C4 D4 E4 F4 G4" },
    };
    for (const ClefColumn& column : columns) {
        const auto notes = words(column.notes);
        ASSERT_EQ(notes.size(), std::size(LedgersByStep));
        for (std::size_t i = 0; i < notes.size(); ++i) {
            const int step = FirstStep + static_cast<int>(i);
            for (const char* sign : { "", "#", "b" }) {
                std::string text = notes[i];
                text.insert(1, sign);
                SCOPED_TRACE(std::string(clefWord(column.clef)) + " " + text);
                const StaffPosition p = staffPositionOf(note(text), column.clef);
                EXPECT_EQ(p, (StaffPosition { 0, step }));
                EXPECT_EQ(p.ledgerLines(), LedgersByStep[i]);
            }
        }
    }
}

TEST(StaffPositions, theGrandStaffWritesMiddleCAndAboveOnTheUpperStaffAndTheRestOnTheLower)
{
    const struct {
        const char* note;
        StaffPosition position;
        int ledgers;
    } rows[] = {
        { "C6", { 0, 12 }, 2 },
        { "A5", { 0, 10 }, 1 },
        { "C5", { 0, 5 }, 0 },
        { "E4", { 0, 0 }, 0 },
        { "D4", { 0, -1 }, 0 },
        { "C4", { 0, -2 }, 1 }, // middle C on the ledger line below the treble staff
        { "C#4", { 0, -2 }, 1 },
        { "Cb4", { 0, -2 }, 1 }, // written as a C: the upper staff, though it sounds B3
        { "B#3", { 1, 9 }, 0 }, // written as a B: the lower staff, though it sounds C4
        { "B3", { 1, 9 }, 0 },
        { "Bb3", { 1, 9 }, 0 },
        { "A3", { 1, 8 }, 0 },
        { "F3", { 1, 6 }, 0 }, // the bass clef's F line
        { "G2", { 1, 0 }, 0 },
        { "C3", { 1, 3 }, 0 },
        { "E2", { 1, -2 }, 1 },
        { "C2", { 1, -4 }, 2 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note);
        const StaffPosition p = staffPositionOf(note(row.note), Clef::Grand);
        EXPECT_EQ(p, row.position);
        EXPECT_EQ(p.ledgerLines(), row.ledgers);
    }
}

TEST(StaffSystems, bothStavesOfTheGrandStaffAndEveryNoteOfItsWidestRangeFitTheEnlargedSurface)
{
    // The enlarged staff surface is 600 pixels high.
    const StaffSystem grand = staffSystemFor(Clef::Grand, 5);
    ASSERT_EQ(grand.staffCount, 2);
    const int headRadius = 5 * grand.scale;
    EXPECT_GT(grand.yOf(staffPositionOf(note("C6"), Clef::Grand)) - headRadius, 0);
    EXPECT_LT(grand.yOf(staffPositionOf(note("C2"), Clef::Grand)) + headRadius, 600);
    // Each middle C on its own ledger line between the staves, the upper one higher.
    const int upperC = grand.yOf(staffPositionOf(note("C4"), Clef::Grand));
    const int lowerC = grand.yOf(staffPositionOf(note("B#3"), Clef::Grand)) - 5 * grand.scale;
    EXPECT_GT(upperC, grand.bottomLineY[0]);
    EXPECT_LT(lowerC, grand.topLineY(1));
    EXPECT_GT(lowerC, upperC);
    // The upper staff keeps a single staff's top line, so the summary above it keeps its room.
    EXPECT_EQ(grand.topLineY(0), staffSystemFor(Clef::Treble, 5).topLineY(0));

    RecordingSurface s;
    showStaffSystem(s, grand);
    EXPECT_EQ(s.staffLines[5].y1, grand.topLineY(0));
    EXPECT_EQ(s.staffLines[5].y2, grand.bottomLineY[1]) << "the line at the left joins both staves";
    EXPECT_EQ(s.staffLines[LowerStaffFirstLine + 4].y1, grand.bottomLineY[1]);
    EXPECT_EQ(s.clefs[0].sign, ClefSign::G);
    EXPECT_EQ(s.clefs[1].sign, ClefSign::F);
    EXPECT_EQ(s.brace.top, grand.topLineY(0));
    EXPECT_EQ(s.brace.top + s.brace.height - 1, grand.bottomLineY[1]);
    EXPECT_LE(s.brace.left + s.brace.width, s.staffLeft);

    // Back to one staff: the lower staff, its clef and the brace go.
    showStaffSystem(s, staffSystemFor(Clef::Bass, 5));
    EXPECT_EQ(s.staffLines[LowerStaffFirstLine].thickness, 0);
    EXPECT_EQ(s.clefs[0].sign, ClefSign::F);
    EXPECT_EQ(s.clefs[1].width, 0);
    EXPECT_EQ(s.brace.height, 0);
    EXPECT_EQ(s.staffLines[5].y2, 400);
}

TEST(StaffSystems, theBassClefsDotsLieEitherSideOfItsFLine)
{
    RecordingSurface s;
    for (int scale : { 1, 5 }) {
        const StaffSystem bass = staffSystemFor(Clef::Bass, scale);
        showStaffSystem(s, bass);
        const RecordingSurface::PlacedClef& clef = s.clefs[0];
        // The picture's dots are centred at rows 116 and 292 of its 640.
        const double upperDot = clef.top + clef.height * 116.0 / 640;
        const double lowerDot = clef.top + clef.height * 292.0 / 640;
        const int fLine = bass.yOf({ 0, 6 });
        EXPECT_NEAR((upperDot + lowerDot) / 2, fLine, 0.6 * scale) << "scale " << scale;
        EXPECT_LT(upperDot, fLine - 2 * scale);
        EXPECT_GT(lowerDot, fLine + 2 * scale);
    }
}

TEST(ShownNotes, ledgerLinesSignsAndHeadFollowTheNotesPlace)
{
    const StaffSystem bass = staffSystemFor(Clef::Bass, 5);
    const struct {
        const char* note;
        int ledgers;
        RecordingSurface::Kind sign;
    } rows[] = { { "C4", 1, RecordingSurface::Kind::Circle }, { "E2", 1, RecordingSurface::Kind::Circle },
        { "C2", 2, RecordingSurface::Kind::Circle }, { "F#3", 0, RecordingSurface::Kind::Sharp },
        { "Bb1", 2, RecordingSurface::Kind::Flat }, { "Db4", 1, RecordingSurface::Kind::Flat } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note);
        RecordingSurface s;
        const SpelledNote n = note(row.note);
        drawShownNote(s, bass, n, Red, true, NoteNaming::Solfege);
        const int y = bass.yOf(staffPositionOf(n, Clef::Bass));
        const auto rings = s.marksOf(RecordingSurface::Kind::Circle);
        ASSERT_EQ(rings.size(), 6u);
        EXPECT_EQ(rings.front().colour, Red);
        EXPECT_FLOAT_EQ(rings.front().y1, static_cast<float>(y));
        EXPECT_EQ(s.marksOf(RecordingSurface::Kind::FilledRectangle).size(), static_cast<std::size_t>(row.ledgers));
        if (row.sign != RecordingSurface::Kind::Circle) {
            const auto signs = s.marksOf(row.sign);
            ASSERT_EQ(signs.size(), 1u);
            EXPECT_LT(signs[0].x2, bass.noteX - 25) << "the sign stands before the ring";
            EXPECT_LT(signs[0].y1, y);
            EXPECT_GT(signs[0].y2, y) << "the sign spans its note's line or space";
        }
        EXPECT_EQ(s.nameLabels, nameLabelText(n, NoteNaming::Solfege));
        EXPECT_EQ(s.staffLabelTop, y - 15);
    }
    EXPECT_EQ(nameLabelText(note("C4"), NoteNaming::Solfege), "DO");
    EXPECT_EQ(nameLabelText(note("F#3"), NoteNaming::Solfege), "Fa diesis");
    EXPECT_EQ(nameLabelText(note("Bb1"), NoteNaming::Solfege), "Si bemolle");
    EXPECT_EQ(nameLabelText(note("C4"), NoteNaming::Letters), "C");
    EXPECT_EQ(nameLabelText(note("F#3"), NoteNaming::Letters), "F♯");
    EXPECT_EQ(nameLabelText(note("Bb1"), NoteNaming::Letters), "B♭");
}

// The signs follow the staves wherever a page lays them out: a clef on each
// staff over its lines, and for the grand staff a brace from the upper top
// line to the lower bottom line that ends before the staves begin.
TEST(StaffSigns, followTheStavesOfAnyLayout)
{
    StaffSystem moved = staffSystemFor(Clef::Grand, 1);
    moved.staffLeft = 40;
    moved.bottomLineY = { 120, 200 };
    for (const StaffSystem& system : { staffSystemFor(Clef::Treble, 1), staffSystemFor(Clef::Bass, 3),
             staffSystemFor(Clef::Grand, 1), staffSystemFor(Clef::Grand, 5), moved }) {
        SCOPED_TRACE(static_cast<int>(system.clef) * 10 + system.scale);
        const StaffSigns signs = staffSignsOf(system);
        for (int staff = 0; staff < 2; ++staff) {
            const SignBox& clef = signs.clefs[static_cast<std::size_t>(staff)];
            ASSERT_EQ(clef.empty(), staff >= system.staffCount);
            if (clef.empty())
                continue;
            EXPECT_EQ(signs.clefSigns[static_cast<std::size_t>(staff)], system.signOf(staff));
            EXPECT_GE(clef.left, system.staffLeft);
            EXPECT_LE(clef.top, system.topLineY(staff));
            EXPECT_GE(clef.top + clef.height, system.yOf({ staff, 2 })) << "down to the second line at least";
        }
        ASSERT_EQ(signs.brace.empty(), system.staffCount == 1);
        if (system.staffCount == 2) {
            EXPECT_EQ(signs.brace.top, system.topLineY(0));
            EXPECT_EQ(signs.brace.top + signs.brace.height - 1, system.bottomLineY[1]);
            EXPECT_LT(signs.brace.left + signs.brace.width, system.staffLeft);
        }
    }
}

std::vector<int> stepsOf(const std::vector<StaffPosition>& places, int staff)
{
    std::vector<int> steps;
    for (const StaffPosition& p : places)
        if (p.staff == staff)
            steps.push_back(p.step);
    return steps;
}

TEST(KeySignatures, everyKeysSignsStandAtTheirPlacesOnEachClef)
{
    // Steps above the bottom line, as written left to right.
    const struct {
        int fifths;
        std::vector<int> treble;
        std::vector<int> bass;
    } cases[] = {
        { 0, {}, {} },
        { 1, { 8 }, { 6 } },
        { 2, { 8, 5 }, { 6, 3 } },
        { 3, { 8, 5, 9 }, { 6, 3, 7 } },
        { 4, { 8, 5, 9, 6 }, { 6, 3, 7, 4 } },
        { 5, { 8, 5, 9, 6, 3 }, { 6, 3, 7, 4, 1 } },
        { 6, { 8, 5, 9, 6, 3, 7 }, { 6, 3, 7, 4, 1, 5 } },
        { 7, { 8, 5, 9, 6, 3, 7, 4 }, { 6, 3, 7, 4, 1, 5, 2 } },
        { -1, { 4 }, { 2 } },
        { -2, { 4, 7 }, { 2, 5 } },
        { -3, { 4, 7, 3 }, { 2, 5, 1 } },
        { -4, { 4, 7, 3, 6 }, { 2, 5, 1, 4 } },
        { -5, { 4, 7, 3, 6, 2 }, { 2, 5, 1, 4, 0 } },
        { -6, { 4, 7, 3, 6, 2, 5 }, { 2, 5, 1, 4, 0, 3 } },
        { -7, { 4, 7, 3, 6, 2, 5, 1 }, { 2, 5, 1, 4, 0, 3, -1 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fifths);
        const Key key { c.fifths };
        EXPECT_EQ(stepsOf(signaturePositions(key, Clef::Treble), 0), c.treble);
        EXPECT_EQ(stepsOf(signaturePositions(key, Clef::Bass), 0), c.bass);
        const auto grand = signaturePositions(key, Clef::Grand);
        EXPECT_EQ(stepsOf(grand, 0), c.treble);
        EXPECT_EQ(stepsOf(grand, 1), c.bass);
        // Each sign sits on the line or space of the letter it alters.
        const auto letters = signatureLetters(key);
        for (size_t i = 0; i < letters.size(); ++i) {
            const auto place = staffPositionOf({ letters[i], Accidental::Natural, 4 }, Clef::Treble);
            EXPECT_EQ(((place.step - c.treble[i]) % 7 + 7) % 7, 0) << i;
        }
    }
}

TEST(KeySignatures, theHeaderDrawsEverySignAfterTheClefAndTheNoteMakesRoomForIt)
{
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand })
        for (int fifths = -7; fifths <= 7; ++fifths) {
            SCOPED_TRACE(std::to_string(fifths) + " " + std::string(clefWord(clef)));
            const StaffSystem plain = staffSystemFor(clef, 5);
            const StaffSystem system = staffSystemFor(clef, 5, { Key { fifths }, Meter { 6, 8 } });
            RecordingSurface s;
            drawStaffHeader(s, system);
            const auto kind = fifths > 0 ? RecordingSurface::Kind::Sharp : RecordingSurface::Kind::Flat;
            const auto signs = s.marksOf(kind);
            ASSERT_EQ(signs.size(), signaturePositions(Key { fifths }, clef).size());
            float right = 0;
            for (const auto& sign : signs) {
                EXPECT_GE(sign.x1, system.headerLeft);
                right = std::max(right, sign.x2);
            }
            // The meter on each staff, its figures after the signs, then the note with room for its own sign.
            ASSERT_EQ(s.texts.size(), static_cast<size_t>(2 * system.staffCount));
            EXPECT_EQ(s.texts[0].text, "6");
            EXPECT_EQ(s.texts[1].text, "8");
            EXPECT_GT(static_cast<float>(s.texts[0].left), right);
            EXPECT_GE(system.noteX, s.texts[0].left + 40 * system.scale);
            EXPECT_GE(system.noteX, plain.noteX);
            EXPECT_EQ(system.labelLeft - system.noteX, plain.labelLeft - plain.noteX);
        }
    // Without signs or meter the trainer's note keeps its place.
    EXPECT_EQ(staffSystemFor(Clef::Treble, 5, {}).noteX, staffSystemFor(Clef::Treble, 5).noteX);
}

TEST(ShownNotes, aNoteInAKeyShowsOnlyTheSignsTheSignatureDoesNotGive)
{
    const struct {
        const char* key;
        const char* note;
        std::vector<RecordingSurface::Kind> signs;
    } rows[] = {
        { "D", "F#4", {} },
        { "D", "F4", { RecordingSurface::Kind::Natural } },
        { "D", "Bb4", { RecordingSurface::Kind::Flat } },
        { "Bb", "Eb5", {} },
        { "Bb", "E5", { RecordingSurface::Kind::Natural } },
        { "C", "F#4", { RecordingSurface::Kind::Sharp } },
        { "C#", "E#4", {} },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " " + row.note);
        RecordingSurface s;
        const StaffSystem system = staffSystemFor(Clef::Treble, 5, { *parseKey(row.key), std::nullopt });
        drawShownNote(s, system, note(row.note), Black, false, NoteNaming::Solfege);
        std::vector<RecordingSurface::Kind> signs;
        for (const auto& mark : s.marks)
            if (mark.kind == RecordingSurface::Kind::Sharp || mark.kind == RecordingSurface::Kind::Flat
                || mark.kind == RecordingSurface::Kind::Natural)
                signs.push_back(mark.kind);
        EXPECT_EQ(signs, row.signs);
    }
}

} // namespace
} // namespace zintaro::staff
