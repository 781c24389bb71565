#include "app/trainer_timer.h"

#include <algorithm>

namespace zintaro::app {

TrainerTimer::TrainerTimer(const QElapsedTimer& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_timer(clock)
{
    connect(&m_timer, &DueTimer::due, this, &TrainerTimer::fire);
}

void TrainerTimer::start()
{
    m_active = true;
    m_lastTick = m_clock.elapsed();
    schedule();
}

void TrainerTimer::stop()
{
    m_active = false;
    m_timer.setDue(std::nullopt);
}

void TrainerTimer::setInterval(int milliseconds)
{
    m_interval = std::max(1, milliseconds);
    if (m_active)
        schedule();
}

void TrainerTimer::schedule()
{
    m_timer.setDue(m_lastTick + m_interval);
}

void TrainerTimer::fire()
{
    const qint64 now = m_clock.elapsed();
    const qint64 due = m_lastTick + m_interval;
    // Ticks keep their ideal times; after a stall longer than a beat the
    // beat starts again from now rather than ticking to catch up.
    m_lastTick = now - due >= m_interval ? now : due;
    schedule();
    emit timeout();
}

} // namespace zintaro::app
