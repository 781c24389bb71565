#pragma once

#include "staff/marks_canvas.h"
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
// persistent image (MarksCanvas) that stays until clear(); the child elements
// (staff lines, treble clef, quarter-rest images, cursor and the large name
// label) lie above the marks and are never touched by clear().
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
    void text(int left, int top, int pixelHeight, const Text& text, Rgb colour) override;
    void restPicture(int left, int top) override;
    void accidental(Accidental sign, int left, int top, int width, int height, Rgb colour) override;

    // StaffSurface: child elements.
    void placeStaffLine(int element, int y1, int y2, int thickness) override;
    void setStaffLeft(int left) override;
    void placeClef(int staff, ClefSign sign, int left, int top, int width, int height) override;
    void placeBrace(int left, int top, int width, int height) override;
    void setRestImageVisible(int element, bool visible) override;
    void setRestImageLeft(int element, int left) override;
    void setCursorLeft(int left) override;
    void setNameLabels(const std::string& text) override;
    void setStaffLabelTop(int top) override;
    void setStaffLabelLeft(int left) override;

    // Layout of the window.
    // The treble clef of the only staff, at the left edge (16), stretched to this size.
    void setClefGeometry(int top, int width, int height);
    // Grows the quarter-rest images from the two the window starts with to all 51,
    // every one hidden, at top 61.
    void createRestImages();
    void setCursorVisible(bool visible);
    void setStaffLabelVisible(bool visible);
    // The name label beside the switches; it may be null.
    void setSwitchNameLabel(QLabel* label);

    // The persistent drawing alone, without the child elements.
    const QImage& marks() const { return m_marks.image(); }
    // Everything the widget shows, as on the screen.
    QImage renderToImage();
    // The pictures as loaded from the program's resources.
    const QImage& clefPicture() const { return m_clefPicture; }
    const QImage& bassClefPicture() const { return m_bassClefPicture; }
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
    // A picture stretched to its box, kept scaled for painting.
    struct PlacedPicture {
        const QImage* picture = nullptr;
        QRect box;
        QPixmap scaled;

        void place(const QImage& source, const QRect& where);
    };

    void ensureMarksCover(QSize size);
    // Repaints what a mark touched.
    void touched(const QRect& box);
    QRect staffLineRect(const StaffLine& l) const;
    QRect restImageRect(int element) const;
    QRect cursorRect() const;

    MarksCanvas m_marks;

    std::array<StaffLine, StaffLineElements> m_lines;
    QImage m_clefPicture;
    QImage m_bassClefPicture;
    QImage m_bracePicture;
    QImage m_sharpPicture;
    QImage m_naturalPicture;
    QImage m_flatPicture;
    QImage m_restPicture;
    QPixmap m_restPixmap;
    std::array<PlacedPicture, 2> m_clefs;
    PlacedPicture m_brace;
    std::vector<RestImage> m_restImages;
    int m_cursorLeft = 80;
    bool m_cursorVisible = true;
    QLabel* m_staffLabel = nullptr;
    QLabel* m_switchLabel = nullptr;
};

} // namespace zintaro::staff
