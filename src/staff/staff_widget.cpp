#include "staff/staff_widget.h"

#include "staff/shown_text.h"
#include "staff/sign_pictures.h"
#include "staff/staff_pixels.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
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
using pixels::RestTop;
using pixels::StaffLeft;
using pixels::StaffRight;

constexpr QRect CursorAtStart { 80, 16, 1, 113 };
constexpr QRect StaffLabelAtStart { 544, 8, 65, 33 };
// The enlarged layout of the reading trainer: the image is at least this
// large so that nothing drawn there is lost when the widget grows.
constexpr QSize LargestLayout { 1257, 600 };

} // namespace

StaffWidget::StaffWidget(QWidget* parent)
    : QWidget(parent)
{
    registerStaffPictures();
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_clefPicture = staff::clefPicture(ClefSign::G);
    m_bassClefPicture = staff::clefPicture(ClefSign::F);
    m_bracePicture = staff::bracePicture();
    m_sharpPicture = QImage(QStringLiteral(":/zintaro/sharp.png"));
    m_flatPicture = QImage(QStringLiteral(":/zintaro/flat.png"));
    m_naturalPicture = QImage(QStringLiteral(":/zintaro/natural.png"));
    m_restPicture = QImage(QStringLiteral(":/zintaro/quarter_rest.png"));
    m_restPixmap = QPixmap::fromImage(m_restPicture);
    setClefGeometry(30, 50, 80);

    for (int i = 0; i < 5; ++i)
        m_lines[i] = { StaffLeft, 50 + 10 * i, StaffRight, 50 + 10 * i, 1 };
    m_lines[5] = { StaffLeft, 50, StaffLeft, 90, 1 };
    m_lines[6] = { StaffRight, 50, StaffRight, 90, 1 };
    // The grand staff's lower staff stays hidden until it is laid out.
    for (int i = LowerStaffFirstLine; i < StaffLineElements; ++i)
        m_lines[i] = { StaffLeft, 0, StaffRight, 0, 0 };

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
    m_marks.cover(size.expandedTo(LargestLayout));
}

void StaffWidget::resizeEvent(QResizeEvent* event)
{
    ensureMarksCover(size());
    QWidget::resizeEvent(event);
}

void StaffWidget::touched(const QRect& box)
{
    const QRect r = box & rect();
    if (!r.isEmpty())
        update(r);
}

void StaffWidget::clear()
{
    m_marks.clear();
    update();
}

void StaffWidget::setFillSolid(bool solid)
{
    m_marks.setFillSolid(solid);
}

void StaffWidget::line(float x1, float y1, float x2, float y2, Rgb colour)
{
    touched(m_marks.line(x1, y1, x2, y2, colour));
}

void StaffWidget::rectangle(float x1, float y1, float x2, float y2, Rgb colour)
{
    touched(m_marks.rectangle(x1, y1, x2, y2, colour));
}

void StaffWidget::filledRectangle(float x1, float y1, float x2, float y2, Rgb colour)
{
    touched(m_marks.filledRectangle(x1, y1, x2, y2, colour));
}

void StaffWidget::setForeground(Rgb colour)
{
    m_marks.setForeground(colour);
}

void StaffWidget::circle(float x, float y, float radius)
{
    touched(m_marks.circle(x, y, radius));
}

void StaffWidget::text(int left, int top, int pixelHeight, const Text& text, Rgb colour)
{
    touched(m_marks.text(left, top, pixelHeight, shown(text).toStdString(), colour));
}

void StaffWidget::restPicture(int left, int top)
{
    touched(m_marks.picture(left, top, m_restPicture));
}

QRect StaffWidget::staffLineRect(const StaffLine& l) const
{
    if (l.thickness <= 0)
        return {};
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
    l.thickness = std::max(thickness, 0);
    update(before | staffLineRect(l));
}

void StaffWidget::setStaffLeft(int left)
{
    for (int i = 0; i < StaffLineElements; ++i) {
        StaffLine& l = m_lines[size_t(i)];
        if (i == 6 || l.x1 == left)
            continue;
        const QRect before = staffLineRect(l);
        l.x1 = left;
        if (i == 5)
            l.x2 = left;
        update(before | staffLineRect(l));
    }
}

void StaffWidget::PlacedPicture::place(const QImage& source, const QRect& where)
{
    if (picture == &source && box == where)
        return;
    picture = &source;
    box = where;
    scaled = box.isEmpty() || source.isNull()
        ? QPixmap()
        : QPixmap::fromImage(inkOnly(source.scaled(box.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void StaffWidget::placeClef(int staff, ClefSign sign, int left, int top, int width, int height)
{
    if (staff < 0 || staff >= int(m_clefs.size()))
        return;
    PlacedPicture& clef = m_clefs[size_t(staff)];
    const QRect before = clef.box;
    clef.place(sign == ClefSign::F ? m_bassClefPicture : m_clefPicture,
        QRect(left, top, std::max(width, 0), std::max(height, 0)));
    update(before | clef.box);
}

void StaffWidget::placeBrace(int left, int top, int width, int height)
{
    const QRect before = m_brace.box;
    m_brace.place(m_bracePicture, QRect(left, top, std::max(width, 0), std::max(height, 0)));
    update(before | m_brace.box);
}

void StaffWidget::accidental(Accidental sign, int left, int top, int width, int height, Rgb colour)
{
    const QImage& picture = sign == Accidental::Sharp ? m_sharpPicture
        : sign == Accidental::Flat                    ? m_flatPicture
                                                      : m_naturalPicture;
    if (picture.isNull() || width <= 0 || height <= 0)
        return;
    const auto clampedSize = [](int v) { return std::min(v, int(CoordinateLimit) / 64); };
    QImage ink = inkOnly(
        picture.scaled(clampedSize(width), clampedSize(height), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    const QColor tint = pixels::toColour(colour);
    for (int y = 0; y < ink.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(ink.scanLine(y));
        for (int x = 0; x < ink.width(); ++x)
            row[x] = qRgba(tint.red(), tint.green(), tint.blue(), qAlpha(row[x]));
    }
    touched(m_marks.picture(left, top, ink));
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
    // A name with its accidental ("Fa diesis") is wider than the label's box.
    m_staffLabel->resize(std::max(StaffLabelAtStart.width(), m_staffLabel->sizeHint().width()), m_staffLabel->height());
}

void StaffWidget::setStaffLabelTop(int top)
{
    m_staffLabel->move(m_staffLabel->x(), top);
}

void StaffWidget::setStaffLabelLeft(int left)
{
    m_staffLabel->move(left, m_staffLabel->y());
}

void StaffWidget::setStaffLabelVisible(bool visible)
{
    m_staffLabel->setVisible(visible);
}

void StaffWidget::setSwitchNameLabel(QLabel* label)
{
    m_switchLabel = label;
}

void StaffWidget::setClefGeometry(int top, int width, int height)
{
    placeClef(0, ClefSign::G, StaffLeft, top, width, height);
}

QImage StaffWidget::renderToImage()
{
    return grab().toImage();
}

void StaffWidget::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect();
    QPainter p(this);
    p.drawImage(area.topLeft(), m_marks.image(), area);

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
    for (const PlacedPicture* picture : { &m_clefs[0], &m_clefs[1], &m_brace })
        if (!picture->scaled.isNull() && picture->box.intersects(area))
            p.drawPixmap(picture->box.topLeft(), picture->scaled);
    for (int i = 0; i < restImageCount(); ++i)
        if (m_restImages[size_t(i)].visible && restImageRect(i).intersects(area))
            p.drawPixmap(m_restImages[size_t(i)].topLeft, m_restPixmap);
    if (m_cursorVisible && cursorRect().intersects(area))
        p.fillRect(cursorRect(), QColor(0, 0, 255));
}

} // namespace zintaro::staff
