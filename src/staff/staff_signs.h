#pragma once

#include "staff/staff_system.h"

#include <array>

namespace zintaro::staff {

// A picture's box on the staff, in pixels; an empty box shows nothing.
struct SignBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const SignBox&, const SignBox&) = default;
};

// The signs at the start of the staves: each staff's clef and, for the
// grand staff, the brace left of the staves that joins them.
struct StaffSigns {
    std::array<ClefSign, 2> clefSigns { ClefSign::G, ClefSign::G };
    std::array<SignBox, 2> clefs {};
    SignBox brace;
};

StaffSigns staffSignsOf(const StaffSystem& system);

} // namespace zintaro::staff
