#include "staff/staff_system.h"

#include "staff/staff_signs.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace zintaro::staff {

namespace {

// Steps from middle C of each clef's bottom line: E4 and G2.
constexpr int TrebleBottomLine = 2;
constexpr int BassBottomLine = -10;

// The pictures' proportions, in their own pixels.
constexpr double FlatWidth = 197;
constexpr double FlatHeight = 440;
constexpr double FlatBowlMiddle = 305; // the row of the flat's bowl that sits on the note

// Signs before the head, in units: a sharp spans two and a half spaces
// around its note, narrower than the font draws it for text, so that it is
// no wider than the head; a flat's stem rises a space and a half above its
// bowl.
constexpr double SharpUnits = 25;
constexpr double SharpWidthUnits = 10;
constexpr double FlatUnits = 20;
constexpr int SignGap = 3; // between the sign and the head's ring

int scaled(double units, int scale)
{
    return static_cast<int>(std::lround(units * scale));
}

// Rows a line of `thickness` covers around its y, as the staff lines do.
struct Rows {
    int first, last;
};
Rows rowsAround(int y, int thickness)
{
    const int before = (thickness - 1) / 2;
    return { y - before, y + thickness - 1 - before };
}

} // namespace

int StaffPosition::ledgerLines() const
{
    if (step < 0)
        return -step / 2;
    return step > 8 ? (step - 8) / 2 : 0;
}

StaffPosition staffPositionOf(SpelledNote note, Clef clef)
{
    const int steps = stepsFromMiddleC(note);
    switch (clef) {
    case Clef::Bass:
        return { 0, steps - BassBottomLine };
    case Clef::Grand:
        return steps < 0 ? StaffPosition { 1, steps - BassBottomLine } : StaffPosition { 0, steps - TrebleBottomLine };
    case Clef::Treble:
        break;
    }
    return { 0, steps - TrebleBottomLine };
}

StaffSystem staffSystemFor(Clef clef, int drawScale)
{
    const int scale = std::max(1, drawScale);
    StaffSystem system;
    system.clef = clef;
    system.labelRaise = 3 * scale;
    if (clef != Clef::Grand) {
        system.scale = scale;
        system.bottomLineY = { 80 * scale, 0 };
        system.noteX = 100 * scale;
        return system;
    }
    // The upper staff's top line stays where a single staff's is, so that
    // what is drawn above the staff keeps its room. Two and a half spaces
    // lie between the staves, with the middle C of each: so two ledger lines
    // above the upper staff and two below the lower one still fit.
    const int units = std::max(1, scale * 3 / 5);
    system.scale = units;
    system.staffCount = 2;
    system.bottomLineY[0] = 40 * scale + 40 * units;
    system.bottomLineY[1] = system.bottomLineY[0] + 65 * units;
    system.staffLeft = 16 + 12 * units;
    system.noteX = 100 * units;
    system.labelLeft = system.noteX + 8 * units + 2;
    return system;
}

void showStaffSystem(StaffSurface& s, const StaffSystem& system)
{
    const int scale = system.scale;
    for (int i = 0; i < 5; ++i) {
        const int y = system.topLineY(0) + 10 * scale * i;
        s.placeStaffLine(i, y, y, scale);
    }
    const int last = system.staffCount - 1;
    s.placeStaffLine(5, system.topLineY(0), system.bottomLineY[static_cast<std::size_t>(last)], scale);
    s.placeStaffLine(6, system.topLineY(0), system.bottomLineY[static_cast<std::size_t>(last)], scale);
    for (int i = 0; i < 5; ++i) {
        const int y = system.staffCount == 2 ? system.topLineY(1) + 10 * scale * i : 0;
        s.placeStaffLine(LowerStaffFirstLine + i, y, y, system.staffCount == 2 ? scale : 0);
    }
    s.setStaffLeft(system.staffLeft);

    const StaffSigns signs = staffSignsOf(system);
    for (int staff = 0; staff < 2; ++staff) {
        const SignBox& box = signs.clefs[static_cast<std::size_t>(staff)];
        s.placeClef(staff, signs.clefSigns[static_cast<std::size_t>(staff)], box.left, box.top, box.width, box.height);
    }
    s.placeBrace(signs.brace.left, signs.brace.top, signs.brace.width, signs.brace.height);
}

void drawShownNote(
    StaffSurface& s, const StaffSystem& system, SpelledNote note, Rgb colour, bool writeName, NoteNaming naming)
{
    const StaffPosition position = staffPositionOf(note, system.clef);
    const int scale = system.scale;
    const int x = system.noteX;
    const int y = system.yOf(position);

    // Ledger lines as thick as the staff lines, from the staff out to the note.
    const auto ledger = [&](int step) {
        const Rows rows = rowsAround(system.yOf({ position.staff, step }), scale);
        s.filledRectangle(static_cast<float>(x - 8 * scale), static_cast<float>(rows.first),
            static_cast<float>(x + 8 * scale), static_cast<float>(rows.last), Black);
    };
    for (int step = -2; step >= position.step; step -= 2)
        ledger(step);
    for (int step = 10; step <= position.step; step += 2)
        ledger(step);

    const int signRight = x - 5 * scale - SignGap * scale;
    if (note.accidental == Accidental::Sharp) {
        const int height = scaled(SharpUnits, scale);
        const int width = scaled(SharpWidthUnits, scale);
        s.accidental(Accidental::Sharp, signRight - width, y - height / 2, width, height, Black);
    } else if (note.accidental == Accidental::Flat) {
        const int height = scaled(FlatUnits, scale);
        const int width = scaled(FlatUnits * FlatWidth / FlatHeight, scale);
        s.accidental(Accidental::Flat, signRight - width, y - scaled(FlatUnits * FlatBowlMiddle / FlatHeight, scale),
            width, height, Black);
    }

    s.setForeground(colour);
    s.setFillSolid(false);
    for (int i = 0; i <= scale; ++i)
        s.circle(static_cast<float>(x), static_cast<float>(y), static_cast<float>(4 * scale + i));
    s.setForeground(Black);

    if (writeName)
        s.setNameLabels(nameLabelText(note, naming));
    s.setStaffLabelLeft(system.labelLeft);
    s.setStaffLabelTop(y - system.labelRaise);
}

void eraseShownNote(StaffSurface& s, const StaffSystem& system)
{
    const int scale = system.scale;
    const int bottom = system.bottomLineY[static_cast<std::size_t>(system.staffCount - 1)] + 65 * scale;
    s.filledRectangle(static_cast<float>(system.noteX - 25 * scale), 0, static_cast<float>(system.noteX + 10 * scale),
        static_cast<float>(bottom), White);
}

std::string nameLabelText(SpelledNote note, NoteNaming naming)
{
    std::string name = noteName(note, naming, false);
    // A natural as the label has always written it, in capitals; a name with
    // its accidental as it is spoken.
    if (note.accidental == Accidental::Natural)
        std::transform(name.begin(), name.end(), name.begin(),
            [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return name;
}

} // namespace zintaro::staff
