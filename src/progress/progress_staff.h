#pragma once

#include "compose/progress_figures.h"

#include <QWidget>

class QPainter;

namespace zintaro::progress {

// Milliseconds as seconds with one decimal, written the way the language
// shown writes numbers: "1,4 s" in Italian, "1.4 s" in English.
QString secondsShown(int64_t ms);

// The height a clef's staff needs on the page for the notes it carries.
int staffHeight(const compose::StaffProgress& staff);

// One staff of the page: the clef, every note of the range at its place with
// its head coloured by its first-try share, and its median response time
// under it. A grand staff carries C4 and above on the treble staff.
void paintStaff(QPainter& painter, const QRectF& area, const compose::StaffProgress& staff);

class StaffView : public QWidget {
    Q_OBJECT
public:
    StaffView(compose::StaffProgress staff, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    compose::StaffProgress m_staff;
};

} // namespace zintaro::progress
