#pragma once

#include "staff/staff_surface.h"

#include <array>
#include <ostream>
#include <string>
#include <vector>

namespace zintaro::testing {

// A staff surface that records every mark drawn since the last clear, and
// holds the state of the child elements.
class RecordingSurface : public staff::StaffSurface {
public:
    enum class Kind { Line, Rectangle, FilledRectangle, Circle, RestPicture, Sharp, Flat, Natural };

    struct Mark {
        Kind kind;
        float x1, y1, x2, y2; // a circle: centre in x1, y1 and radius in x2
        staff::Rgb colour;
        bool solid; // the fill style when it was drawn

        friend bool operator==(const Mark&, const Mark&) = default;
    };

    struct Text {
        int left, top, pixelHeight;
        std::string text;
        staff::Rgb colour;

        friend bool operator==(const Text&, const Text&) = default;
    };

    struct StaffLine {
        int y1 = 0, y2 = 0, thickness = 0;
    };
    struct Box {
        int left = 0, top = 0, width = 0, height = 0;
    };
    struct PlacedClef {
        staff::ClefSign sign = staff::ClefSign::G;
        int left = 0, top = 0, width = 0, height = 0;
    };

    void clear() override
    {
        marks.clear();
        texts.clear();
        ++clears;
    }
    void setFillSolid(bool s) override { solid = s; }
    void line(float x1, float y1, float x2, float y2, staff::Rgb c) override
    {
        marks.push_back({ Kind::Line, x1, y1, x2, y2, c, solid });
    }
    void rectangle(float x1, float y1, float x2, float y2, staff::Rgb c) override
    {
        marks.push_back({ Kind::Rectangle, x1, y1, x2, y2, c, solid });
    }
    void filledRectangle(float x1, float y1, float x2, float y2, staff::Rgb c) override
    {
        marks.push_back({ Kind::FilledRectangle, x1, y1, x2, y2, c, solid });
    }
    void setForeground(staff::Rgb c) override { foreground = c; }
    void circle(float x, float y, float r) override
    {
        marks.push_back({ Kind::Circle, x, y, r, 0, foreground, solid });
    }
    // The words in the program's own Italian.
    void text(int left, int top, int pixelHeight, const zintaro::Text& t, staff::Rgb c) override
    {
        texts.push_back({ left, top, pixelHeight, t.render(), c });
    }
    void restPicture(int left, int top) override
    {
        marks.push_back({ Kind::RestPicture, float(left), float(top), 0, 0, staff::Black, solid });
    }

    // A sign's box: left and top in x1, y1, right and bottom (inclusive) in x2, y2.
    void accidental(Accidental sign, int left, int top, int width, int height, staff::Rgb c) override
    {
        const Kind kind = sign == Accidental::Sharp ? Kind::Sharp
            : sign == Accidental::Flat              ? Kind::Flat
                                                    : Kind::Natural;
        marks.push_back({ kind, float(left), float(top), float(left + width - 1), float(top + height - 1), c, solid });
    }

    void placeStaffLine(int element, int y1, int y2, int thickness) override
    {
        staffLines.at(element) = { y1, y2, thickness };
    }
    void setStaffLeft(int left) override { staffLeft = left; }
    void placeClef(int staff, staff::ClefSign sign, int left, int top, int width, int height) override
    {
        clefs.at(staff) = { sign, left, top, width, height };
    }
    void placeBrace(int left, int top, int width, int height) override { brace = { left, top, width, height }; }
    void setRestImageVisible(int element, bool visible) override { restVisible.at(element) = visible; }
    void setRestImageLeft(int element, int left) override { restLeft.at(element) = left; }
    void setCursorLeft(int left) override { cursorLeft = left; }
    void setNameLabels(const std::string& text) override { nameLabels = text; }
    void setStaffLabelTop(int top) override { staffLabelTop = top; }
    void setStaffLabelLeft(int left) override { staffLabelLeft = left; }

    std::vector<Mark> marksOf(Kind kind) const
    {
        std::vector<Mark> out;
        for (const Mark& m : marks)
            if (m.kind == kind)
                out.push_back(m);
        return out;
    }
    int visibleRestImages() const
    {
        int n = 0;
        for (bool v : restVisible)
            n += v ? 1 : 0;
        return n;
    }

    std::vector<Mark> marks;
    std::vector<Text> texts;
    int clears = 0;
    bool solid = false;
    staff::Rgb foreground = staff::Black;
    std::array<StaffLine, staff::StaffLineElements> staffLines {};
    std::array<bool, staff::RestImages> restVisible {};
    std::array<int, staff::RestImages> restLeft {};
    int cursorLeft = 100;
    std::string nameLabels;
    int staffLabelTop = 0;
    int staffLabelLeft = 0;
    int staffLeft = 16;
    std::array<PlacedClef, 2> clefs {};
    Box brace;
};

// Readable marks in test failures.
inline void PrintTo(const RecordingSurface::Mark& m, std::ostream* os)
{
    static constexpr const char* Kinds[]
        = { "line", "rectangle", "filledRectangle", "circle", "restPicture", "sharp", "flat" };
    *os << Kinds[static_cast<int>(m.kind)] << "(" << m.x1 << ", " << m.y1 << ", " << m.x2 << ", " << m.y2 << ") colour "
        << m.colour << (m.solid ? " solid" : " transparent");
}

} // namespace zintaro::testing
