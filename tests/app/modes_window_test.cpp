#include "compose/playback.h"
#include "compose/trainer.h"
#include "core/midi_message.h"
#include "midi/midi_errors.h"
#include "staff/staff_system.h"
#include "staff/staff_widget.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace zintaro::testing {
namespace {

using Bytes = RecordingMidiSystem::Bytes;

TEST_F(WindowTest, startUpEndsInTheEnlargedReadingLayoutWithEverythingSelected)
{
    const Modulo1& m = form->workspace().state();
    EXPECT_EQ(form->controls().tempoText->text(), "100");
    EXPECT_EQ(form->controls().tempoBar->value(), 100);
    EXPECT_EQ(m.TempoDurations, (std::array<double, 4> { 3000, 1500, 750, 375 }));
    EXPECT_EQ(form->trainerTimer().interval(), 1800);
    EXPECT_EQ(form->controls().instrumentList->count(), 128);
    EXPECT_EQ(form->controls().instrumentList->currentRow(), 0);
    EXPECT_EQ(form->controls().deviceList->currentRow(), 0);
    EXPECT_FALSE(form->controls().deviceList->isVisible());
    EXPECT_EQ(form->controls().staff->restImageCount(), 51);
    EXPECT_EQ(m.DrawScale, 5);
    EXPECT_TRUE(form->isMaximized());
    EXPECT_TRUE(form->trainerTimer().isActive());
    EXPECT_TRUE(form->controls().modeButtons.at(3)->isChecked()); // the window shows the mode it is in
    EXPECT_EQ(focused(), form->controls().piano->key(0)); // the keys play at once
    EXPECT_EQ(m.NoteCount, 0);
    EXPECT_EQ(m.Composition.at(0), (Entry { -1, 0, 0 }));
    EXPECT_EQ(form->controls().helpLabel->text(),
        "1. Select Device\r\n2. Select Instrument\r\n3. Play notes with Mouse or with\r\n"
        "   noted Computer Keyboard key");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(WindowTest, startUpOpensTheFirstListedDeviceWithTheFirstInstrument)
{
    // The built-in synthesizer is listed first (item data -1); with no
    // external port it also stands in for device 0.
    EXPECT_EQ(midi.opened, (std::vector<int32_t> { -1, -1 }));
    EXPECT_EQ(form->controls().deviceList->item(0)->data(Qt::UserRole).toInt(), -1);
    const std::vector<Bytes> programZero = { { 0xB0, 0, 0, 0 }, { 0xC0, 0, 0, 0 } };
    ASSERT_GE(midi.sent.size(), 4u);
    EXPECT_EQ(std::vector<Bytes>(midi.sent.begin(), midi.sent.begin() + 2), programZero);
    EXPECT_EQ(std::vector<Bytes>(midi.sent.begin() + 2, midi.sent.begin() + 4), programZero);
}

TEST(WindowStartUp, withExternalPortsDeviceZeroIsOpenedFirstThenTheFirstListedDevice)
{
    QTemporaryDir files;
    const OwnStateFolder state;
    ScriptedDialogs dialogs;
    RecordingMidiSystem midi;
    midi.ports = 2;
    RecordingSpeech speech;
    app::Form1 form({ dialogs, midi, speech, files.path() });
    form.Form_Load();
    EXPECT_EQ(midi.opened, (std::vector<int32_t> { 0, -1 }));
    EXPECT_EQ(form.controls().deviceList->count(), 3);
    EXPECT_EQ(form.controls().deviceList->item(2)->data(Qt::UserRole).toInt(), 1);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(WindowStartUp, aDeviceThatCannotBeOpenedIsReportedAndStartUpCompletes)
{
    QTemporaryDir files;
    const OwnStateFolder state;
    ScriptedDialogs dialogs;
    RecordingMidiSystem midi;
    midi.failOpen = true;
    RecordingSpeech speech;
    app::Form1 form({ dialogs, midi, speech, files.path() });
    form.Form_Load();
    // Told once; the second open and the messages that found no open device
    // only keep the status text.
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown.front().text, "recorded error 2");
    EXPECT_EQ(form.controls().statusText->text(), "recorded error 2");
    EXPECT_EQ(form.workspace().state().DrawScale, 5);
    EXPECT_EQ(form.controls().tempoText->text(), "100");

    // The trainer's ticks and a playback open no box.
    for (int i = 0; i < 4; ++i)
        form.Tim_Timer();
    form.controls().modeButtons.at(0)->click();
    QTest::keyClick(form.controls().piano->key(0), Qt::Key_T);
    form.controls().modeButtons.at(1)->click();
    QTest::qWait(50);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// A MIDI system whose output opens but cannot sound until `sounding`, as the
// built-in synthesizer is without an audio output.
class SilentUntilAudio : public RecordingMidiSystem {
public:
    midi::MidiResult shortMessage(uint32_t handle, uint32_t packed) override
    {
        if (!sounding)
            return 101;
        return RecordingMidiSystem::shortMessage(handle, packed);
    }
    bool sounding = false;
};

TEST(WindowStartUp, anOutputThatCannotSoundIsToldOnceAndTheStatusClearsWhenSoundComes)
{
    QTemporaryDir files;
    const OwnStateFolder state;
    ScriptedDialogs dialogs;
    SilentUntilAudio midi;
    RecordingSpeech speech;
    app::Form1 form({ dialogs, midi, speech, files.path() });
    form.Form_Load();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "recorded error 101");
    for (int i = 0; i < 6; ++i)
        form.Tim_Timer(); // the trainer sounds its notes into nothing
    form.controls().modeButtons.at(0)->click();
    QTest::keyClick(form.controls().piano->key(0), Qt::Key_T);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(form.controls().statusText->text(), "recorded error 101");

    midi.sounding = true;
    QTest::keyClick(form.controls().piano->key(0), Qt::Key_Y);
    EXPECT_EQ(form.controls().statusText->text(), "");
    EXPECT_EQ(midi.notesOn(), (std::vector<int> { 62 }));
}

// An output that takes note-offs and controllers but cannot sound a note, as
// the built-in synthesizer is without an audio output.
class SilentNotes : public RecordingMidiSystem {
public:
    midi::MidiResult shortMessage(uint32_t handle, uint32_t packed) override
    {
        if (midi::unpack(packed).startsNote())
            return midi::errors::NoAudioOutput;
        return RecordingMidiSystem::shortMessage(handle, packed);
    }
};

TEST(WindowStartUp, theNoteThatThereIsNoSoundStaysOverTwentyKeys)
{
    QTemporaryDir files;
    ScriptedDialogs dialogs;
    SilentNotes midi;
    RecordingSpeech speech;
    app::Form1 form({ dialogs, midi, speech, files.path() });
    form.Form_Load();
    form.show();
    form.controls().modeButtons.at(0)->click();
    const int keys[] = { Qt::Key_T, Qt::Key_Y, Qt::Key_U, Qt::Key_A };
    QStringList seen;
    for (int i = 0; i < 20; ++i) {
        QTest::keyPress(form.controls().piano->key(0), keys[i % 4]);
        seen << form.controls().statusText->text();
        QTest::keyRelease(form.controls().piano->key(0), keys[i % 4]);
        seen << form.controls().statusText->text();
    }
    EXPECT_EQ(seen.count(QStringLiteral("recorded error 101")), 40) << seen.join('|').toStdString();
    EXPECT_EQ(dialogs.shown.size(), 1u) << "told once in a box";
}

TEST_F(WindowTest, nuovoAnsweredNoKeepsTheCompositionAndYesEmptiesItIntoComponi)
{
    compose();
    tap(Qt::Key_T);
    tap(Qt::Key_Y);
    const Modulo1 before = form->workspace().state();

    dialogs.answers = { false };
    form->controls().modeButtons.at(2)->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Sicuro?");
    EXPECT_EQ(dialogs.shown[0].title, "Nuova composizione");
    EXPECT_TRUE(dialogs.shown[0].isQuestion);
    EXPECT_EQ(form->workspace().state().NoteCount, 2);
    EXPECT_EQ(form->workspace().state().WriteIndex, before.WriteIndex);
    EXPECT_EQ(form->workspace().state().CursorColumn, before.CursorColumn);
    EXPECT_EQ(form->workspace().state().Composition.at(1), (Entry { 0, 9, 0 }));
    EXPECT_TRUE(form->controls().modeButtons.at(2)->isChecked());
    EXPECT_FALSE(form->trainerTimer().isActive());

    dialogs.answers = { true };
    form->controls().modeButtons.at(2)->click();
    const Modulo1& m = form->workspace().state();
    EXPECT_EQ(m.NoteCount, 0);
    EXPECT_EQ(m.WriteIndex, 0);
    EXPECT_EQ(m.CursorColumn, 0);
    EXPECT_EQ(m.Composition.at(0), (Entry { -1, 0, 0 }));
    EXPECT_EQ(m.Composition.at(1), (Entry { 0, 0, 0 }));
    EXPECT_TRUE(form->controls().modeButtons.at(0)->isChecked());
}

TEST_F(WindowTest, leggiEnlargesTheStaffAndShowsTheTrainerSwitches)
{
    compose();
    EXPECT_EQ(form->workspace().state().DrawScale, 1);
    EXPECT_TRUE(form->controls().tempoText->isVisible());
    EXPECT_FALSE(form->controls().muteSwitch->isVisible());
    EXPECT_EQ(form->controls().switchFrame->height(), 41);

    form->controls().modeButtons.at(3)->click();
    EXPECT_EQ(form->workspace().state().DrawScale, 5);
    EXPECT_TRUE(form->isMaximized());
    EXPECT_FALSE(form->controls().tempoText->isVisible());
    EXPECT_FALSE(form->controls().nameLabel->isVisible());
    for (QPushButton* b : { form->controls().muteSwitch, form->controls().namesSwitch, form->controls().scaleSwitch })
        EXPECT_TRUE(b->isVisible()) << b->text().toStdString();
    EXPECT_EQ(form->controls().staff->geometry(), QRect(-8, 100, 1257, 600));
    // The mode buttons stay reachable in front of the enlarged staff.
    EXPECT_EQ(form->controls().modeFrame->parentWidget(), form->centralWidget());
    EXPECT_EQ(form->controls().modeFrame->pos(), QPoint(600, 53));
    const QPoint componi = form->controls().modeButtons.at(0)->mapTo(
        form->centralWidget(), form->controls().modeButtons.at(0)->rect().center());
    EXPECT_EQ(form->centralWidget()->childAt(componi), form->controls().modeButtons.at(0));

    form->controls().modeButtons.at(0)->click();
    EXPECT_EQ(form->controls().modeFrame->parentWidget(), form->controls().lowerArea);
    EXPECT_EQ(form->controls().staff->geometry(), QRect(-8, 72, 1257, 167));
}

TEST_F(WindowTest, aDurationButtonSetsTheDurationAndGivesTheFocusToTheFirstKey)
{
    form->controls().modeButtons.at(0)->click();
    form->controls().modeButtons.at(0)->setFocus();
    form->controls().durationButtons.at(3)->click();
    EXPECT_EQ(form->workspace().state().CurrentDuration, 3);
    EXPECT_EQ(focused(), form->controls().piano->key(0));
}

TEST_F(WindowTest, theTempoBarSetsTheTextTheDurationsAndTheTrainerPace)
{
    form->controls().tempoBar->setValue(210);
    EXPECT_EQ(form->controls().tempoText->text(), "210");
    EXPECT_EQ(form->workspace().state().TempoDurations, (std::array<double, 4> { 6300, 3150, 1575, 787 }));
    EXPECT_EQ(form->trainerTimer().interval(), 480);
    form->controls().tempoBar->setValue(form->controls().tempoBar->minimum());
    EXPECT_EQ(form->controls().tempoText->text(), "40");
    EXPECT_EQ(form->controls().tempoBar->maximum(), 210);
}

TEST_F(WindowTest, scriviHidesAndShowsBothNameLabels)
{
    compose();
    form->controls().namesSwitch->click();
    EXPECT_FALSE(form->controls().nameLabel->isVisible());
    EXPECT_FALSE(form->workspace().state().WriteNames);
    tap(Qt::Key_T);
    form->controls().namesSwitch->click();
    EXPECT_TRUE(form->controls().nameLabel->isVisible());
    EXPECT_TRUE(form->workspace().state().WriteNames);
}

// Switched on while "Leggi" shows a note, "Scrivi" names that note at once,
// beside it on the staff, not only from the next note on.
TEST_F(WindowTest, scriviSwitchedOnInLeggiNamesTheNoteShownAtOnce)
{
    form->controls().modeButtons.at(3)->click();
    form->controls().namesSwitch->click();
    form->controls().answerSwitch->click();
    ASSERT_FALSE(form->workspace().state().WriteNames);
    EXPECT_EQ(form->controls().nameLabel->text(), QString());
    form->controls().namesSwitch->click();
    const std::string name = staff::nameLabelText(form->workspace().reading().shown.note, NoteNaming::Solfege);
    EXPECT_EQ(form->controls().nameLabel->text().toStdString(), name);
    const auto* staffLabel = form->controls().staff->findChild<QLabel*>(QStringLiteral("Lab2"));
    ASSERT_TRUE(staffLabel);
    EXPECT_TRUE(staffLabel->isVisible());
    EXPECT_EQ(staffLabel->text().toStdString(), name);
}

TEST_F(WindowTest, componiShowsTheCompositionAlreadyWritten)
{
    compose();
    tap(Qt::Key_T);
    tap(Qt::Key_Y);
    form->controls().modeButtons.at(3)->click();
    form->controls().modeButtons.at(0)->click();
    const Modulo1& m = form->workspace().state();
    EXPECT_EQ(m.NoteCount, 2);
    EXPECT_EQ(m.WriteIndex, 2);
    EXPECT_EQ(m.CursorColumn, 2);
    // Two whole notes are drawn again: their open heads are dark pixels in columns 0 and 1.
    const QImage marks = form->controls().staff->marks();
    EXPECT_EQ(marks.pixelColor(100 - 4, 90).lightness(), 0); // C4's head, left ring
    EXPECT_EQ(marks.pixelColor(120 - 4, 85).lightness(), 0); // D4's head, left ring
}

TEST_F(WindowTest, aPlaybackSoundsThePieceAndAfterwardsNotesAreStoredAgain)
{
    compose();
    form->controls().durationButtons.at(4)->click(); // sixteenths: played with no wait
    tap(Qt::Key_T);
    tap(Qt::Key_U);
    midi.sent.clear();

    form->controls().modeButtons.at(1)->click();
    EXPECT_TRUE(form->workspace().state().Listening);
    QTRY_VERIFY_WITH_TIMEOUT(!form->workspace().playing(), 2000);
    EXPECT_FALSE(form->workspace().state().Listening);
    EXPECT_EQ(midi.notesOn(), (std::vector<int> { 60, 64 }));
    EXPECT_EQ(midi.notesOff(), (std::vector<int> { 60, 64 }));

    form->controls().modeButtons.at(0)->click();
    tap(Qt::Key_A);
    EXPECT_EQ(form->workspace().state().NoteCount, 3);
    EXPECT_EQ(form->workspace().state().Composition.at(2), (Entry { 0, 12, 4 }));
}

TEST_F(WindowTest, afterLeggiTheNextNoteIsAppendedToThePiece)
{
    compose();
    tap(Qt::Key_T);
    tap(Qt::Key_Y);
    form->controls().modeButtons.at(3)->click();
    for (int i = 0; i < 4; ++i)
        form->Tim_Timer();
    form->controls().modeButtons.at(0)->click();
    tap(Qt::Key_U);
    const Modulo1& m = form->workspace().state();
    EXPECT_EQ(m.NoteCount, 3);
    EXPECT_EQ(m.Composition.at(2), (Entry { 0, 11, 0 }));
    EXPECT_EQ(m.Composition.at(3), EndEntry);
    // Every note the trainer sounded was silenced when it moved on or stopped.
    std::vector<int> on = midi.notesOn(), off = midi.notesOff();
    for (int note : on)
        EXPECT_NE(std::find(off.begin(), off.end(), note), off.end()) << note;
}

TEST_F(WindowTest, closingTheWindowClosesMidiOutput)
{
    compose();
    press(Qt::Key_T);
    const int closesBefore = midi.closes;
    form->close();
    EXPECT_EQ(midi.closes, closesBefore + 1);
}

} // namespace
} // namespace zintaro::testing

namespace zintaro::testing {
namespace {

// A piece left unsaved comes back at start-up, told in the status text, and
// "Componi" shows it; a damaged file is set aside and told.
TEST(WindowStartUp, anUnsavedPieceComesBackAndADamagedFileIsSetAside)
{
    struct Case {
        QByteArray bytes;
        int notes;
        QString status;
    };
    const Case cases[] = {
        { "\"_\",0,7,2\r\n\"_\",-1,0,2\r\n\"_\",111,111,111\r\n", 2,
            QStringLiteral("Ripristinata la composizione non salvata: 2 note.") },
        { "\"_\",0,7,2\r\n\"_\",0,9", 0, QStringLiteral("Il file di ripristino era danneggiato") },
    };
    for (const Case& c : cases) {
        QTemporaryDir files;
        const OwnStateFolder state;
        ASSERT_TRUE(QDir().mkpath(state.path() + QStringLiteral("/zintaro")));
        QFile recovery(state.path() + QStringLiteral("/zintaro/recovery.txt"));
        ASSERT_TRUE(recovery.open(QIODevice::WriteOnly));
        recovery.write(c.bytes);
        recovery.close();
        ScriptedDialogs dialogs;
        RecordingMidiSystem midi;
        RecordingSpeech speech;
        app::Form1 form({ dialogs, midi, speech, files.path() });
        form.Form_Load();
        EXPECT_TRUE(form.controls().statusText->text().startsWith(c.status))
            << form.controls().statusText->text().toStdString();
        form.controls().modeButtons.at(0)->click();
        EXPECT_EQ(form.workspace().state().NoteCount, c.notes);
        EXPECT_EQ(form.workspace().state().WriteIndex, c.notes);
        EXPECT_EQ(QDir(state.path() + QStringLiteral("/zintaro")).entryList(QDir::Files).size(), 1)
            << "the file stays, as it is or set aside";
    }
}

} // namespace
} // namespace zintaro::testing
