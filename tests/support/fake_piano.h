#pragma once

#include "input/piano_view.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace zintaro::testing {

// The piano's 36 keys without a widget.
class FakePiano : public input::PianoView {
public:
    bool isPressed(int index) const override { return keys.at(static_cast<std::size_t>(index)); }
    void setPressed(int index, bool pressed) override { keys.at(static_cast<std::size_t>(index)) = pressed; }

    bool anyPressed() const
    {
        return std::any_of(keys.begin(), keys.end(), [](bool k) { return k; });
    }

    std::array<bool, 36> keys {};
};

} // namespace zintaro::testing
