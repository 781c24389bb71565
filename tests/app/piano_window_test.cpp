#include "app/midi_keyboard.h"
#include "compose/trainer.h"
#include "midi/midi_out.h"
#include "window_fixture.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace zintaro::testing {
namespace {

using Bytes = RecordingMidiSystem::Bytes;

class PianoWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        compose();
    }
    bool shownPressed(int index) const { return form->controls().piano->isPressed(index); }

    // A composition of 1000 entries with the cursor at its end; no box yet.
    const Modulo1& fillComposition()
    {
        loadPiece(MaxEntries, Entry { 0, 7, 2 });
        dialogs.shown.clear();
        return form->workspace().state();
    }
};

TEST_F(PianoWindowTest, keyTSoundsMiddleCShowsItAndWritesIt)
{
    ASSERT_EQ(focused(), form->controls().piano->key(0));
    press(Qt::Key_T);
    EXPECT_EQ(midi.sent, (std::vector<Bytes> { { 0x90, 60, 127, 0 } }));
    EXPECT_TRUE(shownPressed(7));
    EXPECT_EQ(form->workspace().state().NoteCount, 1);
    EXPECT_EQ(form->workspace().state().Composition.at(0), (Entry { 0, 7, 0 }));
    EXPECT_EQ(form->workspace().state().CursorColumn, 1);

    release(Qt::Key_T);
    EXPECT_EQ(midi.sent.back(), (Bytes { 0x90, 60, 0, 0 }));
    EXPECT_FALSE(shownPressed(7));
    EXPECT_EQ(focused(), form->controls().piano->key(0));
}

TEST_F(PianoWindowTest, lettersPlayWhateverTheShiftStateAndDigitsByTheirPhysicalKey)
{
    tap(Qt::Key_Q);
    tap(Qt::Key_Q, Qt::ShiftModifier);
    // Shift+1 gives "!" on most layouts; the key is still the digit 1 (X11 key code 10).
    tap(Qt::Key_Exclam, Qt::ShiftModifier, 10);
    tap(Qt::Key_1, Qt::NoModifier, 10);
    // Shift+0 on an Italian layout gives "=" (key code 19).
    tap(Qt::Key_Equal, Qt::ShiftModifier, 19);
    EXPECT_EQ(midi.notesOn(), (std::vector<int> { 53, 53, 54, 54, 75 }));
    EXPECT_EQ(midi.notesOff(), (std::vector<int> { 53, 53, 54, 54, 75 }));
    EXPECT_EQ(form->workspace().state().NoteCount, 5);
}

TEST_F(PianoWindowTest, keysThatAreNoShortcutDoNothingAtAll)
{
    const Entry before = form->workspace().state().Composition.at(0);
    tap(Qt::Key_1, Qt::KeypadModifier, 87); // the numeric keypad's 1
    tap(Qt::Key_Space);
    tap(Qt::Key_Left);
    tap(Qt::Key_Right);
    tap(Qt::Key_F1);
    tap(Qt::Key_F4);
    tap(Qt::Key_Return);
    tap(Qt::Key_Enter, Qt::KeypadModifier);
    tap(Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_TRUE(speech.said.empty());
    EXPECT_EQ(form->workspace().state().NoteCount, 0);
    EXPECT_EQ(form->workspace().state().Composition.at(0), before);
    EXPECT_EQ(form->workspace().state().CursorColumn, 0);
}

TEST_F(PianoWindowTest, twoKeysHeldTogetherSoundAndReleaseSeparately)
{
    press(Qt::Key_T);
    press(Qt::Key_U);
    EXPECT_EQ(midi.notesOn(), (std::vector<int> { 60, 64 }));
    EXPECT_TRUE(shownPressed(7));
    EXPECT_TRUE(shownPressed(11));
    release(Qt::Key_T);
    EXPECT_EQ(midi.notesOff(), (std::vector<int> { 60 }));
    EXPECT_FALSE(shownPressed(7));
    EXPECT_TRUE(shownPressed(11));
    release(Qt::Key_U);
    EXPECT_EQ(midi.notesOff(), (std::vector<int> { 60, 64 }));
}

TEST_F(PianoWindowTest, aHeldKeyWritesOnEveryRepeatButSoundsOnceAndIgnoresRepeatReleases)
{
    press(Qt::Key_G);
    for (int i = 0; i < 3; ++i) {
        send(QEvent::KeyRelease, Qt::Key_G, Qt::NoModifier, 0, true);
        send(QEvent::KeyPress, Qt::Key_G, Qt::NoModifier, 0, true);
    }
    EXPECT_EQ(midi.notesOn(), (std::vector<int> { 72 }));
    EXPECT_TRUE(midi.notesOff().empty());
    EXPECT_TRUE(shownPressed(19));
    EXPECT_EQ(form->workspace().state().NoteCount, 4);
    release(Qt::Key_G);
    EXPECT_EQ(midi.notesOff(), (std::vector<int> { 72 }));
    EXPECT_FALSE(shownPressed(19));
}

TEST_F(PianoWindowTest, withParlaAKeySpeaksShowsNoPressAndStillSilencesOnRelease)
{
    form->controls().voiceButtons.at(1)->click();
    form->controls().durationButtons.at(2)->click();
    press(Qt::Key_T);
    EXPECT_EQ(speech.said, (std::vector<std::string> { "Do" }));
    EXPECT_TRUE(midi.notesOn().empty());
    EXPECT_FALSE(shownPressed(7));
    EXPECT_EQ(form->workspace().state().Composition.at(0), (Entry { 0, 7, 2 }));
    release(Qt::Key_T);
    EXPECT_EQ(midi.sent, (std::vector<Bytes> { { 0x90, 60, 0, 0 } }));
}

TEST_F(PianoWindowTest, aPressInTheInstrumentListGivesTheKeyboardBackToThePiano)
{
    form->controls().modeButtons.at(0)->setFocus();
    form->controls().instrumentList->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(form->controls().instrumentList, &down);
    QApplication::processEvents();
    EXPECT_EQ(form->controls().instrumentList->currentRow(), 1);
    EXPECT_EQ(midi.sent, (std::vector<Bytes> { { 0xB0, 0, 0, 0 }, { 0xC0, 1, 0, 0 } }));
    EXPECT_EQ(focused(), form->controls().piano->key(0));
    press(Qt::Key_T);
    EXPECT_EQ(midi.notesOn(), (std::vector<int> { 60 }));
}

TEST_F(PianoWindowTest, aFullCompositionRefusesTheNoteWithOneMessageAndNoSound)
{
    const Modulo1& m = fillComposition();

    press(Qt::Key_T);
    release(Qt::Key_T);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(midi.notesOn().empty());
    EXPECT_EQ(m.NoteCount, MaxEntries);
    EXPECT_EQ(m.Composition.at(MaxEntries), EndEntry);
}

TEST_F(PianoWindowTest, aMidiKeyboardsNoteIsWrittenShownAndJudgedButNotSoundedAgain)
{
    // The note sounded as it came in, on the input's thread; the window
    // writes it and shows its key.
    emit form->midiKeyboard().keyPressed(7, 64);
    EXPECT_TRUE(shownPressed(7));
    EXPECT_EQ(form->workspace().state().Composition.at(0), (Entry { 0, 7, 0 }));
    emit form->midiKeyboard().keyReleased(7);
    EXPECT_FALSE(shownPressed(7));
    EXPECT_TRUE(midi.sent.empty());

    // In "Leggi" with "Rispondi" it answers the trainer.
    form->controls().modeButtons.at(3)->click();
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    const int16_t shown = form->workspace().reading().shownKey;
    emit form->midiKeyboard().keyPressed(shown, 100);
    emit form->midiKeyboard().keyReleased(shown);
    EXPECT_TRUE(form->controls().scoreLabel->text().startsWith("giuste 1 su 1"))
        << form->controls().scoreLabel->text().toStdString();
    EXPECT_EQ(form->workspace().state().NoteCount, 1);
    EXPECT_TRUE(midi.notesOn().empty());
}

TEST_F(PianoWindowTest, aFloodOfKeyboardNotesOnAFullCompositionOpensNoBox)
{
    const Modulo1& m = fillComposition();
    for (int i = 0; i < 50; ++i) {
        emit form->midiKeyboard().keyPressed(7, 90);
        emit form->midiKeyboard().keyReleased(7);
    }
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(form->controls().statusText->text().isEmpty());
    EXPECT_EQ(m.NoteCount, MaxEntries);
}

} // namespace
} // namespace zintaro::testing
