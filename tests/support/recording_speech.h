#pragma once

#include "staff/speech.h"

#include <string>
#include <vector>

namespace zintaro::testing {

class RecordingSpeech : public staff::Speech {
public:
    void say(const std::string& text) override { said.push_back(text); }
    std::vector<std::string> said;
};

} // namespace zintaro::testing
