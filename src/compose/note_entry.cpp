#include "compose/note_entry.h"

#include "core/written_piece.h"
#include "staff/staff.h"

#include <string>

namespace zintaro::compose {

EntryOutcome enterNote(Modulo1& m, staff::StaffSurface& s, bool store, bool isRest, int16_t note, int16_t duration)
{
    const bool storing = store && !m.Listening;
    const int position = m.WriteIndex;
    if (storing) {
        // An append needs the position after it for the end marker, and no
        // write may leave the store.
        const bool appending = position == m.NoteCount;
        if ((appending && m.isFull()) || position < 0 || position > MaxEntries)
            return EntryOutcome::Refused;
    }

    const staff::Look look = lookOf(m);
    if (m.NoteCount != m.WriteIndex)
        staff::eraseColumn(look, s, m.CursorColumn);
    staff::drawGlyph(look, s, duration, isRest ? True16 : False16, note, static_cast<int16_t>(m.CursorColumn));
    // The name labels follow a later change of naming from this note.
    if (!isRest && m.WriteNames)
        m.NamedNote = note;

    if (storing) {
        m.Composition.set(position, { isRest ? True16 : False16, note, m.CurrentDuration });
        if (position == m.NoteCount) {
            ++m.NoteCount;
            m.Composition.set(m.NoteCount, EndEntry);
        }
        // A note written over the one a tie led into may end the tie.
        dropBrokenTies(m.Composition, m.NoteCount);
    }
    // The sign as a printed score shows it at this point of its measure; a
    // note only heard is written as the key alone would write it.
    if (!isRest) {
        const auto sign = storing ? writeOut(m.Composition, position + 1, m.PieceKey, m.PieceMeter).back().printed
                                  : writtenKey(note, m.PieceKey).printed;
        staff::drawSignBefore(look, s, sign, note, static_cast<int16_t>(m.CursorColumn));
    }

    // The write position counts through the whole piece while the column
    // starts again on every page, so a later page never overwrites an earlier one.
    if (m.WriteIndex < INT16_MAX)
        ++m.WriteIndex;
    ++m.CursorColumn;
    if (m.CursorColumn >= StaffColumns || m.CursorColumn < 0) {
        m.CursorColumn = 0;
        s.clear();
        staff::drawStaff(lookOf(m), s);
    }
    s.setCursorLeft(staff::columnGrid(lookOf(m)).centre(m.CursorColumn));
    return storing ? EntryOutcome::Stored : EntryOutcome::Drawn;
}

void clearComposition(Modulo1& m)
{
    m.Composition.clear();
}

} // namespace zintaro::compose
