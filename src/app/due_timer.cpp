#include "app/due_timer.h"

#include <algorithm>

namespace zintaro::app {

DueTimer::DueTimer(const QElapsedTimer& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DueTimer::due);
}

void DueTimer::setDue(std::optional<int64_t> due)
{
    if (!due) {
        m_timer.stop();
        return;
    }
    // Whole milliseconds rounded down: a timer that comes early is simply
    // asked again, one that comes late would make the note late. A time far
    // off is asked about after a minute.
    const int64_t remainingNs = *due * 1'000'000 - m_clock.nsecsElapsed();
    m_timer.start(static_cast<int>(std::clamp<int64_t>(remainingNs / 1'000'000, 0, 60'000)));
}

} // namespace zintaro::app
