#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zintaro {
class Dialogs;
}

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

// Speech that says nothing.
class SilentSpeech final : public Speech {
public:
    using Speech::say;
    void say(const std::string&, Voice) override { }
};

// Speech through espeak-ng, its Italian voice and its English one for
// letters. When the engine or its Italian voice is missing the returned
// object stays silent and tells the user once, through the dialogs, the
// first time it is asked to speak; without the English voice, letters are
// spoken by the Italian one.
std::unique_ptr<Speech> makeItalianSpeech(Dialogs& dialogs);

} // namespace zintaro::staff
