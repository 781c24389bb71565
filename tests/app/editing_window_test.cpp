#include "app/exercise_dialog.h"
#include "staff/staff_widget.h"
#include "storage/file_panel.h"
#include "support/plain_columns.h"
#include "window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

namespace zintaro::testing {
namespace {

class EditingWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        compose();
        form->controls().durationButtons.at(2)->click();
    }

    // Plays the white keys upward from C4, n notes, wrapping round the octave.
    void play(int n)
    {
        const int keys[] = { Qt::Key_T, Qt::Key_Y, Qt::Key_U, Qt::Key_A, Qt::Key_S, Qt::Key_D, Qt::Key_F };
        for (int i = 0; i < n; ++i)
            tap(keys[i % 7]);
    }
    std::vector<Entry> piece() const
    {
        std::vector<Entry> out;
        for (int i = 0; i < form->workspace().state().NoteCount; ++i)
            out.push_back(form->workspace().state().Composition.at(i));
        return out;
    }
    // Whether a mark is drawn in a column of the page shown (a note; quarter
    // rests are pictures, not marks). Bars stand between the columns.
    bool columnDrawn(int column) const
    {
        const QImage& marks = form->controls().staff->marks();
        const int x0 = columnX(column) - 8;
        for (int x = x0; x <= x0 + 16; ++x)
            for (int y = 0; y < 140; ++y)
                if (marks.pixelColor(x, y).lightness() < 128)
                    return true;
        return false;
    }
};

TEST_F(EditingWindowTest, pausaInsertsARestAtTheCursorAndEliminaRemovesIt)
{
    play(3);
    form->controls().cursorButtons.at(0)->click();
    form->controls().cursorButtons.at(0)->click();
    form->controls().durationButtons.at(1)->click();
    form->controls().restButton->click();
    const Modulo1& m = form->workspace().state();
    EXPECT_EQ(piece(), (std::vector<Entry> { { 0, 7, 2 }, { -1, 0, 1 }, { 0, 9, 2 }, { 0, 11, 2 } }));
    EXPECT_EQ(m.Composition.at(4), EndEntry);
    EXPECT_EQ(m.WriteIndex, 1);
    EXPECT_EQ(m.CursorColumn, 1);
    EXPECT_EQ(form->controls().staff->geometry().left(), -8);

    form->controls().deleteButton->click();
    EXPECT_EQ(piece(), (std::vector<Entry> { { 0, 7, 2 }, { 0, 9, 2 }, { 0, 11, 2 } }));
    EXPECT_EQ(m.Composition.at(3), EndEntry);
    EXPECT_EQ(m.WriteIndex, 1);
}

TEST_F(EditingWindowTest, theCursorButtonsStopAtTheEndsOfThePiece)
{
    play(2);
    form->controls().cursorButtons.at(1)->click();
    EXPECT_EQ(form->workspace().state().CursorColumn, 2);
    for (int i = 0; i < 4; ++i)
        form->controls().cursorButtons.at(0)->click();
    EXPECT_EQ(form->workspace().state().CursorColumn, 0);
    EXPECT_EQ(form->workspace().state().WriteIndex, 0);
    tap(Qt::Key_M); // overwrites the first entry
    EXPECT_EQ(piece(), (std::vector<Entry> { { 0, 35, 2 }, { 0, 9, 2 } }));
}

// A note written over another is an edit: the page is drawn again with its
// bars, counted from the new duration. Bars stand at x = 20·i + 110 after
// entry i, two pixels wide, from y = 50 to 90.
TEST_F(EditingWindowTest, aNoteWrittenOverAnotherKeepsTheBarsAndCountsThemAnew)
{
    const auto barAfter = [this](int entry) {
        return form->controls().staff->marks().pixelColor(20 * entry + 110, 70).lightness() < 128;
    };
    play(8); // two measures of quarters
    form->controls().restButton->click(); // a redraw: the bars show
    form->controls().deleteButton->click();
    ASSERT_TRUE(barAfter(3));
    ASSERT_TRUE(barAfter(7));
    for (int i = 0; i < 5; ++i)
        form->controls().cursorButtons.at(0)->click();
    ASSERT_EQ(form->workspace().state().WriteIndex, 3);

    tap(Qt::Key_M); // a quarter over the fourth quarter
    EXPECT_TRUE(barAfter(3)) << "the bar beside the note written over stays";
    EXPECT_TRUE(barAfter(7));

    form->controls().cursorButtons.at(0)->click();
    form->controls().cursorButtons.at(0)->click();
    form->controls().durationButtons.at(1)->click();
    tap(Qt::Key_M); // a half over the third quarter: each measure ends one entry earlier
    EXPECT_TRUE(barAfter(2));
    EXPECT_FALSE(barAfter(3));
    EXPECT_TRUE(barAfter(6));
    EXPECT_FALSE(barAfter(7));
}

TEST_F(EditingWindowTest, overwritingTheLastColumnOfAPageShowsTheNextPageWithItsNotes)
{
    play(60);
    ASSERT_EQ(form->workspace().state().NoteCount, 60);
    for (int i = 0; i < 4; ++i)
        form->controls().cursorButtons.at(0)->click();
    ASSERT_EQ(form->workspace().state().WriteIndex, 56);
    EXPECT_EQ(form->workspace().state().CursorColumn, 56);
    EXPECT_TRUE(columnDrawn(0)); // the first page is shown again

    tap(Qt::Key_M);
    const Modulo1& m = form->workspace().state();
    EXPECT_EQ(m.NoteCount, 60);
    EXPECT_EQ(m.Composition.at(56), (Entry { 0, 35, 2 }));
    EXPECT_EQ(m.WriteIndex, 57);
    EXPECT_EQ(m.CursorColumn, 0);
    // Page 1 holds positions 57..59.
    EXPECT_TRUE(columnDrawn(0));
    EXPECT_TRUE(columnDrawn(2));
    EXPECT_FALSE(columnDrawn(3));
}

TEST_F(EditingWindowTest, aCompositionSavedAndLoadedThroughThePanelComesBackWhole)
{
    play(5);
    form->controls().restButton->click();
    const std::vector<Entry> written = piece();

    form->controls().saveAction->trigger();
    QLineEdit* txf = form->controls().filePanel->nameBox();
    ASSERT_TRUE(form->controls().filePanel->isVisible());
    ASSERT_TRUE(txf->isVisible());
    txf->setText(QStringLiteral("scala"));
    QTest::keyClick(txf, Qt::Key_Return);
    EXPECT_FALSE(form->controls().filePanel->isVisible());
    ASSERT_TRUE(QFile::exists(files.filePath(QStringLiteral("scala.txt"))));

    dialogs.answers = { true };
    form->controls().modeButtons.at(2)->click();
    ASSERT_EQ(form->workspace().state().NoteCount, 0);

    form->controls().loadAction->trigger();
    QListWidget* list = form->controls().filePanel->fileList();
    ASSERT_EQ(list->count(), 1);
    EXPECT_FALSE(txf->isVisible());
    QListWidgetItem* item = list->item(0);
    const QRect r = list->visualItemRect(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(txf->text(), "scala");
    EXPECT_FALSE(form->controls().filePanel->isVisible());
    EXPECT_EQ(piece(), written);
    EXPECT_EQ(form->workspace().state().WriteIndex, 6);
    EXPECT_EQ(form->workspace().state().CursorColumn, 6);
    EXPECT_TRUE(columnDrawn(4));
    EXPECT_EQ(dialogs.shown.size(), 1u); // only "Sicuro?"
}

// A name ending in ".zex" saves an exercise at the bar's tempo; "Carica"
// brings back its piece and tempo, tells its title, and "Annulla" takes it back.
TEST_F(EditingWindowTest, anExerciseSavedAndLoadedThroughThePanelBringsBackPieceTempoAndTitle)
{
    play(3);
    const std::vector<Entry> written = piece();
    form->controls().tempoBar->setValue(90);
    form->controls().saveAction->trigger();
    QLineEdit* txf = form->controls().filePanel->nameBox();
    txf->setText(QStringLiteral("a.zex"));
    QTest::keyClick(txf, Qt::Key_Return);
    // Its settings are asked first; Enter keeps those offered.
    auto* settings = form->findChild<app::ExerciseDialog*>(QStringLiteral("ExerciseDialog"));
    ASSERT_TRUE(settings);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
    QTest::keyClick(settings->focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(QFile::exists(files.filePath(QStringLiteral("a.zex"))));

    dialogs.answers = { true };
    form->controls().modeButtons.at(2)->click();
    form->controls().tempoBar->setValue(120);
    ASSERT_EQ(form->workspace().state().NoteCount, 0);

    form->controls().loadAction->trigger();
    QListWidget* list = form->controls().filePanel->fileList();
    ASSERT_EQ(list->count(), 1);
    const QRect r = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(piece(), written);
    EXPECT_EQ(form->controls().tempoBar->value(), 90);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().text, "Esercizio «a».");

    form->controls().undoAction->trigger();
    EXPECT_TRUE(piece().empty());
}

TEST_F(EditingWindowTest, shortcutsOpenThePanelWithoutANoteAndItsWholeNameIsReplacedByTyping)
{
    play(2);
    const std::vector<Entry> written = piece();
    midi.sent.clear();

    // Real keys on the piano: Ctrl+S and Ctrl+O are shortcuts, never notes;
    // Alt with a note's letter plays nothing either.
    QTest::keyClick(focused(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(form->controls().filePanel->isVisible());
    EXPECT_EQ(form->controls().filePanel->actionLabel()->text(), "Salva");
    EXPECT_TRUE(form->controls().filePanel->nameBox()->isVisible());
    EXPECT_TRUE(form->controls().filePanel->nameBox()->hasFocus());
    QTest::keyClick(form->controls().filePanel->nameBox(), Qt::Key_Escape);
    EXPECT_FALSE(form->controls().filePanel->isVisible());
    form->controls().piano->focusFirstKey();
    QTest::keyClick(focused(), Qt::Key_T, Qt::AltModifier);
    QTest::keyClick(focused(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(form->controls().filePanel->isVisible());
    EXPECT_EQ(form->controls().filePanel->actionLabel()->text(), "Carica");
    EXPECT_FALSE(form->controls().filePanel->nameBox()->isVisible());
    EXPECT_EQ(piece(), written);
    EXPECT_TRUE(midi.notesOn().empty());
    QTest::keyClick(focused(), Qt::Key_Escape);
    EXPECT_FALSE(form->controls().filePanel->isVisible()) << "Escape leaves Carica too";
    EXPECT_EQ(focused(), form->controls().piano->key(0));

    // The last name is offered, and the first key typed replaces it whole.
    form->controls().saveAction->trigger();
    QTest::keyClicks(form->controls().filePanel->nameBox(), QStringLiteral("stray"));
    QTest::keyClick(form->controls().filePanel->nameBox(), Qt::Key_Return);
    ASSERT_TRUE(QFile::exists(files.filePath(QStringLiteral("stray.txt"))));
    EXPECT_EQ(focused(), form->controls().piano->key(0)) << "the keyboard goes back to the piano";
    QTest::keyClick(focused(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(form->controls().filePanel->nameBox()->text(), "stray");
    QTest::keyClicks(form->controls().filePanel->nameBox(), QStringLiteral("melodia"));
    QTest::keyClick(form->controls().filePanel->nameBox(), Qt::Key_Return);
    EXPECT_TRUE(QFile::exists(files.filePath(QStringLiteral("melodia.txt"))));
    EXPECT_FALSE(QFile::exists(files.filePath(QStringLiteral("straymelodia.txt"))));

    // Carica from the keyboard alone: an arrow chooses, Enter loads.
    tap(Qt::Key_U);
    QTest::keyClick(focused(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(focused(), Qt::Key_Down);
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_FALSE(form->controls().filePanel->isVisible());
    EXPECT_EQ(piece(), written) << "melodia.txt, the first name, loaded over the note added";

    // Each export says what it will do.
    const std::vector<std::pair<int, QString>> exports { { 0, "Esporta MIDI" }, { 1, "Esporta MusicXML" },
        { 2, "Esporta PDF" } };
    for (const auto& [i, words] : exports) {
        form->controls().exportActions.at(static_cast<std::size_t>(i))->trigger();
        EXPECT_EQ(form->controls().filePanel->actionLabel()->text(), words);
    }
    EXPECT_EQ(piece(), written);
}

TEST_F(EditingWindowTest, aNameThatCannotBeAFileIsRefusedAndThePanelStaysForAnother)
{
    play(2);
    form->controls().saveAction->trigger();
    QLineEdit* txf = form->controls().filePanel->nameBox();
    txf->setText(QStringLiteral("../fuori"));
    QTest::keyClick(txf, Qt::Key_Return);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(form->controls().filePanel->isVisible());
    EXPECT_EQ(txf->text(), "../fuori");
    EXPECT_TRUE(QDir(files.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(files.path()).filePath(QStringLiteral("../fuori.txt"))));
}

TEST_F(EditingWindowTest, eachExportWritesItsOwnKindOfFileThroughThePanel)
{
    play(5);
    const std::vector<Entry> written = piece();
    QLineEdit* txf = form->controls().filePanel->nameBox();
    QListWidget* list = form->controls().filePanel->fileList();
    const std::vector<std::pair<QAction*, QString>> exports {
        { form->controls().exportActions[0], QStringLiteral("melodia.mid") },
        { form->controls().exportActions[1], QStringLiteral("melodia.musicxml") },
        { form->controls().exportActions[2], QStringLiteral("melodia.pdf") },
    };
    for (const auto& [action, file] : exports) {
        action->trigger();
        ASSERT_TRUE(txf->isVisible()) << file.toStdString();
        EXPECT_EQ(focused(), txf);
        txf->setText(QStringLiteral("melodia"));
        QTest::keyClick(txf, Qt::Key_Return);
        EXPECT_TRUE(QFile::exists(files.filePath(file))) << file.toStdString();

        // The panel lists the files of that kind only; a double click there
        // loads nothing.
        action->trigger();
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), file);
        const QRect r = list->visualItemRect(list->item(0));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::keyClick(txf, Qt::Key_Escape);
        form->controls().filePanel->hide();
    }
    EXPECT_EQ(piece(), written);
    EXPECT_TRUE(dialogs.shown.empty());
    // The names that were written are not compositions: "Carica" lists none.
    form->controls().loadAction->trigger();
    EXPECT_EQ(list->count(), 0);
}

TEST_F(EditingWindowTest, movingTheFileSelectionWithTheKeyboardFillsTheNameBox)
{
    for (const char* name : { "alfa.txt", "beta.txt" }) {
        QFile file(files.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\"_\",111,111,111\r\n");
    }
    form->controls().saveAction->trigger();
    QListWidget* list = form->controls().filePanel->fileList();
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(form->controls().filePanel->nameBox()->text(), "beta");
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(form->controls().filePanel->nameBox()->text(), "alfa");
}

} // namespace
} // namespace zintaro::testing

namespace zintaro::testing {
namespace {

// Ctrl+Z and Ctrl+Y from the keyboard take back and make again what the
// keys wrote, across a page turn, and play no note themselves; the menu
// ends with the two items, greyed when there is nothing to do.
TEST_F(EditingWindowTest, ctrlZAndCtrlYUndoAndRedoTheKeysAcrossAPageTurn)
{
    const QList<QAction*> items = form->findChild<QMenu*>()->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[items.size() - 2]->iconText(), "Annulla");
    EXPECT_EQ(items.back()->iconText(), "Ripeti");
    EXPECT_EQ(form->controls().undoAction->shortcut().toString(), "Ctrl+Z");
    EXPECT_FALSE(form->controls().undoAction->isEnabled());

    play(StaffColumns);
    const std::vector<Entry> written = piece();
    ASSERT_EQ(form->workspace().state().WriteIndex, StaffColumns) << "the page has turned";
    midi.sent.clear();
    QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(piece().size(), written.size() - 1);
    EXPECT_EQ(form->workspace().state().CursorColumn, StaffColumns - 1) << "back on the first page";
    EXPECT_TRUE(columnDrawn(0));
    EXPECT_FALSE(columnDrawn(StaffColumns - 1));
    EXPECT_TRUE(form->controls().redoAction->isEnabled());

    QTest::keyClick(focused(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(piece(), written);
    EXPECT_EQ(form->workspace().state().CursorColumn, 0);
    QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(piece(), written);
    EXPECT_TRUE(midi.notesOn().empty()) << "the shortcuts play nothing";
    EXPECT_FALSE(form->controls().redoAction->isEnabled());
}

} // namespace
} // namespace zintaro::testing
