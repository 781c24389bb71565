#pragma once

#include "core/pitch.h"

#include <algorithm>
#include <string>
#include <string_view>
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

// "C4+E4+G4": the notes of an interval or chord as the answers' history joins them.
inline std::vector<SpelledNote> spelledList(std::string_view joined)
{
    std::vector<SpelledNote> notes;
    for (size_t from = 0; from <= joined.size();) {
        const size_t to = std::min(joined.find('+', from), joined.size());
        notes.push_back(parseSpelled(joined.substr(from, to - from)).value());
        from = to + 1;
    }
    return notes;
}

} // namespace zintaro::testing
