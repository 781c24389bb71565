#include "staff/sign_pictures.h"

#include "staff/staff_pixels.h"

#include <QPainter>

namespace zintaro::staff {

namespace {

void paintPicture(QPainter& p, const QImage& picture, const SignBox& box)
{
    if (box.empty() || picture.isNull())
        return;
    const QSize size(box.width, box.height);
    p.drawImage(QPoint(box.left, box.top),
        pixels::inkOnly(picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

} // namespace

const QImage& clefPicture(ClefSign sign)
{
    static const QImage treble(QStringLiteral(":/zintaro/keysol.png"));
    static const QImage bass(QStringLiteral(":/zintaro/bass_clef.png"));
    return sign == ClefSign::F ? bass : treble;
}

const QImage& bracePicture()
{
    static const QImage brace(QStringLiteral(":/zintaro/brace.png"));
    return brace;
}

void paintStaffSigns(QPainter& p, const StaffSigns& signs)
{
    for (std::size_t staff = 0; staff < signs.clefs.size(); ++staff)
        paintPicture(p, clefPicture(signs.clefSigns[staff]), signs.clefs[staff]);
    paintPicture(p, bracePicture(), signs.brace);
}

} // namespace zintaro::staff
