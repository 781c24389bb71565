#include "core/modulo1.h"
#include "staff/pdf_export.h"
#include "staff/staff_system.h"
#include "support/run_command.h"

#include <QDir>
#include <QFile>
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

constexpr int GoldenDpi = 50;

struct Note {
    int16_t rest;
    int16_t note;
    int16_t code;
};

// Thirty measures: every duration as a note and as a rest, sharps, ledger
// lines above and below, stems both ways, and an overfull measure near the
// end (its bar and the later ones red, as the staff shows them).
Modulo1 scorePiece()
{
    std::vector<Note> notes;
    const auto add = [&](std::initializer_list<Note> measure) { notes.insert(notes.end(), measure); };
    const auto run = [&](int16_t code, int count, int16_t from, int16_t stride) {
        for (int i = 0; i < count; ++i)
            notes.push_back({ False16, static_cast<int16_t>((from + stride * i) % 36), code });
    };
    add({ { False16, 7, 0 } }); // 1: C4 whole
    add({ { False16, 9, 1 }, { True16, 0, 1 } }); // 2: D4 half, half rest
    add({ { False16, 11, 2 }, { True16, 0, 2 }, { False16, 13, 2 }, { False16, 14, 2 } }); // 3
    run(3, 8, 0, 5); // 4: eighths from F3 up
    run(4, 16, 35, -2); // 5: sixteenths from E6 down
    run(5, 8, 12, 3); // 6: thirty-seconds, then a quarter and a half
    add({ { False16, 20, 2 }, { False16, 26, 1 } });
    run(6, 16, 14, 1); // 7: sixty-fourths, the short rests, a 64th and a half
    add({ { True16, 0, 3 }, { True16, 0, 4 }, { True16, 0, 5 }, { True16, 0, 6 }, { False16, 30, 6 },
        { False16, 33, 1 } });
    add({ { True16, 0, 0 } }); // 8: whole rest
    for (int m = 9; m <= 27; ++m) { // a tune in quarters and eighths, sharps now and then
        const auto base = static_cast<int16_t>(7 + (m * 5) % 17);
        if (m % 3 == 0) {
            add({ { False16, base, 2 }, { False16, static_cast<int16_t>(base + 1), 3 },
                { False16, static_cast<int16_t>(base + 3), 3 }, { False16, static_cast<int16_t>(base + 5), 1 } });
        } else if (m % 3 == 1) {
            add({ { False16, base, 3 }, { False16, static_cast<int16_t>(base + 2), 3 }, { True16, 0, 2 },
                { False16, static_cast<int16_t>(base + 4), 2 }, { False16, static_cast<int16_t>(base + 6), 2 } });
        } else {
            add({ { False16, base, 1 }, { False16, static_cast<int16_t>(base - 2), 2 },
                { False16, static_cast<int16_t>(base + 8), 2 } });
        }
    }
    add({ { False16, 19, 1 }, { False16, 21, 2 }, { False16, 23, 1 } }); // 28: overfull, 5/4
    // 29: F#4, F4 with its natural, F#4 with its sharp again, F#4 without one
    add({ { False16, 13, 2 }, { False16, 12, 2 }, { False16, 13, 2 }, { False16, 13, 2 } });
    add({ { False16, 7, 0 } }); // 30
    Modulo1 m;
    for (const Note& n : notes)
        m.Composition.set(m.NoteCount++, { n.rest, n.note, n.code });
    m.Composition.set(m.NoteCount, EndEntry);
    return m;
}

QString goldenFolder()
{
    const QString data = qEnvironmentVariable("ZINTARO_TEST_DATA", QStringLiteral(ZINTARO_SOURCE_TEST_DATA));
    return data + QStringLiteral("/export");
}

bool isInk(QRgb c)
{
    return qGray(c) < 160;
}

bool isRed(QRgb c)
{
    return qRed(c) > 160 && qGreen(c) < 110 && qBlue(c) < 110;
}

// The pixels of one kind in `a` with none of that kind in `b` within a
// pixel: a glyph missing, moved or of another shape shows, a pixel of
// rasterizing difference does not.
int unmatched(const QImage& a, const QImage& b, bool (*kind)(QRgb))
{
    int missing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!kind(a.pixel(x, y)))
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = b.valid(x + dx, y + dy) && kind(b.pixel(x + dx, y + dy));
            missing += near ? 0 : 1;
        }
    return missing;
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
        QString path = m_folder.filePath(QString::fromLatin1(file));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        const std::string bytes
            = writePdf(m.Composition, m.NoteCount, title, names, NoteNaming::Solfege, m.PieceKey, m.PieceMeter);
        out.write(bytes.data(), qint64(bytes.size()));
        return path;
    }

    QImage rendered(const QString& pdf, int page, int dpi)
    {
        const QString prefix = m_folder.filePath(QStringLiteral("page"));
        const auto result = runCommand("pdftoppm -png -r " + std::to_string(dpi) + " -f " + std::to_string(page)
            + " -l " + std::to_string(page) + " -singlefile " + shellQuoted(pdf.toStdString()) + " "
            + shellQuoted(prefix.toStdString()));
        if (result.exitCode != 0)
            return {};
        return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    }

    std::vector<std::string> words(const QString& pdf, int page)
    {
        const auto text = runCommand("pdftotext -raw -f " + std::to_string(page) + " -l " + std::to_string(page) + " "
            + shellQuoted(pdf.toStdString()) + " -");
        EXPECT_EQ(text.exitCode, 0);
        std::istringstream in(text.output);
        std::vector<std::string> read;
        for (std::string w; in >> w;)
            read.push_back(w);
        return read;
    }

    // A page as printed, against a committed picture a person has looked at.
    // ZINTARO_WRITE_GOLDEN=1 writes it anew.
    void expectPageLooksLike(const QString& pdf, int page, const QString& name)
    {
        SCOPED_TRACE(name.toStdString());
        const QImage printed = rendered(pdf, page, GoldenDpi);
        ASSERT_FALSE(printed.isNull());
        const QString golden = goldenFolder() + QStringLiteral("/%1.png").arg(name);
        if (qEnvironmentVariableIsSet("ZINTARO_WRITE_GOLDEN")) {
            ASSERT_TRUE(printed.save(golden));
        }
        const QImage expected = QImage(golden).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull()) << golden.toStdString();
        ASSERT_EQ(printed.size(), expected.size());
        // A flag or a sharp at this size is a dozen pixels or more.
        constexpr int Allowed = 6;
        EXPECT_LE(unmatched(printed, expected, isInk), Allowed) << "ink where the picture has none";
        EXPECT_LE(unmatched(expected, printed, isInk), Allowed) << "ink of the picture missing";
        EXPECT_LE(unmatched(printed, expected, isRed), Allowed) << "red where the picture has none";
        EXPECT_LE(unmatched(expected, printed, isRed), Allowed) << "red of the picture missing";
        const QString artifacts = qEnvironmentVariable("ZINTARO_ARTIFACTS");
        if (!artifacts.isEmpty() && QDir().mkpath(artifacts))
            printed.save(artifacts + QStringLiteral("/%1.png").arg(name));
    }

    std::string info(const QString& pdf) { return runCommand("pdfinfo " + shellQuoted(pdf.toStdString())).output; }

    QTemporaryDir m_folder;
};

// The pages as printed, against the committed pictures a person has looked
// at. ZINTARO_WRITE_GOLDEN=1 writes them anew.
TEST_F(PdfExport, pagesLookAsTheGoldenPictures)
{
    const QString pdf = write(scorePiece(), "Studio in Do", true, "score.pdf");
    EXPECT_NE(info(pdf).find("Pages:           2"), std::string::npos) << "thirty measures take two pages";
    const QString artifacts = qEnvironmentVariable("ZINTARO_ARTIFACTS");
    if (!artifacts.isEmpty() && QDir().mkpath(artifacts)) {
        QFile::remove(artifacts + QStringLiteral("/score.pdf"));
        QFile::copy(pdf, artifacts + QStringLiteral("/score.pdf"));
    }
    for (int page = 1; page <= 2; ++page)
        expectPageLooksLike(pdf, page, QStringLiteral("score_page%1").arg(page));
}

// Every system begins with the key signature and the meter; the notes stand
// on the lines and spaces of their letters in the key, with the signs the
// measure needs.
TEST_F(PdfExport, everySystemShowsTheKeyAndTheMeter)
{
    Modulo1 m = scorePiece();
    m.PieceKey = Key { -3 };
    m.PieceMeter = Meter { 3, 4 };
    const QString pdf = write(m, "Studio in Mi bemolle", true, "flats.pdf");
    expectPageLooksLike(pdf, 1, QStringLiteral("score_e_flat_three_four"));
}

TEST_F(PdfExport, theTextHoldsTheTitleTheNamesUnderTheNotesAndThePageNumbers)
{
    const Modulo1 m = scorePiece();
    for (const bool names : { true, false }) {
        SCOPED_TRACE(names);
        const QString pdf = write(m, "la mia canzone", names, "names.pdf");
        const std::string facts = info(pdf);
        EXPECT_NE(facts.find("Title:           la mia canzone"), std::string::npos) << facts;
        EXPECT_NE(facts.find("Page size:       842 x 595 pts (A4)"), std::string::npos) << facts;

        std::vector<std::string> all;
        for (int page = 1; page <= 2; ++page) {
            std::vector<std::string> read = words(pdf, page);
            ASSERT_GE(read.size(), 3u);
            const std::vector<std::string> foot(read.end() - 3, read.end());
            EXPECT_EQ(foot, (std::vector<std::string> { std::to_string(page), "/", "2" }));
            read.resize(read.size() - 3);
            all.insert(all.end(), read.begin(), read.end());
        }
        // Each note's name as written; a name of two words ("Fa diesis")
        // may touch its neighbour's in the text the reader finds, so the
        // letters are compared in their order.
        std::string expected = "lamiacanzone";
        for (int p = 0; names && p < m.NoteCount; ++p)
            if (m.Composition.RestFlag[p] == 0) {
                std::istringstream name(
                    nameLabelText(sharpSpelling(midiNoteOfKey(m.Composition.NoteIndex[p])), NoteNaming::Solfege));
                for (std::string word; name >> word;)
                    expected += word;
            }
        std::string read;
        for (const std::string& word : all)
            read += word;
        EXPECT_EQ(read, expected);
    }
}

TEST_F(PdfExport, anEmptyPieceGivesOnePageWithAnEmptyStaff)
{
    const QString pdf = write(Modulo1 {}, "vuoto", false, "empty.pdf");
    EXPECT_NE(info(pdf).find("Pages:           1"), std::string::npos);
    const QImage page = rendered(pdf, 1, GoldenDpi);
    ASSERT_FALSE(page.isNull());
    // Five staff lines across the page under the title.
    int lines = 0;
    for (int y = 0; y < page.height(); ++y) {
        int ink = 0;
        for (int x = 0; x < page.width(); ++x)
            ink += isInk(page.pixel(x, y)) ? 1 : 0;
        lines += ink > page.width() * 3 / 4 ? 1 : 0;
    }
    EXPECT_GE(lines, 5);
    EXPECT_LE(lines, 10);
}

TEST_F(PdfExport, theScoreIsDrawnAsVectorsWithOnlyTheClefAsAPicture)
{
    const QString pdf = write(scorePiece(), "piece", true, "vectors.pdf");
    if (!testing::haveProgram("pdfimages"))
        GTEST_SKIP() << "skipped: pdfimages is not installed";
    const auto list = runCommand("pdfimages -list " + shellQuoted(pdf.toStdString()));
    ASSERT_EQ(list.exitCode, 0);
    // Each line: page num type width height ...
    std::istringstream lines(list.output);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int page = 0, num = 0, width = 0, height = 0;
        std::string type;
        fields >> page >> num >> type >> width >> height;
        if (type == "smask")
            continue;
        EXPECT_LE(width, 349) << line;
        EXPECT_EQ(height, 590) << line;
    }
}

} // namespace
} // namespace zintaro::staff
