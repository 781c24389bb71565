#pragma once

#include <array>
#include <string_view>

namespace zintaro::midi {

// The 128 General MIDI programs under the program's own short names; the
// position is the program number.
extern const std::array<std::string_view, 128> InstrumentNames;

} // namespace zintaro::midi
