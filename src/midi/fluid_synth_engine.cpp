#include "midi/fluid_synth_engine.h"

#include "midi/midi_errors.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <fluidsynth.h>
#include <mutex>
#include <pthread.h>
#include <pulse/pulseaudio.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace zintaro::midi {

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> fontsIn(const fs::path& folder, const std::string& extension, const fs::path& first)
{
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == extension && it->path() != first)
            found.push_back(it->path());
    std::sort(found.begin(), found.end());
    found.insert(found.begin(), first);
    return found;
}

bool isMessageForChannel(uint8_t status)
{
    return status >= 0x80 && status < 0xF0;
}

uint32_t pack(int kind, int channel, int data1, int data2)
{
    return static_cast<uint32_t>(kind | (channel & 0x0F)) | (static_cast<uint32_t>(data1) & 0xFF) << 8
        | (static_cast<uint32_t>(data2) & 0xFF) << 16;
}

uint8_t kindOf(uint32_t packed)
{
    return packed & 0xF0;
}

bool startsNote(uint32_t packed)
{
    return kindOf(packed) == 0x90 && ((packed >> 16) & 0x7F) != 0;
}

bool endsNote(uint32_t packed)
{
    return kindOf(packed) == 0x80 || (kindOf(packed) == 0x90 && ((packed >> 16) & 0x7F) == 0);
}

bool sameKey(uint32_t a, uint32_t b)
{
    return (a & 0x0F) == (b & 0x0F) && ((a >> 8) & 0x7F) == ((b >> 8) & 0x7F);
}

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

// The synthesizer's own PulseAudio stream. FluidSynth's drivers wake for
// every period, sounding or not; this one pauses (corks) itself once the
// output has been silent for a while and resumes on the next note, so an
// idle synthesizer costs no CPU while the buffer stays short for the keys.
class PulseStream {
public:
    PulseStream(fluid_synth_t* synth, const AudioLatency& latency)
        : m_synth(synth)
        , m_latency(latency)
        , m_quietFrames(static_cast<int>(latency.sampleRate * QuietSeconds))
    {
    }

    ~PulseStream()
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

    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects to the sound server and opens the stream, paused; false when
    // there is no server or it refuses the stream.
    bool start()
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

    // A note is starting: resume the output if it was paused. Takes no lock
    // (the stream's thread may be rendering): it only pokes that thread.
    void wake()
    {
        m_notePending = true;
        if (m_corked) {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
        }
    }

    bool paused() const { return m_corked; }
    int underruns() const { return m_underruns; }

private:
    // How long the output stays on once it has fallen silent: the piano's
    // tail already keeps it on for the gaps of a fast passage.
    static constexpr double QuietSeconds = 0.1;
    // Below this the reverb tail is inaudible (-80 dB).
    static constexpr float SilentLevel = 1e-4f;
    static constexpr std::size_t FrameBytes = 2 * sizeof(float);

    static void signal(pa_context*, void* loop)
    {
        pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
    }

    static void signalStream(pa_stream*, void* loop)
    {
        pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
    }

    bool waitForContext()
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

    bool openStream()
    {
        const pa_sample_spec spec { PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(m_latency.sampleRate), 2 };
        m_stream = pa_stream_new(m_context, "Zintaro", &spec, nullptr);
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
    static void woken(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self)
    {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t read = ::read(fd, &count, sizeof count);
        auto* stream = static_cast<PulseStream*>(self);
        if (stream->m_corked) {
            stream->cork(false);
        }
    }

    void cork(bool paused)
    {
        if (pa_operation* op = pa_stream_cork(m_stream, paused ? 1 : 0, nullptr, nullptr))
            pa_operation_unref(op);
        m_corked = paused;
    }

    static void writeRequested(pa_stream*, size_t bytes, void* self) { static_cast<PulseStream*>(self)->fill(bytes); }

    static void ranDry(pa_stream*, void* self) { ++static_cast<PulseStream*>(self)->m_underruns; }

    // On the stream's own thread, with the main loop locked.
    void fill(std::size_t bytes)
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
            fluid_synth_write_float(m_synth, count, out, 0, 2, out, 1, 2);
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

    fluid_synth_t* m_synth;
    AudioLatency m_latency;
    int m_quietFrames;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;

    int m_wakeFd = -1;
    pa_io_event* m_wakeEvent = nullptr;

    // Written on the stream's thread; read by wake() and paused().
    std::atomic<bool> m_corked { true };
    std::atomic<bool> m_notePending { false };
    std::atomic<int> m_underruns { 0 };
    int m_silentFrames = 0;
    bool m_realTimeAsked = false;
};

} // namespace

std::vector<fs::path> defaultSoundFonts()
{
    std::vector<fs::path> all = fontsIn("/usr/share/sounds/sf2", ".sf2", "/usr/share/sounds/sf2/default-GM.sf2");
    std::vector<fs::path> sf3 = fontsIn("/usr/share/sounds/sf3", ".sf3", "/usr/share/sounds/sf3/default-GM.sf3");
    all.insert(all.end(), sf3.begin(), sf3.end());
    return all;
}

std::optional<fs::path> findSoundFont(const std::vector<fs::path>& candidates, MidiResult& error)
{
    bool anyExists = false;
    for (const fs::path& p : candidates) {
        std::error_code ec;
        if (!fs::is_regular_file(p, ec))
            continue;
        anyExists = true;
        if (fluid_is_soundfont(p.c_str()))
            return p;
    }
    error = anyExists ? errors::SoundFontUnreadable : errors::SoundFontMissing;
    return std::nullopt;
}

std::vector<std::string> defaultAudioDrivers()
{
    return { OwnPulseStream, "pipewire", "alsa" };
}

struct FluidSynthEngine::Impl {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    AudioLatency latency;

    // The output; outputMutex keeps it alive while the worker thread wakes
    // it for a note that waited.
    std::mutex outputMutex;
    fluid_audio_driver_t* driver = nullptr;
    std::unique_ptr<PulseStream> pulse;
    std::string driverName;

    // Guards everything below; never held while FluidSynth reads the file
    // or an instrument's samples.
    mutable std::mutex mutex;
    std::condition_variable workArrived;
    std::condition_variable workDone;
    std::atomic<FontState> state { FontState::NotLoaded };
    MidiResult fontError = MidiOk;
    fs::path fontPath;
    std::function<void(MidiResult)> ready;
    // The font to load, and the messages waiting behind the slow work.
    std::optional<std::vector<fs::path>> fontToLoad;
    std::deque<uint32_t> waiting;
    // From the moment slow work is asked for until the worker has applied
    // every message that waited for it.
    bool busy = false;
    bool stopping = false;
    std::thread worker;

    void dispatch(uint32_t packed)
    {
        const int status = static_cast<int>(packed & 0xFF);
        const int channel = status & 0x0F;
        const int data1 = static_cast<int>((packed >> 8) & 0x7F);
        const int data2 = static_cast<int>((packed >> 16) & 0x7F);
        switch (status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, data1);
            break;
        case 0x90:
            // A note-on with velocity 0 is how the program ends a note.
            if (data2 == 0) {
                fluid_synth_noteoff(synth, channel, data1);
            } else {
                fluid_synth_noteon(synth, channel, data1, data2);
                wakeOutput();
            }
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, data1, data2);
            break;
        case 0xC0:
            // With samples loaded as used, this reads the instrument's
            // samples: only ever on the worker thread once a font is in.
            fluid_synth_program_change(synth, channel, data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7));
            break;
        default:
            break;
        }
    }

    void wakeOutput()
    {
        std::lock_guard lock(outputMutex);
        if (pulse)
            pulse->wake();
    }

    // With `mutex` held. A note released before it could sound is dropped
    // together with its note-on.
    void enqueue(uint32_t packed)
    {
        if (endsNote(packed)) {
            const auto held = std::find_if(
                waiting.rbegin(), waiting.rend(), [packed](uint32_t w) { return startsNote(w) && sameKey(w, packed); });
            if (held != waiting.rend()) {
                waiting.erase(std::next(held).base());
                return;
            }
        }
        waiting.push_back(packed);
    }

    std::pair<std::optional<fs::path>, MidiResult> loadFirstReadable(const std::vector<fs::path>& candidates)
    {
        MidiResult error = MidiOk;
        for (auto start = candidates.begin(); start != candidates.end();) {
            std::optional<fs::path> p = findSoundFont(std::vector<fs::path>(start, candidates.end()), error);
            if (!p)
                break;
            if (fluid_synth_sfload(synth, p->c_str(), 1) != FLUID_FAILED)
                return { p, MidiOk };
            error = errors::SoundFontUnreadable;
            start = std::find(start, candidates.end(), *p) + 1;
        }
        return { std::nullopt, error == MidiOk ? errors::SoundFontMissing : error };
    }

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            workArrived.wait(lock, [this] { return stopping || fontToLoad || !waiting.empty(); });
            if (stopping)
                return;
            if (fontToLoad) {
                const std::vector<fs::path> candidates = std::move(*fontToLoad);
                fontToLoad.reset();
                lock.unlock();
                const auto [chosen, error] = loadFirstReadable(candidates);
                lock.lock();
                fontError = error;
                if (chosen) {
                    fontPath = *chosen;
                    state = FontState::Ready;
                } else {
                    waiting.clear();
                    state = FontState::Failed;
                }
                const std::function<void(MidiResult)> tell = ready;
                lock.unlock();
                if (tell)
                    tell(error);
                lock.lock();
            } else if (!waiting.empty()) {
                const uint32_t packed = waiting.front();
                waiting.pop_front();
                lock.unlock();
                dispatch(packed);
                lock.lock();
            }
            if (!fontToLoad && waiting.empty()) {
                busy = false;
                workDone.notify_all();
            }
        }
    }

    void startWorker()
    {
        if (!worker.joinable())
            worker = std::thread([this] { run(); });
    }
};

FluidSynthEngine::FluidSynthEngine(AudioLatency latency, SampleLoading loading)
    : m(std::make_unique<Impl>())
{
    m->latency = latency;
    m->settings = new_fluid_settings();
    if (!m->settings)
        return;
    fluid_settings_setnum(m->settings, "synth.sample-rate", latency.sampleRate);
    fluid_settings_setint(m->settings, "audio.period-size", latency.periodSize);
    fluid_settings_setint(m->settings, "audio.periods", latency.periods);
    // Otherwise PulseAudio picks its own, much larger, buffer.
    fluid_settings_setint(m->settings, "audio.pulseaudio.adjust-latency", 0);
    fluid_settings_setint(m->settings, "synth.dynamic-sample-loading", loading == SampleLoading::WhenUsed ? 1 : 0);
    m->synth = new_fluid_synth(m->settings);
}

FluidSynthEngine::~FluidSynthEngine()
{
    stopAudio();
    {
        std::lock_guard lock(m->mutex);
        m->stopping = true;
        m->workArrived.notify_all();
    }
    if (m->worker.joinable())
        m->worker.join();
    if (m->synth)
        delete_fluid_synth(m->synth);
    if (m->settings)
        delete_fluid_settings(m->settings);
}

bool FluidSynthEngine::valid() const
{
    return m->synth != nullptr;
}

bool FluidSynthEngine::loadSoundFont(const std::vector<fs::path>& candidates)
{
    loadSoundFontInBackground(candidates);
    waitForSoundFont();
    return fontState() == FontState::Ready;
}

void FluidSynthEngine::loadSoundFontInBackground(std::vector<fs::path> candidates)
{
    std::lock_guard lock(m->mutex);
    if (m->state != FontState::NotLoaded && m->state != FontState::Failed)
        return;
    if (!m->synth) {
        m->fontError = errors::SynthesizerFailed;
        m->state = FontState::Failed;
        return;
    }
    m->state = FontState::Loading;
    m->fontToLoad = std::move(candidates);
    m->busy = true;
    m->startWorker();
    m->workArrived.notify_one();
}

void FluidSynthEngine::waitForSoundFont()
{
    std::unique_lock lock(m->mutex);
    m->workDone.wait(lock, [this] { return m->state != FontState::Loading; });
}

void FluidSynthEngine::waitUntilIdle()
{
    std::unique_lock lock(m->mutex);
    m->workDone.wait(lock, [this] { return !m->busy; });
}

FluidSynthEngine::FontState FluidSynthEngine::fontState() const
{
    return m->state;
}

MidiResult FluidSynthEngine::fontError() const
{
    std::lock_guard lock(m->mutex);
    return m->fontError;
}

void FluidSynthEngine::setReadyCallback(std::function<void(MidiResult)> ready)
{
    std::lock_guard lock(m->mutex);
    m->ready = std::move(ready);
}

fs::path FluidSynthEngine::soundFontPath() const
{
    std::lock_guard lock(m->mutex);
    return m->fontPath;
}

MidiResult FluidSynthEngine::startAudio(const std::vector<std::string>& drivers)
{
    if (m->driver || m->pulse)
        return MidiOk;
    if (!m->synth)
        return errors::SynthesizerFailed;
    for (const std::string& name : drivers) {
        if (name == OwnPulseStream) {
            auto stream = std::make_unique<PulseStream>(m->synth, m->latency);
            if (!stream->start())
                continue;
            std::lock_guard lock(m->outputMutex);
            m->pulse = std::move(stream);
            m->driverName = name;
            return MidiOk;
        }
        fluid_settings_setstr(m->settings, "audio.driver", name.c_str());
        if (fluid_audio_driver_t* driver = new_fluid_audio_driver(m->settings, m->synth)) {
            std::lock_guard lock(m->outputMutex);
            m->driver = driver;
            m->driverName = name;
            return MidiOk;
        }
    }
    return errors::NoAudioOutput;
}

void FluidSynthEngine::stopAudio()
{
    {
        std::lock_guard lock(m->outputMutex);
        if (!m->driver && !m->pulse)
            return;
        if (m->driver)
            delete_fluid_audio_driver(m->driver);
        m->driver = nullptr;
        m->pulse.reset();
        m->driverName.clear();
    }
    allSoundsOff();
}

bool FluidSynthEngine::audioRunning() const
{
    return m->driver != nullptr || m->pulse != nullptr;
}

std::string FluidSynthEngine::audioDriverName() const
{
    return m->driverName;
}

bool FluidSynthEngine::audioPaused() const
{
    return m->pulse && m->pulse->paused();
}

int FluidSynthEngine::underruns() const
{
    return m->pulse ? m->pulse->underruns() : -1;
}

MidiResult FluidSynthEngine::handle(uint32_t packed)
{
    const auto status = static_cast<uint8_t>(packed);
    if (!isMessageForChannel(status))
        return errors::NotChannelMessage;
    if (((packed >> 8) & 0x80) != 0 || ((packed >> 16) & 0x80) != 0)
        return errors::DataOutOfRange;
    if (!m->synth)
        return errors::SynthesizerFailed;

    {
        std::lock_guard lock(m->mutex);
        if (m->state == FontState::Failed)
            return m->fontError;
        if (m->busy) {
            m->enqueue(packed);
            return MidiOk;
        }
        if (kindOf(packed) == 0xC0 && m->state == FontState::Ready) {
            // Reading the instrument's samples can take a while.
            m->busy = true;
            m->waiting.push_back(packed);
            m->workArrived.notify_one();
            return MidiOk;
        }
    }
    // Nothing waits and the worker is idle: straight to the synthesizer.
    m->dispatch(packed);
    return MidiOk;
}

void FluidSynthEngine::noteOn(int channel, int key, int velocity)
{
    handle(pack(0x90, channel, key, velocity));
}

void FluidSynthEngine::noteOff(int channel, int key)
{
    noteOn(channel, key, 0);
}

void FluidSynthEngine::controlChange(int channel, int controller, int value)
{
    handle(pack(0xB0, channel, controller, value));
}

void FluidSynthEngine::programChange(int channel, int program)
{
    handle(pack(0xC0, channel, program, 0));
}

void FluidSynthEngine::allSoundsOff()
{
    if (!m->synth)
        return;
    std::lock_guard lock(m->mutex);
    std::erase_if(m->waiting, [](uint32_t w) { return startsNote(w) || endsNote(w) || kindOf(w) == 0xA0; });
    if (m->state == FontState::Ready)
        fluid_synth_all_sounds_off(m->synth, -1);
}

void FluidSynthEngine::render(float* left, float* right, int frames)
{
    if (!m->synth) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    fluid_synth_write_float(m->synth, frames, left, 0, 1, right, 0, 1);
}

int FluidSynthEngine::activeVoices() const
{
    return m->synth ? fluid_synth_get_active_voice_count(m->synth) : 0;
}

} // namespace zintaro::midi
