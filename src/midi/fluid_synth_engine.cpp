#include "midi/fluid_synth_engine.h"

#include "midi/midi_errors.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <fluidsynth.h>
#include <mutex>
#include <system_error>
#include <thread>

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
    return { "pulseaudio", "pipewire", "alsa" };
}

struct FluidSynthEngine::Impl {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    std::string driverName;

    // Guards everything below; the loader thread holds it only to publish its
    // result, never while FluidSynth reads the file.
    mutable std::mutex mutex;
    std::condition_variable loaded;
    std::atomic<FontState> state { FontState::NotLoaded };
    MidiResult fontError = MidiOk;
    fs::path fontPath;
    std::vector<uint32_t> pending;
    std::thread loader;

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
            if (data2 == 0)
                fluid_synth_noteoff(synth, channel, data1);
            else
                fluid_synth_noteon(synth, channel, data1, data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, data1, data2);
            break;
        case 0xC0:
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

    void load(std::vector<fs::path> candidates)
    {
        MidiResult error = MidiOk;
        std::optional<fs::path> chosen;
        for (auto start = candidates.begin(); start != candidates.end();) {
            std::optional<fs::path> p = findSoundFont(std::vector<fs::path>(start, candidates.end()), error);
            if (!p)
                break;
            if (fluid_synth_sfload(synth, p->c_str(), 1) != FLUID_FAILED) {
                chosen = p;
                break;
            }
            error = errors::SoundFontUnreadable;
            start = std::find(start, candidates.end(), *p) + 1;
        }

        std::lock_guard lock(mutex);
        if (chosen) {
            fontPath = *chosen;
            for (uint32_t packed : pending)
                dispatch(packed);
            fontError = MidiOk;
            state = FontState::Ready;
        } else {
            fontError = error == MidiOk ? errors::SoundFontMissing : error;
            state = FontState::Failed;
        }
        pending.clear();
        loaded.notify_all();
    }
};

FluidSynthEngine::FluidSynthEngine(AudioLatency latency)
    : m(std::make_unique<Impl>())
{
    m->settings = new_fluid_settings();
    if (!m->settings)
        return;
    fluid_settings_setnum(m->settings, "synth.sample-rate", latency.sampleRate);
    fluid_settings_setint(m->settings, "audio.period-size", latency.periodSize);
    fluid_settings_setint(m->settings, "audio.periods", latency.periods);
    // Otherwise PulseAudio picks its own, much larger, buffer.
    fluid_settings_setint(m->settings, "audio.pulseaudio.adjust-latency", 0);
    m->synth = new_fluid_synth(m->settings);
}

FluidSynthEngine::~FluidSynthEngine()
{
    stopAudio();
    if (m->loader.joinable())
        m->loader.join();
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
    if (m->loader.joinable())
        m->loader.join();
    m->state = FontState::Loading;
    m->loader = std::thread([impl = m.get(), c = std::move(candidates)]() mutable { impl->load(std::move(c)); });
}

void FluidSynthEngine::waitForSoundFont()
{
    std::unique_lock lock(m->mutex);
    m->loaded.wait(lock, [this] { return m->state != FontState::Loading; });
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

fs::path FluidSynthEngine::soundFontPath() const
{
    std::lock_guard lock(m->mutex);
    return m->fontPath;
}

MidiResult FluidSynthEngine::startAudio(const std::vector<std::string>& drivers)
{
    if (m->driver)
        return MidiOk;
    if (!m->synth)
        return errors::SynthesizerFailed;
    for (const std::string& name : drivers) {
        fluid_settings_setstr(m->settings, "audio.driver", name.c_str());
        m->driver = new_fluid_audio_driver(m->settings, m->synth);
        if (m->driver) {
            m->driverName = name;
            return MidiOk;
        }
    }
    return errors::NoAudioOutput;
}

void FluidSynthEngine::stopAudio()
{
    if (!m->driver)
        return;
    delete_fluid_audio_driver(m->driver);
    m->driver = nullptr;
    m->driverName.clear();
    allSoundsOff();
}

bool FluidSynthEngine::audioRunning() const
{
    return m->driver != nullptr;
}

std::string FluidSynthEngine::audioDriverName() const
{
    return m->driverName;
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

    FontState state = m->state;
    if (state == FontState::Loading) {
        std::lock_guard lock(m->mutex);
        state = m->state;
        if (state == FontState::Loading) {
            // Notes cannot sound yet; settings such as the program must
            // still take effect once the font is in.
            const uint8_t kind = status & 0xF0;
            if (kind != 0x80 && kind != 0x90 && kind != 0xA0)
                m->pending.push_back(packed);
            return MidiOk;
        }
    }
    if (state == FontState::Failed)
        return fontError();
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
    if (m->synth && m->state != FontState::Loading)
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
