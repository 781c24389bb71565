#include "window_fixture.h"

#include <QFile>
#include <QFileDialog>
#include <QScrollBar>

namespace zintaro::testing {
namespace {

// Two parts; the second holds a chord and a note below the composition's
// staff, in G major, 3/4, at 120 quarters a minute.
constexpr const char* TwoParts = R"(<?xml version="1.0" encoding="UTF-8"?>
<score-partwise version="4.0">
  <part-list>
    <score-part id="P1"><part-name>Flauto</part-name></score-part>
    <score-part id="P2"><part-name>Violino</part-name></score-part>
  </part-list>
  <part id="P1"><measure number="1">
    <attributes><divisions>1</divisions><key><fifths>1</fifths></key><time><beats>3</beats><beat-type>4</beat-type></time></attributes>
    <note><rest/><duration>3</duration><type>half</type><dot/></note>
  </measure></part>
  <part id="P2"><measure number="1">
    <attributes><divisions>2</divisions><key><fifths>1</fifths></key><time><beats>3</beats><beat-type>4</beat-type></time></attributes>
    <sound tempo="120"/>
    <note><pitch><step>F</step><alter>1</alter><octave>4</octave></pitch><duration>3</duration><type>quarter</type><dot/></note>
    <note><pitch><step>A</step><octave>4</octave></pitch><duration>1</duration><type>eighth</type></note>
    <note><chord/><pitch><step>C</step><octave>5</octave></pitch><duration>1</duration><type>eighth</type></note>
    <note><pitch><step>G</step><octave>2</octave></pitch><duration>2</duration><type>quarter</type></note>
  </measure></part>
</score-partwise>
)";

class ImportWindowTest : public WindowTest {
protected:
    // The importers are a module of the build tree.
    void SetUp() override
    {
        progressModuleFolders = { QStringLiteral(ZINTARO_PROGRESS_MODULE_DIR) };
        WindowTest::SetUp();
    }

    std::vector<Entry> piece() const
    {
        std::vector<Entry> entries;
        for (int p = 0; p < form->workspace().state().NoteCount; ++p)
            entries.push_back(form->workspace().state().Composition.at(p));
        return entries;
    }
};

// "Importa…" through the file chooser: the part is asked for, then "Sicuro?"
// over a piece not saved; the piece comes in with its key, meter and tempo,
// the chord and the octave told, and "Annulla" takes it all back.
TEST_F(ImportWindowTest, aScoreChosenInTheFileChooserBecomesThePieceInOneUndoableChange)
{
    compose();
    tap(Qt::Key_T);
    const std::vector<Entry> before = piece();
    const QString score = files.filePath(QStringLiteral("duo.musicxml"));
    QFile file(score);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(TwoParts);
    file.close();

    dialogs.choices = { 1 };
    dialogs.answers = { true };
    form->controls().importAction->trigger();
    auto* chooser = form->findChild<QFileDialog*>(QStringLiteral("importChooser"));
    ASSERT_TRUE(chooser);
    EXPECT_EQ(QDir(chooser->directory()).canonicalPath(), QDir(files.path()).canonicalPath());
    chooser->selectFile(score);
    QMetaObject::invokeMethod(chooser, "accept");
    QTRY_VERIFY_WITH_TIMEOUT(piece() != before, 10000);

    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0].text, "Quale parte importare?");
    EXPECT_EQ(dialogs.shown[1].text, "Sicuro?");
    EXPECT_EQ(dialogs.shown[2].text,
        "Importato, con qualche cambiamento: 1 accordo ridotto alla nota più alta; "
        "1 nota spostata d'ottava per stare sul pentagramma.");
    const Modulo1& m = form->workspace().state();
    EXPECT_EQ(m.PieceKey, (Key { 1, KeyMode::Major }));
    EXPECT_EQ(m.PieceMeter, (Meter { 3, 4 }));
    EXPECT_EQ(form->controls().tempoBar->value(), 67); // 8000 / 120
    // F♯4 dotted quarter, C5 eighth (the chord's top), G3 quarter (from G2).
    EXPECT_EQ(piece(),
        (std::vector<Entry> { { 0, 13, 2, true, false }, { 0, 19, 3, false, false }, { 0, 2, 2, false, false } }));

    form->controls().undoAction->trigger();
    EXPECT_EQ(piece(), before);
}

} // namespace
} // namespace zintaro::testing
