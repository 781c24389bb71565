#pragma once

#include "core/key_meter.h"
#include "core/modulo1.h"
#include "staff/staff_surface.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zintaro::staff {
class Speech;

// How the staff is drawn: its scale (1 in the window, 5 for the trainer),
// whether each note's name goes into the name labels, the key the notes are
// written and named in, the meter shown after the key signature (on a
// piece's first line only), and the clef. A bass staff stands where the
// treble one does, its notes twelve steps higher on it; the grand staff is
// the trainer's alone and is drawn as the treble.
struct Look {
    int scale = 1;
    bool writeNames = true;
    NoteNaming naming = NoteNaming::Solfege;
    Key key;
    std::optional<Meter> meter;
    Clef clef = Clef::Treble;
};

// Where the columns of a composition line stand, in pixels at scale 1. The
// key signature and the meter at the line's start move the first column
// right; the last column keeps its place and the columns between share the
// room. The cursor and every glyph of the line stand on this one grid.
struct ColumnGrid {
    int first = 100; // the first column's centre
    double pitch = 20;

    int centre(int column) const { return first + static_cast<int>(std::lround(column * pitch)); }
};
ColumnGrid columnGrid(const Look& look);

// Lays out the staff lines for the scale, draws the key signature and the
// meter after the clef, and hides every quarter-rest image. Does not clear
// the surface.
void drawStaff(const Look& look, StaffSurface& surface);

// The staff step of a piano key as the look's key writes it (B flat on the
// B line), counted as on the treble staff: 2 is the bottom line of the
// look's staff. Off the piano, the step of index 0 on the treble staff; on
// the bass staff any key of a MIDI note has its step, the keys below the
// piano's (negative indices) included.
int16_t writtenStep(const Look& look, int16_t noteIndex);

// The staff step of a note as the key writes it (B flat on the B line);
// writes the name labels when the look says so, naming the note as written
// ("Fa diesis").
int16_t notePosition(const Look& look, StaffSurface& surface, int16_t noteIndex);

// The glyph routines, one per duration code. isRest ≠ 0 draws the rest.
void drawWhole(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawHalf(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
// A quarter rest shows the quarter-rest image of its column; columns beyond
// the images get the picture drawn as a mark, which the next clear removes.
void drawQuarter(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawEighth(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawSixteenth(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawThirtySecond(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
void drawSixtyFourth(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
// The head in `colour`; ledger lines stay black.
void drawHead(const Look& look, StaffSurface& s, int16_t note, int16_t column, bool filled, Rgb colour = Black);

// Draws the glyph of a duration code 0..6 in a column; other codes draw nothing.
void drawGlyph(const Look& look, StaffSurface& s, int16_t duration, int16_t isRest, int16_t note, int16_t column);
// The dot right of a dotted note's head (in the space above a head on a
// line) or of a dotted rest.
void drawDot(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column);
// The arc of a tie from a note's head in one column to the same note's head
// in the next; from the last column of a page it runs out to the page's edge.
void drawTie(const Look& look, StaffSurface& s, int16_t note, int16_t column);

// Wipes one column white, ten pixels either side of its centre on the
// look's grid, scaled, and hides the column's quarter-rest image.
void eraseColumn(const Look& look, StaffSurface& s, int column);

// One staff page of a piece: which entries it shows, and the meter its bars follow.
struct PageView {
    const CompositionStore& store;
    int noteCount = 0;
    int page = 0;
    Meter meter;
};

// A sign before the head of a note drawn in a column; nothing without one.
void drawSignBefore(const Look& look, StaffSurface& s, std::optional<Accidental> sign, int16_t note, int16_t column);

// Shows one staff page of the piece: the empty staff, the entries of the page
// in their columns with the signs a printed score shows before them, and the
// page's bars. The cursor is left alone.
void drawPage(const Look& look, StaffSurface& s, const PageView& view);

// A judged note's mark below the staff, under its column: a bar in its
// colour and, when it has one, the label under it (the error in ms).
void drawTimingMark(const Look& look, StaffSurface& s, int column, Rgb colour, const Text& label);
// Bars of the entries on one staff page, halfway between the columns of the
// look's grid; the running sum and the red state are counted from position
// 0 of the piece.
void drawBars(const Look& look, StaffSurface& s, const PageView& view);

// Speaks the name of a note as the key writes it, its letters in the English
// voice or its solfège in the Italian one ("Fa diesis"); an empty text
// outside 0..35.
void speakNoteName(Speech& speech, int16_t noteIndex, NoteNaming naming, Key key = {});

} // namespace zintaro::staff
