#include "progress/progress_staff.h"

#include "staff/shown_text.h"
#include "staff/staff_pixels.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace zintaro::progress {

namespace {

constexpr double StepHeight = 5.0; // half a line space
constexpr double GrandGap = 20.0; // the treble staff of a grand staff stands this far above the bass one
constexpr double ClefWidth = 56.0;
constexpr double LabelRow = 14.0;
constexpr double Margin = 18.0;
constexpr double WidestColumn = 46.0;

struct StaffLines {
    int low = 2; // steps from middle C of the bottom and top lines
    int high = 10;
};
constexpr StaffLines TrebleLines { 2, 10 };
constexpr StaffLines BassLines { -10, -2 };

bool onTrebleStaff(Clef clef, int step)
{
    return clef == Clef::Treble || (clef == Clef::Grand && step >= 0);
}

// Where a step of the staff lies, from the step-0 line of the bass staff.
class StaffGeometry {
public:
    StaffGeometry(const QRectF& area, const compose::StaffProgress& staff)
        : m_clef(staff.clef)
    {
        int top = staff.clef == Clef::Bass ? BassLines.high : TrebleLines.high;
        int bottom = staff.clef == Clef::Treble ? TrebleLines.low : BassLines.low;
        for (const auto& n : staff.notes) {
            top = std::max(top, stepsFromMiddleC(n.note));
            bottom = std::min(bottom, stepsFromMiddleC(n.note));
        }
        const double topY = area.top() + Margin + (staff.clef == Clef::Grand ? GrandGap : 0.0);
        m_zeroY = topY + top * StepHeight;
        m_left = area.left();
        const double columns = std::max<double>(1.0, double(staff.notes.size()));
        m_column = std::min(WidestColumn, (area.width() - ClefWidth - 12.0) / columns);
        m_labelY = m_zeroY - bottom * StepHeight + Margin;
    }

    double y(int step, bool treble) const
    {
        return m_zeroY - step * StepHeight - (m_clef == Clef::Grand && treble ? GrandGap : 0.0);
    }
    double x(std::size_t column) const { return m_left + ClefWidth + 8.0 + (double(column) + 0.5) * m_column; }
    double columnWidth() const { return m_column; }
    double labelY() const { return m_labelY; }

private:
    Clef m_clef;
    double m_zeroY = 0;
    double m_left = 0;
    double m_column = WidestColumn;
    double m_labelY = 0;
};

void drawLines(QPainter& p, const StaffGeometry& g, StaffLines lines, bool treble, double left, double right)
{
    p.setPen(QPen(Qt::black, 1.0));
    for (int step = lines.low; step <= lines.high; step += 2)
        p.drawLine(QPointF(left, g.y(step, treble)), QPointF(right, g.y(step, treble)));
}

const QImage& trebleClef()
{
    // The program's own picture, registered by its staff library.
    static const QImage clef = staff::pixels::inkOnly(QImage(QStringLiteral(":/zintaro/keysol.png")));
    return clef;
}

void drawTrebleClef(QPainter& p, const StaffGeometry& g, double left)
{
    const double top = g.y(TrebleLines.high, true);
    if (!trebleClef().isNull())
        p.drawImage(QRectF(left + 4, top - 26, 42, 73), trebleClef());
}

void drawBassClef(QPainter& p, const StaffGeometry& g, double left)
{
    const double fLine = g.y(-4, false);
    const double x = left + 10;
    QPainterPath curl;
    curl.moveTo(x + 4, fLine);
    curl.cubicTo(x + 2, fLine - 12, x + 24, fLine - 14, x + 24, fLine - 1);
    curl.cubicTo(x + 24, fLine + 14, x + 12, fLine + 24, x + 1, fLine + 30);
    p.setPen(QPen(Qt::black, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curl);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(x + 5, fLine), 3.6, 3.6);
    // Its two dots on either side of the F line.
    p.drawEllipse(QPointF(x + 31, fLine - 5), 1.9, 1.9);
    p.drawEllipse(QPointF(x + 31, fLine + 5), 1.9, 1.9);
}

void drawBrace(QPainter& p, double top, double bottom, double x)
{
    const double middle = (top + bottom) / 2;
    QPainterPath brace;
    brace.moveTo(x, top);
    brace.cubicTo(x - 9, top + 10, x + 2, middle - 12, x - 7, middle);
    brace.cubicTo(x + 2, middle + 12, x - 9, bottom - 10, x, bottom);
    p.setPen(QPen(Qt::black, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(brace);
}

void drawAccidental(QPainter& p, Accidental accidental, QPointF head)
{
    p.setPen(QPen(Qt::black, 1.1));
    p.setBrush(Qt::NoBrush);
    const double x = head.x() - 15;
    const double y = head.y();
    if (accidental == Accidental::Sharp) {
        p.drawLine(QPointF(x - 2, y - 9), QPointF(x - 2, y + 8));
        p.drawLine(QPointF(x + 2, y - 8), QPointF(x + 2, y + 9));
        p.setPen(QPen(Qt::black, 2.0));
        p.drawLine(QPointF(x - 5, y - 2), QPointF(x + 5, y - 4));
        p.drawLine(QPointF(x - 5, y + 4), QPointF(x + 5, y + 2));
    } else if (accidental == Accidental::Flat) {
        p.drawLine(QPointF(x - 3, y - 12), QPointF(x - 3, y + 4));
        QPainterPath bowl;
        bowl.moveTo(x - 3, y + 4);
        bowl.cubicTo(x + 6, y - 1, x + 4, y - 6, x - 3, y - 1);
        p.drawPath(bowl);
    }
}

QColor colourOf(std::optional<double> share)
{
    const compose::ShareColour c = compose::shareColour(share);
    return { c.red, c.green, c.blue };
}

} // namespace

int staffHeight(const compose::StaffProgress& staff)
{
    int top = staff.clef == Clef::Bass ? BassLines.high : TrebleLines.high;
    int bottom = staff.clef == Clef::Treble ? TrebleLines.low : BassLines.low;
    for (const auto& n : staff.notes) {
        top = std::max(top, stepsFromMiddleC(n.note));
        bottom = std::min(bottom, stepsFromMiddleC(n.note));
    }
    const double height
        = Margin * 2 + (top - bottom) * StepHeight + (staff.clef == Clef::Grand ? GrandGap : 0.0) + LabelRow * 2 + 4;
    return static_cast<int>(std::ceil(height));
}

void paintStaff(QPainter& p, const QRectF& area, const compose::StaffProgress& staff)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (staff.notes.empty()) {
        p.restore();
        return;
    }
    const StaffGeometry g(area, staff);
    const double left = area.left() + 2;
    const double right = g.x(staff.notes.size() - 1) + g.columnWidth() / 2 + 6;
    const bool hasTreble = staff.clef != Clef::Bass;
    const bool hasBass = staff.clef != Clef::Treble;
    if (hasTreble) {
        drawLines(p, g, TrebleLines, true, left, right);
        drawTrebleClef(p, g, left);
    }
    if (hasBass) {
        drawLines(p, g, BassLines, false, left, right);
        drawBassClef(p, g, left);
    }
    if (hasTreble && hasBass) {
        const double top = g.y(TrebleLines.high, true);
        const double bottom = g.y(BassLines.low, false);
        p.setPen(QPen(Qt::black, 1.0));
        p.drawLine(QPointF(left, top), QPointF(left, bottom));
        drawBrace(p, top, bottom, left - 3);
    }

    QFont small = p.font();
    small.setPixelSize(10);
    p.setFont(small);
    // Narrow columns write their times on two rows, so that neighbours never touch.
    const bool staggered = g.columnWidth() < 34.0;
    for (std::size_t i = 0; i < staff.notes.size(); ++i) {
        const compose::NoteProgress& note = staff.notes[i];
        const int step = stepsFromMiddleC(note.note);
        const bool treble = onTrebleStaff(staff.clef, step);
        const StaffLines lines = treble ? TrebleLines : BassLines;
        const double x = g.x(i);
        const double y = g.y(step, treble);

        p.setPen(QPen(Qt::black, 1.0));
        for (int ledger = lines.high + 2; ledger <= step; ledger += 2)
            p.drawLine(QPointF(x - 10, g.y(ledger, treble)), QPointF(x + 10, g.y(ledger, treble)));
        for (int ledger = lines.low - 2; ledger >= step; ledger -= 2)
            p.drawLine(QPointF(x - 10, g.y(ledger, treble)), QPointF(x + 10, g.y(ledger, treble)));

        drawAccidental(p, note.note.accidental, { x, y });
        p.setPen(QPen(QColor(40, 40, 40), 1.0));
        p.setBrush(colourOf(note.share()));
        p.drawEllipse(QPointF(x, y), 6.5, 4.8);

        const QString time
            = note.medianResponseMs ? staff::shown(compose::secondsText(*note.medianResponseMs)) : QStringLiteral("–");
        const double row = staggered && i % 2 == 1 ? LabelRow : 0.0;
        const QRectF label(x - 30, g.labelY() + row, 60, LabelRow);
        p.setPen(note.firstAnswers > 0 ? Qt::black : Qt::gray);
        p.drawText(label, Qt::AlignHCenter | Qt::AlignTop, time);
    }
    p.restore();
}

StaffView::StaffView(compose::StaffProgress staff, QWidget* parent)
    : QWidget(parent)
    , m_staff(std::move(staff))
{
    setMinimumHeight(staffHeight(m_staff));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize StaffView::sizeHint() const
{
    return { 820, staffHeight(m_staff) };
}

void StaffView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintStaff(painter, QRectF(rect()).adjusted(8, 0, -8, 0), m_staff);
}

} // namespace zintaro::progress
