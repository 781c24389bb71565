#include "compose/modes.h"

#include "compose/editing.h"
#include "compose/note_entry.h"
#include "staff/staff.h"

namespace zintaro::compose {

void newComposition(Modulo1& m, const Ports& ports)
{
    m.CursorColumn = 0;
    clearComposition(m);
    // A new piece starts in C major and 4/4, whatever the last one was in.
    m.PieceKey = {};
    m.PieceMeter = {};
    m.NoteCount = 0;
    m.WriteIndex = 0;
    ports.surface.setCursorLeft(cursorX(m, 0));
    ports.surface.clear();
    staff::drawStaff(lookOf(m), ports.surface);
}

void showComposition(Modulo1& m, const Ports& ports)
{
    redrawComposition(m, ports);
}

int setTempo(Modulo1& m, int tempo)
{
    recomputeTempoDurations(m, tempo);
    return 3000 - 12 * tempo;
}

} // namespace zintaro::compose
