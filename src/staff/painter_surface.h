#pragma once

#include "staff/staff_surface.h"

#include <QImage>
#include <QPoint>
#include <array>
#include <vector>

class QPainter;

namespace zintaro::staff {

// The treble clef (its white made see-through) and the quarter rest, loaded
// once for a whole document, so that a PDF holds each picture once.
struct StaffPictures {
    StaffPictures();
    QImage clef;
    QImage rest;
};

// A staff surface that draws through a QPainter, for printing and PDF: every
// mark becomes a vector shape on the staff's pixel grid (a pixel is one unit,
// rectangles include both corner pixels, as on the window's staff). What is
// painted cannot be taken back, so clear() is only right before the first
// mark. The child elements are kept and painted by paintChildren(): the staff
// lines and end bars as shapes, the treble clef and the quarter-rest images
// as the window's pictures. The cursor and the name labels are not printed.
class PainterSurface : public StaffSurface {
public:
    PainterSurface(QPainter& painter, const StaffPictures& pictures);

    // The staff lines, the clef and the visible rest images, over the marks
    // as on the window.
    void paintChildren();

    // Drawn marks.
    void clear() override;
    void setFillSolid(bool solid) override;
    void line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void rectangle(float x1, float y1, float x2, float y2, Rgb colour) override;
    void filledRectangle(float x1, float y1, float x2, float y2, Rgb colour) override;
    void setForeground(Rgb colour) override { m_foreground = colour; }
    void circle(float x, float y, float radius) override;
    void text(int left, int top, int pixelHeight, const std::string& text, Rgb colour) override;
    void restPicture(int left, int top) override;
    void accidental(Accidental sign, int left, int top, int width, int height, Rgb colour) override;

    // Child elements.
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

private:
    struct StaffLine {
        int y1, y2, thickness;
    };
    struct RestImage {
        int left = 0;
        bool visible = false;
    };

    QPainter& m_painter;
    bool m_fillSolid = false;
    Rgb m_foreground = Black;
    std::array<StaffLine, StaffLineElements> m_lines {};
    std::array<RestImage, RestImages> m_restImages {};
    const StaffPictures& m_pictures;
};

} // namespace zintaro::staff
