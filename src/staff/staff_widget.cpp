#include "staff/staff_widget.h"

#include "staff/staff_pixels.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <optional>

// The pictures live in a static library, whose resources are not registered
// by themselves; this must run outside any namespace.
static void registerStaffPictures()
{
    Q_INIT_RESOURCE(zintaro);
}

namespace zintaro::staff {

namespace {

using pixels::CoordinateLimit;
using pixels::inkOnly;
using pixels::pixel;
using pixels::RestTop;
using pixels::StaffLeft;
using pixels::StaffRight;

constexpr QRect CursorAtStart { 80, 16, 1, 113 };
constexpr QRect StaffLabelAtStart { 544, 8, 65, 33 };
// The enlarged layout of the reading trainer: the image is at least this
// large so that nothing drawn there is lost when the widget grows.
constexpr QSize LargestLayout { 1257, 600 };
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

} // namespace

StaffWidget::StaffWidget(QWidget* parent)
    : QWidget(parent)
{
    registerStaffPictures();
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_clefPicture = QImage(QStringLiteral(":/zintaro/keysol.png"));
    m_restPicture = QImage(QStringLiteral(":/zintaro/quarter_rest.png"));
    m_restPixmap = QPixmap::fromImage(m_restPicture);
    setClefGeometry(m_clef.top(), m_clef.width(), m_clef.height());

    for (int i = 0; i < 5; ++i)
        m_lines[i] = { StaffLeft, 50 + 10 * i, StaffRight, 50 + 10 * i, 1 };
    m_lines[5] = { StaffLeft, 50, StaffLeft, 90, 1 };
    m_lines[6] = { StaffRight, 50, StaffRight, 90, 1 };

    // The window starts with two rest images: element 0 at (16, 0), element 1 at (0, 0).
    m_restImages = { RestImage { { StaffLeft, 0 }, false }, RestImage { { 0, 0 }, false } };
    m_cursorLeft = CursorAtStart.left();

    m_staffLabel = new QLabel(this); // owned by this widget as its Qt parent
    m_staffLabel->setObjectName(QStringLiteral("Lab2"));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(20.25);
    font.setBold(true);
    m_staffLabel->setFont(font);
    // No background of its own: the label stands beside the note at the
    // note's height, and a filled box would cut the staff line it sits on.
    m_staffLabel->setAutoFillBackground(false);
    m_staffLabel->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = m_staffLabel->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    m_staffLabel->setPalette(palette);
    m_staffLabel->setGeometry(StaffLabelAtStart);
    m_staffLabel->hide();

    ensureMarksCover(LargestLayout);
}

StaffWidget::~StaffWidget() = default;

void StaffWidget::ensureMarksCover(QSize size)
{
    const QSize wanted = size.expandedTo(m_marks.size()).expandedTo(LargestLayout);
    if (wanted == m_marks.size())
        return;
    QImage grown(wanted, QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!m_marks.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, m_marks);
    }
    m_marks = std::move(grown);
}

void StaffWidget::resizeEvent(QResizeEvent* event)
{
    ensureMarksCover(size());
    QWidget::resizeEvent(event);
}

void StaffWidget::touched(int x1, int y1, int x2, int y2)
{
    const QRect r = QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized() & rect();
    if (!r.isEmpty())
        update(r);
}

void StaffWidget::fillSpan(int y, int x1, int x2, QRgb colour)
{
    if (y < 0 || y >= m_marks.height())
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, m_marks.width() - 1);
    if (x1 > x2)
        return;
    auto* row = reinterpret_cast<QRgb*>(m_marks.scanLine(y));
    std::fill(row + x1, row + x2 + 1, colour);
}

void StaffWidget::fillBox(int x1, int y1, int x2, int y2, QRgb colour)
{
    const int top = std::max(y1, 0);
    const int bottom = std::min(y2, m_marks.height() - 1);
    for (int y = top; y <= bottom; ++y)
        fillSpan(y, x1, x2, colour);
}

void StaffWidget::clear()
{
    m_marks.fill(Qt::white);
    update();
}

void StaffWidget::setFillSolid(bool solid)
{
    m_fillSolid = solid;
}

void StaffWidget::line(float fx1, float fy1, float fx2, float fy2, Rgb colour)
{
    const auto px1 = pixel(fx1), py1 = pixel(fy1), px2 = pixel(fx2), py2 = pixel(fy2);
    if (!px1 || !py1 || !px2 || !py2)
        return;
    int x = *px1, y = *py1;
    const int x2 = *px2, y2 = *py2;
    const QRgb c = toQRgb(colour);
    const int w = m_marks.width(), h = m_marks.height();

    // Bresenham, both end pixels included.
    const int dx = std::abs(x2 - x), sx = x < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y), sy = y < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            reinterpret_cast<QRgb*>(m_marks.scanLine(y))[x] = c;
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
    touched(*px1, *py1, x2, y2);
}

void StaffWidget::rectangle(float fx1, float fy1, float fx2, float fy2, Rgb colour)
{
    const auto px1 = pixel(fx1), py1 = pixel(fy1), px2 = pixel(fx2), py2 = pixel(fy2);
    if (!px1 || !py1 || !px2 || !py2)
        return;
    const auto [x1, x2] = std::minmax(*px1, *px2);
    const auto [y1, y2] = std::minmax(*py1, *py2);
    if (m_fillSolid)
        fillBox(x1, y1, x2, y2, toQRgb(Black));
    const QRgb c = toQRgb(colour);
    fillSpan(y1, x1, x2, c);
    fillSpan(y2, x1, x2, c);
    fillBox(x1, y1, x1, y2, c);
    fillBox(x2, y1, x2, y2, c);
    touched(x1, y1, x2, y2);
}

void StaffWidget::filledRectangle(float fx1, float fy1, float fx2, float fy2, Rgb colour)
{
    const auto px1 = pixel(fx1), py1 = pixel(fy1), px2 = pixel(fx2), py2 = pixel(fy2);
    if (!px1 || !py1 || !px2 || !py2)
        return;
    const auto [x1, x2] = std::minmax(*px1, *px2);
    const auto [y1, y2] = std::minmax(*py1, *py2);
    fillBox(x1, y1, x2, y2, toQRgb(colour));
    touched(x1, y1, x2, y2);
}

void StaffWidget::setForeground(Rgb colour)
{
    m_foreground = colour;
}

void StaffWidget::circle(float fx, float fy, float fradius)
{
    const auto pcx = pixel(fx), pcy = pixel(fy), pr = pixel(fradius);
    if (!pcx || !pcy || !pr || *pr < 0)
        return;
    const int cx = *pcx, cy = *pcy, r = *pr;
    const QRgb ink = toQRgb(m_foreground);
    const int firstRow = std::max(cy - r, 0);
    const int lastRow = std::min(cy + r, m_marks.height() - 1);
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
    touched(cx - r, cy - r, cx + r, cy + r);
}

void StaffWidget::text(int left, int top, int pixelHeight, const std::string& text, Rgb colour)
{
    if (text.empty() || pixelHeight <= 0)
        return;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::min(pixelHeight, 1000));
    // Hard edges, like every other mark, so pictures are the same everywhere.
    font.setStyleStrategy(QFont::NoAntialias);
    const QString line = QString::fromStdString(text);
    QRect drawn;
    {
        QPainter p(&m_marks);
        p.setFont(font);
        p.setPen(QColor(toQRgb(colour)));
        const int limit = int(CoordinateLimit);
        const QRect room(std::clamp(left, -limit, limit), std::clamp(top, -limit, limit), 2 * limit, pixelHeight * 2);
        p.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line, &drawn);
    }
    touched(drawn.left(), drawn.top(), drawn.right(), drawn.bottom());
}

void StaffWidget::restPicture(int left, int top)
{
    if (m_restPicture.isNull())
        return;
    {
        QPainter p(&m_marks);
        p.drawImage(left, top, m_restPicture);
    }
    touched(left, top, left + m_restPicture.width() - 1, top + m_restPicture.height() - 1);
}

QRect StaffWidget::staffLineRect(const StaffLine& l) const
{
    const int before = (l.thickness - 1) / 2;
    const int after = l.thickness - 1 - before;
    if (l.y1 == l.y2)
        return QRect(QPoint(std::min(l.x1, l.x2), l.y1 - before), QPoint(std::max(l.x1, l.x2), l.y1 + after));
    if (l.x1 == l.x2)
        return QRect(QPoint(l.x1 - before, std::min(l.y1, l.y2)), QPoint(l.x1 + after, std::max(l.y1, l.y2)));
    return QRect(QPoint(l.x1, l.y1), QPoint(l.x2, l.y2)).normalized().adjusted(-before, -before, after, after);
}

void StaffWidget::placeStaffLine(int element, int y1, int y2, int thickness)
{
    if (element < 0 || element >= StaffLineElements)
        return;
    StaffLine& l = m_lines[size_t(element)];
    const QRect before = staffLineRect(l);
    l.y1 = y1;
    l.y2 = y2;
    l.thickness = std::max(thickness, 1);
    update(before | staffLineRect(l));
}

QRect StaffWidget::restImageRect(int element) const
{
    return QRect(m_restImages[size_t(element)].topLeft, m_restPicture.size());
}

void StaffWidget::setRestImageVisible(int element, bool visible)
{
    if (element < 0 || element >= restImageCount() || m_restImages[size_t(element)].visible == visible)
        return;
    m_restImages[size_t(element)].visible = visible;
    update(restImageRect(element));
}

void StaffWidget::setRestImageLeft(int element, int left)
{
    if (element < 0 || element >= restImageCount())
        return;
    const QRect before = restImageRect(element);
    m_restImages[size_t(element)].topLeft.setX(left);
    if (m_restImages[size_t(element)].visible)
        update(before | restImageRect(element));
}

void StaffWidget::createRestImages()
{
    for (RestImage& image : m_restImages)
        image.topLeft.setY(RestTop);
    const RestImage pattern { m_restImages.front().topLeft, false };
    while (restImageCount() < RestImages)
        m_restImages.push_back(pattern);
    update();
}

QRect StaffWidget::cursorRect() const
{
    return QRect(m_cursorLeft, CursorAtStart.top(), 1, CursorAtStart.height());
}

void StaffWidget::setCursorLeft(int left)
{
    const QRect before = cursorRect();
    m_cursorLeft = left;
    if (m_cursorVisible)
        update(before | cursorRect());
}

void StaffWidget::setCursorVisible(bool visible)
{
    m_cursorVisible = visible;
    update(cursorRect());
}

void StaffWidget::setNameLabels(const std::string& text)
{
    const QString caption = QString::fromStdString(text);
    if (m_switchLabel)
        m_switchLabel->setText(caption);
    m_staffLabel->setText(caption);
}

void StaffWidget::setStaffLabelTop(int top)
{
    m_staffLabel->move(m_staffLabel->x(), top);
}

void StaffWidget::setStaffLabelVisible(bool visible)
{
    m_staffLabel->setVisible(visible);
}

void StaffWidget::setSwitchNameLabel(QLabel* label)
{
    m_switchLabel = label;
}

QRect StaffWidget::clefRect() const
{
    return m_clef;
}

void StaffWidget::setClefGeometry(int top, int width, int height)
{
    const QRect before = m_clef;
    m_clef = QRect(StaffLeft, top, std::max(width, 0), std::max(height, 0));
    m_clefScaled = m_clef.isEmpty() || m_clefPicture.isNull()
        ? QPixmap()
        : QPixmap::fromImage(
            inkOnly(m_clefPicture.scaled(m_clef.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    update(before | m_clef);
}

QImage StaffWidget::renderToImage()
{
    return grab().toImage();
}

void StaffWidget::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect();
    QPainter p(this);
    p.drawImage(area.topLeft(), m_marks, area);

    for (const StaffLine& l : m_lines) {
        const QRect r = staffLineRect(l);
        if (!r.intersects(area))
            continue;
        if (l.x1 == l.x2 || l.y1 == l.y2) {
            p.fillRect(r, Qt::black);
        } else {
            p.setPen(QPen(Qt::black, l.thickness));
            p.drawLine(l.x1, l.y1, l.x2, l.y2);
        }
    }
    if (!m_clefScaled.isNull() && m_clef.intersects(area))
        p.drawPixmap(m_clef.topLeft(), m_clefScaled);
    for (int i = 0; i < restImageCount(); ++i)
        if (m_restImages[size_t(i)].visible && restImageRect(i).intersects(area))
            p.drawPixmap(m_restImages[size_t(i)].topLeft, m_restPixmap);
    if (m_cursorVisible && cursorRect().intersects(area))
        p.fillRect(cursorRect(), QColor(0, 0, 255));
}

} // namespace zintaro::staff
