#include "midi/stream_clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fluidsynth.h>

namespace zintaro::midi {

void StreamClock::setOutput(double sampleRate, int64_t bufferedFrames)
{
    m_rate = sampleRate;
    m_buffered = bufferedFrames;
}

std::optional<int64_t> StreamClock::frameHeardAt(int64_t steadyNs) const
{
    for (;;) {
        const uint32_t before = m_sequence.load(std::memory_order_acquire);
        const int64_t frame = m_anchorFrame.load(std::memory_order_acquire);
        const int64_t ns = m_anchorNs.load(std::memory_order_acquire);
        if (before % 2 == 0 && m_sequence.load(std::memory_order_acquire) == before) {
            if (frame < 0)
                return std::nullopt;
            return frame - m_buffered + std::llround(static_cast<double>(steadyNs - ns) * m_rate / 1e9);
        }
    }
}

bool StreamClock::schedule(ClickAt click)
{
    const uint64_t written = m_written.load(std::memory_order_relaxed);
    if (written - m_read.load(std::memory_order_acquire) >= Capacity)
        return false;
    m_ring[written % Capacity] = click;
    m_written.store(written + 1, std::memory_order_release);
    return true;
}

void StreamClock::cancel()
{
    m_droppedUpTo.store(m_written.load(std::memory_order_relaxed), std::memory_order_release);
}

std::optional<ClickAt> StreamClock::nextBefore(int64_t endFrame)
{
    uint64_t read = m_read.load(std::memory_order_relaxed);
    read = std::max(read, m_droppedUpTo.load(std::memory_order_acquire));
    m_read.store(read, std::memory_order_release);
    if (read == m_written.load(std::memory_order_acquire))
        return std::nullopt;
    const ClickAt click = m_ring[read % Capacity];
    if (click.frame >= endFrame)
        return std::nullopt;
    m_read.store(read + 1, std::memory_order_release);
    return click;
}

int StreamClock::renderForDriver(void* clock, int frames, int, float*[], int outputs, float* out[])
{
    if (outputs < 2)
        return FLUID_FAILED;
    static_cast<StreamClock*>(clock)->render(frames, out[0], 0, 1, out[1], 0, 1);
    return FLUID_OK;
}

void StreamClock::render(
    int frames, float* left, int leftOffset, int leftStep, float* right, int rightOffset, int rightStep)
{
    auto* synth = static_cast<fluid_synth_t*>(m_synth);
    int done = 0;
    while (done < frames) {
        const int64_t now = m_rendered.load(std::memory_order_relaxed);
        const std::optional<ClickAt> click = nextBefore(now + (frames - done));
        // A click already late (scheduled for a frame gone by) sounds at once.
        const int upTo = click ? static_cast<int>(std::max<int64_t>(click->frame - now, 0)) : frames - done;
        if (upTo > 0) {
            fluid_synth_write_float(synth, upTo, left, leftOffset + done * leftStep, leftStep, right,
                rightOffset + done * rightStep, rightStep);
            done += upTo;
            m_rendered.store(now + upTo, std::memory_order_release);
        }
        if (click)
            fluid_synth_noteon(synth, PercussionChannel, click->accent ? AccentClickKey : ClickKey,
                click->accent ? AccentClickVelocity : ClickVelocity);
    }
    const int64_t ns
        = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
              .count();
    m_sequence.fetch_add(1, std::memory_order_acq_rel);
    m_anchorFrame.store(m_rendered.load(std::memory_order_relaxed), std::memory_order_release);
    m_anchorNs.store(ns, std::memory_order_release);
    m_sequence.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace zintaro::midi
