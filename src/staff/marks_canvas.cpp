#include "staff/marks_canvas.h"

#include "staff/staff_pixels.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

namespace zintaro::staff {

namespace {

using pixels::CoordinateLimit;
using pixels::pixel;

QRgb toQRgb(Rgb colour)
{
    return pixels::toColour(colour).rgb();
}

// Half the width, in whole pixels, of a circle of radius r at dy rows from its centre.
int halfWidth(int r, int dy)
{
    const double d = double(r) * r - double(dy) * dy;
    return d < 0 ? -1 : int(std::floor(std::sqrt(d) + 0.5));
}

QRect between(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
}

// The corners in whole pixels, left-top first; nothing for a coordinate
// beyond what a pixel can hold.
struct PixelBox {
    int x1, y1, x2, y2;
};
std::optional<PixelBox> pixelBox(float x1, float y1, float x2, float y2)
{
    const auto px1 = pixel(x1), py1 = pixel(y1), px2 = pixel(x2), py2 = pixel(y2);
    if (!px1 || !py1 || !px2 || !py2)
        return std::nullopt;
    return PixelBox { std::min(*px1, *px2), std::min(*py1, *py2), std::max(*px1, *px2), std::max(*py1, *py2) };
}

} // namespace

void MarksCanvas::cover(QSize size)
{
    const QSize wanted = size.expandedTo(m_image.size());
    if (wanted == m_image.size())
        return;
    QImage grown(wanted, QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!m_image.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, m_image);
    }
    m_image = std::move(grown);
}

void MarksCanvas::clear()
{
    m_image.fill(Qt::white);
}

void MarksCanvas::fillSpan(int y, int x1, int x2, QRgb colour)
{
    if (y < 0 || y >= m_image.height())
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, m_image.width() - 1);
    if (x1 > x2)
        return;
    auto* row = reinterpret_cast<QRgb*>(m_image.scanLine(y));
    std::fill(row + x1, row + x2 + 1, colour);
}

void MarksCanvas::fillBox(int x1, int y1, int x2, int y2, QRgb colour)
{
    const int top = std::max(y1, 0);
    const int bottom = std::min(y2, m_image.height() - 1);
    for (int y = top; y <= bottom; ++y)
        fillSpan(y, x1, x2, colour);
}

QRect MarksCanvas::line(float fx1, float fy1, float fx2, float fy2, Rgb colour)
{
    const auto px1 = pixel(fx1), py1 = pixel(fy1), px2 = pixel(fx2), py2 = pixel(fy2);
    if (!px1 || !py1 || !px2 || !py2)
        return {};
    int x = *px1, y = *py1;
    const int x2 = *px2, y2 = *py2;
    const QRgb c = toQRgb(colour);
    const int w = m_image.width(), h = m_image.height();

    // Bresenham, both end pixels included.
    const int dx = std::abs(x2 - x), sx = x < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y), sy = y < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            reinterpret_cast<QRgb*>(m_image.scanLine(y))[x] = c;
        if (x == x2 && y == y2)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return between(*px1, *py1, x2, y2);
}

QRect MarksCanvas::rectangle(float fx1, float fy1, float fx2, float fy2, Rgb colour)
{
    const auto box = pixelBox(fx1, fy1, fx2, fy2);
    if (!box)
        return {};
    const auto [x1, y1, x2, y2] = *box;
    if (m_fillSolid)
        fillBox(x1, y1, x2, y2, toQRgb(Black));
    const QRgb c = toQRgb(colour);
    fillSpan(y1, x1, x2, c);
    fillSpan(y2, x1, x2, c);
    fillBox(x1, y1, x1, y2, c);
    fillBox(x2, y1, x2, y2, c);
    return between(x1, y1, x2, y2);
}

QRect MarksCanvas::filledRectangle(float fx1, float fy1, float fx2, float fy2, Rgb colour)
{
    const auto box = pixelBox(fx1, fy1, fx2, fy2);
    if (!box)
        return {};
    const auto [x1, y1, x2, y2] = *box;
    fillBox(x1, y1, x2, y2, toQRgb(colour));
    return between(x1, y1, x2, y2);
}

QRect MarksCanvas::circle(float fx, float fy, float fradius)
{
    const auto pcx = pixel(fx), pcy = pixel(fy), pr = pixel(fradius);
    if (!pcx || !pcy || !pr || *pr < 0)
        return {};
    const int cx = *pcx, cy = *pcy, r = *pr;
    const QRgb ink = toQRgb(m_foreground);
    const int firstRow = std::max(cy - r, 0);
    const int lastRow = std::min(cy + r, m_image.height() - 1);
    for (int y = firstRow; y <= lastRow; ++y) {
        const int dy = std::abs(y - cy);
        const int outer = halfWidth(r, dy);
        if (m_fillSolid) {
            fillSpan(y, cx - outer, cx + outer, ink);
            continue;
        }
        // The ring on this row reaches inwards to just beyond the row
        // further from the centre, so that the outline stays connected.
        const int inner = std::min(halfWidth(r, dy + 1) + 1, outer);
        fillSpan(y, cx - outer, cx - inner, ink);
        fillSpan(y, cx + inner, cx + outer, ink);
    }
    return between(cx - r, cy - r, cx + r, cy + r);
}

QRect MarksCanvas::text(int left, int top, int pixelHeight, const std::string& text, Rgb colour)
{
    if (text.empty() || pixelHeight <= 0)
        return {};
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::min(pixelHeight, 1000));
    // Hard edges, like every other mark, so pictures are the same everywhere.
    font.setStyleStrategy(QFont::NoAntialias);
    QPainter p(&m_image);
    p.setFont(font);
    p.setPen(QColor(toQRgb(colour)));
    const int limit = int(CoordinateLimit);
    const QRect room(std::clamp(left, -limit, limit), std::clamp(top, -limit, limit), 2 * limit, pixelHeight * 2);
    QRect drawn;
    p.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(text), &drawn);
    return drawn.normalized();
}

QRect MarksCanvas::picture(int left, int top, const QImage& picture)
{
    if (picture.isNull())
        return {};
    QPainter p(&m_image);
    p.drawImage(left, top, picture);
    return QRect(QPoint(left, top), picture.size());
}

} // namespace zintaro::staff
