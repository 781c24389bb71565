#pragma once

#include "compose/ports.h"
#include "core/modulo1.h"

namespace zintaro::compose {

// The cursor buttons "<" and ">".
enum class CursorMove { Left, Right };

// Draws the staff page that holds the cursor (page WriteIndex / 57): clears
// the surface, lays out the staff, draws the page's entries and its bars, and
// places the cursor in its column. Changes nothing in the store.
void redrawComposition(Modulo1& m, const Ports& ports);

// Puts the cursor on a position of the piece: the write index, its column
// and the cursor shape.
void placeCursor(Modulo1& m, staff::StaffSurface& s, int position);

// "PAUSA": inserts a rest of the current duration at the cursor; the cursor
// stays on the new rest. False when a full composition refuses it.
bool insertRest(Modulo1& m, const Ports& ports);

// "ELIMINA": deletes the entry at the cursor, which then stands on the entry
// that followed. At the end of the piece it deletes the last entry; on an
// empty composition it does nothing.
void deleteAtCursor(Modulo1& m, const Ports& ports);

// "<" and ">": moves the cursor one position within 0..NoteCount, redrawing
// only when it crosses to another staff page.
void moveCursor(Modulo1& m, const Ports& ports, CursorMove move);

} // namespace zintaro::compose
