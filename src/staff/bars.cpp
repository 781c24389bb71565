#include "core/written_piece.h"
#include "staff/staff.h"

#include <cmath>

namespace zintaro::staff {

void drawBars(const Look& look, StaffSurface& s, const PageView& view)
{
    const ColumnGrid grid = columnGrid(look);
    const int half = static_cast<int>(std::lround(grid.pitch / 2));
    const auto opening = static_cast<float>(grid.first - half);
    s.filledRectangle(opening, 50, opening + 1, 90, Black);
    // The measures as the printed score counts them; a bar follows each
    // closed one on its page.
    for (const Measure& m : measuresOf(view.store, view.noteCount, view.meter)) {
        const int last = m.end - 1;
        if (!m.closed || last / StaffColumns != view.page)
            continue;
        const auto x = static_cast<float>(grid.centre(last % StaffColumns) + half);
        s.filledRectangle(x, 50, x + 1, 90, m.red ? Red : Black);
    }
}

} // namespace zintaro::staff
