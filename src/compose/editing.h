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

// "PAUSA": inserts a rest of the current duration at the cursor; the cursor
// stays on the new rest. A full composition refuses it with a message.
void insertRest(Modulo1& m, const Ports& ports);

// "ELIMINA": deletes the entry at the cursor, which then stands on the entry
// that followed. At the end of the piece it deletes the last entry; on an
// empty composition it does nothing.
void deleteAtCursor(Modulo1& m, const Ports& ports);

// "<" and ">": moves the cursor one position within 0..NoteCount, redrawing
// only when it crosses to another staff page.
void moveCursor(Modulo1& m, const Ports& ports, CursorMove move);

} // namespace zintaro::compose
