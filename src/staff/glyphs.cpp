#include "staff/staff.h"

#include <array>
#include <utility>

namespace zintaro::staff {

namespace {

// Stems stand on the grid of the window layout, ten pixels below the heads,
// and keep their pixel size at every scale.
void drawStem(StaffSurface& s, int16_t step, int centre)
{
    const auto x = static_cast<float>(centre);
    const auto n5 = static_cast<float>(5 * step);
    if (step >= 7)
        s.rectangle(x - 5, 100 - n5, x - 4, 130 - n5, Black);
    else
        s.rectangle(x + 4, 100 - n5, x + 5, 70 - n5, Black);
}

void dot(StaffSurface& s, int x, int y)
{
    s.circle(static_cast<float>(x), static_cast<float>(y), 2);
}

void stroke(StaffSurface& s, int x1, int y1, int x2, int y2)
{
    s.line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2), static_cast<float>(y2), Black);
}

} // namespace

void drawHead(const Look& look, StaffSurface& s, int16_t note, int16_t column, bool filled, Rgb colour)
{
    const int step = notePosition(look, s, note);
    const int scale = look.scale;
    const int centre = columnGrid(look).centre(column);
    const auto x = static_cast<float>(centre * scale);
    const auto y = static_cast<float>((90 - 5 * step) * scale);

    s.setForeground(colour);
    if (filled) {
        s.setFillSolid(true);
        s.circle(x, y, static_cast<float>(4 * scale));
    } else {
        s.setFillSolid(false);
        for (int i = 0; i <= scale; ++i) {
            s.circle(x, y, static_cast<float>(4 * scale + i));
            s.setStaffLabelTop((87 - 5 * step) * scale);
        }
    }
    s.setForeground(Black);

    const auto left = static_cast<float>((centre - 8) * scale);
    const auto right = static_cast<float>((centre + 8) * scale);
    // Below the staff: every even step from the note's up to middle C, lowest first.
    if (step <= 0) {
        for (int t = step + (step % 2 != 0 ? 1 : 0); t <= 0; t += 2)
            s.rectangle(
                left, static_cast<float>((90 - 5 * t) * scale), right, static_cast<float>((91 - 5 * t) * scale), Black);
    }
    // Above the staff the lines are 0.8 high, centred on steps 12, 14 and 16.
    if (step > 11) {
        for (int i = 1; i <= step - 11; i += 2)
            s.rectangle(left, static_cast<float>((34.6 - 5 * i) * scale), right,
                static_cast<float>((35.4 - 5 * i) * scale), Black);
    }
}

namespace {

void drawFlag(StaffSurface& s, int16_t step, int centre, int k)
{
    const int x = centre;
    const int n5 = 5 * step;
    if (step < 7) {
        const int a = 70 + 6 * (k - 1);
        for (int j = 0; j < 3; ++j)
            stroke(s, x + 4, a + j - n5, x + 12, a + 8 + j - n5);
    } else {
        const int b = 130 - 6 * (k - 1);
        stroke(s, x - 5, b - n5, x + 3, b - 8 - n5);
        stroke(s, x - 5, b + 1 - n5, x + 3, b - 7 - n5);
        stroke(s, x - 5, b + 1 - n5, x + 3, b - 6 - n5);
    }
}

} // namespace

void drawWhole(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column)
{
    if (isRest != 0) {
        const auto x = static_cast<float>(columnGrid(look).centre(column));
        s.filledRectangle(x - 5, 60, x + 5, 65, Black);
        return;
    }
    drawHead(look, s, note, column, false);
}

void drawHalf(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column)
{
    if (isRest != 0) {
        const auto x = static_cast<float>(columnGrid(look).centre(column));
        s.filledRectangle(x - 5, 65, x + 5, 70, Black);
        return;
    }
    drawHead(look, s, note, column, false);
    drawStem(s, writtenStep(look, note), columnGrid(look).centre(column));
}

void drawQuarter(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column)
{
    if (isRest != 0) {
        const int left = columnGrid(look).centre(column) - 3;
        // Each column has its own image, so writing over the column can hide it.
        if (column >= 0 && column < RestImages) {
            s.setRestImageVisible(column, true);
            s.setRestImageLeft(column, left);
        } else {
            s.restPicture(left, 61);
        }
        return;
    }
    drawHead(look, s, note, column, true);
    drawStem(s, writtenStep(look, note), columnGrid(look).centre(column));
}

namespace {

// The rests from the eighth down: one dot per flag, stepping down and to the
// left, then two strokes from the top right to the foot.
struct ShortRest {
    int top; // y of the first dot and of the strokes' upper end
    int bottom; // y of the strokes' lower end
    int foot; // x of the first stroke's lower end, from the column's centre
};
constexpr std::array<ShortRest, 4> ShortRests = { { { 70, 82, 1 }, { 65, 85, -1 }, { 55, 85, -4 }, { 55, 95, -7 } } };

void drawShortRest(StaffSurface& s, int centre, int flags)
{
    const ShortRest& r = ShortRests[flags - 1];
    const int x0 = centre;
    s.setFillSolid(true);
    for (int k = 0; k < flags; ++k)
        dot(s, x0 - 3 * k, r.top + 10 * k);
    stroke(s, x0 + 5, r.top, x0 + r.foot, r.bottom);
    stroke(s, x0 + 4, r.top, x0 + r.foot - 1, r.bottom);
}

// A note with flags is a quarter note with one flag per halving; its rest
// is the short rest with as many dots.
void drawFlagged(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column, int flags)
{
    const int centre = columnGrid(look).centre(column);
    if (isRest != 0) {
        drawShortRest(s, centre, flags);
        return;
    }
    drawQuarter(look, s, 0, note, column);
    for (int k = 1; k <= flags; ++k)
        drawFlag(s, writtenStep(look, note), centre, k);
}

} // namespace

void drawEighth(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column)
{
    drawFlagged(look, s, isRest, note, column, 1);
}

void drawSixteenth(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column)
{
    drawFlagged(look, s, isRest, note, column, 2);
}

void drawThirtySecond(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column)
{
    drawFlagged(look, s, isRest, note, column, 3);
}

void drawSixtyFourth(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column)
{
    drawFlagged(look, s, isRest, note, column, 4);
}

void drawGlyph(const Look& look, StaffSurface& s, int16_t duration, int16_t isRest, int16_t note, int16_t column)
{
    switch (duration) {
    case 0:
        drawWhole(look, s, isRest, note, column);
        break;
    case 1:
        drawHalf(look, s, isRest, note, column);
        break;
    case 2:
        drawQuarter(look, s, isRest, note, column);
        break;
    case 3:
        drawEighth(look, s, isRest, note, column);
        break;
    case 4:
        drawSixteenth(look, s, isRest, note, column);
        break;
    case 5:
        drawThirtySecond(look, s, isRest, note, column);
        break;
    case 6:
        drawSixtyFourth(look, s, isRest, note, column);
        break;
    default:
        break;
    }
}

void drawDot(const Look& look, StaffSurface& s, int16_t isRest, int16_t note, int16_t column)
{
    const int scale = look.scale;
    const int centre = columnGrid(look).centre(column);
    int y = 65;
    if (isRest == 0) {
        const int step = writtenStep(look, note);
        // A head on a line has its dot in the space above.
        y = 90 - 5 * step - (step % 2 == 0 ? 5 : 0);
    }
    s.setFillSolid(true);
    s.circle(static_cast<float>((centre + 8) * scale), static_cast<float>(y * scale), static_cast<float>(1.5 * scale));
}

void drawTie(const Look& look, StaffSurface& s, int16_t note, int16_t column)
{
    const ColumnGrid grid = columnGrid(look);
    const int scale = look.scale;
    const int step = writtenStep(look, note);
    const double from = grid.centre(column) + 4;
    const double to = column + 1 < StaffColumns ? grid.centre(column + 1) - 4 : grid.centre(column) + grid.pitch;
    // The arc bends away from the stems: below the heads whose stems rise.
    const double side = step < 7 ? 1 : -1;
    const double y = 90 - 5 * step + side * 6;
    constexpr int Segments = 8;
    for (int i = 0; i < Segments; ++i) {
        const auto at = [&](int k) {
            const double t = static_cast<double>(k) / Segments;
            return std::pair { (from + (to - from) * t) * scale, (y + side * 4 * t * (1 - t) * 2) * scale };
        };
        const auto [x1, y1] = at(i);
        const auto [x2, y2] = at(i + 1);
        s.line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2), static_cast<float>(y2), Black);
    }
}

} // namespace zintaro::staff
