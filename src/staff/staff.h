#pragma once

#include "core/modulo1.h"
#include "staff/staff_surface.h"

#include <cstdint>
#include <string_view>

namespace zintaro {
class Dialogs;
}

namespace zintaro::staff {
class Speech;

// Staff geometry: lays out the lines for DrawScale, hides the rest images
// and starts the page's rest images from 0. Does not clear the surface.
void DrawStaff(Modulo1& m, StaffSurface& surface);

// Sets m.StaffStep for a note and returns it; writes the name labels while
// "Scrivi" is on (m.WriteNames).
int16_t NotePosition(Modulo1& m, StaffSurface& surface, int16_t noteIndex);

// The glyph routines, one per duration code. isRest ≠ 0 draws the rest.
void DrawWhole(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void DrawHalf(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void DrawQuarter(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void DrawEighth(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void DrawSixteenth(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void DrawThirtySecond(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void DrawSixtyFourth(Modulo1& m, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void DrawHead(Modulo1& m, StaffSurface& s, int16_t note, int16_t column, bool filled);
void DrawFlag(StaffSurface& s, int16_t step, int16_t column, int16_t k);

// Draws the glyph of a duration code 0..6 in a column; other codes draw nothing.
void DrawGlyph(Modulo1& m, StaffSurface& s, int16_t duration, int16_t isRest, int16_t note, int16_t column);

// Wipes one column white, ten pixels either side of its centre, scaled.
void EraseColumn(const Modulo1& m, StaffSurface& s, int column);

// Told when an entry would not fit: the store keeps 1000 entries and the end marker.
inline constexpr std::string_view CompositionFullText
    = "The composition is full: it holds 1000 entries, the most it can keep. Nothing was added.";

enum class EntryOutcome {
    Drawn, // drawn only (store false, or a playback is listening)
    Stored, // drawn and written into the composition
    Refused, // the composition is full: nothing drawn, stored or moved
};

// The one road of a note or rest to the staff and the store. The entry is
// drawn in column CursorColumn and stored at position WriteIndex (which, on
// the composition's page, is 57 × page + CursorColumn); afterwards both
// advance by one, and the page turns (clear, DrawStaff) after column 56.
// An append that would leave no room for the end marker is refused with a
// message through the dialogs.
EntryOutcome EnterNote(
    Modulo1& m, StaffSurface& s, Dialogs& dialogs, bool store, int16_t isRest, int16_t note, int16_t duration);

// The empty state of the store; counts and cursor are the caller's.
void ClearComposition(Modulo1& m);

// Shows one staff page of the piece: the empty staff, the entries of the page
// in their columns and the page's bars. The cursor is left alone.
void DrawPage(Modulo1& m, StaffSurface& s, int page);

// Puts the cursor on a position of the piece: WriteIndex, its column and the
// cursor shape.
void PlaceCursor(Modulo1& m, StaffSurface& s, int position);

// Bars of the entries on one staff page; the running sum and the red state
// are counted from position 0 of the piece.
void DrawBars(const Modulo1& m, StaffSurface& s, int page);

// Speaks the solfège name of a note; an empty text outside 0..35.
void SpeakNoteName(Speech& speech, int16_t noteIndex);

} // namespace zintaro::staff
