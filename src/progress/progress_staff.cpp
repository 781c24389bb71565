#include "progress/progress_staff.h"

#include "staff/shown_text.h"
#include "staff/sign_pictures.h"
#include "staff/staff_system.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace zintaro::progress {

namespace {

using staff::StaffPosition;
using staff::StaffSystem;

constexpr int GrandGap = 20; // the staves of a grand staff stand this far further apart
constexpr int ClefWidth = 56;
constexpr int LabelRow = 14;
constexpr int Margin = 18;
constexpr double WidestColumn = 46.0;
// Steps from middle C of the bottom lines of the treble (E4) and bass (G2) staves.
constexpr int TrebleBottomLine = 2;
constexpr int BassBottomLine = -10;

int upperBottomLine(Clef clef)
{
    return clef == Clef::Bass ? BassBottomLine : TrebleBottomLine;
}

int lowerBottomLine(Clef clef)
{
    return clef == Clef::Treble ? TrebleBottomLine : BassBottomLine;
}

// The lowest and highest steps from middle C the staff shows: its lines
// and every note of the range.
struct StepRange {
    int bottom = 0;
    int top = 0;
};

StepRange stepRangeOf(const compose::StaffProgress& staff)
{
    StepRange range { lowerBottomLine(staff.clef), upperBottomLine(staff.clef) + 8 };
    for (const auto& n : staff.notes) {
        range.top = std::max(range.top, stepsFromMiddleC(n.note));
        range.bottom = std::min(range.bottom, stepsFromMiddleC(n.note));
    }
    return range;
}

// The staves at the staff library's normal scale (a step is five pixels),
// from the area's top left corner, with room above and below for the
// notes on ledger lines.
StaffSystem staffSystemOf(const compose::StaffProgress& staff)
{
    const StepRange range = stepRangeOf(staff);
    const bool grand = staff.clef == Clef::Grand;
    const int middleC = Margin + (grand ? GrandGap : 0) + range.top * 5;
    StaffSystem system;
    system.clef = staff.clef;
    system.scale = 1;
    system.staffCount = grand ? 2 : 1;
    system.staffLeft = grand ? 12 : 2;
    system.bottomLineY[0] = middleC - upperBottomLine(staff.clef) * 5 - (grand ? GrandGap : 0);
    system.bottomLineY[1] = middleC - BassBottomLine * 5;
    return system;
}

// Where the notes' columns and their times lie.
struct Columns {
    double width = WidestColumn;
    double labelY = 0;

    double x(std::size_t column) const { return ClefWidth + 8.0 + (double(column) + 0.5) * width; }
};

Columns columnsOf(const QRectF& area, const compose::StaffProgress& staff, const StaffSystem& system)
{
    const double count = std::max<double>(1.0, double(staff.notes.size()));
    // The times stand below the lowest note.
    const StaffPosition lowest { system.staffCount - 1, stepRangeOf(staff).bottom - lowerBottomLine(staff.clef) };
    return { std::min(WidestColumn, (area.width() - ClefWidth - 12.0) / count), double(system.yOf(lowest) + Margin) };
}

void drawLines(QPainter& p, const StaffSystem& system, double right)
{
    p.setPen(QPen(Qt::black, 1.0));
    for (int staff = 0; staff < system.staffCount; ++staff)
        for (int line = 0; line < 5; ++line) {
            const double y = system.yOf({ staff, 2 * line });
            p.drawLine(QPointF(system.staffLeft, y), QPointF(right, y));
        }
    if (system.staffCount == 2)
        p.drawLine(QPointF(system.staffLeft, system.topLineY(0)), QPointF(system.staffLeft, system.bottomLineY[1]));
}

void drawLedgerLines(QPainter& p, const StaffSystem& system, StaffPosition at, double x)
{
    p.setPen(QPen(Qt::black, 1.0));
    const int first = at.step < 0 ? -2 : 10;
    const int direction = at.step < 0 ? -2 : 2;
    for (int i = 0; i < at.ledgerLines(); ++i) {
        const double y = system.yOf({ at.staff, first + i * direction });
        p.drawLine(QPointF(x - 10, y), QPointF(x + 10, y));
    }
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
    const StepRange range = stepRangeOf(staff);
    const int height
        = Margin * 2 + (range.top - range.bottom) * 5 + (staff.clef == Clef::Grand ? GrandGap : 0) + LabelRow * 2 + 4;
    return height;
}

void paintStaff(QPainter& p, const QRectF& area, const compose::StaffProgress& staff)
{
    if (staff.notes.empty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(area.topLeft());
    const StaffSystem system = staffSystemOf(staff);
    const Columns columns = columnsOf(area, staff, system);
    drawLines(p, system, columns.x(staff.notes.size() - 1) + columns.width / 2 + 6);
    staff::paintStaffSigns(p, staff::staffSignsOf(system));

    QFont small = p.font();
    small.setPixelSize(10);
    p.setFont(small);
    // Narrow columns write their times on two rows, so that neighbours never touch.
    const bool staggered = columns.width < 34.0;
    for (std::size_t i = 0; i < staff.notes.size(); ++i) {
        const compose::NoteProgress& note = staff.notes[i];
        const StaffPosition at = staff::staffPositionOf(note.note, staff.clef);
        const double x = columns.x(i);
        const double y = system.yOf(at);
        drawLedgerLines(p, system, at, x);

        drawAccidental(p, note.note.accidental, { x, y });
        p.setPen(QPen(QColor(40, 40, 40), 1.0));
        p.setBrush(colourOf(note.share()));
        p.drawEllipse(QPointF(x, y), 6.5, 4.8);

        const QString time = note.medianResponseMs ? secondsShown(*note.medianResponseMs) : QStringLiteral("–");
        const double row = staggered && i % 2 == 1 ? LabelRow : 0.0;
        const QRectF label(x - 30, columns.labelY + row, 60, LabelRow);
        p.setPen(note.firstAnswers > 0 ? Qt::black : Qt::gray);
        p.drawText(label, Qt::AlignHCenter | Qt::AlignTop, time);
    }
    p.restore();
}

QString secondsShown(int64_t ms)
{
    const int64_t tenths = (std::max<int64_t>(ms, 0) + 50) / 100;
    return QStringLiteral("%1 s").arg(QLocale().toString(double(tenths) / 10.0, 'f', 1));
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
