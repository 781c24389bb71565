#pragma once

#include "staff/speech.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zintaro::staff {

// The espeak-ng engine behind makeItalianSpeech(), with the voice chosen by
// the caller, so that a missing voice can be tried.
std::unique_ptr<Speech> makeEspeakSpeech(SpeechFailureSink onFailure, const std::string& voice);

// Synthesizes texts into 16-bit samples on the calling thread, with no sound
// output. espeak-ng holds one output mode per process, so a process uses
// either this or the speaking engine, never both.
class EspeakSynthesizer {
public:
    explicit EspeakSynthesizer(const std::string& voice = "it");
    ~EspeakSynthesizer();
    EspeakSynthesizer(const EspeakSynthesizer&) = delete;
    EspeakSynthesizer& operator=(const EspeakSynthesizer&) = delete;

    // False when the engine or the voice is missing; synthesize() then gives nothing.
    bool ready() const { return m_ready; }
    int sampleRate() const { return m_sampleRate; }
    std::vector<int16_t> synthesize(const std::string& text);

private:
    bool m_initialised = false;
    bool m_ready = false;
    int m_sampleRate = 0;
};

} // namespace zintaro::staff
