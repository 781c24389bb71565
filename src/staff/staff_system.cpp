#include "staff/staff_system.h"

#include "staff/staff_signs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace zintaro::staff {

namespace {

// Steps from middle C of each clef's bottom line: E4 and G2.
constexpr int TrebleBottomLine = 2;
constexpr int BassBottomLine = -10;

// The pictures' proportions, in their own pixels.
constexpr double FlatWidth = 197;
constexpr double FlatHeight = 440;
constexpr double FlatBowlMiddle = 305; // the row of the flat's bowl that sits on the note
constexpr double NaturalWidth = 205;
constexpr double NaturalHeight = 495;

// Signs before the head, in units: a sharp spans two and a half spaces
// around its note, narrower than the font draws it for text, so that it is
// no wider than the head; a flat's stem rises a space and a half above its
// bowl.
constexpr double SharpUnits = 25;
constexpr double SharpWidthUnits = 10;
constexpr double FlatUnits = 20;
constexpr double NaturalUnits = 20;
constexpr int SignGap = 3; // between the sign and the head's ring

// The header, in units: it starts a little after the clef, each sign of the
// signature takes a space, the meter's figures a space and a half, and the
// note keeps room for its own sign before it.
constexpr int HeaderGap = 4;
constexpr int SignatureAdvance = 10;
constexpr int MeterFigureWidth = 12; // of one figure of the meter, in the program's lettering
constexpr int NoteRoomAfterHeader = 32;

// The signature's steps above the bottom line of a treble staff; the bass
// staff's stand two steps lower.
constexpr std::array<int, 7> TrebleSharpSteps = { 8, 5, 9, 6, 3, 7, 4 };
constexpr std::array<int, 7> TrebleFlatSteps = { 4, 7, 3, 6, 2, 5, 1 };

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

std::size_t meterFigures(Meter meter)
{
    return std::max(std::to_string(meter.beats).size(), std::to_string(meter.unit).size());
}

int headerWidth(const StaffHeader& header, int scale)
{
    const auto signs = static_cast<int>(signatureLetters(header.key).size());
    const int meter = header.meter ? MeterFigureWidth * static_cast<int>(meterFigures(*header.meter)) + 4 : 0;
    return (signs * SignatureAdvance + meter) * scale;
}

} // namespace

void drawSign(StaffSurface& s, Accidental sign, int right, int y, int scale)
{
    if (sign == Accidental::Sharp) {
        const int height = scaled(SharpUnits, scale);
        const int width = scaled(SharpWidthUnits, scale);
        s.accidental(Accidental::Sharp, right - width, y - height / 2, width, height, Black);
    } else if (sign == Accidental::Flat) {
        const int height = scaled(FlatUnits, scale);
        const int width = scaled(FlatUnits * FlatWidth / FlatHeight, scale);
        s.accidental(Accidental::Flat, right - width, y - scaled(FlatUnits * FlatBowlMiddle / FlatHeight, scale), width,
            height, Black);
    } else {
        const int height = scaled(NaturalUnits, scale);
        const int width = scaled(NaturalUnits * NaturalWidth / NaturalHeight, scale);
        s.accidental(Accidental::Natural, right - width, y - height / 2, width, height, Black);
    }
}

StaffSystem systemWithoutHeader(Clef clef, int drawScale)
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

int clefRight(const StaffSystem& system)
{
    // The treble clef's box is the wider; the grand staff aligns both headers on it.
    const bool treble = system.clef != Clef::Bass;
    return system.staffLeft + (treble ? 42 : 32) * system.scale;
}

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

std::vector<StaffPosition> signaturePositions(Key key, Clef clef)
{
    std::vector<StaffPosition> places;
    const auto& steps = key.fifths >= 0 ? TrebleSharpSteps : TrebleFlatSteps;
    const auto count = signatureLetters(key).size();
    const auto onStaff = [&](int staff, int lower) {
        for (size_t i = 0; i < count; ++i)
            places.push_back({ staff, steps[i] - lower });
    };
    if (clef != Clef::Bass)
        onStaff(0, 0);
    if (clef != Clef::Treble)
        onStaff(clef == Clef::Grand ? 1 : 0, 2);
    return places;
}

StaffSystem staffSystemFor(Clef clef, int drawScale, const StaffHeader& header)
{
    StaffSystem system = systemWithoutHeader(clef, drawScale);
    system.header = header;
    system.headerLeft = clefRight(system) + HeaderGap * system.scale;
    const int shift = std::max(0, headerRight(system) + NoteRoomAfterHeader * system.scale - system.noteX);
    system.noteX += shift;
    system.labelLeft += shift;
    return system;
}

int headerRight(const StaffSystem& system)
{
    return system.headerLeft + headerWidth(system.header, system.scale);
}

void drawStaffHeader(StaffSurface& s, const StaffSystem& system)
{
    const int scale = system.scale;
    const auto places = signaturePositions(system.header.key, system.clef);
    const auto perStaff = signatureLetters(system.header.key).size();
    const Accidental sign = system.header.key.fifths > 0 ? Accidental::Sharp : Accidental::Flat;
    for (size_t i = 0; i < places.size(); ++i) {
        const int x = system.headerLeft + static_cast<int>(i % perStaff) * SignatureAdvance * scale;
        drawSign(s, sign, x + SignatureAdvance * scale, system.yOf(places[i]), scale);
    }
    if (!system.header.meter)
        return;
    const int left = system.headerLeft + static_cast<int>(perStaff) * SignatureAdvance * scale + 2 * scale;
    // Each number fills two spaces of each staff, the beats above the note
    // value, the shorter centred over or under the longer.
    const std::string beats = std::to_string(system.header.meter->beats);
    const std::string unit = std::to_string(system.header.meter->unit);
    const auto leftOf = [&](const std::string& figures) {
        const auto missing = static_cast<int>(meterFigures(*system.header.meter) - figures.size());
        return left + missing * MeterFigureWidth * scale / 2;
    };
    for (int staff = 0; staff < system.staffCount; ++staff) {
        const int top = system.topLineY(staff);
        s.text(leftOf(beats), top - 2 * scale, 24 * scale, Text::verbatim(beats), Black);
        s.text(leftOf(unit), top + 18 * scale, 24 * scale, Text::verbatim(unit), Black);
    }
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

    if (signatureAccidental(system.header.key, note.letter) != note.accidental)
        drawSign(s, note.accidental, x - 5 * scale - SignGap * scale, y, scale);

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
