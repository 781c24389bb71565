#include "staff/staff.h"

#include <algorithm>

namespace zintaro::staff {

void eraseColumn(const Modulo1& m, StaffSurface& s, int column)
{
    const auto d = static_cast<int16_t>(20 * column);
    const int scale = m.DrawScale;
    s.filledRectangle(static_cast<float>((d + 90) * scale), 0, static_cast<float>((d + 110) * scale),
        static_cast<float>(145 * scale), White);
}

void drawPage(Modulo1& m, StaffSurface& s, int page)
{
    const int first = page * StaffColumns;
    const int end = std::min(first + StaffColumns, m.NoteCount);
    s.clear();
    drawStaff(m, s);
    // Glyph by glyph rather than through note entry, whose page turn after
    // the last column would wipe a full page.
    for (int p = first; p < end; ++p) {
        const Entry e = m.Composition.at(p);
        const int16_t isRest = e.RestFlag != 0 ? True16 : False16;
        drawGlyph(m, s, e.DurationCode, isRest, e.NoteIndex, static_cast<int16_t>(p - first));
    }
    drawBars(m, s, page);
}

void placeCursor(Modulo1& m, StaffSurface& s, int position)
{
    m.WriteIndex = static_cast<int16_t>(position);
    m.CursorColumn = m.columnOf(position);
    s.setCursorLeft(columnX(m.CursorColumn));
}

} // namespace zintaro::staff
