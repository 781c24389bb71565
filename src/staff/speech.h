#pragma once

#include "core/translation.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zintaro::staff {

// Solfège names are Italian words; letters ("F sharp") are English ones.
enum class Voice : uint8_t { Italian, English };

// Speaks one text at a time and never blocks the caller.
class Speech {
public:
    virtual ~Speech() = default;
    virtual void say(const std::string& text, Voice voice) = 0;
    void say(const std::string& text) { say(text, Voice::Italian); }
};

enum class SpeechProblem : uint8_t { EngineMissing, VoiceMissing, OutputFailed };

// Why speech went silent, with the words to show.
struct SpeechFailure {
    SpeechProblem problem;
    Text text;
};

// Hears of a failure on the thread that asked to speak.
using SpeechFailureSink = std::function<void(const SpeechFailure& failure)>;

// Speech that says nothing.
class SilentSpeech final : public Speech {
public:
    using Speech::say;
    void say(const std::string&, Voice) override { }
};

// Speech through espeak-ng, its Italian voice and its English one for
// letters. When the engine or its Italian voice is missing the returned
// object stays silent and reports it once, the first time it is asked to
// speak; without the English voice, letters are spoken by the Italian one.
std::unique_ptr<Speech> makeItalianSpeech(SpeechFailureSink onFailure);

} // namespace zintaro::staff
