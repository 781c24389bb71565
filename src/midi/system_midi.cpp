#include "midi/system_midi.h"

#include "midi/alsa_ports.h"
#include "midi/channel_message.h"
#include "midi/midi_errors.h"

#include <chrono>
#include <map>
#include <variant>

namespace zintaro::midi {

namespace {

struct BuiltInSynth { };
using OpenDevice = std::variant<BuiltInSynth, std::unique_ptr<AlsaConnection>>;

// How long the built-in synthesizer waits before it looks for a missing
// audio output again: a look at every key would stall the keys when the
// drivers are slow to give up.
constexpr std::chrono::seconds AudioRetryInterval { 2 };

class SystemMidi : public MidiSystem {
public:
    explicit SystemMidi(SystemMidiOptions options)
        : m_options(std::move(options))
    {
    }

    ~SystemMidi() override
    {
        // Connections first, then the synthesizer's audio, loader and synth.
        m_open.clear();
        m_synth.reset();
    }

    int deviceCount() override
    {
        m_ports = m_options.alsaPorts ? m_alsa.list() : std::vector<std::string> {};
        return static_cast<int>(m_ports.size());
    }

    MidiResult deviceName(int32_t deviceId, std::string& productName) override
    {
        if (deviceId == -1) {
            productName = BuiltInSynthName;
            return MidiOk;
        }
        if (deviceId < 0 || static_cast<std::size_t>(deviceId) >= m_ports.size())
            return errors::BadDeviceId;
        if (m_ports[static_cast<std::size_t>(deviceId)].empty())
            return errors::PortFailed;
        productName = m_ports[static_cast<std::size_t>(deviceId)];
        return MidiOk;
    }

    MidiResult open(uint32_t& handle, int32_t deviceId) override
    {
        if (deviceId == -1)
            return openSynth(handle);
        if (deviceId < 0 || static_cast<std::size_t>(deviceId) >= m_ports.size())
            return errors::BadDeviceId;
        std::unique_ptr<AlsaConnection> connection;
        const MidiResult result = m_alsa.open(m_ports[static_cast<std::size_t>(deviceId)], connection);
        if (result != MidiOk)
            return result;
        handle = nextHandle();
        m_open.emplace(handle, std::move(connection));
        return MidiOk;
    }

    MidiResult close(uint32_t handle) override
    {
        const auto it = m_open.find(handle);
        if (it == m_open.end())
            return errors::InvalidHandle;
        const bool synth = std::holds_alternative<BuiltInSynth>(it->second);
        m_open.erase(it);
        if (synth && m_synth && !synthStillOpen()) {
            m_audioMissing = false;
            m_synth->stopAudio();
            m_synth->allSoundsOff();
        }
        return MidiOk;
    }

    MidiResult shortMessage(uint32_t handle, uint32_t packed) override
    {
        const auto it = m_open.find(handle);
        if (it == m_open.end())
            return errors::InvalidHandle;
        if (const MidiResult invalid = checkChannelMessage(packed); invalid != MidiOk)
            return invalid;
        if (auto* port = std::get_if<std::unique_ptr<AlsaConnection>>(&it->second))
            return (*port)->send(packed);
        if (const MidiResult result = m_synth->handle(packed); result != MidiOk)
            return result;
        // The synthesizer took the note; only the speaker may be missing.
        if (m_audioMissing && unpack(packed).startsNote())
            return retryAudio();
        return MidiOk;
    }

    Text errorText(MidiResult code) override { return errorTextFor(code); }

    StreamClock* streamClock() override { return m_synth && synthStillOpen() ? &m_synth->streamClock() : nullptr; }

private:
    MidiResult openSynth(uint32_t& handle)
    {
        if (!m_synth) {
            // Only a quick look at the file here; the font itself loads
            // while the window comes up.
            MidiResult error = MidiOk;
            if (m_options.soundFonts.empty())
                m_options.soundFonts = defaultSoundFonts(m_options.dataFolders);
            if (!findSoundFont(m_options.soundFonts, error))
                return error;
            auto synth = std::make_unique<FluidSynthEngine>(m_options.latency);
            if (!synth->valid())
                return errors::SynthesizerFailed;
            synth->setReadyCallback(m_options.onSynthReady);
            synth->loadSoundFontInBackground(m_options.soundFonts);
            m_synth = std::move(synth);
        }
        if (m_synth->fontState() == FluidSynthEngine::FontState::Failed)
            return m_synth->fontError();
        // Without an audio output the synthesizer still opens and works
        // silently: the first note tells, and the output is looked for
        // again as notes are played.
        if (m_options.audio)
            startAudio();
        handle = nextHandle();
        m_open.emplace(handle, BuiltInSynth {});
        return MidiOk;
    }

    MidiResult startAudio()
    {
        m_lastAudioTry = m_options.now();
        const MidiResult result = m_synth->startAudio(
            m_options.currentAudioDrivers ? m_options.currentAudioDrivers() : m_options.audioDrivers);
        m_audioMissing = result == errors::NoAudioOutput;
        return result;
    }

    // NoAudioOutput until an output starts; a try at most every two seconds.
    MidiResult retryAudio()
    {
        if (m_options.now() - m_lastAudioTry >= AudioRetryInterval)
            startAudio();
        return m_audioMissing ? errors::NoAudioOutput : MidiOk;
    }

    bool synthStillOpen() const
    {
        for (const auto& [handle, device] : m_open)
            if (std::holds_alternative<BuiltInSynth>(device))
                return true;
        return false;
    }

    uint32_t nextHandle()
    {
        if (++m_lastHandle == 0)
            ++m_lastHandle;
        return m_lastHandle;
    }

    SystemMidiOptions m_options;
    AlsaPorts m_alsa;
    std::vector<std::string> m_ports;
    std::unique_ptr<FluidSynthEngine> m_synth;
    bool m_audioMissing = false;
    std::chrono::steady_clock::time_point m_lastAudioTry;
    std::map<uint32_t, OpenDevice> m_open;
    uint32_t m_lastHandle = 0;
};

} // namespace

std::unique_ptr<MidiSystem> makeSystemMidi(SystemMidiOptions options)
{
    return std::make_unique<SystemMidi>(std::move(options));
}

} // namespace zintaro::midi
