#pragma once

namespace zintaro::input {

// The piano as the rules see it: 36 two-state keys.
class PianoView {
public:
    virtual ~PianoView() = default;
    virtual bool isPressed(int index) const = 0;
    virtual void setPressed(int index, bool pressed) = 0;
};

} // namespace zintaro::input
