#include "core/modulo1.h"
#include "staff/pdf_export.h"
#include "staff/staff.h"
#include "staff/staff_widget.h"
#include "support/run_command.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace zintaro::staff {
namespace {

using testing::runCommand;
using testing::shellQuoted;

// Where a staff page lies on a rendered sheet: the sheet's margins of 10 mm
// and the staff's 1240 pixels across the rest of its 297 mm.
constexpr double StaffPixelsAcross = 1240;
constexpr double SheetMillimetres = 297;
constexpr double MarginMillimetres = 10;
constexpr int SheetPixelsAcross = 1330; // about one sheet pixel to a staff pixel
constexpr int TitleHeight = 50;
constexpr int SystemHeight = 150;
constexpr int SystemsPerSheet = 5;
// The drawing of a page down to its lowest mark, above the names.
constexpr QRect StaffArea { 0, 0, 1240, 116 };

Modulo1 pieceOf(int count)
{
    Modulo1 m;
    for (int i = 0; i < count; ++i) {
        const bool rest = i % 5 == 3;
        // Every duration, as notes and as rests, on every line and space, sharps too.
        m.Composition.set(
            i, { rest ? True16 : False16, static_cast<int16_t>(rest ? 0 : (i * 7) % 36), static_cast<int16_t>(i % 7) });
    }
    m.Composition.set(count, EndEntry);
    m.NoteCount = count;
    return m;
}

// The staff as the window shows a page of the piece, without the cursor.
QImage windowStaff(const Modulo1& piece, int page)
{
    StaffWidget pn;
    pn.resize(1257, 167);
    pn.createRestImages();
    pn.setClefGeometry(24, 42, 73);
    pn.setCursorVisible(false);
    Modulo1 m = piece;
    m.WriteNames = false;
    drawPage(m, pn, page);
    return pn.renderToImage().copy(StaffArea);
}

// A sheet rendered by the PDF reader, about one pixel to a staff pixel.
QImage renderedSheet(const QString& pdf, int sheet, const QString& folder)
{
    const QString prefix = folder + QStringLiteral("/sheet");
    const auto rendered = runCommand("pdftoppm -png -f " + std::to_string(sheet) + " -l " + std::to_string(sheet)
        + " -scale-to-x " + std::to_string(SheetPixelsAcross) + " -scale-to-y -1 -singlefile "
        + shellQuoted(pdf.toStdString()) + " " + shellQuoted(prefix.toStdString()));
    if (rendered.exitCode != 0)
        return {};
    return QImage(prefix + QStringLiteral(".png"));
}

// The staff page at a place on a sheet, brought to the staff's pixels.
QImage staffOnSheet(const QImage& sheet, int system)
{
    const double scale
        = sheet.width() / SheetMillimetres * (SheetMillimetres - 2 * MarginMillimetres) / StaffPixelsAcross;
    const double margin = sheet.width() / SheetMillimetres * MarginMillimetres;
    const QRectF area(margin, margin + scale * (TitleHeight + SystemHeight * system), scale * StaffArea.width(),
        scale * StaffArea.height());
    return sheet.copy(area.toRect()).scaled(StaffArea.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::vector<bool> inkOf(const QImage& image)
{
    std::vector<bool> ink(size_t(image.width() * image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink[size_t(y * image.width() + x)] = qGray(image.pixel(x, y)) < 160;
    return ink;
}

// The share of the ink of one picture in an area that has ink of the other
// within two pixels.
double inkCovered(const std::vector<bool>& from, const std::vector<bool>& by, int width, int height, QRect area)
{
    int inked = 0, covered = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!from[size_t(y * width + x)])
                continue;
            ++inked;
            bool near = false;
            for (int dy = -2; dy <= 2 && !near; ++dy)
                for (int dx = -2; dx <= 2 && !near; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    near = nx >= 0 && ny >= 0 && nx < width && ny < height && by[size_t(ny * width + nx)];
                }
            covered += near ? 1 : 0;
        }
    }
    return inked == 0 ? 1.0 : double(covered) / inked;
}

// The areas compared: the clef, and every column with its glyph and bar, so
// that one glyph missing or misplaced shows.
std::vector<QRect> comparedAreas()
{
    std::vector<QRect> areas = { QRect(0, 0, 88, StaffArea.height()) };
    for (int column = 0; column < StaffColumns; ++column)
        areas.emplace_back(columnX(column) - 10, 0, 20, StaffArea.height());
    return areas;
}

class PdfExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* reader : { "pdftoppm", "pdfinfo", "pdftotext" })
            if (!testing::haveProgram(reader))
                GTEST_SKIP() << "skipped: " << reader << " (poppler-utils) is not installed";
        ASSERT_TRUE(m_folder.isValid());
    }

    QString write(const Modulo1& m, const std::string& title, bool names, const char* file)
    {
        const QString path = m_folder.filePath(QString::fromLatin1(file));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        const std::string bytes = writePdf(m.Composition, m.NoteCount, title, names);
        out.write(bytes.data(), qint64(bytes.size()));
        return path;
    }

    std::string info(const QString& pdf) { return runCommand("pdfinfo " + shellQuoted(pdf.toStdString())).output; }

    QTemporaryDir m_folder;
};

TEST_F(PdfExport, everyStaffPageLooksAsTheWindowDrawsIt)
{
    struct Case {
        const char* what;
        int count;
    };
    // An empty piece, and two staff pages with every glyph and bars.
    for (const Case& c : { Case { "empty", 0 }, Case { "two pages", 100 } }) {
        SCOPED_TRACE(c.what);
        const Modulo1 m = pieceOf(c.count);
        const QString pdf = write(m, "piece", false, "piece.pdf");
        const QImage sheet = renderedSheet(pdf, 1, m_folder.path());
        ASSERT_FALSE(sheet.isNull());
        for (int page = 0; page <= (c.count - 1) / StaffColumns; ++page) {
            SCOPED_TRACE(page);
            const QImage expected = windowStaff(m, page);
            const QImage printed = staffOnSheet(sheet, page);
            const auto a = inkOf(expected), b = inkOf(printed);
            const int w = expected.width(), h = expected.height();
            bool alike = true;
            for (const QRect& area : comparedAreas()) {
                const double printedOfWindow = inkCovered(a, b, w, h, area);
                const double windowOfPrinted = inkCovered(b, a, w, h, area);
                EXPECT_GE(printedOfWindow, 0.95) << "x " << area.left();
                EXPECT_GE(windowOfPrinted, 0.95) << "x " << area.left();
                alike = alike && printedOfWindow >= 0.95 && windowOfPrinted >= 0.95;
            }
            if (!alike) {
                const QString artifacts = qEnvironmentVariable("ZINTARO_ARTIFACTS");
                if (!artifacts.isEmpty() && QDir().mkpath(artifacts)) {
                    expected.save(artifacts + QStringLiteral("/pdf-expected-%1.png").arg(page));
                    printed.save(artifacts + QStringLiteral("/pdf-printed-%1.png").arg(page));
                }
            }
        }
    }
}

TEST_F(PdfExport, sheetsAreA4LandscapeWithTitlePageNumbersAndTheNamesUnderTheNotes)
{
    // Six staff pages: five on the first sheet, one on the second.
    const Modulo1 m = pieceOf(6 * StaffColumns - 3);
    const QString pdf = write(m, "la mia canzone", true, "names.pdf");
    const std::string facts = info(pdf);
    EXPECT_NE(facts.find("Title:           la mia canzone"), std::string::npos) << facts;
    EXPECT_NE(facts.find("Pages:           2"), std::string::npos) << facts;
    EXPECT_NE(facts.find("Page size:       842 x 595 pts (A4)"), std::string::npos) << facts;

    for (int sheet = 1; sheet <= 2; ++sheet) {
        SCOPED_TRACE(sheet);
        const auto text = runCommand("pdftotext -raw -f " + std::to_string(sheet) + " -l " + std::to_string(sheet) + " "
            + shellQuoted(pdf.toStdString()) + " -");
        ASSERT_EQ(text.exitCode, 0);
        std::istringstream words(text.output);
        std::vector<std::string> read;
        for (std::string w; words >> w;)
            read.push_back(w);

        std::vector<std::string> expected = { "la", "mia", "canzone" };
        const int first = (sheet - 1) * SystemsPerSheet * StaffColumns;
        const int end = std::min(first + SystemsPerSheet * StaffColumns, m.NoteCount);
        for (int p = first; p < end; ++p)
            if (m.Composition.RestFlag[p] == 0)
                expected.emplace_back(writtenName(m.Composition.NoteIndex[p]));
        expected.insert(expected.end(), { std::to_string(sheet), "/", "2" });
        EXPECT_EQ(read, expected);
    }
}

TEST_F(PdfExport, theStaffIsDrawnAsVectorsWithOnlyThePicturesAsImages)
{
    const QString pdf = write(pieceOf(300), "piece", true, "vectors.pdf");
    if (!testing::haveProgram("pdfimages"))
        GTEST_SKIP() << "skipped: pdfimages is not installed";
    const auto list = runCommand("pdfimages -list " + shellQuoted(pdf.toStdString()));
    ASSERT_EQ(list.exitCode, 0);
    // Each line: page num type width height ...; the widest picture is the clef.
    std::istringstream lines(list.output);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    int images = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int page = 0, num = 0, width = 0, height = 0;
        std::string type;
        fields >> page >> num >> type >> width >> height;
        EXPECT_LE(width, 349) << line;
        EXPECT_LE(height, 590) << line;
        ++images;
    }
    EXPECT_GT(images, 0);
}

} // namespace
} // namespace zintaro::staff
