#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zintaro::staff {

// Speaks one text at a time and never blocks the caller.
class Speech {
public:
    virtual ~Speech() = default;
    virtual void say(const std::string& text) = 0;
};

enum class SpeechProblem : uint8_t { EngineMissing, VoiceMissing, OutputFailed };

// Why speech went silent, with the words to show.
struct SpeechFailure {
    SpeechProblem problem;
    std::string text;
};

// Hears of a failure on the thread that asked to speak.
using SpeechFailureSink = std::function<void(const SpeechFailure& failure)>;

// Speech that says nothing.
class SilentSpeech final : public Speech {
public:
    void say(const std::string&) override { }
};

// Italian speech through espeak-ng. When the engine or its Italian voice is
// missing the returned object stays silent and reports it once, the first
// time it is asked to speak.
std::unique_ptr<Speech> makeItalianSpeech(SpeechFailureSink onFailure);

} // namespace zintaro::staff
