#pragma once

#include "staff/staff_surface.h"

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <optional>

// What the staff's two painted surfaces (the window's widget and the printed
// page) share: the staff's geometry at the normal scale and how a drawing
// coordinate becomes a pixel.
namespace zintaro::staff::pixels {

inline constexpr int StaffLeft = 16;
inline constexpr int StaffRight = 1226;
inline constexpr int RestTop = 61;
// Far beyond any picture; keeps integer arithmetic on wild inputs safe.
inline constexpr float CoordinateLimit = 1 << 20;

inline QColor toColour(Rgb colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// A coordinate rounded to a whole pixel; none for a value that is not a
// finite number.
inline std::optional<int> pixel(float v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return int(std::lround(std::clamp(v, -CoordinateLimit, CoordinateLimit)));
}

// The picture's white made see-through, so the staff lines run through the
// clef as on printed music; grey edges keep their share of ink.
inline QImage inkOnly(const QImage& picture)
{
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] = qRgba(0, 0, 0, 255 - qGray(row[x]));
    }
    return out;
}

} // namespace zintaro::staff::pixels
