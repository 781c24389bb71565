#include "app/form1.h"
#include "app/language.h"
#include "app/midi_keyboard.h"
#include "app/qt_dialogs.h"
#include "app/remembered_choices.h"
#include "compose/answering.h"
#include "compose/trainer.h"
#include "input/key_map.h"
#include "input/piano_widget.h"
#include "midi/midi_errors.h"
#include "staff/staff_system.h"
#include "staff/staff_widget.h"
#include "support/recording_midi.h"
#include "support/recording_speech.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace zintaro::testing {
namespace {

// What a message box showed, its buttons' words without their shortcut marks.
struct ShownBox {
    QString title;
    QString text;
    QStringList buttons;
};

// The real window with Qt's own message boxes, which the test reads and
// answers "No".
class LanguageWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
        start();
    }

    // The program started afresh, in Italian until its remembered choices say otherwise.
    void start()
    {
        form.reset();
        language.apply(app::Language::Italian);
        form = std::make_unique<app::Form1>(
            app::Form1Services { boxes, midi, speech, files.path(), false, {}, &language });
        boxes.setParent(form.get());
        form->Form_Load();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    std::filesystem::path choicesFile() const
    {
        return std::filesystem::path(configHome.path().toStdString()) / "zintaro" / "zintaro.conf";
    }

    // Clicks "Nuovo" and answers the box it asks with "No".
    ShownBox askNuovo()
    {
        ShownBox shown;
        QTimer::singleShot(0, form.get(), [&shown] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible())
                    continue;
                shown.title = box->windowTitle();
                shown.text = box->text();
                for (QAbstractButton* b : box->buttons())
                    shown.buttons << b->text().remove(QLatin1Char('&'));
                box->button(QMessageBox::No)->click();
            }
        });
        form->controls().modeButtons.at(2)->click();
        return shown;
    }

    QStringList captions() const
    {
        const app::WindowControls& c = form->controls();
        return { c.menu->menuAction()->iconText(), c.languageMenu->menuAction()->iconText(), c.loadAction->iconText(),
            c.midiKeyboardMenu->menuAction()->iconText(), c.modeButtons.at(0)->text(), c.modeButtons.at(1)->text(),
            c.modeButtons.at(2)->text(), c.modeButtons.at(3)->text(), c.voiceButtons.at(0)->text(),
            c.voiceButtons.at(1)->text(), c.muteSwitch->text(), c.namesSwitch->text(), c.scaleSwitch->text(),
            c.answerSwitch->text(), c.restButton->text(), c.deleteButton->text(), c.instrumentLabel->text(),
            c.tempoLabel->text() };
    }

    OwnStateFolder stateHome;
    QTemporaryDir files;
    QTemporaryDir dataHome;
    QTemporaryDir configHome;
    app::QtDialogs boxes;
    RecordingMidiSystem midi;
    RecordingSpeech speech;
    app::InterfaceLanguage language;
    std::unique_ptr<app::Form1> form;
};

TEST_F(LanguageWindowTest, englishFromTheMenuAndBackChangesEveryWordAtOnce)
{
    const QStringList italian = { "Menù", "Lingua", "Carica", "Ingresso", "Componi", "Ascolta", "Nuovo", "Leggi",
        "Suona", "Parla", "Muto", "Scrivi", "Scala", "Rispondi", "PAUSA", "ELIMINA", "Instrument", "Tempo :" };
    const QStringList english = { "Menu", "Language", "Open", "Input", "Compose", "Listen", "New", "Read", "Play",
        "Speak", "Mute", "Names", "Scale", "Answer", "REST", "DELETE", "Instrument", "Tempo :" };
    const app::WindowControls& c = form->controls();
    EXPECT_EQ(captions(), italian);
    EXPECT_EQ(c.scoreLabel->toolTip(), "Note giuste al primo tentativo su note mostrate · tempo mediano di risposta");
    form->showStatus(app::Form1::StatusSource::Sound, midi::errorTextFor(midi::errors::NoAudioOutput));
    EXPECT_TRUE(form->controls().statusText->text().startsWith("Non è stata trovata nessuna uscita audio"));
    const ShownBox italianBox = askNuovo();
    EXPECT_EQ(italianBox.text, "Sicuro?");
    EXPECT_EQ(italianBox.title, "Nuova composizione");
    EXPECT_EQ(italianBox.buttons, (QStringList { "Sì", "No" })) << "Qt's own words are Italian too";

    c.languageActions[1]->trigger();
    EXPECT_TRUE(c.languageActions[1]->isChecked());
    EXPECT_FALSE(c.languageActions[0]->isChecked());
    EXPECT_EQ(captions(), english);
    EXPECT_EQ(c.scoreLabel->toolTip(), "Notes right at the first try of notes shown · median response time");
    EXPECT_TRUE(form->controls().statusText->text().startsWith("No audio output was found"))
        << "the notice that stands follows: " << form->controls().statusText->text().toStdString();
    const ShownBox englishBox = askNuovo();
    EXPECT_EQ(englishBox.text, "Are you sure?");
    EXPECT_EQ(englishBox.title, "New composition");
    EXPECT_EQ(englishBox.buttons, (QStringList { "Yes", "No" }));
    EXPECT_EQ(form->windowTitle(), "Zintaro     by the Zintaro developers");
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 7), QStringLiteral("MMMM")), "December") << "dates follow";

    c.languageActions[0]->trigger();
    EXPECT_EQ(captions(), italian);
    EXPECT_TRUE(form->controls().statusText->text().startsWith("Non è stata trovata nessuna uscita audio"));
    EXPECT_EQ(askNuovo().buttons, (QStringList { "Sì", "No" }));
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 7), QStringLiteral("MMMM")), "dicembre");
}

TEST_F(LanguageWindowTest, noteNamesFollowTheirOwnChoiceWrittenAndSpoken)
{
    const app::WindowControls& c = form->controls();
    form->controls().modeButtons.at(0)->click();
    c.languageActions[1]->trigger();
    QTest::keyClick(form->controls().piano->key(0), Qt::Key_T);
    EXPECT_EQ(form->controls().nameLabel->text(), "DO") << "an English interface keeps the solfège until it is chosen";

    c.namingActions[1]->trigger();
    EXPECT_EQ(form->controls().nameLabel->text(), "C") << "the name shown changes at once";
    form->controls().voiceButtons.at(1)->click();
    QTest::keyClick(form->controls().piano->key(0), Qt::Key_6); // F♯4
    EXPECT_EQ(form->controls().nameLabel->text(), "F♯") << "a note is named as written";
    ASSERT_EQ(speech.said, (std::vector<std::string> { "F sharp" }));
    EXPECT_EQ(speech.voices.back(), staff::Voice::English);

    c.languageActions[0]->trigger();
    EXPECT_TRUE(c.namingActions[1]->isChecked()) << "the language leaves the names alone";
    c.namingActions[0]->trigger();
    EXPECT_EQ(form->controls().nameLabel->text(), "FA");
    QTest::keyClick(form->controls().piano->key(0), Qt::Key_T);
    EXPECT_EQ(speech.said.back(), "Do");
    EXPECT_EQ(speech.voices.back(), staff::Voice::Italian);
}

// In "Leggi" the trainer's note is named in the naming chosen, and a change
// names that note again at once, not the composition's last key.
TEST_F(LanguageWindowTest, theTrainersNoteIsNamedInTheNamingChosen)
{
    const app::WindowControls& c = form->controls();
    form->controls().modeButtons.at(0)->click();
    QTest::keyClick(form->controls().piano->key(0), static_cast<Qt::Key>(input::KeyShortcuts.front().keyCode)); // Fa3
    form->controls().modeButtons.at(3)->click();
    if (!form->controls().namesSwitch->isChecked())
        QTest::mouseClick(form->controls().namesSwitch, Qt::LeftButton);
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    const SpelledNote shown = form->workspace().reading().shown.note;
    const auto* staffLabel = form->controls().staff->findChild<QLabel*>(QStringLiteral("Lab2"));
    ASSERT_TRUE(staffLabel);
    EXPECT_EQ(form->controls().nameLabel->text().toStdString(), staff::nameLabelText(shown, NoteNaming::Solfege));

    c.namingActions[1]->trigger();
    EXPECT_EQ(form->controls().nameLabel->text().toStdString(), noteName(shown, NoteNaming::Letters, false));
    EXPECT_EQ(staffLabel->text(), form->controls().nameLabel->text());
    answerFromMidiKeyboard(*form, form->workspace().reading().shown.midiNote());
    EXPECT_EQ(
        staffLabel->text().toStdString(), noteName(form->workspace().reading().shown.note, NoteNaming::Letters, false))
        << "the next note too";
}

TEST_F(LanguageWindowTest, theChoicesOutliveARestartAndADamagedFileOnlyCostsThem)
{
    // What "Tastiera MIDI" switched off in an earlier run, a name with a comma among them.
    app::RememberedChoices earlier;
    earlier.keyboardsOff = { "Keystation:port 0", "Piano, grand:midi" };
    ASSERT_FALSE(app::saveRememberedChoices(choicesFile(), earlier));
    start();
    EXPECT_EQ(form->midiKeyboard().switchedOff(), earlier.keyboardsOff);

    form->controls().languageActions[1]->trigger();
    form->controls().namingActions[1]->trigger();
    form->controls().answerSwitch->click();
    ASSERT_TRUE(form->workspace().answering());
    form->controls().voiceButtons.at(1)->click(); // "Parla" is not kept
    form->controls().muteSwitch->click(); // nor "Muto"

    start();
    const app::WindowControls& c = form->controls();
    EXPECT_EQ(form->controls().modeButtons.at(0)->text(), "Compose");
    EXPECT_TRUE(c.languageActions[1]->isChecked());
    EXPECT_TRUE(c.namingActions[1]->isChecked());
    EXPECT_EQ(form->workspace().state().Naming, NoteNaming::Letters);
    EXPECT_TRUE(form->controls().answerSwitch->isChecked());
    EXPECT_TRUE(form->workspace().answering()) << "Rispondi answers from the start";
    EXPECT_TRUE(form->controls().voiceButtons.at(0)->isChecked()) << "the controls of the window start as always";
    EXPECT_FALSE(form->controls().muteSwitch->isChecked());
    EXPECT_EQ(form->midiKeyboard().switchedOff(), earlier.keyboardsOff);

    // "Leggi" left switches "Rispondi" off, but not the student's choice.
    form->controls().modeButtons.at(0)->click();
    EXPECT_TRUE(app::loadRememberedChoices(choicesFile()).choices.answering);

    std::ofstream(choicesFile(), std::ios::trunc) << "[interface]\nlanguage=klingon\n";
    start();
    EXPECT_EQ(form->controls().modeButtons.at(0)->text(), "Componi");
    EXPECT_FALSE(form->workspace().answering());
    EXPECT_TRUE(form->controls().statusText->text().startsWith("Le scelte salvate erano danneggiate"))
        << form->controls().statusText->text().toStdString();
    const QStringList aside = QDir(QString::fromStdString(choicesFile().parent_path().string()))
                                  .entryList({ QStringLiteral("zintaro.conf.damaged-*") });
    EXPECT_EQ(aside.size(), 1) << "the damaged file is set aside, not lost";

    // Told once: the next start finds a sound file.
    form->controls().languageActions[0]->trigger();
    start();
    EXPECT_TRUE(form->controls().statusText->text().isEmpty()) << form->controls().statusText->text().toStdString();
}

} // namespace
} // namespace zintaro::testing
