#include "compose/answer_judge.h"
#include "compose/answering.h"
#include "compose/trainer.h"
#include "input/key_map.h"
#include "jack_window.h"
#include "staff/staff_system.h"
#include "staff/staff_widget.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <optional>

namespace zintaro::testing {
namespace {

// "Leggi" on the bass clef or the grand staff, answered with real keys.
class ClefWindowTest : public WindowTest {
protected:
    QAction* clefItem(const char* text) const
    {
        for (QAction* a : form->controls().practiceMenu->actions())
            if (a->iconText() == QString::fromUtf8(text))
                return a;
        return nullptr;
    }

    int shownNote() const { return form->workspace().reading().shown.midiNote(); }

    // The computer key that plays a note with the keys moved by `shift` octaves.
    Qt::Key keyFor(int midiNote, int shift) const
    {
        const int index = midiNote - 53 - 12 * shift;
        EXPECT_TRUE(index >= 0 && index < 36) << midiNote;
        return static_cast<Qt::Key>(input::KeyShortcuts.at(static_cast<size_t>(std::clamp(index, 0, 35))).keyCode);
    }

    QString status() const { return form->controls().statusText->text(); }
};

TEST_F(ClefWindowTest, thePracticeMenuOffersTheThreeStavesOneAtATimeAfterTheInputs)
{
    const QList<QAction*> menu = form->menuBar()->actions().front()->menu()->actions();
    const auto midiAt = std::find_if(menu.begin(), menu.end(), [](QAction* a) { return a->iconText() == "Ingresso"; });
    ASSERT_NE(midiAt, menu.end());
    ASSERT_NE(midiAt + 1, menu.end());
    EXPECT_EQ((*(midiAt + 1))->iconText(), "Pratica");

    // The staves between separators, then what is read on them, then how in time.
    QStringList items;
    for (const QAction* item : form->controls().practiceMenu->actions())
        items << (item->isSeparator() ? QStringLiteral("|") : item->iconText());
    EXPECT_EQ(items.mid(items.indexOf("|")).join(", "),
        "|, Chiave di Sol, Chiave di Fa, Doppio pentagramma, |, Armatura, Livello, Intervalli, Accordi, "
        "Frase nella composizione, |, A tempo, Dalla composizione, Metronomo, Calibra ritardo…");
    EXPECT_TRUE(clefItem("Chiave di Sol")->isChecked());
    clefItem("Doppio pentagramma")->trigger();
    clefItem("Chiave di Fa")->trigger();
    EXPECT_FALSE(clefItem("Chiave di Sol")->isChecked());
    EXPECT_FALSE(clefItem("Doppio pentagramma")->isChecked());
    EXPECT_TRUE(clefItem("Chiave di Fa")->isChecked());
    EXPECT_EQ(form->workspace().choices().practice.clef, Clef::Bass);

    // The next run starts on the staves chosen last, its keys moved with them.
    form.reset();
    form = std::make_unique<app::Form1>(app::Form1Services { dialogs, midi, speech, files.path() });
    form->Form_Load();
    EXPECT_TRUE(clefItem("Chiave di Fa")->isChecked());
    EXPECT_EQ(form->workspace().choices().practice.clef, Clef::Bass);
    EXPECT_EQ(form->workspace().reading().keyboardShift, -2);
}

TEST_F(ClefWindowTest, theNameLabelStandsBesideTheNoteOnItsOwnStaff)
{
    clefItem("Doppio pentagramma")->trigger();
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    const QLabel* label = form->controls().staff->findChild<QLabel*>(QStringLiteral("Lab2"));
    ASSERT_TRUE(label);
    for (int i = 0; i < 12; ++i) {
        const compose::DrawnNote shown = form->workspace().reading().shown;
        const staff::StaffSystem system = staff::staffSystemFor(Clef::Grand, form->workspace().state().DrawScale);
        const int y = system.yOf(staff::staffPositionOf(shown.note, Clef::Grand));
        EXPECT_TRUE(label->isVisible());
        EXPECT_EQ(label->text().toStdString(), staff::nameLabelText(shown.note, NoteNaming::Solfege));
        EXPECT_LT(std::abs(label->geometry().center().y() - y), label->height()) << "beside its note";
        EXPECT_GT(label->x(), system.noteX + 5 * system.scale) << "right of the head";
        EXPECT_LT(label->x(), system.noteX + 20 * system.scale);
        const QString artifacts = qEnvironmentVariable("ZINTARO_ARTIFACTS");
        if (i == 0 && !artifacts.isEmpty() && QDir().mkpath(artifacts))
            form->controls().staff->renderToImage().save(artifacts + QStringLiteral("/leggi-grand-staff.png"));
        answerFromMidiKeyboard(*form, shown.midiNote());
    }
}

TEST_F(ClefWindowTest, onTheBassClefTheKeysMoveTwoOctavesDownAndPageKeysMoveThemFurther)
{
    clefItem("Chiave di Fa")->trigger();
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    EXPECT_EQ(status(), QString::fromUtf8("Tastiera: Fa1–Mi4"));

    // The note shown lies on the bass staff: its key, two octaves up on the
    // computer keyboard, answers it right and sounds the note itself.
    const int note = shownNote();
    EXPECT_GE(note, 43); // G2
    EXPECT_LE(note, 60); // C4
    midi.sent.clear();
    press(keyFor(note, -2));
    EXPECT_EQ(midi.notesOn(), std::vector<int> { note });
    release(keyFor(note, -2));
    EXPECT_TRUE(form->controls().scoreLabel->text().startsWith("giuste 1 su 1"))
        << form->controls().scoreLabel->text().toStdString();

    const struct {
        int key;
        const char* status;
    } steps[] = {
        { Qt::Key_PageDown, "Tastiera: Fa0–Mi3" },
        { Qt::Key_PageDown, "Tastiera: Fa0–Mi3" }, // three octaves down at most
        { Qt::Key_PageUp, "Tastiera: Fa1–Mi4" }, { Qt::Key_PageUp, "Tastiera: Fa2–Mi5" },
        { Qt::Key_PageUp, "" }, // the keys' own notes: nothing to tell
        { Qt::Key_PageUp, "Tastiera: Fa4–Mi7" }, { Qt::Key_PageUp, "Tastiera: Fa4–Mi7" }, // one octave up at most
    };
    for (const auto& step : steps) {
        tap(step.key);
        EXPECT_EQ(status(), QString::fromUtf8(step.status));
    }

    clefItem("Chiave di Sol")->trigger();
    EXPECT_EQ(status(), QString());
    // "Componi" plays the keys' own notes whatever the trainer's shift.
    clefItem("Chiave di Fa")->trigger();
    compose();
    EXPECT_EQ(status(), QString());
    tap(Qt::Key_T);
    EXPECT_EQ(midi.notesOn(), std::vector<int> { 60 });
    tap(Qt::Key_PageDown);
    tap(Qt::Key_T);
    EXPECT_EQ(midi.notesOn(), (std::vector<int> { 60, 60 }));
}

// "Armatura", "Scala", "Intervalli" and "Accordi" wired to the trainer:
// D major's scale answered on the computer keys through F♯ and C♯, then an
// interval and a chord on the computer keys and a chord from a MIDI keyboard.
TEST_F(ClefWindowTest, readingInDMajorIntervalsAndChordsAnsweredWithRealKeys)
{
    const auto entry = [](QMenu* menu, const char* text) {
        for (QAction* a : menu->actions())
            if (a->iconText() == QString::fromUtf8(text))
                return a;
        ADD_FAILURE() << text;
        return menu->actions().front();
    };
    const auto score = [this] { return form->controls().scoreLabel->text().toStdString(); };
    const auto awaitNext = [this](const std::vector<int>& before) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->workspace().reading().asked != before; }, 3000));
    };
    entry(form->controls().keyMenu, "Re maggiore / Si minore")->trigger();
    form->controls().scaleSwitch->click();
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    const int shift = form->workspace().reading().keyboardShift;
    for (const int note : { 61, 62, 64, 66 }) { // C♯4 D4 E4 F♯4
        ASSERT_EQ(form->workspace().reading().asked, std::vector { note });
        press(keyFor(note, shift));
        release(keyFor(note, shift));
        awaitNext({ note });
    }
    EXPECT_EQ(score().rfind("giuste 4 su 4", 0), 0U) << score();
    form->controls().scaleSwitch->click();
    int right = 4;

    // Each entry unchecks the other; each is answered once right on the keys,
    // held together for the chord, one after the other for the interval.
    for (const char* drill : { "Intervalli", "Accordi" }) {
        entry(form->controls().practiceMenu, drill)->trigger();
        const std::vector<int> asked = form->workspace().reading().asked;
        ASSERT_EQ(asked.size(), std::string(drill) == "Intervalli" ? 2U : 3U);
        for (const int note : asked) {
            press(keyFor(note, shift));
            if (asked.size() == 2)
                release(keyFor(note, shift));
        }
        for (const int note : asked)
            release(keyFor(note, shift));
        ++right;
        const std::string counted = "giuste " + std::to_string(right) + " su " + std::to_string(right);
        ASSERT_TRUE(QTest::qWaitFor([&] { return score().starts_with(counted); }, 3000)) << score();
        QTRY_VERIFY_WITH_TIMEOUT(!form->answerTimer().isActive(), 3000);
    }
    EXPECT_FALSE(entry(form->controls().practiceMenu, "Intervalli")->isChecked());

    // From a MIDI keyboard, one note a semitone off: the words name it.
    const std::vector<int> asked = form->workspace().reading().asked;
    for (size_t i = 0; i < asked.size(); ++i)
        emit form->midiKeyboard().keyPressed(static_cast<int16_t>(asked[i] + (i == 0 ? 1 : 0) - 53), 100);
    EXPECT_EQ(score().rfind("giuste 6 su 7", 0), 0U) << score();
    EXPECT_TRUE(form->workspace().reading().wrongAnswerWords.render().starts_with("Hai suonato "));
    for (size_t i = 0; i < asked.size(); ++i)
        emit form->midiKeyboard().keyReleased(static_cast<int16_t>(asked[i] + (i == 0 ? 1 : 0) - 53));
}

class GrandStaffKeyboardTest : public WithJackKeyboard<ClefWindowTest> {
protected:
    void SetUp() override { startWithKeyboard("grand keys"); }
};

TEST_F(GrandStaffKeyboardTest, aMidiKeyboardAnswersNotesOfBothStavesAlsoBelowThePiano)
{
    clefItem("Doppio pentagramma")->trigger();
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    bool belowThePiano = false;
    bool upperStaff = false;
    int right = 0;
    for (int i = 0; i < 60 && !(belowThePiano && upperStaff); ++i) {
        const int note = shownNote();
        ASSERT_GE(note, 48); // C3
        ASSERT_LE(note, 72); // C5
        belowThePiano = belowThePiano || note < 53;
        upperStaff = upperStaff || note >= 60;
        keyboard->send({ 0x90, static_cast<uint8_t>(note), 90 });
        ++right;
        const QString score = QStringLiteral("giuste %1 su %1").arg(right);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->controls().scoreLabel->text().startsWith(score); }, 5000))
            << form->controls().scoreLabel->text().toStdString() << " for note " << note;
        keyboard->send({ 0x80, static_cast<uint8_t>(note), 0 });
        if (right == compose::SessionNoteCount) {
            // The summary: the next key starts a new session, unjudged.
            ASSERT_TRUE(QTest::qWaitFor([&] { return form->workspace().reading().summary; }, 5000));
            keyboard->send({ 0x90, 60, 90 });
            keyboard->send({ 0x80, 60, 0 });
            right = 0;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return shownNote() != note; }, 5000));
    }
    EXPECT_TRUE(belowThePiano) << "no note below F3 in 60 draws";
    EXPECT_TRUE(upperStaff);
}

} // namespace
} // namespace zintaro::testing
