#include "app/progress_opener.h"
#include "input/key_map.h"
#include "storage/answers_log.h"
#include "window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace zintaro::testing {
namespace {

namespace fs = std::filesystem;

// A small file system of its own over the compositions folder and over the
// answers' folder, which a file fills to the last byte until it is removed.
// Mounting one takes the superuser; without, the tests say skipped.
class FullDiskWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "skipped: a small file system of its own needs the superuser";
        progressModuleFolders = { QStringLiteral(ZINTARO_PROGRESS_MODULE_DIR) };
        for (const QTemporaryDir* dir : { &files, &dataHome }) {
            const std::string path = dir->path().toStdString();
            if (::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=256k") != 0)
                GTEST_SKIP() << "skipped: no tmpfs could be mounted here";
            m_mounted.push_back(path);
        }
        WindowTest::SetUp();
    }

    void TearDown() override
    {
        WindowTest::TearDown();
        for (const std::string& path : m_mounted)
            ::umount(path.c_str());
    }

    // Takes every free byte of the folder's file system.
    static void fill(const QTemporaryDir& dir)
    {
        const std::string filler = (fs::path(dir.path().toStdString()) / ".filler").string();
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) { }
        while (::write(fd, block.data(), 1) > 0) { }
        ::close(fd);
    }
    static void free(const QTemporaryDir& dir) { QFile::remove(dir.filePath(QStringLiteral(".filler"))); }

    void saveAs(QAction* action, const char* name)
    {
        action->trigger();
        form->controls().filePanel->nameBox()->setText(QString::fromLatin1(name));
        QTest::keyClick(form->controls().filePanel->nameBox(), Qt::Key_Return);
        form->controls().filePanel->hide();
    }

    QWidget* openProgress()
    {
        QSignalSpy shown(&form->progress(), &app::ProgressOpener::pageShown);
        form->controls().progressAction->trigger();
        if (!form->progress().page() && !shown.wait(10000))
            return nullptr;
        return form->progress().page();
    }

    QString statusText() const { return form->findChild<QLabel*>(QStringLiteral("StatusText"))->text(); }

    void answer(int16_t key)
    {
        const auto code = static_cast<Qt::Key>(input::KeyShortcuts.at(static_cast<size_t>(key)).keyCode);
        QTest::keyClick(focused(), code);
    }

private:
    std::vector<std::string> m_mounted;
};

// Save and export on a full disk: told in one sentence, the earlier file
// intact, the piece and its undo kept, the status text saying it is not
// saved until a save succeeds; once there is room, written whole. So is the
// progress page's PDF, and no part of a refused one is left.
// Answers on a full disk wait, the status line says so, and once there is
// room every one goes in once, in order.
TEST_F(FullDiskWindowTest, nothingIsLostOnAFullDiskAndAllIsWrittenOnceThereIsRoom)
{
    compose();
    for (const int key : { Qt::Key_T, Qt::Key_Y, Qt::Key_U })
        tap(key);
    saveAs(form->controls().saveAction, "melodia");
    const QString saved = files.filePath(QStringLiteral("melodia.txt"));
    QFile earlier(saved);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    const QByteArray earlierBytes = earlier.readAll();
    earlier.close();

    fill(files);
    tap(Qt::Key_A);
    saveAs(form->controls().saveAction, "melodia");
    saveAs(form->controls().exportActions.at(0), "melodia");
    ASSERT_EQ(dialogs.shown.size(), 2U);
    EXPECT_EQ(dialogs.shown[0].text, "Disco pieno: la composizione non è stata salvata; quella di prima è intatta");
    EXPECT_EQ(dialogs.shown[1].text, "Disco pieno: il file non è stato esportato");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), earlierBytes);
    earlier.close();
    EXPECT_FALSE(QFile::exists(files.filePath(QStringLiteral("melodia.mid"))));
    EXPECT_EQ(form->workspace().state().NoteCount, 4) << "the piece stays on the staff";
    EXPECT_TRUE(form->controls().undoAction->isEnabled());
    // The status text keeps saying so after edits and their undo.
    tap(Qt::Key_S);
    form->controls().undoAction->trigger();
    EXPECT_EQ(statusText().toStdString(), dialogs.shown[0].text);

    free(files);
    EXPECT_EQ(statusText().toStdString(), dialogs.shown[0].text) << "still not saved while nothing has been saved";
    saveAs(form->controls().saveAction, "melodia");
    saveAs(form->controls().exportActions.at(0), "melodia");
    EXPECT_EQ(dialogs.shown.size(), 2U) << "nothing more to tell";
    EXPECT_FALSE(statusText().contains("non è stata salvata")) << statusText().toStdString();
    EXPECT_EQ(storage::loadComposition(saved.toStdString()).piece->noteCount(), 4);
    EXPECT_TRUE(QFile::exists(files.filePath(QStringLiteral("melodia.mid"))));

    form->controls().modeButtons.at(3)->click();
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    ASSERT_TRUE(form->workspace().answering());
    fill(dataHome);
    const int16_t first = form->workspace().reading().shownKey;
    answer(static_cast<int16_t>(first == 7 ? 9 : 7));
    answer(first);
    EXPECT_TRUE(statusText().startsWith("Disco pieno: le risposte non sono state scritte"))
        << statusText().toStdString();

    free(dataHome);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->workspace().reading().shownKey != first; }, 3000));
    answer(form->workspace().reading().shownKey);
    EXPECT_FALSE(statusText().contains("Disco pieno")) << statusText().toStdString();
    const auto rows = storage::readAnswerHistory(fs::path(dataHome.path().toStdString()) / "zintaro" / "answers.csv");
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_FALSE(rows[0].record.right);
    EXPECT_TRUE(rows[1].record.right);

    // The progress page's PDF: refused in a sentence, no part of it left;
    // written once there is room.
    fill(files);
    QPointer<QWidget> page = openProgress();
    ASSERT_FALSE(page.isNull());
    auto* pdfButton = page->findChild<QPushButton*>(QStringLiteral("exportPdfButton"));
    const auto* pdfNote = page->findChild<QLabel*>(QStringLiteral("exportNote"));
    ASSERT_TRUE(pdfButton && pdfNote);
    pdfButton->click();
    EXPECT_EQ(pdfNote->text(), "Il PDF non è stato salvato: il disco è pieno");
    const auto pdfs = [&] {
        return QDir(files.path())
            .entryList({ QStringLiteral("*progressi*"), QStringLiteral(".saving-*") }, QDir::Files | QDir::Hidden);
    };
    EXPECT_TRUE(pdfs().isEmpty()) << pdfs().join(' ').toStdString();
    free(files);
    pdfButton->click();
    EXPECT_TRUE(pdfNote->text().startsWith("Salvato in ")) << pdfNote->text().toStdString();
    EXPECT_EQ(pdfs().size(), 1) << pdfs().join(' ').toStdString();
}

} // namespace
} // namespace zintaro::testing
