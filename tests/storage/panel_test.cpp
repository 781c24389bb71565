#include "storage/composition_file.h"
#include "storage/file_panel.h"
#include "storage/system_reason.h"
#include "storage_test_support.h"
#include "support/scripted_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zintaro::storage {
namespace {

namespace fs = std::filesystem;
using testing::loadTelling;
using testing::ScriptedDialogs;
using testing::TemporaryFolder;
using testing::writeBytes;

QString qt(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

class Panel : public ::testing::Test {
protected:
    Panel()
    {
        window.resize(800, 600);
        window.show();
    }

    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < panel.fileList()->count(); ++i)
            names << panel.fileList()->item(i)->text();
        return names;
    }

    QPoint centreOf(int row) const { return panel.fileList()->visualItemRect(panel.fileList()->item(row)).center(); }

    fs::path files() const { return m_temp.path() / "files"; }

    TemporaryFolder m_temp;
    ScriptedDialogs dialogs;
    QWidget window;
    FilePanel panel { &window };
};

TEST_F(Panel, listsTheCompositionAndExerciseFilesOfTheFolderByNameAndNothingElse)
{
    EXPECT_FALSE(panel.isVisible());
    fs::create_directories(files() / "folder.txt");
    for (const char* name : { "b.txt", "a.txt", "song.txt.old", ".dotted.txt", "notes.mid", "readme", ".saving-1-0",
             "scala.zex", "scala.zex.old", ".zex" })
        writeBytes(files() / name, "");

    panel.openForLoading(qt(files()), "Carica");
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(listed(), (QStringList { ".dotted.txt", "a.txt", "b.txt", "scala.zex", "song.txt.old" }));

    // The list is read anew at every opening.
    writeBytes(files() / "c.txt", "");
    fs::remove(files() / "a.txt");
    panel.openForSaving(qt(files()), "Salva");
    EXPECT_EQ(listed(), (QStringList { ".dotted.txt", "b.txt", "c.txt", "scala.zex", "song.txt.old" }));
}

TEST_F(Panel, clickingANameFillsTheNameBoxAndADoubleClickAsksToLoadIt)
{
    fs::create_directories(files());
    writeBytes(files() / "song.txt", "");
    writeBytes(files() / "song.txt.old", "");
    panel.openForLoading(qt(files()), "Carica");
    ASSERT_EQ(listed(), (QStringList { "song.txt", "song.txt.old" }));

    // Hidden name box: the click still fills it.
    QTest::mouseClick(panel.fileList()->viewport(), Qt::LeftButton, {}, centreOf(1));
    EXPECT_EQ(panel.nameBox()->text(), "song.txt");
    QTest::mouseClick(panel.fileList()->viewport(), Qt::LeftButton, {}, centreOf(0));
    EXPECT_EQ(panel.nameBox()->text(), "song");

    QSignalSpy loads(&panel, &FilePanel::loadRequested);
    // A double click, as the list sees it: a click, then the second press.
    QTest::mouseClick(panel.fileList()->viewport(), Qt::LeftButton, {}, centreOf(1));
    QTest::mouseDClick(panel.fileList()->viewport(), Qt::LeftButton, {}, centreOf(1));
    ASSERT_EQ(loads.count(), 1);
    EXPECT_EQ(loads.at(0).at(0).value<fs::path>(), files() / "song.txt.old");
    EXPECT_EQ(panel.pathOf("song.txt.old"), qt(files() / "song.txt.old"));
}

TEST_F(Panel, openingForSavingSelectsTheWholeNameSoTypingReplacesIt)
{
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    panel.nameBox()->setText("earlier");
    panel.openForSaving(qt(files()), "Salva");
    EXPECT_TRUE(panel.nameBox()->isVisible());
    EXPECT_TRUE(panel.nameBox()->hasFocus());
    EXPECT_EQ(panel.nameBox()->selectedText(), "earlier");
    EXPECT_EQ(panel.actionLabel()->text(), "Salva");

    QSignalSpy saves(&panel, &FilePanel::saveRequested);
    QTest::keyClicks(panel.nameBox(), "tune");
    QTest::keyClicks(panel.nameBox(), " two");
    EXPECT_EQ(saves.count(), 0);
    QTest::keyClick(panel.nameBox(), Qt::Key_Return);
    ASSERT_EQ(saves.count(), 1);
    EXPECT_EQ(saves.at(0).at(0).toString(), "tune two");

    // "Carica" while the save panel is open hides the name box, keeps the panel.
    panel.openForLoading(qt(files()), "Carica");
    EXPECT_TRUE(panel.isVisible());
    EXPECT_FALSE(panel.nameBox()->isVisible());
    EXPECT_EQ(panel.actionLabel()->text(), "Carica");

    // Escape, from the name box or the list, closes the panel and asks for nothing.
    for (QWidget* from : { static_cast<QWidget*>(panel.nameBox()), static_cast<QWidget*>(panel.fileList()) }) {
        panel.openForSaving(qt(files()), "Esporta PDF", ".pdf");
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Escape);
        EXPECT_FALSE(panel.isVisible());
    }
    EXPECT_EQ(saves.count(), 1);
}

TEST_F(Panel, aNameThatIsNotUtf8IsListedWithReplacementCharactersAndLoads)
{
    fs::create_directories(files());
    const std::string raw = "canzone \xe8.txt";
    writeBytes(files() / raw, "\"_\",0,14,2\r\n\"_\",111,111,111\r\n");
    panel.openForLoading(qt(files()), "Carica");
    const QString shown = QStringLiteral("canzone \uFFFD.txt");
    ASSERT_EQ(listed(), (QStringList { shown }));
    EXPECT_EQ(panel.fileOf(shown), files() / raw);

    QSignalSpy loads(&panel, &FilePanel::loadRequested);
    QTest::mouseClick(panel.fileList()->viewport(), Qt::LeftButton, {}, centreOf(0));
    QTest::mouseDClick(panel.fileList()->viewport(), Qt::LeftButton, {}, centreOf(0));
    ASSERT_EQ(loads.count(), 1);
    const auto file = loads.at(0).at(0).value<fs::path>();
    EXPECT_EQ(file, files() / raw);
    const auto loaded = loadTelling(file, dialogs);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->noteCount(), 1);
}

TEST_F(Panel, openingRemovesTheTemporariesOfEndedCopiesAndNeverListsAny)
{
    fs::create_directories(files());
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = ".saving-" + std::to_string(child) + "-0";
    const std::string alive = ".saving-" + std::to_string(::getpid()) + "-0";
    for (const std::string& name : { dead, alive })
        writeBytes(files() / name, "\"_\",0,14,2\r\n");

    panel.openForLoading(qt(files()), "Carica");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(fs::exists(files() / dead));
    EXPECT_TRUE(fs::exists(files() / alive));
}

TEST_F(Panel, aMissingFolderIsCreatedAndOneThatCannotBeIsReportedAtEachOpening)
{
    QObject::connect(&panel, &FilePanel::folderProblem, [this](const Text& text) { dialogs.message(text); });
    panel.openForLoading(qt(files()), "Carica");
    EXPECT_TRUE(fs::is_directory(files()));
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_TRUE(dialogs.shown.empty());

    writeBytes(m_temp.path() / "plain", "");
    const QString impossible = qt(m_temp.path() / "plain" / "files");
    panel.openForLoading(impossible, "Carica");
    panel.openForSaving(impossible, "Salva");
    EXPECT_TRUE(listed().isEmpty());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_NE(dialogs.shown[0].text.find(systemReason(ENOTDIR).render()), std::string::npos);
}

} // namespace
} // namespace zintaro::storage
