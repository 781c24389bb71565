#pragma once

#include "staff/speech.h"

#include <string>
#include <vector>

namespace zintaro::testing {

class RecordingSpeech : public staff::Speech {
public:
    using Speech::say;
    void say(const std::string& text, staff::Voice voice) override
    {
        said.push_back(text);
        voices.push_back(voice);
    }
    std::vector<std::string> said;
    std::vector<staff::Voice> voices;
};

} // namespace zintaro::testing
