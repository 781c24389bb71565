#include "core/written_piece.h"
#include "staff/staff.h"

namespace zintaro::staff {

void drawBars(StaffSurface& s, const PageView& view)
{
    s.filledRectangle(90, 50, 91, 90, Black);
    // The measures as the printed score counts them; a bar follows each
    // closed one on its page.
    for (const Measure& m : measuresOf(view.store, view.noteCount, view.meter)) {
        const int last = m.end - 1;
        if (!m.closed || last / StaffColumns != view.page)
            continue;
        const auto x = static_cast<float>(20 * (last % StaffColumns) + 110);
        s.filledRectangle(x, 50, x + 1, 90, m.red ? Red : Black);
    }
}

} // namespace zintaro::staff
