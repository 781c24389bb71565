#pragma once

#include "core/pitch.h"

#include <string>
#include <vector>

namespace zintaro::testing {

// "C4 D#4 Eb4": written notes as the files spell them, for readable failures.
inline std::string textsOf(const std::vector<SpelledNote>& notes)
{
    std::string text;
    for (const SpelledNote note : notes) {
        if (!text.empty())
            text += ' ';
        text += spelledText(note);
    }
    return text;
}

} // namespace zintaro::testing
