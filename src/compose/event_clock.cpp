#include "compose/event_clock.h"

#include <cmath>

namespace zintaro::compose {

double EventClock::onset(double stampMs, double handledMs)
{
    if (stampMs == 0)
        return handledMs;
    const double lag = handledMs - stampMs;
    if (!m_lag || lag < *m_lag || std::abs(lag - *m_lag) > RestartedAfterMs)
        m_lag = lag;
    return stampMs + *m_lag;
}

} // namespace zintaro::compose
