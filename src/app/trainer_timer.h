#pragma once

#include "app/due_timer.h"

#include <QElapsedTimer>
#include <QObject>

namespace zintaro::app {

// The reading trainer's beat: a tick every interval, scheduled against the
// window's monotonic clock so that ticks do not drift. A new interval keeps
// the rhythm: the next tick comes at the previous tick plus the new interval,
// at once if that time has passed, not a whole interval after the change.
class TrainerTimer : public QObject {
    Q_OBJECT
public:
    TrainerTimer(const QElapsedTimer& clock, QObject* parent = nullptr);

    // The first tick comes one interval from now.
    void start();
    void stop();
    bool isActive() const { return m_active; }
    int interval() const { return m_interval; }
    void setInterval(int milliseconds);

signals:
    void timeout();

private:
    void schedule();
    void fire();

    const QElapsedTimer& m_clock;
    DueTimer m_timer;
    int m_interval = 70;
    bool m_active = false;
    qint64 m_lastTick = 0; // when the previous tick was due, in clock milliseconds
};

} // namespace zintaro::app
