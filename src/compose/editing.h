#pragma once

#include "core/modulo1.h"
#include "compose/ports.h"

#include <cstdint>

namespace zintaro::compose {

// The cursor buttons: ">" is index 1, any other index is "<".
inline constexpr int16_t CursorRight = 1;
inline constexpr int16_t CursorLeft = 0;

// Draws the staff page that holds the cursor (page WriteIndex / 57): clears
// the surface, lays out the staff, draws the page's entries and its bars, and
// places the cursor in its column. Changes nothing in the store.
void RedrawComposition(Modulo1& m, const Ports& ports);

// "PAUSA": inserts a rest of the current duration at the cursor; the cursor
// stays on the new rest. A full composition refuses it with a message.
void BtPausa_Click(Modulo1& m, const Ports& ports);

// "ELIMINA": deletes the entry at the cursor, which then stands on the entry
// that followed. At the end of the piece it deletes the last entry; on an
// empty composition it does nothing.
void BtCanc_Click(Modulo1& m, const Ports& ports);

// "<" and ">": moves the cursor one position within 0..NoteCount, redrawing
// only when it crosses to another staff page.
void BtM_Click(Modulo1& m, const Ports& ports, int16_t index);

} // namespace zintaro::compose
