#include "app/exercise_dialog.h"
#include "input/key_map.h"
#include "storage/file_panel.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>

namespace zintaro::testing {
namespace {

// C5, D5, a rest and E5 in 4/4: three notes for the exam.
constexpr const char* ThreeNotes = R"(<?xml version="1.0" encoding="UTF-8"?>
<score-partwise version="4.0">
  <part-list><score-part id="P1"><part-name>Flauto</part-name></score-part></part-list>
  <part id="P1"><measure number="1">
    <attributes><divisions>1</divisions><time><beats>4</beats><beat-type>4</beat-type></time></attributes>
    <note><pitch><step>C</step><octave>5</octave></pitch><duration>1</duration><type>quarter</type></note>
    <note><pitch><step>D</step><octave>5</octave></pitch><duration>1</duration><type>quarter</type></note>
    <note><rest/><duration>1</duration><type>quarter</type></note>
    <note><pitch><step>E</step><octave>5</octave></pitch><duration>1</duration><type>quarter</type></note>
  </measure></part>
</score-partwise>
)";

class ExamWindowTest : public WindowTest {
protected:
    // The importers are a module of the build tree.
    void SetUp() override
    {
        progressModuleFolders = { QStringLiteral(ZINTARO_PROGRESS_MODULE_DIR) };
        WindowTest::SetUp();
    }

    void playNote(int midiNote)
    {
        const auto index = static_cast<std::size_t>(midiNote - MidiNoteOfLowestKey);
        QTest::keyClick(focused() ? focused() : form->controls().piano->key(0),
            static_cast<Qt::Key>(input::KeyShortcuts.at(index).keyCode));
        QTRY_VERIFY_WITH_TIMEOUT(!form->answerTimer().isActive(), 3000);
    }
};

// A teacher's piece imported, saved as an exercise with its settings typed
// in, opened and passed with one miss asked again; the certificate carries
// the student's name, the title and the figures, and the history the exam.
TEST_F(ExamWindowTest, anExercisePassedWithTheKeysEndsWithItsCertificate)
{
    compose();
    const QString score = files.filePath(QStringLiteral("tre.musicxml"));
    QFile file(score);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ThreeNotes);
    file.close();
    form->controls().importAction->trigger();
    auto* chooser = form->findChild<QFileDialog*>(QStringLiteral("importChooser"));
    ASSERT_TRUE(chooser);
    chooser->selectFile(score);
    QMetaObject::invokeMethod(chooser, "accept");
    QTRY_COMPARE_WITH_TIMEOUT(form->workspace().state().NoteCount, 4, 10000);

    // "Salva" as name.zex: the settings asked, by the keys alone; Escape saves nothing.
    const auto askSettings = [this] {
        form->controls().saveAction->trigger();
        form->controls().filePanel->nameBox()->setText(QStringLiteral("lettura.zex"));
        QTest::keyClick(form->controls().filePanel->nameBox(), Qt::Key_Return);
        auto* dialog = form->findChild<app::ExerciseDialog*>(QStringLiteral("ExerciseDialog"));
        return dialog && QTest::qWaitForWindowExposed(dialog) && dialog->focusWidget() ? dialog : nullptr;
    };
    const std::filesystem::path exercise = files.filePath(QStringLiteral("lettura.zex")).toStdString();
    app::ExerciseDialog* settings = askSettings();
    ASSERT_TRUE(settings);
    QTest::keyClick(settings->focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!form->findChild<app::ExerciseDialog*>(QStringLiteral("ExerciseDialog")));
    EXPECT_FALSE(std::filesystem::exists(exercise));
    settings = askSettings();
    ASSERT_TRUE(settings);
    QTest::keyClick(settings->focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(settings->focusWidget(), QStringLiteral("Lettura, \"prima\""));
    QTest::keyClick(settings->focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(settings->focusWidget(), QStringLiteral("Piano."));
    QTest::keyClick(settings->focusWidget(), Qt::Key_Tab);
    QTest::keyClick(settings->focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(settings->focusWidget(), QStringLiteral("60"));
    QTest::keyClick(settings->focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(std::filesystem::exists(exercise));

    // Opened from the file chooser of "Importa…", as from anywhere.
    QTRY_VERIFY(!form->findChild<QFileDialog*>(QStringLiteral("importChooser")));
    form->controls().importAction->trigger();
    chooser = form->findChild<QFileDialog*>(QStringLiteral("importChooser"));
    ASSERT_TRUE(chooser);
    chooser->selectFile(QString::fromStdString(exercise.string()));
    QMetaObject::invokeMethod(chooser, "accept");
    ASSERT_TRUE(form->workspace().exercise());
    EXPECT_EQ(form->workspace().exercise()->passMark, 60);
    EXPECT_EQ(form->workspace().exercise()->instructions, "Piano.");
    form->controls().modeButtons.at(3)->click();
    if (!form->controls().answerSwitch->isChecked())
        QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);

    // The piece's notes in order; the first missed once, then asked again at the end.
    std::vector<int> asked;
    dialogs.lines = { std::string("Anna Rossi") };
    while (const auto note = form->workspace().reading().awaited) {
        if (asked.empty())
            playNote(*note + 2);
        asked.push_back(*note);
        playNote(*note);
        ASSERT_LT(asked.size(), 10u);
    }
    EXPECT_EQ(asked, (std::vector<int> { 72, 74, 76, 72 }));

    QTRY_VERIFY_WITH_TIMEOUT(
        !dialogs.shown.empty() && dialogs.shown.back().text.starts_with("Attestato salvato"), 5000);
    const QStringList certificates = QDir(files.path()).entryList({ QStringLiteral("attestato-*.pdf") });
    ASSERT_EQ(certificates.size(), 1);
    QFile history(dataHome.path() + QStringLiteral("/zintaro/answers.csv"));
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    const QByteArray lines = history.readAll().trimmed();
    const QByteArray exam = lines.mid(lines.lastIndexOf('\n') + 1);
    EXPECT_TRUE(exam.contains(",exam,66,60,1,")) << exam.toStdString();
    EXPECT_TRUE(exam.endsWith(",\"Lettura, \"\"prima\"\"\"")) << exam.toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is missing";
    QProcess text;
    text.start(QStringLiteral("pdftotext"), { QDir(files.path()).filePath(certificates.front()), QStringLiteral("-") });
    ASSERT_TRUE(text.waitForFinished(10000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    EXPECT_TRUE(words.contains(QStringLiteral("Anna Rossi"))) << words.toStdString();
    EXPECT_TRUE(words.contains(QStringLiteral("Lettura, \"prima\""))) << words.toStdString();
    EXPECT_TRUE(words.contains(QStringLiteral("2 su 3 (66 %)"))) << words.toStdString();
}

} // namespace
} // namespace zintaro::testing
