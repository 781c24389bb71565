#pragma once

#include <memory>
#include <string>

namespace zintaro {
class Dialogs;
}

namespace zintaro::staff {

// Speaks one text at a time and never blocks the caller.
class Speech {
public:
    virtual ~Speech() = default;
    virtual void say(const std::string& text) = 0;
};

// Speech that says nothing.
class SilentSpeech final : public Speech {
public:
    void say(const std::string&) override { }
};

// Italian speech through espeak-ng. When the engine or its Italian voice is
// missing the returned object stays silent and tells the user once, through
// the dialogs, the first time it is asked to speak.
std::unique_ptr<Speech> makeItalianSpeech(Dialogs& dialogs);

} // namespace zintaro::staff
