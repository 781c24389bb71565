#include "compose/tempo_judge.h"
#include "compose/timed_reading.h"
#include "input/key_map.h"
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

TEST_F(TempoWindowTest, keysOnTimeByTheirOwnStampArePerfectAndKeys200msLateAreLateByAbout200ms)
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
}

} // namespace
} // namespace zintaro::testing
