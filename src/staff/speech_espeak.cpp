#include "staff/speech_espeak.h"

#include "core/translation.h"

#include <atomic>
#include <condition_variable>
#include <espeak-ng/speak_lib.h>
#include <mutex>
#include <optional>
#include <thread>

namespace zintaro::staff {

namespace {

// Without this flag espeak-ng ends the process when its data is missing.
constexpr int DontExitOnError = 0x8000;
constexpr const char* EnglishVoice = "en";

Text engineMissingText()
{
    return translate("Speech",
        "La voce non è disponibile: il motore vocale espeak-ng non si è potuto avviare. I nomi delle note non "
        "saranno detti.");
}

Text soundOutputText()
{
    return translate("Speech",
        "La voce non è disponibile: l'uscita audio non si è potuta aprire. I nomi delle note non saranno detti.");
}

Text voiceMissingText(const std::string& voice)
{
    return translate("Speech",
        "La voce non è disponibile: espeak-ng non ha la voce \"%1\" per i nomi delle note. I nomi delle note non "
        "saranno detti.")
        .arg(voice);
}

espeak_ERROR synthesizeText(const std::string& text, void* userData)
{
    return espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, userData);
}

// Speaks on a thread of its own, so that say() returns at once while the
// engine plays a word to its end. A word asked for while another is
// playing waits; a newer one replaces it, so the speech never falls
// behind the notes.
class EspeakSpeech final : public Speech {
public:
    EspeakSpeech(SpeechFailureSink onFailure, std::string voice)
        : m_onFailure(std::move(onFailure))
        , m_voice(std::move(voice))
    {
    }

    ~EspeakSpeech() override
    {
        if (m_worker.joinable()) {
            {
                std::lock_guard lock(m_mutex);
                m_stop = true;
            }
            m_wake.notify_one();
            m_worker.join();
        }
        if (m_initialised)
            espeak_Terminate();
    }

    using Speech::say;
    void say(const std::string& text, Voice voice) override
    {
        if (m_state == State::Failed)
            return;
        if (m_outputFailed) {
            fail(SpeechProblem::OutputFailed, soundOutputText());
            return;
        }
        if (text.empty())
            return;
        if (m_state == State::NotStarted && !start())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_pending = Words { text, voice };
        }
        m_wake.notify_one();
    }

private:
    enum class State { NotStarted, Running, Failed };

    bool start()
    {
        // The engine plays each word to the sound output before it
        // returns, and reports there whether the output could be opened.
        if (espeak_Initialize(AUDIO_OUTPUT_SYNCH_PLAYBACK, 0, nullptr, DontExitOnError) <= 0) {
            fail(SpeechProblem::EngineMissing, engineMissingText());
            return false;
        }
        m_initialised = true;
        // Without the English voice, letters are still better heard in the
        // Italian one than not at all.
        m_hasEnglish = espeak_SetVoiceByName(EnglishVoice) == EE_OK;
        if (espeak_SetVoiceByName(m_voice.c_str()) != EE_OK) {
            fail(SpeechProblem::VoiceMissing, voiceMissingText(m_voice));
            return false;
        }
        m_worker = std::thread([this] { run(); });
        m_state = State::Running;
        return true;
    }

    void fail(SpeechProblem problem, const Text& text)
    {
        m_state = State::Failed;
        if (m_onFailure)
            m_onFailure({ problem, text });
    }

    void run()
    {
        for (;;) {
            Words words;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stop || m_pending.has_value(); });
                if (m_stop)
                    return;
                words = std::move(*m_pending);
                m_pending.reset();
            }
            const Voice voice = m_hasEnglish ? words.voice : Voice::Italian;
            if (voice != m_current) {
                espeak_SetVoiceByName(voice == Voice::English ? EnglishVoice : m_voice.c_str());
                m_current = voice;
            }
            if (synthesizeText(words.text, nullptr) != EE_OK) {
                // Told to the user the next time a word is asked for.
                m_outputFailed = true;
                return;
            }
        }
    }

    SpeechFailureSink m_onFailure;
    struct Words {
        std::string text;
        Voice voice = Voice::Italian;
    };

    const std::string m_voice;
    bool m_hasEnglish = false;
    Voice m_current = Voice::Italian; // the worker's alone
    State m_state = State::NotStarted;
    bool m_initialised = false;
    std::atomic<bool> m_outputFailed { false };

    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Words> m_pending;
    bool m_stop = false;
};

int collectSamples(short* samples, int count, espeak_EVENT* events)
{
    if (samples && count > 0 && events && events->user_data)
        static_cast<std::vector<int16_t>*>(events->user_data)
            ->insert(static_cast<std::vector<int16_t>*>(events->user_data)->end(), samples, samples + count);
    return 0;
}

} // namespace

std::unique_ptr<Speech> makeEspeakSpeech(SpeechFailureSink onFailure, const std::string& voice)
{
    return std::make_unique<EspeakSpeech>(std::move(onFailure), voice);
}

std::unique_ptr<Speech> makeItalianSpeech(SpeechFailureSink onFailure)
{
    return makeEspeakSpeech(std::move(onFailure), "it");
}

EspeakSynthesizer::EspeakSynthesizer(const std::string& voice)
{
    m_sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, DontExitOnError);
    m_initialised = m_sampleRate > 0;
    if (!m_initialised)
        return;
    espeak_SetSynthCallback(collectSamples);
    m_ready = espeak_SetVoiceByName(voice.c_str()) == EE_OK;
}

EspeakSynthesizer::~EspeakSynthesizer()
{
    if (m_initialised)
        espeak_Terminate();
}

std::vector<int16_t> EspeakSynthesizer::synthesize(const std::string& text)
{
    std::vector<int16_t> samples;
    if (m_ready)
        synthesizeText(text, &samples);
    return samples;
}

} // namespace zintaro::staff
