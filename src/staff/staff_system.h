#pragma once

#include "core/key_meter.h"
#include "staff/staff_surface.h"

#include <array>
#include <optional>
#include <vector>

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

// The places of a key signature's signs in the order they are written, on
// every staff of a clef (the grand staff's upper staff first), at their
// customary heights: on the treble staff sharps F5 C5 G5 D5 A4 E5 B4 and
// flats B4 E5 A4 D5 G4 C5 F4, on the bass staff the same an octave lower.
std::vector<StaffPosition> signaturePositions(Key key, Clef clef);

// What stands between the clef and the music: the key signature, and the
// meter where one is shown (the first line of a piece).
struct StaffHeader {
    Key key;
    std::optional<Meter> meter;
};

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
    StaffHeader header;
    int headerLeft = 0; // where the key signature begins

    int topLineY(int staff) const { return bottomLineY[static_cast<std::size_t>(staff)] - 40 * scale; }
    int yOf(StaffPosition p) const { return bottomLineY[static_cast<std::size_t>(p.staff)] - 5 * scale * p.step; }
    ClefSign signOf(int staff) const
    {
        return clef == Clef::Bass || (clef == Clef::Grand && staff == 1) ? ClefSign::F : ClefSign::G;
    }
};

// The trainer's note moves right as far as the header needs; with neither
// signs nor meter it keeps its place.
StaffSystem staffSystemFor(Clef clef, int drawScale, const StaffHeader& header = {});

// Where the header ends: at its left edge when it shows nothing.
int headerRight(const StaffSystem& system);

// Draws the key signature and the meter after the clefs, as marks.
void drawStaffHeader(StaffSurface& s, const StaffSystem& system);

// Lays the staves out: their lines, the end bars across all of them, the
// clefs and, for the grand staff, the brace.
void showStaffSystem(StaffSurface& s, const StaffSystem& system);

// The trainer's note in its column: a whole note with its ledger lines,
// its sign before the head on the line or space of its letter where the key
// signature does not give it (a natural sign where the signature alters the
// letter), the head in `colour`. With `writeName` the name labels say its name in the
// naming chosen and the large one moves beside the head.
void drawShownNote(
    StaffSurface& s, const StaffSystem& system, SpelledNote note, Rgb colour, bool writeName, NoteNaming naming);

// A sharp, flat or natural whose right edge stands at `right`, on the line
// or space at `y`, at a drawing scale.
void drawSign(StaffSurface& s, Accidental sign, int right, int y, int scale);

// Wipes the trainer's column on every staff: head, ledger lines and sign.
void eraseShownNote(StaffSurface& s, const StaffSystem& system);

// "DO", "Fa diesis", "Si bemolle", or "C", "F♯", "B♭": a name label's text.
std::string nameLabelText(SpelledNote note, NoteNaming naming);

} // namespace zintaro::staff
