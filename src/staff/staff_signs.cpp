#include "staff/staff_signs.h"

#include <cmath>

namespace zintaro::staff {

namespace {

// The bass clef's picture in its own pixels. It is placed by its two dots,
// whose middle lies on the F line, and holds 20 pixels to a unit of the
// staff (a space is ten units).
constexpr double BassClefWidth = 554;
constexpr double BassClefHeight = 640;
constexpr double BassClefFLine = 204;
constexpr double BassClefPixelsPerUnit = 20;

int scaled(double units, int scale)
{
    return static_cast<int>(std::lround(units * scale));
}

SignBox clefBox(const StaffSystem& system, int staff)
{
    const int scale = system.scale;
    const int top = system.topLineY(staff);
    if (system.signOf(staff) == ClefSign::G) {
        // The treble clef reaches from above the top line to below the
        // bottom line.
        return { system.staffLeft, top - 16 * scale, 42 * scale, 73 * scale };
    }
    const double unitsPerPixel = 1.0 / BassClefPixelsPerUnit;
    const int fLine = top + 10 * scale;
    return { system.staffLeft + 4 * scale, fLine - scaled(BassClefFLine * unitsPerPixel, scale),
        scaled(BassClefWidth * unitsPerPixel, scale), scaled(BassClefHeight * unitsPerPixel, scale) };
}

} // namespace

StaffSigns staffSignsOf(const StaffSystem& system)
{
    StaffSigns signs;
    for (int staff = 0; staff < system.staffCount && staff < 2; ++staff) {
        signs.clefSigns[static_cast<std::size_t>(staff)] = system.signOf(staff);
        signs.clefs[static_cast<std::size_t>(staff)] = clefBox(system, staff);
    }
    if (system.staffCount == 2) {
        // From the top line of the upper staff to the bottom line of the
        // lower one, ending just left of the staves.
        const int scale = system.scale;
        const int top = system.topLineY(0);
        signs.brace = { system.staffLeft - 12 * scale, top, 10 * scale, system.bottomLineY[1] - top + 1 };
    }
    return signs;
}

} // namespace zintaro::staff
