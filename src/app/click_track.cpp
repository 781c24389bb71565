#include "app/click_track.h"

#include "midi/midi_system.h"
#include "midi/stream_clock.h"

#include <chrono>
#include <cmath>

namespace zintaro::app {

StreamClickTrack::StreamClickTrack(midi::MidiSystem& system, const QElapsedTimer& clock)
    : m_system(system)
    , m_clock(clock)
{
}

// Both clocks are the system's monotonic clock from other zeros: the
// distance between them is taken now.
void StreamClickTrack::schedule(double atMs, bool accent)
{
    midi::StreamClock* stream = m_system.streamClock();
    if (stream == nullptr)
        return;
    const int64_t steadyNow
        = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
              .count();
    const int64_t steadyAt = steadyNow + std::llround(atMs * 1e6) - m_clock.nsecsElapsed();
    if (const auto frame = stream->frameHeardAt(steadyAt))
        stream->schedule({ *frame, accent });
}

void StreamClickTrack::cancel()
{
    if (midi::StreamClock* stream = m_system.streamClock())
        stream->cancel();
}

} // namespace zintaro::app
