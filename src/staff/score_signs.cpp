#include "staff/score_signs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>

namespace zintaro::staff::engraving {

QPen pen(double weight, const QColor& colour, Qt::PenCapStyle cap)
{
    QPen p(colour, weight);
    p.setCapStyle(cap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void line(QPainter& p, double x1, double y1, double x2, double y2, double weight, const QColor& colour)
{
    p.setPen(pen(weight, colour));
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void fill(QPainter& p, const QPainterPath& path)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
}

namespace {

void sharp(QPainter& p, double x, double y)
{
    const double c = x - 1.35;
    line(p, c - 0.22, y - 1.2, c - 0.22, y + 1.4, 0.11);
    line(p, c + 0.22, y - 1.4, c + 0.22, y + 1.2, 0.11);
    // Two thick bars rising to the right, half a space either side of the note.
    for (const double at : { -0.5, 0.5 }) {
        const double mid = y + at;
        QPainterPath bar;
        bar.moveTo(c - 0.5, mid + 0.28);
        bar.lineTo(c + 0.5, mid + 0.04);
        bar.lineTo(c + 0.5, mid - 0.28);
        bar.lineTo(c - 0.5, mid - 0.04);
        bar.closeSubpath();
        fill(p, bar);
    }
}

// Two thin stems, the left rising above the note and the right falling
// below it, joined by two thick bars rising to the right.
void natural(QPainter& p, double x, double y)
{
    const double c = x - 1.3;
    constexpr double Half = 0.3;
    line(p, c - Half, y - 1.5, c - Half, y + 0.62, 0.12);
    line(p, c + Half, y - 0.62, c + Half, y + 1.5, 0.12);
    for (const double at : { -0.4, 0.4 }) {
        const double mid = y + at;
        QPainterPath bar;
        bar.moveTo(c - Half, mid + 0.2);
        bar.lineTo(c + Half, mid + 0.02);
        bar.lineTo(c + Half, mid - 0.22);
        bar.lineTo(c - Half, mid - 0.04);
        bar.closeSubpath();
        fill(p, bar);
    }
}

// A stem rising a space and a half above the note and a bowl on its line or space.
void flat(QPainter& p, double x, double y)
{
    const double c = x - 1.3;
    constexpr double Stem = 0.3;
    line(p, c - Stem, y - 1.9, c - Stem, y + 0.5, 0.12);
    QPainterPath bowl;
    bowl.moveTo(c - Stem, y + 0.5);
    bowl.cubicTo(c + 0.75, y - 0.05, c + 0.55, y - 0.85, c - Stem, y - 0.3);
    bowl.lineTo(c - Stem, y - 0.08);
    bowl.cubicTo(c + 0.3, y - 0.55, c + 0.4, y - 0.1, c - Stem, y + 0.3);
    bowl.closeSubpath();
    fill(p, bowl);
}

// The digits of the time signature, bold serif, as shapes: the time
// signature is music, not words to be found in the text. Each is made once,
// as outlining a letter is slow beside drawing it.
const QPainterPath& digitShape(char digit)
{
    static const std::array<QPainterPath, 10> shapes = [] {
        std::array<QPainterPath, 10> all;
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPixelSize(100);
        font.setBold(true);
        for (int d = 0; d < 10; ++d)
            all[static_cast<size_t>(d)].addText(0, 0, font, QString(QChar('0' + d)));
        return all;
    }();
    return shapes[static_cast<size_t>(std::clamp(digit - '0', 0, 9))];
}

} // namespace

void timeFigures(QPainter& p, const std::string& figures, double x, double y, double height)
{
    // Side by side at their own advance, then the number centred as one shape.
    QPainterPath number;
    double advance = 0;
    for (const char c : figures) {
        const QPainterPath& digit = digitShape(c);
        number.addPath(digit.translated(advance - digit.boundingRect().left(), 0));
        advance += digit.boundingRect().width() * 1.08;
    }
    const QRectF bounds = number.boundingRect();
    if (bounds.isEmpty())
        return;
    // Every figure is as high as a 4, whatever its own shape.
    const double scale = height / digitShape('4').boundingRect().height();
    QTransform t;
    t.translate(x, y);
    t.scale(scale, scale);
    t.translate(-bounds.center().x(), -digitShape('4').boundingRect().center().y());
    fill(p, t.map(number));
}

void sign(QPainter& p, Accidental accidental, double x, double y)
{
    if (accidental == Accidental::Sharp)
        sharp(p, x, y);
    else if (accidental == Accidental::Flat)
        flat(p, x, y);
    else
        natural(p, x, y);
}

} // namespace zintaro::staff::engraving
