// What a new user meets in the first minute: the keys play at once and get
// the keyboard back after any click, the window shows what is true, and a
// playback never plays what is no longer the piece.
#include "app/application.h"
#include "app/trainer_timer.h"
#include "compose/playback.h"
#include "storage/file_panel.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <functional>

namespace zintaro::testing {
namespace {

using Bytes = RecordingMidiSystem::Bytes;

class FirstMinuteTest : public WindowTest { };

TEST_F(FirstMinuteTest, theCaptionIsTheProgramsOwnWithNothingAppended)
{
    app::setUpApplication();
    EXPECT_EQ(form->windowTitle(), "Zintaro     by the Zintaro developers");
    // A display name would be appended to the caption by the window system.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    // The name label and the file panel stand on the window's own colour, the
    // white of the staff, not on the grey of the form.
    for (QWidget* w :
        { static_cast<QWidget*>(form->controls().nameLabel), static_cast<QWidget*>(form->controls().filePanel) }) {
        EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Qt::white)) << w->objectName().toStdString();
        EXPECT_NE(w->palette().color(QPalette::Window), form->centralWidget()->palette().color(QPalette::Window));
        EXPECT_TRUE(w->autoFillBackground());
    }
}

TEST_F(FirstMinuteTest, everyKindOfClickGivesTheKeyboardBackToThePiano)
{
    compose();
    const std::vector<std::pair<const char*, std::function<void()>>> clicks {
        { "mode Componi", [&] { QTest::mouseClick(form->controls().modeButtons.at(0), Qt::LeftButton); } },
        { "duration", [&] { QTest::mouseClick(form->controls().durationButtons.at(3), Qt::LeftButton); } },
        { "Parla and Suona",
            [&] {
                QTest::mouseClick(form->controls().voiceButtons.at(1), Qt::LeftButton);
                QTest::mouseClick(form->controls().voiceButtons.at(0), Qt::LeftButton);
            } },
        { "PAUSA", [&] { QTest::mouseClick(form->controls().restButton, Qt::LeftButton); } },
        { "cursor", [&] { QTest::mouseClick(form->controls().cursorButtons.at(0), Qt::LeftButton); } },
        { "ELIMINA", [&] { QTest::mouseClick(form->controls().deleteButton, Qt::LeftButton); } },
        { "tempo bar",
            [&] {
                form->controls().tempoBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
                form->controls().tempoBar->triggerAction(QAbstractSlider::SliderPageStepSub);
            } },
        { "instrument list",
            [&] {
                QListWidget* list = form->controls().instrumentList;
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
                QApplication::processEvents();
            } },
    };
    for (const auto& [what, click] : clicks) {
        form->controls().instrumentList->setFocus(); // the keyboard anywhere else first
        click();
        QApplication::processEvents();
        EXPECT_EQ(focused(), form->controls().piano->key(0)) << what;
    }
    midi.sent.clear();
    tap(Qt::Key_T);
    EXPECT_EQ(midi.notesOn(), (std::vector<int> { 60 }));
}

TEST_F(FirstMinuteTest, aShortcutTypedInTheInstrumentListPlaysItsNoteAndKeepsTheInstrument)
{
    compose();
    QListWidget* list = form->controls().instrumentList;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_T, Qt::NoModifier); // "Tubular Bells" starts with a T
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(midi.sent, (std::vector<Bytes> { { 0x90, 60, 127, 0 }, { 0x90, 60, 0, 0 } }));
    EXPECT_EQ(form->workspace().state().NoteCount, 1);
    EXPECT_EQ(focused(), form->controls().piano->key(0));
}

TEST_F(FirstMinuteTest, thePianoShowsTwentyOneSeparateWhiteKeysAndPlainlyPressedOnes)
{
    const QImage piano = form->controls().piano->grab().toImage();
    const auto darkness = [&](int x, int y) { return 255 - qGray(piano.pixel(x, y)); };
    // Below the black keys every pair of neighbouring white keys is parted by
    // a dark line (white key n starts at 16 + 32 n).
    const int below = 8 + 89 + 20;
    for (int n = 1; n < 21; ++n)
        EXPECT_GT(darkness(16 + 32 * n, below), 150) << "between white keys " << n - 1 << " and " << n;

    const QPoint inKey7 = form->controls().piano->key(7)->geometry().center() + QPoint(0, 40);
    const QRgb released = piano.pixel(inKey7);
    form->controls().piano->setPressed(7, true);
    const QRgb pressed = form->controls().piano->grab().toImage().pixel(inKey7);
    const int difference = std::abs(qRed(pressed) - qRed(released)) + std::abs(qGreen(pressed) - qGreen(released))
        + std::abs(qBlue(pressed) - qBlue(released));
    EXPECT_GT(difference, 120);
}

TEST_F(FirstMinuteTest, nuovoAndEditingDuringAPlaybackStopItBeforeThePieceChanges)
{
    compose();
    form->controls().durationButtons.at(0)->click(); // whole notes: the playback is still sounding the first
    for (int key : { Qt::Key_T, Qt::Key_Y, Qt::Key_U })
        tap(key);
    const std::vector<std::pair<const char*, std::function<void()>>> changes {
        { "Nuovo", [&] { form->controls().modeButtons.at(2)->click(); } },
        { "PAUSA", [&] { form->controls().restButton->click(); } },
        { "ELIMINA", [&] { form->controls().deleteButton->click(); } },
    };
    for (const auto& [what, change] : changes) {
        form->controls().modeButtons.at(1)->click();
        ASSERT_TRUE(form->workspace().playing()) << what;
        midi.sent.clear();
        change();
        EXPECT_FALSE(form->workspace().playing()) << what;
        EXPECT_EQ(midi.sent.size(), 1u) << what; // the sounding note's note-off
        EXPECT_TRUE(midi.notesOn().empty()) << what;
        QTest::qWait(100);
        EXPECT_TRUE(midi.notesOn().empty()) << what;
        if (form->workspace().state().NoteCount == 0)
            for (int key : { Qt::Key_T, Qt::Key_Y, Qt::Key_U })
                tap(key);
    }
    EXPECT_TRUE(dialogs.shown.back().isQuestion); // no box about the end marker
}

TEST(TrainerTimer, aNewIntervalKeepsTheRhythmFromThePreviousTick)
{
    QElapsedTimer clock;
    clock.start();
    app::TrainerTimer timer(clock);
    QSignalSpy ticks(&timer, &app::TrainerTimer::timeout);
    timer.setInterval(2000);
    timer.start();
    QTest::qWait(300);
    timer.setInterval(600);
    timer.setInterval(500); // a scroll step after another
    ASSERT_TRUE(ticks.wait(1500));
    // Due 500 ms after the start, not a new interval after the change.
    EXPECT_LT(clock.elapsed(), 750);
    timer.setInterval(1);
    EXPECT_TRUE(ticks.wait(100)); // a time already passed ticks at once
}

} // namespace
} // namespace zintaro::testing
