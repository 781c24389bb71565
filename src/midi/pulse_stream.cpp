#include "midi/pulse_stream.h"

#include <algorithm>
#include <cmath>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <unistd.h>

namespace zintaro::midi {

namespace {

// Asks for real-time scheduling of the calling thread where the system
// grants it (root, or a real-time limit set for the user); otherwise the
// thread keeps its ordinary priority.
void raiseToRealTime()
{
    rlimit limit {};
    int priority = 10;
    if (::getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur > 0)
        priority = std::min(priority, static_cast<int>(limit.rlim_cur));
    sched_param param {};
    param.sched_priority = priority;
    ::pthread_setschedparam(::pthread_self(), SCHED_FIFO | SCHED_RESET_ON_FORK, &param);
}

} // namespace

PulseStream::PulseStream(StreamClock& clock, const AudioLatency& latency)
    : m_clock(clock)
    , m_latency(latency)
    , m_quietFrames(static_cast<int>(latency.sampleRate * QuietSeconds))
{
}

PulseStream::~PulseStream()
{
    if (m_loop)
        pa_threaded_mainloop_stop(m_loop);
    if (m_wakeEvent)
        pa_threaded_mainloop_get_api(m_loop)->io_free(m_wakeEvent);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    if (m_stream) {
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
    }
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    if (m_loop)
        pa_threaded_mainloop_free(m_loop);
}

bool PulseStream::start()
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
        return false;
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Zintaro");
    if (!m_context)
        return false;
    pa_context_set_state_callback(m_context, &PulseStream::signal, m_loop);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;

    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0)
        return false;
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    m_wakeEvent = api->io_new(api, m_wakeFd, PA_IO_EVENT_INPUT, &PulseStream::woken, this);

    pa_threaded_mainloop_lock(m_loop);
    const bool opened = pa_threaded_mainloop_start(m_loop) >= 0 && waitForContext() && openStream();
    pa_threaded_mainloop_unlock(m_loop);
    return opened;
}

void PulseStream::wake()
{
    m_notePending = true;
    if (m_corked) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    }
}

void PulseStream::signal(pa_context*, void* loop)
{
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

void PulseStream::signalStream(pa_stream*, void* loop)
{
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

bool PulseStream::waitForContext()
{
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(m_context);
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        pa_threaded_mainloop_wait(m_loop);
    }
}

bool PulseStream::openStream()
{
    const pa_sample_spec sampleFormat { PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(m_latency.sampleRate), 2 };
    m_stream = pa_stream_new(m_context, "Zintaro", &sampleFormat, nullptr);
    if (!m_stream)
        return false;
    pa_stream_set_state_callback(m_stream, &PulseStream::signalStream, m_loop);
    pa_stream_set_write_callback(m_stream, &PulseStream::writeRequested, this);
    pa_stream_set_underflow_callback(m_stream, &PulseStream::ranDry, this);

    const auto period = static_cast<uint32_t>(m_latency.periodSize * FrameBytes);
    pa_buffer_attr attr {};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = period * static_cast<uint32_t>(m_latency.periods);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = period;
    attr.fragsize = static_cast<uint32_t>(-1);
    // The server splits the buffer asked for between this stream and the
    // sound card, so that it is the whole way from the synthesizer to
    // the speaker (without it the card's own buffer comes on top).
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0)
        return false;
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(m_stream);
        if (state == PA_STREAM_READY)
            return true;
        if (!PA_STREAM_IS_GOOD(state))
            return false;
        pa_threaded_mainloop_wait(m_loop);
    }
}

// On the stream's own thread, with the main loop locked.
void PulseStream::woken(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self)
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd, &count, sizeof count);
    auto* stream = static_cast<PulseStream*>(self);
    if (stream->m_corked) {
        stream->cork(false);
    }
}

void PulseStream::cork(bool paused)
{
    if (pa_operation* op = pa_stream_cork(m_stream, paused ? 1 : 0, nullptr, nullptr))
        pa_operation_unref(op);
    m_corked = paused;
}

void PulseStream::writeRequested(pa_stream*, size_t bytes, void* self)
{
    static_cast<PulseStream*>(self)->fill(bytes);
}

void PulseStream::ranDry(pa_stream*, void* self)
{
    ++static_cast<PulseStream*>(self)->m_underruns;
}

// On the stream's own thread, with the main loop locked.
void PulseStream::fill(std::size_t bytes)
{
    if (!m_realTimeAsked) {
        m_realTimeAsked = true;
        raiseToRealTime();
    }
    float peak = 0.0f;
    int frames = 0;
    while (bytes >= FrameBytes) {
        void* data = nullptr;
        std::size_t chunk = bytes;
        if (pa_stream_begin_write(m_stream, &data, &chunk) < 0 || !data)
            return;
        const int count = static_cast<int>(std::min(chunk, bytes) / FrameBytes);
        if (count == 0) {
            pa_stream_cancel_write(m_stream);
            return;
        }
        auto* out = static_cast<float*>(data);
        m_clock.render(count, out, 0, 2, out, 1, 2);
        for (int i = 0; i < 2 * count; ++i)
            peak = std::max(peak, std::fabs(out[i]));
        pa_stream_write(m_stream, data, static_cast<std::size_t>(count) * FrameBytes, nullptr, 0, PA_SEEK_RELATIVE);
        bytes -= static_cast<std::size_t>(count) * FrameBytes;
        frames += count;
    }

    // By level, not by voices: a piano voice lives on for a second
    // below -80 dB after its key is released, and would keep the output
    // running for nothing.
    if (m_notePending.exchange(false) || peak >= SilentLevel)
        m_silentFrames = 0;
    else
        m_silentFrames += frames;
    if (!m_corked && m_silentFrames >= m_quietFrames) {
        // Paused first, then a last look for a note: wake() sets its flag
        // before it looks at the pause, so one of the two always sees
        // the other and no note is left waiting behind a paused stream.
        m_corked = true;
        if (m_notePending)
            m_corked = false;
        else
            cork(true);
    }
}

} // namespace zintaro::midi
