#include "app/progress_opener.h"
#include "support/run_command.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>

namespace zintaro::testing {

namespace {

// The real window with the progress module where the build puts it, or in a
// folder of the test's choosing.
class ProgressWindowTest : public WindowTest {
protected:
    void SetUp() override { }

    void start(const QStringList& moduleFolders, const QString& filesFolder = {})
    {
        // The remembered choices (a language chosen here) stay in the
        // test's own folders too.
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
        qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
        form = std::make_unique<app::Form1>(app::Form1Services {
            dialogs, midi, speech, filesFolder.isEmpty() ? files.path() : filesFolder, false, moduleFolders });
        form->Form_Load();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void writeHistory()
    {
        const QString data = qEnvironmentVariable("ZINTARO_TEST_DATA", QStringLiteral(ZINTARO_SOURCE_TEST_DATA));
        ASSERT_TRUE(QDir(dataHome.path()).mkpath(QStringLiteral("zintaro")));
        ASSERT_TRUE(QFile::copy(
            data + QStringLiteral("/progress/history.csv"), dataHome.path() + QStringLiteral("/zintaro/answers.csv")));
    }

    // Whether a library of that name is loaded into the test's process.
    static bool loaded(const char* name)
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
    }

    QWidget* openFromTheMenu()
    {
        QSignalSpy shown(&form->progress(), &app::ProgressOpener::pageShown);
        form->controls().progressAction->trigger();
        if (!form->progress().page() && !shown.wait(10000))
            return nullptr;
        return form->progress().page();
    }
};

} // namespace

TEST_F(ProgressWindowTest, theMenuOpensOnePageThatEscapeCloses)
{
    start({ QStringLiteral(ZINTARO_PROGRESS_MODULE_DIR) });
    writeHistory();

    // "Progressi" follows the "Pratica" submenu in "Menù".
    const QList<QAction*> items = form->menuBar()->actions().first()->menu()->actions();
    const auto progress = items.indexOf(form->controls().progressAction);
    ASSERT_GT(progress, 0);
    EXPECT_EQ(items[progress - 1]->iconText(), QStringLiteral("Pratica"));
    EXPECT_EQ(form->controls().progressAction->iconText(), QStringLiteral("Progressi"));

    // Nothing of the page is loaded before it is first opened.
    EXPECT_FALSE(loaded("zintaro-progress"));
    EXPECT_FALSE(loaded("Qt6Charts"));
    QPointer<QWidget> page = openFromTheMenu();
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(loaded("zintaro-progress"));
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(page->isWindow());
    EXPECT_FALSE(page->isModal());
    const auto* totals = page->findChild<QLabel*>(QStringLiteral("totals"));
    ASSERT_NE(totals, nullptr);
    EXPECT_TRUE(totals->text().contains(QStringLiteral("Note risposte: 9")));

    // The main window keeps working meanwhile, and a second opening brings
    // the same page forward.
    form->controls().modeButtons.at(0)->click();
    EXPECT_EQ(form->workspace().state().DrawScale, 1);
    EXPECT_EQ(openFromTheMenu(), page.data());
    EXPECT_EQ(form->findChildren<QWidget*>(QStringLiteral("progressPage")).size(), 1);

    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page));
    QTest::keyClick(page, Qt::Key_Escape);
    QTRY_VERIFY(page.isNull());
    EXPECT_TRUE(form->isVisible());

    // Closed, it opens anew, read again.
    page = openFromTheMenu();
    ASSERT_FALSE(page.isNull());
    page->close();
    QTRY_VERIFY(page.isNull());
}

TEST_F(ProgressWindowTest, aMissingModuleIsAStatusNote)
{
    QTemporaryDir empty;
    start({ empty.path() });
    QSignalSpy note(&form->progress(), &app::ProgressOpener::statusNote);
    form->controls().progressAction->trigger();
    ASSERT_TRUE(note.wait(10000));
    EXPECT_EQ(form->progress().page(), nullptr);
    EXPECT_TRUE(form->controls().statusText->text().contains(QStringLiteral("zintaro-progress.so")))
        << form->controls().statusText->text().toStdString();
    EXPECT_TRUE(dialogs.shown.empty());
}

// The page is a module of its own, yet its words and the reasons the storage
// gives follow the language chosen in the window. The files folder cannot be
// made, whoever runs the test: its parent is a regular file.
TEST_F(ProgressWindowTest, theExportsReasonFollowsTheLanguageChosenInTheWindow)
{
    QFile blocker(files.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start({ QStringLiteral(ZINTARO_PROGRESS_MODULE_DIR) }, blocker.fileName() + QStringLiteral("/files"));
    writeHistory();
    form->controls().languageActions[1]->trigger();

    QPointer<QWidget> page = openFromTheMenu();
    ASSERT_FALSE(page.isNull());
    auto* button = page->findChild<QPushButton*>(QStringLiteral("exportPdfButton"));
    const auto* note = page->findChild<QLabel*>(QStringLiteral("exportNote"));
    ASSERT_TRUE(button && note);
    EXPECT_EQ(button->text(), QStringLiteral("Export PDF"));
    button->click();
    EXPECT_TRUE(note->text().startsWith(QStringLiteral("The PDF was not saved: ")));
    EXPECT_TRUE(note->text().contains(QStringLiteral("a part of the path is not a folder")))
        << note->text().toStdString();
    page->close();
    QTRY_VERIFY(page.isNull());
}

TEST(ProgressModule, theProgramDoesNotLinkQtCharts)
{
    if (!haveProgram("ldd"))
        GTEST_SKIP() << "ldd is missing";
    const auto linked = runCommand("ldd " + shellQuoted(ZINTARO_EXECUTABLE));
    ASSERT_EQ(linked.exitCode, 0);
    EXPECT_EQ(linked.output.find("Charts"), std::string::npos) << linked.output;
    EXPECT_NE(linked.output.find("Widgets"), std::string::npos) << linked.output;
}

} // namespace zintaro::testing
