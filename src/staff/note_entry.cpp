#include "core/dialogs.h"
#include "staff/staff.h"

#include <algorithm>
#include <string>

namespace zintaro::staff {

void EraseColumn(const Modulo1& m, StaffSurface& s, int column)
{
    const auto d = static_cast<int16_t>(20 * column);
    const int scale = m.DrawScale;
    s.filledRectangle(static_cast<float>((d + 90) * scale), 0, static_cast<float>((d + 110) * scale),
        static_cast<float>(145 * scale), White);
}

EntryOutcome EnterNote(
    Modulo1& m, StaffSurface& s, Dialogs& dialogs, bool store, int16_t isRest, int16_t note, int16_t duration)
{
    const bool storing = store && !m.Listening;
    const int position = m.WriteIndex;
    if (storing) {
        // An append needs the position after it for the end marker, and no
        // write may leave the store.
        const bool appending = position == m.NoteCount;
        if ((appending && m.isFull()) || position < 0 || position > MaxEntries) {
            dialogs.message(std::string(CompositionFullText));
            return EntryOutcome::Refused;
        }
    }

    if (m.NoteCount != m.WriteIndex)
        EraseColumn(m, s, m.CursorColumn);
    DrawGlyph(m, s, duration, isRest, note, static_cast<int16_t>(m.CursorColumn));

    if (storing) {
        m.Composition.set(position, { isRest, note, m.CurrentDuration });
        if (position == m.NoteCount) {
            ++m.NoteCount;
            m.Composition.set(m.NoteCount, EndEntry);
        }
    }

    // The write position counts through the whole piece while the column
    // starts again on every page, so a later page never overwrites an earlier one.
    if (m.WriteIndex < INT16_MAX)
        ++m.WriteIndex;
    ++m.CursorColumn;
    if (m.CursorColumn >= StaffColumns || m.CursorColumn < 0) {
        m.CursorColumn = 0;
        s.clear();
        DrawStaff(m, s);
    }
    s.setCursorLeft(ColumnX(m.CursorColumn));
    return storing ? EntryOutcome::Stored : EntryOutcome::Drawn;
}

void ClearComposition(Modulo1& m)
{
    m.Composition.clear();
}

void DrawPage(Modulo1& m, StaffSurface& s, int page)
{
    const int first = page * StaffColumns;
    const int end = std::min(first + StaffColumns, m.NoteCount);
    s.clear();
    DrawStaff(m, s);
    // Glyph by glyph rather than through note entry, whose page turn after
    // the last column would wipe a full page.
    for (int p = first; p < end; ++p) {
        const Entry e = m.Composition.at(p);
        const int16_t isRest = e.RestFlag != 0 ? True16 : False16;
        DrawGlyph(m, s, e.DurationCode, isRest, e.NoteIndex, static_cast<int16_t>(p - first));
    }
    DrawBars(m, s, page);
}

void PlaceCursor(Modulo1& m, StaffSurface& s, int position)
{
    m.WriteIndex = static_cast<int16_t>(position);
    m.CursorColumn = m.columnOf(position);
    s.setCursorLeft(ColumnX(m.CursorColumn));
}

} // namespace zintaro::staff
