#include "core/written_piece.h"
#include "staff/staff.h"

#include <algorithm>

namespace zintaro::staff {

void eraseColumn(const Look& look, StaffSurface& s, int column)
{
    const int centre = columnGrid(look).centre(column);
    const int scale = look.scale;
    s.filledRectangle(static_cast<float>((centre - 10) * scale), 0, static_cast<float>((centre + 10) * scale),
        static_cast<float>(145 * scale), White);
    if (column >= 0 && column < RestImages)
        s.setRestImageVisible(column, false);
}

void drawPage(const Look& look, StaffSurface& s, const PageView& view)
{
    const int first = view.page * StaffColumns;
    const int end = std::min(first + StaffColumns, std::clamp(view.noteCount, 0, MaxEntries));
    s.clear();
    drawStaff(look, s);
    const std::vector<WrittenNote> written = writeOut(view.store, end, look.key, view.meter);
    // Glyph by glyph rather than through note entry, whose page turn after
    // the last column would wipe a full page.
    for (int p = first; p < end; ++p) {
        const Entry e = view.store.at(p);
        const int16_t isRest = e.RestFlag != 0 ? True16 : False16;
        drawGlyph(look, s, e.DurationCode, isRest, e.NoteIndex, static_cast<int16_t>(p - first));
        drawSignBefore(look, s, written[static_cast<size_t>(p)].printed, e.NoteIndex, static_cast<int16_t>(p - first));
        if (e.Dotted)
            drawDot(look, s, isRest, e.NoteIndex, static_cast<int16_t>(p - first));
        if (tieHolds(view.store, view.noteCount, p))
            drawTie(look, s, e.NoteIndex, static_cast<int16_t>(p - first));
    }
    drawBars(look, s, view);
}

// Below everything a column holds (eraseColumn's reach), within the staff's height.
void drawTimingMark(const Look& look, StaffSurface& s, int column, Rgb colour, const Text& label)
{
    const int centre = columnGrid(look).centre(column);
    const int scale = look.scale;
    s.filledRectangle(static_cast<float>((centre - 6) * scale), static_cast<float>(147 * scale),
        static_cast<float>((centre + 6) * scale), static_cast<float>(150 * scale), colour);
    if (!label.empty())
        s.text((centre - 9) * scale, 152 * scale, 9 * scale, label, colour);
}

} // namespace zintaro::staff
