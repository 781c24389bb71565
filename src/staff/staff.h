#pragma once

#include "core/modulo1.h"
#include "staff/staff_surface.h"

#include <cstdint>
#include <string_view>

namespace zintaro::staff {
class Speech;

// Staff geometry: lays out the lines for DrawScale, hides the rest images
// and starts the page's rest images from 0. Does not clear the surface.
void drawStaff(Modulo1& m, StaffSurface& surface);

// Sets m.StaffStep for a note and returns it; writes the name labels while
// "Scrivi" is on (m.WriteNames).
int16_t notePosition(Modulo1& m, StaffSurface& surface, int16_t noteIndex);

// The glyph routines, one per duration code. isRest ≠ 0 draws the rest.
void drawWhole(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawHalf(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawQuarter(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawEighth(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawSixteenth(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawThirtySecond(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawSixtyFourth(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
// The head in `colour`; ledger lines stay black.
void drawHead(Modulo1& m, StaffSurface& s, int16_t note, int16_t column, bool filled, Rgb colour = Black);
void drawFlag(StaffSurface& s, int16_t step, int16_t column, int16_t k);

// Draws the glyph of a duration code 0..6 in a column; other codes draw nothing.
void drawGlyph(Modulo1& m, StaffSurface& s, int16_t duration, int16_t isRest, int16_t note, int16_t column);

// Wipes one column white, ten pixels either side of its centre, scaled.
void eraseColumn(const Modulo1& m, StaffSurface& s, int column);

// Shows one staff page of the piece: the empty staff, the entries of the page
// in their columns and the page's bars. The cursor is left alone.
void drawPage(Modulo1& m, StaffSurface& s, int page);

// Puts the cursor on a position of the piece: WriteIndex, its column and the
// cursor shape.
void placeCursor(Modulo1& m, StaffSurface& s, int position);

// Bars of the entries on one staff page; the running sum and the red state
// are counted from position 0 of the piece.
void drawBars(const Modulo1& m, StaffSurface& s, int page);

// Speaks the name of a note, its letter in the English voice or its solfège
// in the Italian one; an empty text outside 0..35.
void speakNoteName(Speech& speech, int16_t noteIndex, NoteNaming naming);

} // namespace zintaro::staff
