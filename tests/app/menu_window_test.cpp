#include "app/language.h"
#include "app/window_layout.h"
#include "compose/workspace.h"
#include "storage/file_panel.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSpinBox>
#include <algorithm>

namespace zintaro::testing {
namespace {

class MenuWindowTest : public WindowTest {
protected:
    QMenu* openMenu() const { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

    void closeMenus()
    {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        form->menuBar()->setActiveAction(nullptr);
    }

    // The underlined letter of an entry, lower case; none without one.
    static QChar letterOf(const QString& text)
    {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == u'&' && text[i + 1] != u'&')
                return text[i + 1].toLower();
            if (text[i] == u'&')
                ++i;
        }
        return {};
    }

    // Every menu under "Menù" with its entries' words: each entry has a
    // letter of its words, none twice in one menu. Only an entry all of
    // whose letters went to the entries above has none ("Armatura" holds
    // sixteen entries that share thirteen letters in Italian).
    void expectALetterForEveryEntry(QMenu& menu)
    {
        QSet<QChar> letters;
        for (QAction* action : menu.actions()) {
            if (action->isSeparator())
                continue;
            const QChar letter = letterOf(action->text());
            const auto unused = [&letters](QChar c) { return c.isLetterOrNumber() && !letters.contains(c.toLower()); };
            if (letter.isNull()) {
                const QString words = action->iconText();
                EXPECT_TRUE(std::none_of(words.begin(), words.end(), unused)) << action->text().toStdString();
                continue;
            }
            EXPECT_TRUE(action->iconText().contains(letter, Qt::CaseInsensitive)) << action->text().toStdString();
            EXPECT_FALSE(letters.contains(letter))
                << action->text().toStdString() << " in " << menu.title().toStdString();
            letters.insert(letter);
            if (action->menu())
                expectALetterForEveryEntry(*action->menu());
        }
    }
};

TEST_F(MenuWindowTest, f10AndAltMOpenTheMenuWithoutThePianoPlaying)
{
    compose();
    const QList<std::pair<int, Qt::KeyboardModifiers>> keys
        = { { Qt::Key_F10, Qt::NoModifier }, { Qt::Key_M, Qt::AltModifier } };
    for (const auto& [key, modifiers] : keys) {
        midi.sent.clear();
        QTest::keyClick(focused(), static_cast<Qt::Key>(key), modifiers);
        QTRY_COMPARE_WITH_TIMEOUT(openMenu(), form->controls().menu, 2000);
        EXPECT_TRUE(midi.notesOn().empty()) << QKeySequence(key | modifiers).toString().toStdString();
        EXPECT_EQ(form->workspace().state().NoteCount, 0);
        // Its entries answer to their letters: "Salva" opens the panel to save.
        QTest::keyClick(openMenu(), Qt::Key_S);
        EXPECT_TRUE(form->controls().filePanel->isVisible());
        EXPECT_EQ(form->controls().filePanel->actionLabel()->text(), "Salva");
        EXPECT_TRUE(midi.notesOn().empty()) << "S";
        form->controls().filePanel->hide();
        closeMenus();
    }
}

TEST_F(MenuWindowTest, everyEntryOfTheMenuHasItsOwnLetterInBothLanguages)
{
    expectALetterForEveryEntry(*form->controls().menu);
    EXPECT_EQ(letterOf(form->controls().menu->title()), u'm');
    form->setLanguage(app::Language::English);
    expectALetterForEveryEntry(*form->controls().menu);
    EXPECT_EQ(form->controls().loadAction->iconText(), "Open");
}

TEST_F(MenuWindowTest, diapasonTakesTheTuningFromTheKeyboardWithinTenHertzOfA440)
{
    const auto tuneWith = [this](const QList<Qt::Key>& arrows, const QString& digits, Qt::Key close) {
        form->controls().tuningAction->trigger();
        EXPECT_TRUE(QTest::qWaitFor([] {
            const QWidget* focus = QApplication::focusWidget();
            return focus && (focus->objectName() == "SpinTuning" || focus->parent()->objectName() == "SpinTuning");
        }));
        QWidget* box = QApplication::focusWidget();
        QTest::keyClicks(box, digits);
        for (const Qt::Key arrow : arrows)
            QTest::keyClick(box, arrow);
        QTest::keyClick(box, close);
        QApplication::processEvents();
        return form->workspace().choices().listening.tuningHz;
    };
    EXPECT_EQ(tuneWith({}, "442", Qt::Key_Return), 442);
    EXPECT_EQ(tuneWith({}, "435", Qt::Key_Escape), 442) << "Escape keeps the tuning";
    EXPECT_EQ(tuneWith({ Qt::Key_Up, Qt::Key_Up }, "449", Qt::Key_Return), 450) << "held within 430–450";
    QTRY_COMPARE(focused(), form->controls().piano->key(0));
}

} // namespace
} // namespace zintaro::testing
