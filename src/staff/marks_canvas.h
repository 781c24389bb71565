#pragma once

#include "staff/staff_surface.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <string>

namespace zintaro::staff {

// The persistent drawing under the staff's child elements. Drawing is
// pixel-exact and not antialiased: coordinates are rounded to whole pixels,
// rectangles include both corner pixels, and anything beyond the image is
// clipped. Every mark returns the box it touched, empty when nothing was drawn.
class MarksCanvas {
public:
    // Grows the image, never shrinks it, keeping what is drawn.
    void cover(QSize size);
    void clear();
    void setFillSolid(bool solid) { m_fillSolid = solid; }
    void setForeground(Rgb colour) { m_foreground = colour; }

    QRect line(float x1, float y1, float x2, float y2, Rgb colour);
    // Outlined in `colour`, filled black first while the fill is solid.
    QRect rectangle(float x1, float y1, float x2, float y2, Rgb colour);
    QRect filledRectangle(float x1, float y1, float x2, float y2, Rgb colour);
    // In the foreground colour: a ring, or a disc while the fill is solid.
    QRect circle(float x, float y, float radius);
    QRect text(int left, int top, int pixelHeight, const std::string& text, Rgb colour);
    QRect picture(int left, int top, const QImage& picture);

    const QImage& image() const { return m_image; }

private:
    void fillSpan(int y, int x1, int x2, QRgb colour);
    void fillBox(int x1, int y1, int x2, int y2, QRgb colour);

    QImage m_image;
    bool m_fillSolid = false;
    Rgb m_foreground = Black;
};

} // namespace zintaro::staff
