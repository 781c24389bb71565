// The onset error of keys struck on their notes (as near as a timer strikes
// them), as the window takes them: each key event carries its own timestamp,
// reaches the window through the event loop while the loop is now and then
// busy drawing, is placed on the window's clock by its stamp and judged.
// Prints the median and the 99th percentile of the error against the time
// each key was struck (goals: within 2 ms and 5 ms).
#include "../support/percentile.h"
#include "compose/event_clock.h"
#include "compose/tempo_judge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using namespace zintaro;

constexpr int Tempo = 210;
constexpr int Measures = 10;
// The stamps' clock starts elsewhere than the window's.
constexpr qint64 StampZero = 987'654;

compose::Phrase sixteenths()
{
    compose::Phrase phrase;
    phrase.meter = { 4, 4 };
    for (int m = 0; m < Measures; ++m) {
        std::vector<compose::MelodyNote> measure;
        for (int i = 0; i < 16; ++i) {
            const int midi = 60 + (m + i) % 12;
            measure.push_back({ midi, spellInKey(midi, Key {}), 1, false });
        }
        phrase.measures.push_back(measure);
    }
    return phrase;
}

// The window's side: a key event placed by its stamp and judged.
class Receiver : public QObject {
public:
    Receiver(const QElapsedTimer& clock, compose::TempoJudge& judge, double origin)
        : m_clock(clock)
        , m_judge(judge)
        , m_origin(origin)
    {
    }

    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return QObject::event(e);
        const auto* key = static_cast<QKeyEvent*>(e);
        const double handled = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
        const double onset = m_events.onset(static_cast<double>(key->timestamp()), handled + StampZero) - StampZero;
        // Against the time the key was struck: a timer of a loaded machine
        // strikes it late, which is no fault of the path measured.
        for (const auto& j : m_judge.keyDown(key->key() - Qt::Key_A + 60, onset - m_origin).judged)
            if (j.played)
                errors.push_back(j.errorMs - struckLate.at(j.index));
        return true;
    }

    std::vector<double> errors;
    std::vector<double> struckLate; // by note: after its time in the phrase

private:
    const QElapsedTimer& m_clock;
    compose::TempoJudge& m_judge;
    double m_origin;
    compose::EventClock m_events;
};

using bench::percentile;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();
    const compose::PhraseTimeline timeline = compose::timelineOf(sixteenths(), Tempo);
    compose::TempoJudge judge(timeline, 0);
    const double origin = static_cast<double>(clock.nsecsElapsed()) / 1e6 + 100;
    Receiver receiver(clock, judge, origin);
    receiver.struckLate.resize(timeline.notes.size());

    size_t next = 0;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    const auto schedule = [&] {
        if (next >= timeline.notes.size()) {
            QTimer::singleShot(200, &app, &QCoreApplication::quit);
            return;
        }
        const double due = origin + timeline.notes[next].onsetMs;
        timer.start(static_cast<int>(std::max(0.0, due - static_cast<double>(clock.nsecsElapsed()) / 1e6)));
    };
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const double due = origin + timeline.notes[next].onsetMs;
        const double struck = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (struck < due) {
            schedule(); // woken early: wait for the rest
            return;
        }
        // A key struck now, stamped in whole milliseconds as key events are.
        auto* key = new QKeyEvent(QEvent::KeyPress, Qt::Key_A + timeline.notes[next].midi - 60, Qt::NoModifier);
        key->setTimestamp(static_cast<quint64>(std::llround(struck)) + StampZero);
        receiver.struckLate[next] = struck - due;
        QCoreApplication::postEvent(&receiver, key);
        // Now and then the window is busy drawing before it comes to the key.
        const double busyUntil = due + static_cast<double>((next * 7) % 41);
        while (static_cast<double>(clock.nsecsElapsed()) / 1e6 < busyUntil) { }
        ++next;
        schedule();
    });
    schedule();
    app.exec();

    std::vector<double> off;
    for (const double e : receiver.errors)
        off.push_back(std::abs(e));
    if (off.empty())
        return 1;
    const double median = percentile(off, 0.5);
    const double p99 = percentile(off, 0.99);
    std::printf("tempo onsets: %zu keys on sixteenths at tempo %d, handled up to 40 ms late\n", off.size(), Tempo);
    std::printf("  |onset error|  p50 %.3f ms  p99 %.3f ms  max %.3f ms  (goals p50 <= 2 ms, p99 <= 5 ms)\n", median,
        p99, percentile(off, 1.0));
    return off.size() == timeline.notes.size() && median <= 2 && p99 <= 5 ? 0 : 1;
}
