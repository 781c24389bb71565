#include "midi/fluid_synth_engine.h"

#include "midi/channel_message.h"
#include "midi/midi_errors.h"
#include "midi/pulse_stream.h"
#include "midi/stream_clock.h"
#include "midi/synth_diagnostics.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <fluidsynth.h>
#include <mutex>
#include <thread>

namespace zintaro::midi {

namespace fs = std::filesystem;

namespace {

// The most the program sounds at once is a chord of four over the releases
// of the notes before it: 64 voices hold that many times over, and against
// FluidSynth's default of 256 they keep about 2 MB less resident.
constexpr int Polyphony = 64;

bool sameKey(uint32_t a, uint32_t b)
{
    return channelOf(a) == channelOf(b) && unpack(a).data1 == unpack(b).data1;
}

} // namespace

std::vector<std::string> defaultAudioDrivers()
{
    return { OwnPulseStream, "pipewire", "alsa" };
}

struct FluidSynthEngine::Impl {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    AudioLatency latency;
    StreamClock clock;

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
        const ShortMessage message = unpack(packed);
        const int channel = message.channel();
        const int data1 = message.data1;
        const int data2 = message.data2;
        switch (message.kind()) {
        case status::NoteOff:
            fluid_synth_noteoff(synth, channel, data1);
            break;
        case status::NoteOn:
            // A note-on with velocity 0 is how the program ends a note.
            if (data2 == 0) {
                fluid_synth_noteoff(synth, channel, data1);
            } else {
                fluid_synth_noteon(synth, channel, data1, data2);
                wakeOutput();
            }
            break;
        case status::KeyPressure:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            break;
        case status::ControlChange:
            fluid_synth_cc(synth, channel, data1, data2);
            break;
        case status::ProgramChange:
            // With samples loaded as used, this reads the instrument's
            // samples: only ever on the worker thread once a font is in.
            fluid_synth_program_change(synth, channel, data1);
            break;
        case status::ChannelPressure:
            fluid_synth_channel_pressure(synth, channel, data1);
            break;
        case status::PitchBend:
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
        if (unpack(packed).endsNote()) {
            const auto held = std::find_if(waiting.rbegin(), waiting.rend(),
                [packed](uint32_t w) { return unpack(w).startsNote() && sameKey(w, packed); });
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
    collectSynthLog();
    m->settings = new_fluid_settings();
    if (!m->settings)
        return;
    fluid_settings_setnum(m->settings, "synth.sample-rate", latency.sampleRate);
    fluid_settings_setint(m->settings, "audio.period-size", latency.periodSize);
    fluid_settings_setint(m->settings, "audio.periods", latency.periods);
    // Otherwise PulseAudio picks its own, much larger, buffer.
    fluid_settings_setint(m->settings, "audio.pulseaudio.adjust-latency", 0);
    fluid_settings_setint(m->settings, "synth.dynamic-sample-loading", loading == SampleLoading::WhenUsed ? 1 : 0);
    fluid_settings_setint(m->settings, "synth.polyphony", Polyphony);
    m->synth = new_fluid_synth(m->settings);
    m->clock.attach(m->synth);
    m->clock.setOutput(latency.sampleRate, static_cast<int64_t>(latency.periodSize) * latency.periods);
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
            auto stream = std::make_unique<PulseStream>(m->clock, m->latency);
            if (!stream->start())
                continue;
            std::lock_guard lock(m->outputMutex);
            m->pulse = std::move(stream);
            m->driverName = name;
            return MidiOk;
        }
        // An unknown name would leave FluidSynth's own choice in place.
        if (fluid_settings_setstr(m->settings, "audio.driver", name.c_str()) != FLUID_OK)
            continue;
        if (name == DiscardingOutput)
            fluid_settings_setstr(m->settings, "audio.file.name", "/dev/null");
        // Through the stream clock where the driver lets the program render.
        fluid_audio_driver_t* driver = new_fluid_audio_driver2(m->settings, &StreamClock::renderForDriver, &m->clock);
        if (!driver)
            driver = new_fluid_audio_driver(m->settings, m->synth);
        if (driver) {
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
    if (const MidiResult invalid = checkChannelMessage(packed); invalid != MidiOk)
        return invalid;
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
        if (kindOf(packed) == status::ProgramChange && m->state == FontState::Ready) {
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
    handle(channelMessage(status::NoteOn, channel, key, velocity));
}

void FluidSynthEngine::noteOff(int channel, int key)
{
    noteOn(channel, key, 0);
}

void FluidSynthEngine::controlChange(int channel, int controller, int value)
{
    handle(channelMessage(status::ControlChange, channel, controller, value));
}

void FluidSynthEngine::programChange(int channel, int program)
{
    handle(channelMessage(status::ProgramChange, channel, program, 0));
}

void FluidSynthEngine::allSoundsOff()
{
    if (!m->synth)
        return;
    std::lock_guard lock(m->mutex);
    std::erase_if(m->waiting, [](uint32_t w) {
        const ShortMessage message = unpack(w);
        return message.isNote() || message.kind() == status::KeyPressure;
    });
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
    m->clock.render(frames, left, 0, 1, right, 0, 1);
}

StreamClock& FluidSynthEngine::streamClock()
{
    return m->clock;
}

double FluidSynthEngine::sampleRate() const
{
    return m->latency.sampleRate;
}

int FluidSynthEngine::activeVoices() const
{
    return m->synth ? fluid_synth_get_active_voice_count(m->synth) : 0;
}

} // namespace zintaro::midi
