#pragma once

#include "staff/staff_surface.h"

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <array>
#include <vector>

class QLabel;

namespace zintaro::staff {

// The staff surface of the main window. Marks are painted into a
// persistent image that stays until clear(); the child elements (staff lines,
// treble clef, quarter-rest images, cursor and the large name label) lie
// above the marks and are never touched by clear().
//
// Drawing is pixel-exact and not antialiased: coordinates are rounded to
// whole pixels, rectangles include both corner pixels, and anything beyond
// the image is clipped.
class StaffWidget : public QWidget, public StaffSurface {
    Q_OBJECT

public:
    explicit StaffWidget(QWidget* parent = nullptr);
    ~StaffWidget() override;

    // StaffSurface: drawn marks.
    void clear() override;
    void setFillSolid(bool solid) override;
    void line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void rectangle(float x1, float y1, float x2, float y2, Rgb colour) override;
    void filledRectangle(float x1, float y1, float x2, float y2, Rgb colour) override;
    void setForeground(Rgb colour) override;
    void circle(float x, float y, float radius) override;
    void text(int left, int top, int pixelHeight, const std::string& text, Rgb colour) override;
    void restPicture(int left, int top) override;

    // StaffSurface: child elements.
    void placeStaffLine(int element, int y1, int y2, int thickness) override;
    void setRestImageVisible(int element, bool visible) override;
    void setRestImageLeft(int element, int left) override;
    void setCursorLeft(int left) override;
    void setNameLabels(const std::string& text) override;
    void setStaffLabelTop(int top) override;

    // Layout of the window.
    // The treble clef keeps its left edge (16) and is stretched to this size.
    void setClefGeometry(int top, int width, int height);
    // Grows the quarter-rest images from the two the window starts with to all 51,
    // every one hidden, at top 61.
    void createRestImages();
    void setCursorVisible(bool visible);
    void setStaffLabelVisible(bool visible);
    // The name label beside the switches; it may be null.
    void setSwitchNameLabel(QLabel* label);

    // The persistent drawing alone, without the child elements.
    const QImage& marks() const { return m_marks; }
    // Everything the widget shows, as on the screen.
    QImage renderToImage();
    // The pictures as loaded from the program's resources.
    const QImage& clefPicture() const { return m_clefPicture; }
    const QImage& restPictureImage() const { return m_restPicture; }
    int restImageCount() const { return int(m_restImages.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct StaffLine {
        int x1, y1, x2, y2, thickness;
    };
    struct RestImage {
        QPoint topLeft;
        bool visible = false;
    };

    void ensureMarksCover(QSize size);
    void fillSpan(int y, int x1, int x2, QRgb colour);
    void fillBox(int x1, int y1, int x2, int y2, QRgb colour);
    void touched(int x1, int y1, int x2, int y2);
    QRect staffLineRect(const StaffLine& l) const;
    QRect restImageRect(int element) const;
    QRect cursorRect() const;
    QRect clefRect() const;

    QImage m_marks;
    bool m_fillSolid = false;
    Rgb m_foreground = Black;

    std::array<StaffLine, StaffLineElements> m_lines;
    QImage m_clefPicture;
    QImage m_restPicture;
    QPixmap m_restPixmap;
    QPixmap m_clefScaled;
    QRect m_clef { 16, 30, 50, 80 };
    std::vector<RestImage> m_restImages;
    int m_cursorLeft = 80;
    bool m_cursorVisible = true;
    QLabel* m_staffLabel = nullptr;
    QLabel* m_switchLabel = nullptr;
};

} // namespace zintaro::staff
