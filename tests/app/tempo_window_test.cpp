#include "app/calibration_dialog.h"
#include "app/remembered_choices.h"
#include "compose/tempo_judge.h"
#include "compose/timed_reading.h"
#include "input/key_map.h"
#include "storage/user_folders.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <algorithm>

namespace zintaro::testing {
namespace {

// "Leggi" with "Rispondi", "A tempo" and "Dalla composizione": the piece of
// four quarter notes read at tempo 120, played from the computer keyboard
// with key events stamped with their own time.
class TempoWindowTest : public WindowTest {
protected:
    static constexpr int16_t Key = 11;
    // The keys' clock runs from another zero than the window's.
    static constexpr qint64 StampZero = 5'000'000;

    // Every key but the first comes to the window `handledAfterMs` after its time.
    void playPhrase(double lateMs, qint64 handledAfterMs)
    {
        const compose::TimedReading* reading = form->workspace().timedReading();
        ASSERT_NE(reading, nullptr);
        for (const compose::TimedNote& note : reading->timeline().notes) {
            const auto at = reading->startMs() + static_cast<qint64>(note.onsetMs + lateMs);
            const qint64 handled = at + (note.onsetMs > reading->timeline().countInMs() ? handledAfterMs : 0);
            while (form->now() < handled)
                QTest::qWait(1);
            playKey(at);
        }
        QTRY_VERIFY_WITH_TIMEOUT(form->workspace().timedReading()->finished(), 2000);
    }

    // The key's own time, whenever the window comes to it.
    void playKey(qint64 at)
    {
        const auto code = static_cast<Qt::Key>(input::KeyShortcuts.at(Key).keyCode);
        for (const QEvent::Type type : { QEvent::KeyPress, QEvent::KeyRelease }) {
            QKeyEvent event(type, code, Qt::NoModifier);
            event.setTimestamp(static_cast<ulong>(StampZero + at));
            QApplication::sendEvent(focused() ? focused() : form->controls().piano->key(0), &event);
        }
    }

    std::vector<compose::Timing> timings() const
    {
        std::vector<compose::Timing> out;
        for (const auto& j : form->workspace().timedReading()->judgements())
            out.push_back(j.timing);
        return out;
    }
};

TEST_F(TempoWindowTest, keysOnTimeByTheirStampsArePerfectKeys200msLateAreLateUntilTheDelayIsCalibrated)
{
    compose();
    loadPiece(4, { False16, Key, 2, false, false });
    form->controls().tempoBar->setValue(120);
    form->controls().modeButtons.at(3)->click();
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    form->controls().fromPieceAction->trigger();
    form->controls().inTimeAction->trigger();
    ASSERT_TRUE(form->controls().answerSwitch->isChecked());

    playPhrase(0, 70);
    EXPECT_EQ(timings(), std::vector<compose::Timing>(4, compose::Timing::Perfect));
    EXPECT_TRUE(form->controls().scoreLabel->text().contains("A tempo: 4 su 4"));

    // The next key starts the phrase again after its count-in.
    playKey(form->now());
    ASSERT_FALSE(form->workspace().timedReading()->finished());
    playPhrase(200, 0);
    const auto late = timings();
    EXPECT_EQ(std::count(late.begin(), late.end(), compose::Timing::Perfect), 0);
    const auto said = QRegularExpression("In media (\\d+) ms in ritardo").match(form->controls().scoreLabel->text());
    ASSERT_TRUE(said.hasMatch()) << form->controls().scoreLabel->text().toStdString();
    EXPECT_NEAR(said.captured(1).toInt(), 200, 15);

    // "Calibra ritardo…" from the keyboard: Escape leaves the correction as
    // it was; taps 200 ms late on every click, then Enter, make it about 200 ms,
    // and the phrase starts again with it.
    form->controls().calibrateAction->trigger();
    auto* dialog = form->findChild<app::CalibrationDialog*>();
    ASSERT_NE(dialog, nullptr);
    QTest::keyClick(dialog, Qt::Key_Escape);
    QTRY_VERIFY(form->findChild<app::CalibrationDialog*>() == nullptr);
    form->controls().calibrateAction->trigger();
    dialog = form->findChild<app::CalibrationDialog*>();
    ASSERT_NE(dialog, nullptr);
    // Each tap's time from the click it answers, however late the test
    // itself comes to it.
    const std::vector<compose::Click> clicks = dialog->clicks();
    ASSERT_EQ(clicks.size(), static_cast<std::size_t>(compose::CalibrationClicks));
    for (const compose::Click& click : clicks) {
        const auto at = static_cast<qint64>(click.atMs) + 200;
        while (form->now() < at)
            QTest::qWait(1);
        QKeyEvent tap(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        tap.setTimestamp(static_cast<ulong>(StampZero + at));
        QApplication::sendEvent(dialog, &tap);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->running(), 2000);
    QTest::keyClick(dialog, Qt::Key_Return);
    const int delay = form->workspace().choices().practice.delayCorrectionMs;
    EXPECT_NEAR(delay, 200, 5);
    EXPECT_EQ(app::loadRememberedChoices(storage::settingsFilePath()).choices.practice.delayCorrectionMs, delay);
    playPhrase(200, 0);
    EXPECT_EQ(timings(), std::vector<compose::Timing>(4, compose::Timing::Perfect));
}

} // namespace
} // namespace zintaro::testing
