#include "staff/staff.h"

#include <algorithm>
#include <cmath>

namespace zintaro::staff {

void drawBars(const Modulo1& m, StaffSurface& s, int page)
{
    s.filledRectangle(90, 50, 91, 90, Black);

    // The measure sum is single precision, so a duration code far beyond the
    // sixty-fourth (a damaged file) vanishes in the sum instead of making its
    // measure overfull. The part of a measure beyond one whole note is dropped.
    float sum = 0;
    bool overfull = false;
    const int count = std::clamp(m.NoteCount, 0, MaxEntries);
    for (int i = 0; i < count; ++i) {
        sum = static_cast<float>(sum + 1.0 / std::pow(2.0, m.Composition.DurationCode[i]));
        if (sum < 1)
            continue;
        if (sum > 1)
            overfull = true;
        sum = 0;
        if (m.pageOf(i) != page)
            continue;
        const auto x = static_cast<float>(20 * m.columnOf(i) + 110);
        s.filledRectangle(x, 50, x + 1, 90, overfull ? Red : Black);
    }
}

} // namespace zintaro::staff
