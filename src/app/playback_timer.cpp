#include "app/playback_timer.h"

#include <algorithm>

namespace zintaro::app {

PlaybackTimer::PlaybackTimer(compose::Playback& playback, const QElapsedTimer& clock, QObject* parent)
    : QObject(parent)
    , m_playback(playback)
    , m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { schedule(m_playback.advance(m_clock.elapsed())); });
}

void PlaybackTimer::start()
{
    m_timer.stop();
    schedule(m_playback.start(m_clock.elapsed()));
}

void PlaybackTimer::stop()
{
    m_timer.stop();
    m_playback.stop();
}

void PlaybackTimer::schedule(std::optional<compose::Millis> next)
{
    if (!next)
        return;
    // Whole milliseconds rounded down: a callback that comes early is simply
    // asked again, one that comes late would make the note late.
    const int64_t remainingNs = *next * 1'000'000 - m_clock.nsecsElapsed();
    m_timer.start(static_cast<int>(std::max<int64_t>(0, remainingNs / 1'000'000)));
}

} // namespace zintaro::app
