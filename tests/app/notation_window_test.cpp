#include "app/notation_dialog.h"
#include "staff/staff_widget.h"
#include "storage/file_panel.h"
#include "window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace zintaro::testing {
namespace {

class NotationWindowTest : public WindowTest {
protected:
    // The key that chooses an entry of the open menu: its underlined letter.
    static Qt::Key letterKey(const QAction* action)
    {
        const QString text = action->text();
        const auto at = text.indexOf(u'&');
        return at < 0 ? Qt::Key_unknown : static_cast<Qt::Key>(text[at + 1].toUpper().unicode());
    }

    // Where the window's keys go: the widget with the focus, else the piano.
    QWidget* keyTarget() const { return focused() ? focused() : form->controls().piano->key(0); }

    QByteArray fileBytes(const QString& name) const
    {
        QFile file(files.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void saveThroughThePanel(QAction* action, const QString& name)
    {
        action->trigger();
        form->controls().filePanel->nameBox()->setText(name);
        QTest::keyClick(form->controls().filePanel->nameBox(), Qt::Key_Return);
    }
};

// "Armatura e metro…" with the keyboard only, from the menu to OK: the staff
// shows the signature and the note is named as written; undo gives back C
// major in 4/4 and its very picture; the file, the MIDI export and a load
// keep D major in 3/4.
TEST_F(NotationWindowTest, theDialogByKeysSetsKeyAndMeterThatUndoSaveExportAndLoadKeep)
{
    compose();
    form->controls().durationButtons.at(2)->click();
    tap(Qt::Key_6); // F♯4
    EXPECT_EQ(form->controls().nameLabel->text(), "Fa diesis");
    const QImage plain = form->controls().staff->marks().copy();

    QTest::keyClick(keyTarget(), Qt::Key_F10);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() == form->controls().menu, 2000);
    QTest::keyClick(form->controls().menu, letterKey(form->controls().notationAction));
    auto* dialog = form->findChild<app::NotationDialog*>();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    EXPECT_EQ(dialog->focusWidget(), dialog->signatureList());
    EXPECT_EQ(dialog->signatureList()->count(), 15);
    EXPECT_EQ(dialog->signatureList()->itemText(2), "Re maggiore / Si minore");
    QTest::keyClick(dialog->signatureList(), Qt::Key_Down);
    QTest::keyClick(dialog->signatureList(), Qt::Key_Down);
    QTest::keyClick(dialog->signatureList(), Qt::Key_Tab);
    ASSERT_EQ(dialog->focusWidget(), dialog->modeList());
    QTest::keyClick(dialog->modeList(), Qt::Key_Tab);
    ASSERT_EQ(dialog->focusWidget(), dialog->meterList());
    QTest::keyClick(dialog->meterList(), Qt::Key_Up);
    QTest::keyClick(dialog->meterList(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 3000));
    // The offscreen platform gives the window back its activation only when asked.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    const auto& state = form->workspace().state();
    EXPECT_EQ(state.PieceKey, (Key { 2 }));
    EXPECT_EQ(state.PieceMeter, (Meter { 3, 4 }));
    EXPECT_NE(form->controls().staff->marks(), plain);
    EXPECT_EQ(state.WriteIndex, 1) << "the cursor stays after the note";

    QTest::keyClick(keyTarget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(state.PieceKey, Key {});
    EXPECT_EQ(state.PieceMeter, Meter {});
    EXPECT_EQ(form->controls().staff->marks(), plain);
    QTest::keyClick(keyTarget(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(state.PieceKey, (Key { 2 }));

    saveThroughThePanel(form->controls().saveAction, QStringLiteral("re"));
    EXPECT_TRUE(fileBytes(QStringLiteral("re.txt")).startsWith("\"key\",\"D\"\r\n\"meter\",\"3/4\"\r\n"));
    saveThroughThePanel(form->controls().exportActions[0], QStringLiteral("re"));
    const QByteArray midiFile = fileBytes(QStringLiteral("re.mid"));
    EXPECT_TRUE(midiFile.contains(QByteArray::fromHex("ff59020200"))) << "two sharps, major";
    EXPECT_TRUE(midiFile.contains(QByteArray::fromHex("ff58040302"))) << "three quarters";

    dialogs.answers = { true };
    form->controls().modeButtons.at(2)->click();
    ASSERT_EQ(state.PieceKey, Key {});
    form->controls().loadAction->trigger();
    emit form->controls().filePanel->loadRequested(files.filePath(QStringLiteral("re.txt")).toStdString());
    EXPECT_EQ(state.PieceKey, (Key { 2 }));
    EXPECT_EQ(state.PieceMeter, (Meter { 3, 4 }));
    EXPECT_EQ(state.NoteCount, 1);
}

// "Frase nella composizione" asks before it replaces a piece not saved; the
// phrase comes in one change that "Annulla" takes back.
TEST_F(WindowTest, aPhraseReplacesThePieceAfterTheQuestionAndIsUndoneInOneStep)
{
    compose();
    tap(Qt::Key_T);
    tap(Qt::Key_Y);
    const auto piece = [this] {
        std::vector<Entry> entries;
        for (int p = 0; p < form->workspace().state().NoteCount; ++p)
            entries.push_back(form->workspace().state().Composition.at(p));
        return entries;
    };
    const std::vector<Entry> before = piece();
    ASSERT_EQ(before.size(), 2u);

    dialogs.answers = { false, true };
    form->controls().phraseAction->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Sicuro?");
    EXPECT_TRUE(dialogs.shown[0].isQuestion);
    EXPECT_EQ(piece(), before);

    form->controls().phraseAction->trigger();
    EXPECT_EQ(dialogs.shown.size(), 2u);
    // Four measures: four whole notes at the least.
    EXPECT_GE(piece().size(), 4u);
    EXPECT_NE(piece(), before);
    EXPECT_TRUE(form->controls().undoAction->isEnabled());
    form->controls().undoAction->trigger();
    EXPECT_EQ(piece(), before);
}

} // namespace
} // namespace zintaro::testing
