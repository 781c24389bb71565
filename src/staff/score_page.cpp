#include "staff/score_page.h"

#include "staff/score_signs.h"
#include "staff/staff_pixels.h"
#include "staff/staff_system.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

// The pictures live in a static library, whose resources are not registered
// by themselves; this must run outside any namespace.
static void registerScorePictures()
{
    Q_INIT_RESOURCE(zintaro);
}

namespace zintaro::staff {

namespace {

using namespace engraving;

// Vertical room of a system, in staff spaces from its top line: ledger lines
// and flags above, ledger lines, stems and the names below.
constexpr double RoomAbove = 3.5;
constexpr double RoomBelow = 9.5;
constexpr double SystemPitch = 25; // millimetres from one top line to the next
constexpr double TitleTop = 12;
constexpr double TitleHeight = 8;
constexpr double FirstTopOfPage = 30; // below the title
constexpr double TopOfPage = 14;
constexpr double FootOfSystems = ScoreSheet::Height - 14;
constexpr double PageNumberBaseline = ScoreSheet::Height - 8;

// Line weights and shapes, in staff spaces.
constexpr double StaffLineWeight = 0.11;
constexpr double StemWeight = 0.12;
constexpr double LedgerWeight = 0.17;
constexpr double BarWeight = 0.16;
constexpr double FinalBarWeight = 0.5;
constexpr double StemLength = 3.5;
constexpr double StemOffset = 0.56; // from a head's centre to its stem's
constexpr double MiddleLine = 2;
constexpr double NamesTop = 7.9;
constexpr double NamesLetterHeight = 1.35;

// The clef as the window draws it: 7.3 spaces high, its top 1.6 spaces
// above the top line.
constexpr double ClefHeight = 7.3;
constexpr double ClefTop = -1.6;
constexpr double ClefLeft = 0.5;
constexpr double TimeCentre = 4.9;
constexpr double SignatureLeft = 3.9;
constexpr double SignBefore = 1.35; // a sign's drawing stands this far left of the x it is given

const QColor OverfullInk(255, 0, 0);

double firstTopLine(int pageIndex)
{
    return (pageIndex == 0 ? FirstTopOfPage : TopOfPage) + RoomAbove * ScoreSheet::Space;
}

double lastTopLine()
{
    return FootOfSystems - RoomBelow * ScoreSheet::Space;
}

int systemsBetween(double first, double last)
{
    return 1 + static_cast<int>(std::floor((last - first) / SystemPitch));
}

// Staff steps from middle C to spaces below the top line.
double yOfStep(int step)
{
    return 5 - step / 2.0;
}

QPainterPath ellipse(double x, double y, double rx, double ry, double degrees)
{
    QPainterPath shape;
    shape.addEllipse(QPointF(0, 0), rx, ry);
    QTransform t;
    t.translate(x, y);
    t.rotate(degrees);
    return t.map(shape);
}

// Text in the painter's units: fonts take whole pixel sizes, so the letters
// are drawn a hundred times finer and scaled back.
void text(QPainter& p, const QRectF& box, int flags, const QString& words, double letterHeight, bool bold,
    const QString& family = QStringLiteral("Liberation Sans"))
{
    constexpr double Fine = 100;
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(letterHeight * Fine)));
    font.setBold(bold);
    p.save();
    p.scale(1 / Fine, 1 / Fine);
    p.setFont(font);
    p.setPen(Ink);
    p.drawText(QRectF(box.topLeft() * Fine, box.size() * Fine), flags, words);
    p.restore();
}

void staffLines(QPainter& p, double width)
{
    for (int i = 0; i < 5; ++i)
        line(p, 0, i, width, i, StaffLineWeight);
}

// The clef, the key signature's signs a space apart, then the meter.
void header(QPainter& p, const ScoreDocument& d)
{
    if (!d.clef.isNull()) {
        const double height = ClefHeight;
        const double width = height * d.clef.width() / d.clef.height();
        p.drawImage(QRectF(ClefLeft, ClefTop, width, height), d.clef);
    }
    const auto places = signaturePositions(d.key, Clef::Treble);
    for (size_t i = 0; i < places.size(); ++i) {
        // The signs' steps count from the bottom line, E4, two above middle C.
        const double x = SignatureLeft + SignatureSignWidth * static_cast<double>(i) + SignBefore;
        sign(p, d.key.fifths > 0 ? Accidental::Sharp : Accidental::Flat, x, yOfStep(places[i].step + 2));
    }
    const double time = TimeCentre + SignatureSignWidth * static_cast<double>(places.size());
    timeFigures(p, std::to_string(d.meter.beats), time, 1, 2);
    timeFigures(p, std::to_string(d.meter.unit), time, 3, 2);
}

void ledgerLines(QPainter& p, double x, int step)
{
    constexpr double Reach = 0.95;
    for (int t = 0; t >= step; t -= 2)
        line(p, x - Reach, yOfStep(t), x + Reach, yOfStep(t), LedgerWeight);
    for (int t = 12; t <= step; t += 2)
        line(p, x - Reach, yOfStep(t), x + Reach, yOfStep(t), LedgerWeight);
}

// One flag hanging from the top of an up-stem at (0, 0), `length` spaces
// long; a down-stem's flags are its mirror image. A stack of flags uses
// shorter ones above the last, so that white stays between them.
QPainterPath flagShape(double length)
{
    const double k = length / 2.8;
    QPainterPath flag;
    flag.moveTo(0, 0);
    flag.cubicTo(0.1, 0.75 * k, 1.2, 1.15 * k, 0.85, 2.8 * k);
    flag.cubicTo(1.0, 1.65 * k, 0.3, 1.15 * k, 0, 0.5 * k);
    flag.closeSubpath();
    return flag;
}

void note(QPainter& p, const Entry& e, const PlacedEntry& placed)
{
    const double x = placed.x;
    const int step = stepsFromMiddleC(placed.written);
    const double y = yOfStep(step);
    const int code = e.DurationCode;
    ledgerLines(p, x, step);
    if (placed.sign)
        sign(p, *placed.sign, x, y);

    if (code == 0) {
        QPainterPath head = ellipse(x, y, 0.8, 0.5, 0);
        head.addPath(ellipse(x, y, 0.38, 0.27, 55));
        fill(p, head);
        return;
    }
    QPainterPath head = ellipse(x, y, 0.63, 0.44, -20);
    if (code == 1)
        head.addPath(ellipse(x, y, 0.52, 0.2, -32));
    fill(p, head);

    const int flags = std::max(0, code - 2);
    const double length = StemLength + (flags >= 3 ? 0.75 * (flags - 2) : 0);
    const bool up = step < 6;
    const double stemX = up ? x + StemOffset : x - StemOffset;
    const double end = up ? std::min(y - length, MiddleLine) : std::max(y + length, MiddleLine);
    line(p, stemX, y + (up ? -0.15 : 0.15), stemX, end, StemWeight);

    constexpr double FlagPitch = 0.75;
    for (int k = 0; k < flags; ++k) {
        const QPainterPath shape = flagShape(k + 1 == flags ? 2.8 : 1.9);
        QTransform t;
        t.translate(stemX - StemWeight / 2, up ? end + FlagPitch * k : end - FlagPitch * k);
        if (!up)
            t.scale(1, -1);
        fill(p, t.map(shape));
    }
}

void quarterRest(QPainter& p, double x)
{
    QPainterPath r;
    r.moveTo(x - 0.28, 0.5);
    r.lineTo(x - 0.12, 0.42);
    r.lineTo(x + 0.45, 1.25);
    r.cubicTo(x + 0.12, 1.5, x + 0.02, 1.78, x + 0.1, 1.95);
    r.lineTo(x + 0.48, 2.55);
    r.cubicTo(x + 0.05, 2.4, x - 0.22, 2.6, x + 0.08, 3.38);
    r.lineTo(x + 0.0, 3.42);
    r.cubicTo(x - 0.55, 2.95, x - 0.42, 2.2, x + 0.12, 2.3);
    r.lineTo(x - 0.32, 1.72);
    r.cubicTo(x + 0.02, 1.45, x + 0.1, 1.2, x - 0.28, 0.5);
    r.closeSubpath();
    fill(p, r);
}

// Eighth and shorter rests: a slanted stem with a hook per flag.
void flaggedRest(QPainter& p, double x, int flags)
{
    const double top = flags <= 2 ? 1 : 0;
    const double bottom = top + flags + 1;
    const auto stemX = [&](double y) { return x + 0.45 - (y - top) * 0.22; };
    line(p, stemX(top + 0.35), top + 0.35, stemX(bottom), bottom, 0.13);
    for (int k = 0; k < flags; ++k) {
        const double y = top + 0.5 + k;
        const double attach = y - 0.15;
        QPainterPath blob;
        blob.addEllipse(QPointF(stemX(attach) - 0.72, y + 0.02), 0.25, 0.23);
        fill(p, blob);
        QPainterPath swing;
        swing.moveTo(stemX(attach) - 0.8, y + 0.2);
        swing.quadTo(stemX(attach) - 0.2, y + 0.3, stemX(attach), attach);
        p.setPen(pen(0.12, Ink, Qt::RoundCap));
        p.drawPath(swing);
    }
}

void rest(QPainter& p, int code, double x)
{
    switch (code) {
    case 0:
        fill(p, [&] {
            QPainterPath r;
            r.addRect(QRectF(x - 0.6, 1, 1.2, 0.5));
            return r;
        }());
        break;
    case 1:
        fill(p, [&] {
            QPainterPath r;
            r.addRect(QRectF(x - 0.6, 1.5, 1.2, 0.5));
            return r;
        }());
        break;
    case 2:
        quarterRest(p, x);
        break;
    default:
        flaggedRest(p, x, code - 2);
        break;
    }
}

// The dot of a dotted value, right of the head (in the space above a head on
// a line) or of the rest.
void valueDot(QPainter& p, const Entry& e, const PlacedEntry& placed)
{
    double y = 1.5;
    if (e.RestFlag == 0) {
        const int step = stepsFromMiddleC(placed.written);
        y = yOfStep(step) - (step % 2 == 0 ? 0.5 : 0);
    }
    QPainterPath dot;
    dot.addEllipse(QPointF(placed.x + 1.15, y), 0.2, 0.2);
    fill(p, dot);
}

// A tie from a head to the next head at `toX`, bending away from the stems.
void tieArc(QPainter& p, const PlacedEntry& placed, double toX)
{
    const int step = stepsFromMiddleC(placed.written);
    const double side = step < 6 ? 1 : -1;
    const double y = yOfStep(step) + side * 0.6;
    const double from = placed.x + 0.5;
    const double to = toX - 0.5;
    QPainterPath arc;
    arc.moveTo(from, y);
    arc.cubicTo(from + 0.3 * (to - from), y + side * 0.8, to - 0.3 * (to - from), y + side * 0.8, to, y);
    arc.cubicTo(to - 0.3 * (to - from), y + side * 0.6, from + 0.3 * (to - from), y + side * 0.6, from, y);
    fill(p, arc);
}

void bar(QPainter& p, const PlacedBar& b)
{
    const QColor& colour = b.red ? OverfullInk : Ink;
    if (!b.final) {
        line(p, b.x, 0, b.x, 4, BarWeight, colour);
        return;
    }
    line(p, b.x - 0.75, 0, b.x - 0.75, 4, BarWeight, colour);
    p.fillRect(QRectF(b.x - FinalBarWeight, -StaffLineWeight / 2, FinalBarWeight, 4 + StaffLineWeight), colour);
}

void system(QPainter& p, const ScoreDocument& d, const ScoreSystem& s)
{
    staffLines(p, s.width);
    header(p, d);
    for (const PlacedBar& b : s.bars)
        bar(p, b);
    for (std::size_t i = 0; i < s.entries.size(); ++i) {
        const PlacedEntry& placed = s.entries[i];
        const Entry e = d.store.at(placed.position);
        if (e.RestFlag == 0 && !isPianoNote(e.NoteIndex))
            continue;
        if (e.Dotted)
            valueDot(p, e, placed);
        if (e.RestFlag != 0) {
            rest(p, e.DurationCode, placed.x);
            continue;
        }
        note(p, e, placed);
        // The store ends in its marker, so the tie is looked at up to it; a
        // tie over the end of a system runs out to the end of its lines.
        if (tieHolds(d.store, placed.position + 2, placed.position))
            tieArc(p, placed, i + 1 < s.entries.size() ? s.entries[i + 1].x : s.width);
        if (d.names) {
            text(p, QRectF(placed.x - 3, NamesTop, 6, 2 * NamesLetterHeight), Qt::AlignHCenter | Qt::AlignTop,
                QString::fromStdString(nameLabelText(placed.written, d.naming)), NamesLetterHeight, false);
        }
    }
}

} // namespace

ScoreFrame ScoreSheet::frame(bool names)
{
    ScoreFrame f;
    f.systemWidth = (Width - 2 * Margin) / Space;
    f.firstPageSystems = systemsBetween(firstTopLine(0), lastTopLine());
    f.pageSystems = systemsBetween(firstTopLine(1), lastTopLine());
    f.names = names;
    return f;
}

QImage scoreClef()
{
    registerScorePictures();
    const QImage picture = pixels::inkOnly(QImage(QStringLiteral(":/zintaro/keysol.png")));
    if (picture.isNull())
        return {};
    // Only the sides go: the rows keep the clef's place on the lines.
    int left = picture.width(), right = -1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) > 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right < left ? picture : picture.copy(left, 0, right - left + 1, picture.height());
}

void engraveScorePage(QPainter& painter, const ScoreDocument& document, const ScorePage& page, int pageIndex)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (pageIndex == 0)
        text(painter, QRectF(ScoreSheet::Margin, TitleTop, ScoreSheet::Width - 2 * ScoreSheet::Margin, 2 * TitleHeight),
            Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(document.title), TitleHeight, true,
            QStringLiteral("Liberation Serif"));

    const double first = firstTopLine(pageIndex);
    const auto count = static_cast<int>(page.systems.size());
    // A full page spreads its systems down to the foot; the last page keeps
    // them at their usual distance.
    const bool full = pageIndex + 1 < document.pageCount && count > 1;
    const double pitch = full ? (lastTopLine() - first) / (count - 1) : SystemPitch;
    for (int i = 0; i < count; ++i) {
        painter.save();
        painter.translate(ScoreSheet::Margin, first + pitch * i);
        painter.scale(ScoreSheet::Space, ScoreSheet::Space);
        system(painter, document, page.systems[static_cast<size_t>(i)]);
        painter.restore();
    }

    text(painter, QRectF(0, PageNumberBaseline - 4, ScoreSheet::Width, 6), Qt::AlignHCenter | Qt::AlignBottom,
        QStringLiteral("%1 / %2").arg(pageIndex + 1).arg(document.pageCount), 3.5, false);
    painter.restore();
}

} // namespace zintaro::staff
