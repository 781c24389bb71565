#include "core/modulo1.h"
#include "staff/staff.h"
#include "staff/staff_widget.h"

#include <QDir>
#include <QLabel>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <vector>

namespace zintaro::staff {
namespace {

// The normal layout of the window: the staff surface is 1257 x 167.
class StaffWidgetTest : public ::testing::Test {
protected:
    StaffWidgetTest() { pn.setGeometry(-8, 64, 1257, 167); }

    bool isBlack(const QImage& image, int x, int y) const { return image.pixel(x, y) == qRgb(0, 0, 0); }
    bool isWhite(const QImage& image, int x, int y) const { return image.pixel(x, y) == qRgb(255, 255, 255); }

    // The pixels of one colour in a box of the marks, both corners included.
    int count(const QImage& image, QRgb colour, QRect box) const
    {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += image.pixel(x, y) == colour ? 1 : 0;
        return n;
    }
    int dark(const QImage& image, QRect box) const
    {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        return n;
    }

    StaffWidget pn;
};

struct BoxCase {
    float x1, y1, x2, y2;
    QRect covered; // exactly the pixels that turn black
};

TEST_F(StaffWidgetTest, filledRectanglesCoverBothCornersAfterRounding)
{
    const std::vector<BoxCase> cases {
        { 92, 110, 108, 111, QRect(QPoint(92, 110), QPoint(108, 111)) }, // a ledger line below: two rows
        { 92, 29.6f, 108, 30.4f, QRect(QPoint(92, 30), QPoint(108, 30)) }, // a ledger line above: one row
        { 105, 60, 104, 90, QRect(QPoint(104, 60), QPoint(105, 90)) }, // a stem given corner to corner
        { 300, 40, 300, 40, QRect(300, 40, 1, 1) }, // a single pixel
    };
    for (const BoxCase& c : cases) {
        pn.clear();
        pn.filledRectangle(c.x1, c.y1, c.x2, c.y2, Black);
        const QRect around = c.covered.adjusted(-2, -2, 2, 2);
        EXPECT_EQ(count(pn.marks(), qRgb(0, 0, 0), around), c.covered.width() * c.covered.height())
            << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
        EXPECT_EQ(count(pn.marks(), qRgb(0, 0, 0), c.covered), c.covered.width() * c.covered.height());
    }
}

TEST_F(StaffWidgetTest, rectangleInsideFollowsTheFillStyleAndColoursOnlyTheOutline)
{
    pn.rectangle(10, 10, 20, 20, Red);
    EXPECT_EQ(pn.marks().pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(pn.marks().pixel(20, 15), qRgb(255, 0, 0));
    EXPECT_TRUE(isWhite(pn.marks(), 15, 15)) << "the fill style starts transparent";

    pn.setFillSolid(true);
    pn.rectangle(30, 10, 40, 20, Red);
    EXPECT_EQ(pn.marks().pixel(30, 10), qRgb(255, 0, 0));
    EXPECT_TRUE(isBlack(pn.marks(), 35, 15)) << "solid fills the inside black";

    // The style stays as last set, and a filled rectangle ignores it.
    pn.filledRectangle(50, 10, 60, 20, White);
    EXPECT_TRUE(isWhite(pn.marks(), 55, 15));
    pn.rectangle(70, 10, 80, 20, Black);
    EXPECT_TRUE(isBlack(pn.marks(), 75, 15));
}

TEST_F(StaffWidgetTest, circlesAreRingsUnlessTheFillStyleIsSolid)
{
    pn.circle(100, 80, 4);
    EXPECT_TRUE(isBlack(pn.marks(), 96, 80));
    EXPECT_TRUE(isBlack(pn.marks(), 104, 80));
    EXPECT_TRUE(isBlack(pn.marks(), 100, 76));
    EXPECT_TRUE(isBlack(pn.marks(), 100, 84));
    EXPECT_TRUE(isWhite(pn.marks(), 100, 80));
    EXPECT_TRUE(isWhite(pn.marks(), 95, 80));
    EXPECT_TRUE(isWhite(pn.marks(), 100, 85));
    // The outline is closed: every row and column of the ring has ink on both sides.
    for (int d = -4; d <= 4; ++d) {
        EXPECT_GE(count(pn.marks(), qRgb(0, 0, 0), QRect(96, 80 + d, 4, 1)) + (d == -4 || d == 4 ? 1 : 0), 1);
        EXPECT_GE(count(pn.marks(), qRgb(0, 0, 0), QRect(80 + d + 20, 76, 1, 4)) + (d == -4 || d == 4 ? 1 : 0), 1);
    }

    pn.setFillSolid(true);
    pn.circle(200, 80, 4);
    EXPECT_EQ(count(pn.marks(), qRgb(0, 0, 0), QRect(197, 77, 7, 7)), 49);
    EXPECT_TRUE(isWhite(pn.marks(), 195, 80));
}

TEST_F(StaffWidgetTest, aHeadInAColourPaintsOnlyInThatColourAndLeavesTheNextOneBlack)
{
    const Look look { 5, true, NoteNaming::Solfege, {}, {} };
    pn.setGeometry(0, 0, 1257, 600);
    drawHead(look, pn, 19, 0, false, Green); // C5 in the trainer's column, hollow
    const int y = (90 - 5 * staffStepOf(19)) * 5;
    const QRect head(500 - 25, y - 25, 51, 51);
    EXPECT_GT(count(pn.marks(), qRgb(0, 0xB0, 0), head), 100);
    EXPECT_EQ(count(pn.marks(), qRgb(0, 0, 0), head), 0);

    drawHead(look, pn, 19, 2, true);
    EXPECT_GT(count(pn.marks(), qRgb(0, 0, 0), head.translated(200, 0)), 100);
}

TEST_F(StaffWidgetTest, textIsDrawnInItsColourBelowAndRightOfItsCorner)
{
    pn.text(300, 20, 30, Text::verbatim("Giuste al primo colpo: 95 %"), Red);
    const int red = count(pn.marks(), qRgb(255, 0, 0), QRect(300, 20, 600, 40));
    EXPECT_GT(red, 200);
    EXPECT_EQ(count(pn.marks(), qRgb(255, 0, 0), QRect(0, 0, 1257, 167)), red) << "nothing outside its line";
    EXPECT_EQ(count(pn.marks(), qRgb(255, 0, 0), QRect(300, 20, 600, 40))
            + count(pn.marks(), qRgb(255, 255, 255), QRect(300, 20, 600, 40)),
        600 * 40)
        << "no blended edges";

    const QImage before = pn.marks().copy();
    pn.text(-100000, 1 << 30, 30, Text::verbatim("fuori"), Black);
    pn.text(10, 10, 0, Text::verbatim("nessuna altezza"), Black);
    EXPECT_EQ(pn.marks(), before);
}

TEST_F(StaffWidgetTest, linesIncludeBothEndPixels)
{
    pn.line(104, 60, 112, 68, Black);
    for (int i = 0; i <= 8; ++i)
        EXPECT_TRUE(isBlack(pn.marks(), 104 + i, 60 + i)) << i;
    EXPECT_EQ(count(pn.marks(), qRgb(0, 0, 0), QRect(100, 56, 20, 20)), 9);

    pn.line(103, 112, 95, 120, Red); // drawn right to left, upwards on the screen
    EXPECT_EQ(pn.marks().pixel(103, 112), qRgb(255, 0, 0));
    EXPECT_EQ(pn.marks().pixel(95, 120), qRgb(255, 0, 0));
}

TEST_F(StaffWidgetTest, marksBeyondTheSurfaceAreClipped)
{
    const QImage before = pn.marks().copy();
    pn.line(-5000, -5000, -10, -10, Black);
    pn.filledRectangle(6000, 100, 6100, 200, Black);
    pn.rectangle(-1e30f, -1e30f, -1e29f, -1e29f, Black);
    pn.circle(1e9f, 1e9f, 1e9f);
    pn.circle(std::numeric_limits<float>::quiet_NaN(), 10, 3);
    pn.filledRectangle(std::numeric_limits<float>::infinity(), 0, 10, 10, Black);
    pn.restPicture(-3, 1e5);
    EXPECT_EQ(pn.marks(), before);

    // The erase of column 0 at the enlarged scale runs past the bottom.
    pn.filledRectangle(0, 0, 20000, 20000, Black);
    pn.filledRectangle(450, 0, 550, 725, White);
    EXPECT_TRUE(isWhite(pn.marks(), 450, 599));
    EXPECT_TRUE(isBlack(pn.marks(), 449, 599));
    EXPECT_TRUE(isBlack(pn.marks(), 551, 0));
}

TEST_F(StaffWidgetTest, thePicturesLoadFromTheProgramsResources)
{
    const QImage& clef = pn.clefPicture();
    ASSERT_EQ(clef.size(), QSize(349, 590));
    EXPECT_EQ(clef.depth(), 1) << "the clef is a one-bit bitmap";
    const int ink = dark(clef, clef.rect());
    EXPECT_GT(ink, 349 * 590 / 20);
    EXPECT_LT(ink, 349 * 590 / 2);

    const QImage& rest = pn.restPictureImage();
    ASSERT_EQ(rest.size(), QSize(7, 29));
    EXPECT_GT(dark(rest, rest.rect()), 20);
    EXPECT_TRUE(isWhite(rest.convertToFormat(QImage::Format_RGB32), 0, 0));
}

TEST_F(StaffWidgetTest, clearErasesMarksButLeavesTheChildElements)
{
    pn.createRestImages();
    ASSERT_EQ(pn.restImageCount(), RestImages);
    pn.setRestImageLeft(50, 397);
    pn.setRestImageVisible(50, true);
    pn.setCursorLeft(300);
    pn.filledRectangle(600, 100, 700, 120, Black);
    pn.restPicture(800, 61);
    ASSERT_GT(dark(pn.marks(), QRect(800, 61, 7, 9)), 5);

    pn.clear();
    const QImage shown = pn.renderToImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(dark(shown, QRect(600, 100, 101, 21)), 0) << "the mark is gone";
    EXPECT_EQ(dark(shown, QRect(800, 61, 7, 9)), 0) << "the rest drawn as a mark is gone";
    EXPECT_TRUE(isBlack(shown, 600, 50)) << "the top staff line";
    EXPECT_TRUE(isBlack(shown, 600, 90)) << "the bottom staff line";
    EXPECT_TRUE(isBlack(shown, 1226, 70)) << "the right end bar";
    EXPECT_GT(dark(shown, QRect(16, 30, 50, 80)), 200) << "the clef";
    EXPECT_EQ(shown.pixel(300, 100), qRgb(0, 0, 255)) << "the cursor";
    EXPECT_TRUE(isWhite(shown, 80, 100)) << "the cursor left its starting place";
    EXPECT_GT(dark(shown, QRect(397, 61, 7, 29)), 20) << "the visible rest image";
}

TEST_F(StaffWidgetTest, childElementsFollowTheEnlargedLayout)
{
    pn.setGeometry(-8, 100, 1257, 600);
    for (int i = 0; i < 5; ++i)
        pn.placeStaffLine(i, (10 * i + 40) * 5, (10 * i + 40) * 5, 5);
    pn.placeStaffLine(5, 200, 400, 5);
    pn.placeStaffLine(6, 200, 400, 5);
    pn.setClefGeometry(24 * 5, 42 * 5, 73 * 5);
    pn.setCursorVisible(false);
    pn.setCursorLeft(500);
    QLabel lab1;
    pn.setSwitchNameLabel(&lab1);
    pn.setStaffLabelVisible(true);
    pn.setStaffLabelTop(335);
    pn.setNameLabels("SOL");
    EXPECT_EQ(lab1.text(), QStringLiteral("SOL"));

    const QImage shown = pn.renderToImage().convertToFormat(QImage::Format_RGB32);
    // A line five pixels thick, centred on its y.
    for (int y = 198; y <= 202; ++y)
        EXPECT_TRUE(isBlack(shown, 700, y)) << y;
    EXPECT_TRUE(isWhite(shown, 700, 197));
    EXPECT_TRUE(isWhite(shown, 700, 203));
    EXPECT_TRUE(isWhite(shown, 700, 50)) << "the starting place of the top line is empty";
    EXPECT_TRUE(isBlack(shown, 1224, 300));
    EXPECT_TRUE(isBlack(shown, 1228, 300));
    EXPECT_GT(dark(shown, QRect(16, 120, 210, 365)), 5000) << "the clef is stretched to its new size";
    EXPECT_EQ(dark(shown, QRect(500, 16, 1, 113)) - dark(shown, QRect(501, 16, 1, 113)), 0)
        << "the hidden cursor leaves no trace";
    EXPECT_GT(dark(shown, QRect(544, 335, 65, 33)), 20) << "the name on the staff label";

    pn.setNameLabels("");
    pn.setSwitchNameLabel(nullptr);
    pn.setNameLabels("LA");
    EXPECT_EQ(lab1.text(), QString()) << "a label handed back is no longer written";
}

// The reading trainer's layout: a note on each staff line with its name
// beside it, "Scrivi" switched on and off while the note shows. Every line
// stays whole across the name label, and the name itself shows.
TEST_F(StaffWidgetTest, theNameLabelNeverCutsAStaffLine)
{
    pn.setGeometry(-8, 100, 1257, 600);
    const Look look { 5, true, NoteNaming::Solfege, {}, {} };
    drawStaff(look, pn);
    const QRect label(540, 0, 75, 600); // the label's column and a margin

    const auto linesWhole = [&](const char* when, int16_t note) {
        const QImage shown = pn.renderToImage().convertToFormat(QImage::Format_RGB32);
        for (int line = 0; line < 5; ++line)
            for (int y = (10 * line + 40) * 5 - 2; y <= (10 * line + 40) * 5 + 2; ++y)
                for (int x = label.left(); x <= label.right(); ++x)
                    if (!isBlack(shown, x, y)) {
                        ADD_FAILURE() << when << ", note " << note << ": line " << line << " broken at " << x << ","
                                      << y;
                        return;
                    }
    };
    for (const int16_t note : { 11, 14, 18, 21, 24 }) { // E4 G4 B4 D5 F5
        pn.clear();
        pn.setNameLabels("");
        pn.setStaffLabelVisible(true);
        eraseColumn(look, pn, 0);
        drawHead(look, pn, note, 0, false);
        linesWhole("with its name", note);
        const int top = (87 - 5 * staffStepOf(note)) * 5;
        const QImage named = pn.renderToImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_GT(dark(named, QRect(544, top, 65, 33)) - 65 * 5, 30) << "the name shows, note " << note;

        pn.setStaffLabelVisible(false);
        linesWhole("names switched off", note);
        pn.setNameLabels("");
        pn.setStaffLabelVisible(true);
        linesWhole("names switched on without a name yet", note);
    }
}

TEST_F(StaffWidgetTest, restImagesBeyondTheArrayAreIgnored)
{
    pn.setRestImageVisible(2, true); // only the two images the window starts with exist yet
    pn.setRestImageVisible(-1, true);
    pn.setRestImageLeft(51, 10);
    pn.placeStaffLine(7, 0, 0, 1);
    pn.createRestImages();
    pn.setRestImageVisible(RestImages, true);
    const QImage shown = pn.renderToImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(dark(shown, QRect(0, 0, 16, 167)), 0);
}

// A page with every glyph, through the staff rules, written to a PNG for
// a person to look at.
TEST(PnWidgetPage, aPageWithEveryGlyphRendersAsMusic)
{
    StaffWidget pn;
    pn.setGeometry(-8, 64, 1257, 167);
    pn.createRestImages();
    Modulo1 m;
    pn.clear();
    drawStaff(Look {}, pn);
    pn.setClefGeometry(24, 42, 73);

    // Per duration: E6 (ledger lines above, stem down), F3 (ledger lines
    // below, stem up), B3, then a rest.
    const auto append = [&](int16_t isRest, int16_t note, int16_t d) {
        drawGlyph(Look {}, pn, d, isRest, note, static_cast<int16_t>(m.NoteCount));
        m.Composition.set(m.NoteCount++, { isRest, note, d });
    };
    for (int16_t d = 0; d <= 6; ++d) {
        for (int16_t note : { 35, 0, 6 })
            append(False16, note, d);
        append(True16, 0, d);
    }
    for (int16_t note : { 14, 16, 18, 19, 21, 23, 24, 26 })
        append(False16, note, 2);
    drawBars(Look {}, pn, PageView { m.Composition, m.NoteCount, 0, {} });

    const QImage shown = pn.renderToImage();
    QString folder = qEnvironmentVariable("ZINTARO_ARTIFACTS");
    if (folder.isEmpty())
        folder = QDir::tempPath() + QStringLiteral("/zintaro-artifacts");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/staff_page.png");
    ASSERT_TRUE(shown.save(file));
    std::cout << "page written to " << file.toStdString() << "\n";

    // Every written column carries ink between the top and the bottom of the glyphs.
    const QImage rgb = shown.convertToFormat(QImage::Format_RGB32);
    for (int c = 0; c < m.NoteCount; ++c) {
        int ink = 0;
        for (int y = 0; y < 140; ++y)
            for (int x = 20 * c + 92; x <= 20 * c + 108; ++x)
                ink += qGray(rgb.pixel(x, y)) < 128 && (y < 40 || y > 80 || (y % 10) != 0) ? 1 : 0;
        EXPECT_GT(ink, 8) << "column " << c;
    }
}

} // namespace
} // namespace zintaro::staff
