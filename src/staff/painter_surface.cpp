#include "staff/painter_surface.h"

#include "staff/staff_pixels.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

// The pictures live in a static library, whose resources are not registered
// by themselves; this must run outside any namespace.
static void registerPrintedPictures()
{
    Q_INIT_RESOURCE(zintaro);
}

namespace zintaro::staff {

namespace {

using pixels::inkOnly;
using pixels::pixel;
using pixels::RestTop;
using pixels::StaffLeft;
using pixels::StaffRight;
using pixels::toColour;

constexpr QRect Clef { 16, 24, 42, 73 };

// The area of the pixels from (x1, y1) to (x2, y2), both corners included.
std::optional<QRectF> pixelBox(float x1, float y1, float x2, float y2)
{
    const auto a = pixel(x1), b = pixel(y1), c = pixel(x2), d = pixel(y2);
    if (!a || !b || !c || !d)
        return std::nullopt;
    const auto [left, right] = std::minmax(*a, *c);
    const auto [top, bottom] = std::minmax(*b, *d);
    return QRectF(left, top, right - left + 1, bottom - top + 1);
}

} // namespace

StaffPictures::StaffPictures()
{
    registerPrintedPictures();
    // Four times the size it is drawn at is sharp on paper, and far smaller
    // to embed than the picture as drawn.
    clef = inkOnly(QImage(QStringLiteral(":/zintaro/keysol.png"))
                       .scaled(Clef.size() * 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    rest = QImage(QStringLiteral(":/zintaro/quarter_rest.png"));
}

PainterSurface::PainterSurface(QPainter& painter, const StaffPictures& pictures)
    : m_painter(painter)
    , m_pictures(pictures)
{
    for (int i = 0; i < 5; ++i)
        m_lines[size_t(i)] = { 50 + 10 * i, 50 + 10 * i, 1 };
    m_lines[5] = { 50, 90, 1 };
    m_lines[6] = { 50, 90, 1 };
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void PainterSurface::clear()
{
}

void PainterSurface::setFillSolid(bool solid)
{
    m_fillSolid = solid;
}

void PainterSurface::line(float x1, float y1, float x2, float y2, Rgb colour)
{
    const auto a = pixel(x1), b = pixel(y1), c = pixel(x2), d = pixel(y2);
    if (!a || !b || !c || !d)
        return;
    // Through the pixels' centres, one pixel wide, both end pixels covered.
    m_painter.setPen(QPen(toColour(colour), 1.0, Qt::SolidLine, Qt::SquareCap));
    m_painter.drawLine(QPointF(*a + 0.5, *b + 0.5), QPointF(*c + 0.5, *d + 0.5));
}

void PainterSurface::rectangle(float x1, float y1, float x2, float y2, Rgb colour)
{
    const auto box = pixelBox(x1, y1, x2, y2);
    if (!box)
        return;
    if (m_fillSolid)
        m_painter.fillRect(*box, Qt::black);
    // The outline is the ring of pixels just inside the box.
    m_painter.setPen(QPen(toColour(colour), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(box->adjusted(0.5, 0.5, -0.5, -0.5));
}

void PainterSurface::filledRectangle(float x1, float y1, float x2, float y2, Rgb colour)
{
    if (const auto box = pixelBox(x1, y1, x2, y2))
        m_painter.fillRect(*box, toColour(colour));
}

void PainterSurface::circle(float x, float y, float radius)
{
    const auto cx = pixel(x), cy = pixel(y), r = pixel(radius);
    if (!cx || !cy || !r || *r < 0)
        return;
    const QPointF centre(*cx + 0.5, *cy + 0.5);
    if (m_fillSolid) {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(toColour(m_foreground));
        m_painter.drawEllipse(centre, *r + 0.5, *r + 0.5);
        return;
    }
    m_painter.setPen(QPen(toColour(m_foreground), 1.0));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawEllipse(centre, *r, *r);
}

void PainterSurface::text(int left, int top, int pixelHeight, const std::string& text, Rgb colour)
{
    if (text.empty() || pixelHeight <= 0)
        return;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::min(pixelHeight, 1000));
    m_painter.setFont(font);
    m_painter.setPen(toColour(colour));
    m_painter.drawText(QPointF(left, top + QFontMetricsF(font).ascent()), QString::fromStdString(text));
}

void PainterSurface::restPicture(int left, int top)
{
    m_painter.drawImage(QPoint(left, top), m_pictures.rest);
}

void PainterSurface::placeStaffLine(int element, int y1, int y2, int thickness)
{
    if (element >= 0 && element < StaffLineElements)
        m_lines[size_t(element)] = { y1, y2, std::max(thickness, 0) };
}

// The printed page is the composition's: one treble staff, no trainer signs.
void PainterSurface::accidental(Accidental, int, int, int, int, Rgb)
{
}

void PainterSurface::setStaffLeft(int)
{
}

void PainterSurface::placeClef(int, ClefSign, int, int, int, int)
{
}

void PainterSurface::placeBrace(int, int, int, int)
{
}

void PainterSurface::setStaffLabelLeft(int)
{
}

void PainterSurface::setRestImageVisible(int element, bool visible)
{
    if (element >= 0 && element < RestImages)
        m_restImages[size_t(element)].visible = visible;
}

void PainterSurface::setRestImageLeft(int element, int left)
{
    if (element >= 0 && element < RestImages)
        m_restImages[size_t(element)].left = left;
}

void PainterSurface::setCursorLeft(int)
{
}

void PainterSurface::setNameLabels(const std::string&)
{
}

void PainterSurface::setStaffLabelTop(int)
{
}

void PainterSurface::paintChildren()
{
    for (int i = 0; i < StaffLineElements; ++i) {
        const StaffLine& l = m_lines[size_t(i)];
        if (l.thickness <= 0)
            continue;
        const int before = (l.thickness - 1) / 2;
        // Elements 0..4 and the lower staff's run along the staff; 5 and 6 are its end bars.
        const QRect box = i < 5 || i >= LowerStaffFirstLine
            ? QRect(QPoint(StaffLeft, l.y1 - before), QPoint(StaffRight, l.y2 - before + l.thickness - 1))
            : QRect(QPoint((i == 5 ? StaffLeft : StaffRight) - before, std::min(l.y1, l.y2)),
                QPoint((i == 5 ? StaffLeft : StaffRight) - before + l.thickness - 1, std::max(l.y1, l.y2)));
        m_painter.fillRect(QRectF(box), Qt::black);
    }
    m_painter.drawImage(QRectF(Clef), m_pictures.clef);
    for (const RestImage& image : m_restImages)
        if (image.visible)
            m_painter.drawImage(QPoint(image.left, RestTop), m_pictures.rest);
}

} // namespace zintaro::staff
