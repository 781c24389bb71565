#include "progress/progress_page.h"
#include "support/run_command.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <cstdlib>
#include <gtest/gtest.h>

// The program's pictures, as the window registers them before the page opens.
static void registerPictures()
{
    Q_INIT_RESOURCE(zintaro);
}

using namespace zintaro;
using namespace zintaro::testing;

namespace {

QString testData()
{
    const QString data = qEnvironmentVariable("ZINTARO_TEST_DATA");
    return data.isEmpty() ? QStringLiteral(ZINTARO_SOURCE_TEST_DATA) : data;
}

compose::ProgressFigures goldenFigures()
{
    return compose::readProgress(
        std::filesystem::path((testData() + QStringLiteral("/progress/history.csv")).toStdString()),
        compose::dayNumber(2026, 12, 7));
}

// Share of pixels whose colour differs by more than a little in any channel.
double differingShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d = std::max({ std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                std::abs(qBlue(p[col]) - qBlue(q[col])) });
            if (d > 40)
                ++differing;
        }
    }
    return double(differing) / (double(x.width()) * x.height());
}

class ProgressPageTest : public ::testing::Test {
protected:
    // The program's first language, whatever the machine's.
    void SetUp() override
    {
        registerPictures();
        QLocale::setDefault(QLocale::Italian);
    }

    std::unique_ptr<progress::ProgressPage> pageOf(
        compose::ProgressFigures figures, NoteNaming naming = NoteNaming::Solfege)
    {
        progress::PageInput input { std::move(figures), files.path(), naming };
        auto page = std::make_unique<progress::ProgressPage>(input);
        page->setAttribute(Qt::WA_DeleteOnClose, false);
        return page;
    }
    QTemporaryDir files;
};

} // namespace

TEST_F(ProgressPageTest, aFixedHistoryDrawsTheGoldenPicture)
{
    const auto page = pageOf(goldenFigures());
    page->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    const QImage picture = page->sheet()->grab().toImage();
    const QString golden = testData() + QStringLiteral("/progress/page.png");
    // ZINTARO_WRITE_GOLDEN=1 draws it anew, to be looked at before it is committed.
    if (std::getenv("ZINTARO_WRITE_GOLDEN"))
        picture.save(golden);
    const QImage expected(golden);
    ASSERT_FALSE(expected.isNull()) << golden.toStdString();
    const double differing = differingShare(picture, expected);
    if (differing > 0.01) {
        const QString artifacts = qEnvironmentVariable("ZINTARO_ARTIFACTS");
        if (!artifacts.isEmpty() && QDir().mkpath(artifacts))
            picture.save(artifacts + QStringLiteral("/progress-page.png"));
    }
    EXPECT_LE(differing, 0.01);
}

// A language chosen while the page is open reaches every word on it.
TEST_F(ProgressPageTest, aLanguageChosenWhileThePageIsOpenChangesItsWords)
{
    class Shouting : public QTranslator {
    public:
        QString translate(const char* context, const char* source, const char*, int) const override
        {
            return QByteArray(context) == "Progress" ? QString::fromUtf8(source).toUpper() : QString();
        }
        bool isEmpty() const override { return false; }
    };
    const auto page = pageOf(goldenFigures());
    page->show();
    Shouting shouting;
    QCoreApplication::installTranslator(&shouting);
    QCoreApplication::processEvents();
    EXPECT_EQ(page->windowTitle(), "PROGRESSI");
    EXPECT_EQ(page->exportButton()->text(), "ESPORTA PDF");
    const auto* totals = page->findChild<QLabel*>(QStringLiteral("totals"));
    ASSERT_TRUE(totals);
    EXPECT_TRUE(totals->text().startsWith("GIORNI DI PRATICA: 3")) << totals->text().toStdString();
    EXPECT_EQ(page->findChildren<QLabel*>(QStringLiteral("totals")).size(), 1) << "one sheet, the old one gone";
    QCoreApplication::removeTranslator(&shouting);
    QCoreApplication::processEvents();
}

TEST_F(ProgressPageTest, thePageShowsMistakesTotalsAndTheDamagedLines)
{
    const auto page = pageOf(goldenFigures());
    const auto text = [&](const char* name) { return page->findChild<QLabel*>(QLatin1String(name))->text(); };
    EXPECT_EQ(text("mistakes"), QStringLiteral("La4 → Sol4: 2 volte\nRe4 → Mi4: 1 volta\nSi bemolle 4 → La4: 1 volta"));
    EXPECT_EQ(pageOf(goldenFigures(), NoteNaming::Letters)->findChild<QLabel*>(QStringLiteral("mistakes"))->text(),
        QStringLiteral("A4 → G4: 2 volte\nD4 → E4: 1 volta\nB♭4 → A4: 1 volta"))
        << "the names in the naming chosen";
    EXPECT_EQ(text("totals"),
        QStringLiteral("Giorni di pratica: 3\nNote risposte: 9\nSessioni complete: 0\nGiorni di fila: 3\n"
                       "Miglior sessione: nessuna sessione completa"));
    EXPECT_EQ(text("damagedNote"), QStringLiteral("3 righe rovinate della storia sono state saltate."));
    EXPECT_NE(page->findChild<QWidget*>(QStringLiteral("staff_treble")), nullptr);
    EXPECT_NE(page->findChild<QWidget*>(QStringLiteral("staff_bass")), nullptr);
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("staff_grand")), nullptr);
    EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("emptyNote")), nullptr);
}

TEST_F(ProgressPageTest, everyClefPractisedHasItsStavesAndAWideRangeTakesTwo)
{
    compose::ProgressCounter counter(compose::dayNumber(2026, 12, 7));
    const char* session = "2026-12-07T08:00:00.000+01:00";
    const auto answer = [&](int second, int midi, const char* clef, const char* spelled) {
        counter.addLine(QStringLiteral("2026-12-07T08:00:%1.000+01:00,random,%2,%2,1,900,%3,%4,%5")
                            .arg(second, 2, 10, QLatin1Char('0'))
                            .arg(midi)
                            .arg(QLatin1String(session), QLatin1String(clef), QLatin1String(spelled))
                            .toStdString());
    };
    answer(1, 48, "grand", "C3");
    answer(2, 61, "grand", "Db4");
    answer(3, 70, "grand", "A#4");
    answer(4, 43, "bass", "G2");
    // The grand staff from C2 to C6 with two accidentals: 31 notes, on two staves.
    answer(5, 36, "grand", "C2");
    answer(6, 84, "grand", "C6");
    const auto page = pageOf(counter.finish());
    page->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    EXPECT_EQ(page->findChildren<QWidget*>(QStringLiteral("staff_grand")).size(), 2);
    EXPECT_EQ(page->findChildren<QWidget*>(QStringLiteral("staff_bass")).size(), 1);
    EXPECT_EQ(page->findChildren<QWidget*>(QStringLiteral("staff_treble")).size(), 0);
    const QString artifacts = qEnvironmentVariable("ZINTARO_ARTIFACTS");
    if (!artifacts.isEmpty() && QDir().mkpath(artifacts))
        page->sheet()->grab().save(artifacts + QStringLiteral("/progress-grand.png"));
}

TEST_F(ProgressPageTest, withoutHistoryThePageSaysHowToStart)
{
    compose::ProgressFigures none;
    none.today = compose::dayNumber(2026, 12, 7);
    const auto page = pageOf(none);
    const auto* empty = page->findChild<QLabel*>(QStringLiteral("emptyNote"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->text(), QStringLiteral("Attiva Rispondi in Leggi: ogni risposta comparirà qui."));
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("progressChart")), nullptr);
    EXPECT_FALSE(page->exportButton()->isEnabled());
}

TEST_F(ProgressPageTest, escapeClosesThePage)
{
    progress::PageInput input { goldenFigures(), files.path(), NoteNaming::Solfege };
    QPointer<QWidget> page = new progress::ProgressPage(input);
    page->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page));
    QTest::keyClick(page, Qt::Key_Escape);
    QTRY_VERIFY(page.isNull());
}

TEST_F(ProgressPageTest, thePdfIsOneA4PageWithTheNoteNamesAndTheTotals)
{
    for (const char* reader : { "pdftoppm", "pdfinfo", "pdftotext" })
        if (!haveProgram(reader))
            GTEST_SKIP() << reader << " is missing (poppler-utils)";
    const auto page = pageOf(goldenFigures());
    page->exportButton()->click();
    const QString file = files.path() + QStringLiteral("/progressi-2026-12-07.pdf");
    ASSERT_TRUE(QFile::exists(file)) << page->exportNote()->text().toStdString();
    EXPECT_TRUE(page->exportNote()->text().contains(QStringLiteral("progressi-2026-12-07.pdf")));
    const std::string path = shellQuoted(file.toStdString());

    const auto info = runCommand("pdfinfo " + path);
    EXPECT_NE(info.output.find("Pages:           1"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("(A4)"), std::string::npos) << info.output;

    const auto textOf = [](const std::string& pdf) {
        auto text = runCommand("pdftotext -layout " + pdf + " -");
        // The font's ligatures come back as one letter.
        for (const auto& [ligature, letters] : { std::pair { "ﬁ", "fi" }, std::pair { "ﬂ", "fl" } })
            for (auto at = text.output.find(ligature); at != std::string::npos; at = text.output.find(ligature))
                text.output.replace(at, std::string_view(ligature).size(), letters);
        return text.output;
    };
    const std::string text = textOf(path);
    for (const char* expected : { "La4 → Sol4: 2 volte", "Si bemolle 4 → La4: 1 volta", "Giorni di pratica: 3",
             "Note risposte: 9", "Sessioni complete: 0", "Giorni di fila: 3", "Chiave di Fa", "Ultimi 30 giorni",
             "■ Giuste al primo colpo (%)", "■ Note al minuto", "1,4 s" })
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_EQ(text.find("A tempo"), std::string::npos) << "no timing lines without notes played in time";

    // In English the numbers take points; notes played in time add their
    // lines to the chart and the rhythm to the totals.
    QLocale::setDefault(QLocale::English);
    auto timed = goldenFigures();
    timed.recentDays.back().timedNotes = 4;
    timed.recentDays.back().onTime = 3;
    timed.recentDays.back().onsetsHeard = 4;
    timed.recentDays.back().onsetErrorMs = 260;
    timed.meanOnsetMs = -12;
    const QString english = files.path() + QStringLiteral("/english.pdf");
    QFile englishFile(english);
    ASSERT_TRUE(englishFile.open(QIODevice::WriteOnly));
    englishFile.write(pageOf(timed)->pdf());
    englishFile.close();
    const std::string englishText = textOf(shellQuoted(english.toStdString()));
    for (const char* expected :
        { "1.4 s", "■ A tempo (%)", "■ Errore medio (ms)", "Ritmo: in media 12 ms in anticipo" })
        EXPECT_NE(englishText.find(expected), std::string::npos) << expected << "\n" << englishText;
    EXPECT_EQ(englishText.find("1,4 s"), std::string::npos) << englishText;

    const QString out = files.path() + QStringLiteral("/rendered");
    ASSERT_EQ(runCommand("pdftoppm -png -r 40 " + path + " " + shellQuoted(out.toStdString())).exitCode, 0);
    const QImage rendered(out + QStringLiteral("-1.png"));
    ASSERT_FALSE(rendered.isNull());
    // Portrait, with ink on it: at least some notes' colours.
    EXPECT_GT(rendered.height(), rendered.width());
    int coloured = 0;
    for (int y = 0; y < rendered.height(); ++y)
        for (int x = 0; x < rendered.width(); ++x) {
            const QColor c = rendered.pixelColor(x, y);
            coloured += c.saturation() > 120 ? 1 : 0;
        }
    EXPECT_GT(coloured, 50);

    // A second export of the day keeps the first.
    page->exportButton()->click();
    EXPECT_TRUE(QFile::exists(files.path() + QStringLiteral("/progressi-2026-12-07-2.pdf")));
}
