#include "compose/editing.h"

#include "compose/note_entry.h"
#include "staff/staff.h"

#include <algorithm>
#include <string>

namespace zintaro::compose {

namespace {

// The position under the cursor, kept within the piece and its end.
int cursorPosition(const Modulo1& m)
{
    return std::clamp(static_cast<int>(m.WriteIndex), 0, m.NoteCount);
}

} // namespace

void placeCursor(Modulo1& m, staff::StaffSurface& s, int position)
{
    m.WriteIndex = static_cast<int16_t>(position);
    m.CursorColumn = m.columnOf(position);
    s.setCursorLeft(cursorX(m, position));
}

void redrawComposition(Modulo1& m, const Ports& ports)
{
    const int position = cursorPosition(m);
    const int page = m.pageOf(position);
    staff::drawPage(lookOf(m, page), ports.surface, pageOf(m, page));
    placeCursor(m, ports.surface, position);
}

bool insertRest(Modulo1& m, const Ports& ports)
{
    if (m.isFull())
        return false;
    const int w = cursorPosition(m);
    for (int j = m.NoteCount; j > w; --j)
        m.Composition.set(j, m.Composition.at(j - 1));
    m.Composition.set(w, { True16, 0, m.CurrentDuration });
    ++m.NoteCount;
    m.Composition.set(m.NoteCount, EndEntry);
    dropBrokenTies(m.Composition, m.NoteCount);

    m.WriteIndex = static_cast<int16_t>(w);
    redrawComposition(m, ports);
    return true;
}

void deleteAtCursor(Modulo1& m, const Ports& ports)
{
    if (m.NoteCount == 0)
        return;
    // On the end marker the last entry goes, and the cursor stays at the end.
    const int w = std::min(cursorPosition(m), m.NoteCount - 1);
    for (int j = w; j < m.NoteCount - 1; ++j)
        m.Composition.set(j, m.Composition.at(j + 1));
    // The old end marker's place returns to the cleared state.
    m.Composition.set(m.NoteCount, Entry {});
    --m.NoteCount;
    m.Composition.set(m.NoteCount, EndEntry);
    // A tie into the entry deleted now reaches whatever follows.
    dropBrokenTies(m.Composition, m.NoteCount);

    m.WriteIndex = static_cast<int16_t>(w);
    redrawComposition(m, ports);
}

void moveCursor(Modulo1& m, const Ports& ports, CursorMove move)
{
    const int from = m.WriteIndex;
    const int to = move == CursorMove::Right ? std::min(from + 1, m.NoteCount) : std::max(from - 1, 0);
    placeCursor(m, ports.surface, to);
    if (m.pageOf(to) != m.pageOf(from))
        redrawComposition(m, ports);
}

} // namespace zintaro::compose
