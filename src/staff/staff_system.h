#pragma once

#include "core/pitch.h"
#include "staff/staff_surface.h"

#include <array>

namespace zintaro::staff {

// Where a written note stands: on which staff (0 the upper or only one, 1
// the lower staff of the grand staff) and how many steps above that staff's
// bottom line (0 the bottom line, 8 the top line; odd steps are spaces).
// The accidental does not move a note.
struct StaffPosition {
    int staff = 0;
    int step = 0;

    // The ledger lines the note needs, below the staff for a negative step,
    // above it beyond step 8.
    int ledgerLines() const;

    friend bool operator==(const StaffPosition&, const StaffPosition&) = default;
};

// Treble: E4 on the bottom line. Bass: G2 on the bottom line, its F line
// (F3) the fourth. Grand: the notes written below C4 on the lower (bass)
// staff, C4 and above on the upper (treble) staff.
StaffPosition staffPositionOf(SpelledNote note, Clef clef);

// The staves of one clef laid out on the staff surface at a drawing scale,
// in pixels. One unit of the staff's geometry is `scale` pixels and a step
// five units; the trainer's note stands in column 0.
//
// A single staff keeps the composition staff's place at every scale. The
// grand staff needs twice the height: its upper staff keeps that place and
// the pair is drawn at three fifths of the drawing scale, so that both
// staves and their ledger lines fit the enlarged surface.
struct StaffSystem {
    Clef clef = Clef::Treble;
    int scale = 1;
    int staffCount = 1;
    std::array<int, 2> bottomLineY {};
    int staffLeft = 16;
    int noteX = 100;
    int labelLeft = 544;
    int labelRaise = 3; // the name label's top above the note's centre

    int topLineY(int staff) const { return bottomLineY[static_cast<std::size_t>(staff)] - 40 * scale; }
    int yOf(StaffPosition p) const { return bottomLineY[static_cast<std::size_t>(p.staff)] - 5 * scale * p.step; }
    ClefSign signOf(int staff) const
    {
        return clef == Clef::Bass || (clef == Clef::Grand && staff == 1) ? ClefSign::F : ClefSign::G;
    }
};

StaffSystem staffSystemFor(Clef clef, int drawScale);

// Lays the staves out: their lines, the end bars across all of them, the
// clefs and, for the grand staff, the brace.
void showStaffSystem(StaffSurface& s, const StaffSystem& system);

// The trainer's note in its column: a whole note with its ledger lines,
// its sharp or flat before the head on the line or space of its letter, the
// head in `colour`. With `writeName` the name labels say its name in the
// naming chosen and the large one moves beside the head.
void drawShownNote(
    StaffSurface& s, const StaffSystem& system, SpelledNote note, Rgb colour, bool writeName, NoteNaming naming);

// Wipes the trainer's column on every staff: head, ledger lines and sign.
void eraseShownNote(StaffSurface& s, const StaffSystem& system);

// "DO", "Fa diesis", "Si bemolle", or "C", "F♯", "B♭": a name label's text.
std::string nameLabelText(SpelledNote note, NoteNaming naming);

} // namespace zintaro::staff
