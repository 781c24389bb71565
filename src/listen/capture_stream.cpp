#include "listen/capture_stream.h"

#include <algorithm>
#include <pulse/pulseaudio.h>
#include <span>
#include <string>
#include <utility>

namespace zintaro::listen {

namespace {

// About 5 ms a block: the detector's hop, so that no answer waits on the
// buffer.
constexpr uint32_t FragmentFrames = 256;
// How far the estimate of the stream's start may move later per block.
constexpr std::chrono::microseconds ClockCreep { 500 };

} // namespace

// The PulseAudio objects, created on start and freed on stop. Their
// callbacks run on the main loop's thread.
struct CaptureStream::Pulse {
    CaptureStream* owner;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::string source;

    static void contextChanged(pa_context* context, void* self);
    static void streamChanged(pa_stream* stream, void* self);
    static void readable(pa_stream* stream, size_t bytes, void* self);

    void openStream();
    ~Pulse();
};

CaptureStream::Pulse::~Pulse()
{
    if (loop)
        pa_threaded_mainloop_stop(loop);
    // Disconnecting calls the state callbacks at once, here: a stop is no
    // failure.
    if (stream) {
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_read_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
    }
    if (context) {
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    if (loop)
        pa_threaded_mainloop_free(loop);
}

void CaptureStream::Pulse::contextChanged(pa_context* context, void* self)
{
    auto* pulse = static_cast<Pulse*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        pulse->openStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        pulse->owner->fail(
            pulse->owner->m_state == CaptureState::Listening ? CaptureFailure::Vanished : CaptureFailure::NoServer);
        break;
    default:
        break;
    }
}

void CaptureStream::Pulse::openStream()
{
    const pa_sample_spec format { PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(SampleRate), 1 };
    stream = pa_stream_new(context, "Zintaro", &format, nullptr);
    if (!stream) {
        owner->fail(CaptureFailure::Refused);
        return;
    }
    pa_stream_set_state_callback(stream, &Pulse::streamChanged, this);
    pa_stream_set_read_callback(stream, &Pulse::readable, this);
    pa_buffer_attr attr {};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = FragmentFrames * sizeof(float);
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_DONT_MOVE);
    if (pa_stream_connect_record(stream, source.empty() ? nullptr : source.c_str(), &attr, flags) < 0)
        owner->fail(pa_context_errno(context) == PA_ERR_ACCESS ? CaptureFailure::Refused : CaptureFailure::NoDevice);
}

void CaptureStream::Pulse::streamChanged(pa_stream* stream, void* self)
{
    auto* pulse = static_cast<Pulse*>(self);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        pulse->owner->m_state = CaptureState::Listening;
        pulse->owner->tell();
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        if (pulse->owner->m_state == CaptureState::Listening)
            pulse->owner->fail(CaptureFailure::Vanished);
        else if (pa_context_errno(pulse->context) == PA_ERR_ACCESS)
            pulse->owner->fail(CaptureFailure::Refused);
        else
            pulse->owner->fail(CaptureFailure::NoDevice);
        break;
    default:
        break;
    }
}

void CaptureStream::Pulse::readable(pa_stream* stream, size_t, void* self)
{
    auto* pulse = static_cast<Pulse*>(self);
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(stream, &latency, &negative) < 0 || negative)
        latency = 0;
    for (;;) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
            return;
        // A hole in the stream is silence.
        if (data)
            pulse->owner->analyse(
                static_cast<const float*>(data), bytes / sizeof(float), std::chrono::microseconds(latency));
        else
            pulse->owner->analyse(nullptr, bytes / sizeof(float), std::chrono::microseconds(latency));
        pa_stream_drop(stream);
    }
}

CaptureStream::CaptureStream(std::function<void()> changed)
    : m_changed(std::move(changed))
{
}

CaptureStream::~CaptureStream()
{
    stop();
}

void CaptureStream::start(const DetectorSettings& settings, const char* source)
{
    stop();
    DetectorSettings own = settings;
    own.sampleRate = SampleRate;
    m_detector = std::make_unique<PitchDetector>(own);
    m_samplesRead = 0;
    m_failure = -1;
    m_level = -120.0;
    m_state = CaptureState::Starting;

    m_pulse = std::make_unique<Pulse>();
    m_pulse->owner = this;
    m_pulse->source = source ? source : "";
    m_pulse->loop = pa_threaded_mainloop_new();
    if (m_pulse->loop)
        m_pulse->context = pa_context_new(pa_threaded_mainloop_get_api(m_pulse->loop), "Zintaro");
    if (!m_pulse->context) {
        fail(CaptureFailure::NoServer);
        return;
    }
    pa_context_set_state_callback(m_pulse->context, &Pulse::contextChanged, m_pulse.get());
    // Connecting answers later, on the loop's thread: nothing here waits
    // for the server.
    if (pa_context_connect(m_pulse->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0
        || pa_threaded_mainloop_start(m_pulse->loop) < 0)
        fail(CaptureFailure::NoServer);
}

void CaptureStream::stop()
{
    // The loop's thread ends first, so that no callback runs during the rest.
    m_pulse.reset();
    if (m_state != CaptureState::Failed)
        m_state = CaptureState::Stopped;
    m_level = -120.0;
}

void CaptureStream::configure(const DetectorSettings& settings)
{
    const std::scoped_lock lock(m_mutex);
    m_newSettings = settings;
    m_newSettings->sampleRate = SampleRate;
}

std::optional<CaptureFailure> CaptureStream::failure() const
{
    const int failure = m_failure;
    if (failure < 0)
        return std::nullopt;
    return static_cast<CaptureFailure>(failure);
}

std::vector<CapturedNote> CaptureStream::takeNotes()
{
    const std::scoped_lock lock(m_mutex);
    return std::exchange(m_notes, {});
}

void CaptureStream::fail(CaptureFailure failure)
{
    if (m_state == CaptureState::Failed)
        return;
    m_failure = static_cast<int>(failure);
    m_state = CaptureState::Failed;
    m_level = -120.0;
    tell();
}

void CaptureStream::tell() const
{
    if (m_changed)
        m_changed();
}

// On the stream's thread.
void CaptureStream::analyse(const float* samples, std::size_t count, std::chrono::nanoseconds latency)
{
    {
        const std::scoped_lock lock(m_mutex);
        if (m_newSettings) {
            m_detector = std::make_unique<PitchDetector>(*m_newSettings);
            m_newSettings.reset();
        }
    }
    std::vector<HeardNote> heard;
    if (samples) {
        heard = m_detector->feed(std::span(samples, count));
    } else {
        const std::vector<float> silence(count, 0.0f);
        heard = m_detector->feed(silence);
    }
    m_samplesRead += static_cast<int64_t>(count);
    m_level = m_detector->levelDb();

    // The clock time of the stream's first sample: the time read now, less
    // the server's latency and the samples read since. A late wake-up of
    // this thread only makes it later, so the earliest is kept, allowed to
    // creep up slowly for the sound card's clock running slow.
    const auto sinceFirst = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(double(m_samplesRead) / SampleRate));
    const auto firstSample = std::chrono::steady_clock::now() - latency - sinceFirst;
    if (m_samplesRead == static_cast<int64_t>(count) || firstSample < m_firstSample)
        m_firstSample = firstSample;
    else
        m_firstSample = std::min(firstSample, m_firstSample + ClockCreep);

    if (!heard.empty()) {
        const std::scoped_lock lock(m_mutex);
        for (const HeardNote& note : heard) {
            const auto sinceStart = std::chrono::duration<double>(double(note.onsetSample) / SampleRate);
            m_notes.push_back(
                { note, m_firstSample + std::chrono::duration_cast<std::chrono::steady_clock::duration>(sinceStart) });
        }
    }
    if (!heard.empty())
        tell();
}

} // namespace zintaro::listen
