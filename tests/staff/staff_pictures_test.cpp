#include "staff/staff_system.h"
#include "staff/staff_widget.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zintaro::staff {
namespace {

// Pictures of the staves, compared with the ones in tests/data/staff. The
// signs are smoothly scaled pictures, so a pixel may differ a little from
// one Qt build to the next; a few pixels may differ more. With
// ZINTARO_UPDATE_PICTURES=1 the test writes the pictures instead.
class StaffPictures : public ::testing::Test {
protected:
    StaffPictures()
    {
        pn.setGeometry(0, 0, 1257, 600);
        pn.setCursorVisible(false);
    }

    // Notes in a row from `left`, `spacing` apart, each drawn as the
    // trainer draws its note.
    void drawRow(const StaffSystem& system, const std::vector<SpelledNote>& notes, int left, int spacing)
    {
        pn.clear();
        showStaffSystem(pn, system);
        StaffSystem at = system;
        for (std::size_t i = 0; i < notes.size(); ++i) {
            at.noteX = left + spacing * static_cast<int>(i);
            drawShownNote(pn, at, notes[i], Black, false, NoteNaming::Solfege);
        }
    }

    static std::vector<SpelledNote> naturals(const char* lowest, const char* highest, Accidental sign)
    {
        std::vector<SpelledNote> notes;
        const int first = stepsFromMiddleC(*parseSpelled(lowest));
        const int last = stepsFromMiddleC(*parseSpelled(highest));
        for (int step = first; step <= last; ++step) {
            SpelledNote n = naturalAtStep(step);
            n.accidental = sign;
            notes.push_back(n);
        }
        return notes;
    }

    void expectLooksLike(const char* name)
    {
        const QImage actual = pn.renderToImage().convertToFormat(QImage::Format_Grayscale8);
        const QString artifacts = qEnvironmentVariable("ZINTARO_ARTIFACTS");
        if (!artifacts.isEmpty() && QDir().mkpath(artifacts))
            actual.save(artifacts + QStringLiteral("/%1.png").arg(QLatin1String(name)));
        const QString golden = QStringLiteral(ZINTARO_SOURCE_TEST_DATA "/staff/%1.png").arg(QLatin1String(name));
        if (qEnvironmentVariable("ZINTARO_UPDATE_PICTURES") == QLatin1String("1")) {
            ASSERT_TRUE(actual.save(golden));
            return;
        }
        const QImage expected = QImage(golden).convertToFormat(QImage::Format_Grayscale8);
        ASSERT_FALSE(expected.isNull()) << golden.toStdString();
        ASSERT_EQ(expected.size(), actual.size());
        int different = 0;
        for (int y = 0; y < actual.height(); ++y) {
            const uchar* a = actual.constScanLine(y);
            const uchar* e = expected.constScanLine(y);
            for (int x = 0; x < actual.width(); ++x)
                different += std::abs(int(a[x]) - int(e[x])) > 48 ? 1 : 0;
        }
        // The drawing is pixel-exact; the little room left is for a picture
        // scaled by another Qt, and stays far below the ~650 pixels of the
        // smallest sign drawn, so a sign missing or misplaced is caught.
        EXPECT_LE(different, 100) << name;
    }

    StaffWidget pn;
};

TEST_F(StaffPictures, theTrebleStaffWithANoteOnEveryLineAndSpace)
{
    drawRow(staffSystemFor(Clef::Treble, 5), naturals("A3", "C6", Accidental::Natural), 300, 52);
    expectLooksLike("treble_notes");
}

TEST_F(StaffPictures, theBassStaffWithANoteOnEveryLineAndSpace)
{
    drawRow(staffSystemFor(Clef::Bass, 5), naturals("C2", "E4", Accidental::Natural), 300, 52);
    expectLooksLike("bass_notes");
}

TEST_F(StaffPictures, theGrandStaffWithItsBraceAndEveryNoteFromC2ToC6)
{
    drawRow(staffSystemFor(Clef::Grand, 5), naturals("C2", "C6", Accidental::Natural), 210, 32);
    expectLooksLike("grand_notes");
}

TEST_F(StaffPictures, sharpsAndFlatsBeforeTheHeadOnEveryLineAndSpace)
{
    drawRow(staffSystemFor(Clef::Treble, 3), naturals("C4", "A5", Accidental::Sharp), 190, 80);
    expectLooksLike("sharps");
    drawRow(staffSystemFor(Clef::Bass, 3), naturals("E2", "C4", Accidental::Flat), 190, 80);
    expectLooksLike("flats");
    // The ranges "Estensione…" offers, to their ledger lines.
    drawRow(staffSystemFor(Clef::Treble, 3), naturals("F3", "C5", Accidental::Flat), 190, 80);
    expectLooksLike("treble_flats_low");
    drawRow(staffSystemFor(Clef::Treble, 3), naturals("D5", "E6", Accidental::Flat), 190, 80);
    expectLooksLike("treble_flats_high");
    drawRow(staffSystemFor(Clef::Bass, 3), naturals("C2", "G3", Accidental::Sharp), 190, 80);
    expectLooksLike("bass_sharps_low");
    drawRow(staffSystemFor(Clef::Bass, 3), naturals("A3", "E4", Accidental::Sharp), 190, 80);
    expectLooksLike("bass_sharps_high");
}

// Every signature of one side on a staff, from one sign to seven, and the
// meters after them.
TEST_F(StaffPictures, theFifteenKeySignaturesAndTheMetersOnTheTrebleAndBassStaves)
{
    const auto signaturesInARow = [this](Clef clef, int side) {
        const StaffSystem system = staffSystemFor(clef, 3);
        pn.clear();
        showStaffSystem(pn, system);
        int left = system.headerLeft;
        for (int count = 1; count <= 7; ++count) {
            StaffSystem at = staffSystemFor(clef, 3, { Key { side * count }, std::nullopt });
            at.headerLeft = left;
            drawStaffHeader(pn, at);
            left += count * 30 + 24;
        }
    };
    signaturesInARow(Clef::Treble, 1);
    expectLooksLike("treble_sharp_keys");
    signaturesInARow(Clef::Treble, -1);
    expectLooksLike("treble_flat_keys");
    signaturesInARow(Clef::Bass, 1);
    expectLooksLike("bass_sharp_keys");
    signaturesInARow(Clef::Bass, -1);
    expectLooksLike("bass_flat_keys");

    const StaffSystem grand = staffSystemFor(Clef::Grand, 5, { Key { 3 }, Meter { 6, 8 } });
    pn.clear();
    showStaffSystem(pn, grand);
    drawStaffHeader(pn, grand);
    drawShownNote(pn, grand, *parseSpelled("G4"), Black, false, NoteNaming::Solfege);
    expectLooksLike("grand_a_major_six_eight");

    const StaffSystem treble = staffSystemFor(Clef::Treble, 3);
    pn.clear();
    showStaffSystem(pn, treble);
    int left = treble.headerLeft;
    for (const Meter meter : offeredMeters()) {
        StaffSystem at = staffSystemFor(Clef::Treble, 3, { Key {}, meter });
        at.headerLeft = left;
        drawStaffHeader(pn, at);
        left += 100;
    }
    expectLooksLike("meters");
}

} // namespace
} // namespace zintaro::staff
