#pragma once

#include "core/pitch.h"
#include "core/translation.h"

#include <cstdint>
#include <string>

namespace zintaro::staff {

// A colour as the program writes it: red in the low byte (255 is red).
using Rgb = uint32_t;
inline constexpr Rgb Black = 0x000000;
inline constexpr Rgb White = 0xFFFFFF;
inline constexpr Rgb Red = 0x0000FF;
inline constexpr Rgb Green = 0x00B000;

// Five staff lines, then the two end bars, then the five lines of the grand
// staff's lower staff, top to bottom.
inline constexpr int StaffLineElements = 12;
inline constexpr int LowerStaffFirstLine = 7;

// The signs at the start of a staff: the G (treble) and the F (bass) clef.
enum class ClefSign : uint8_t { G, F };

inline constexpr int RestImages = 51; // quarter-rest pictures laid on the staff

// The staff surface: a persistent drawing in pixels, plus the child
// elements that lie on it (staff lines, quarter-rest images, the cursor and
// the large name label) and the small name label beside the switches.
// What is drawn stays until clear(); clear() leaves the child elements alone.
class StaffSurface {
public:
    virtual ~StaffSurface() = default;

    // Drawn marks.
    virtual void clear() = 0;
    // The fill style for rectangle() and circle(): solid or transparent. It
    // stays as last set and starts transparent.
    virtual void setFillSolid(bool solid) = 0;
    virtual void line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // Outline with both corner pixels included; the inside follows the fill style.
    virtual void rectangle(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    virtual void filledRectangle(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // The colour of circle(). It stays as last set and starts black.
    virtual void setForeground(Rgb colour) = 0;
    // Outline in the foreground colour; filled with it when the fill style is solid.
    virtual void circle(float x, float y, float radius) = 0;
    // One line of text, its top left corner at (left, top), letters
    // pixelHeight pixels high.
    virtual void text(int left, int top, int pixelHeight, const Text& text, Rgb colour) = 0;
    // Draws the quarter-rest picture as a mark, for rests beyond the images.
    virtual void restPicture(int left, int top) = 0;
    // A sharp, flat or natural sign stretched to the box, in a colour.
    virtual void accidental(Accidental sign, int left, int top, int width, int height, Rgb colour) = 0;

    // Child elements.
    // A thickness of 0 hides the line.
    virtual void placeStaffLine(int element, int y1, int y2, int thickness) = 0;
    // Where the staff lines and the left end bar begin.
    virtual void setStaffLeft(int left) = 0;
    // The clef of staff 0 (the upper or only one) or 1 (the lower), its
    // picture stretched to the box; an empty box hides it.
    virtual void placeClef(int staff, ClefSign sign, int left, int top, int width, int height) = 0;
    // The brace that joins the staves of a grand staff; an empty box hides it.
    virtual void placeBrace(int left, int top, int width, int height) = 0;
    virtual void setRestImageVisible(int element, bool visible) = 0;
    virtual void setRestImageLeft(int element, int left) = 0;
    virtual void setCursorLeft(int left) = 0;
    // Captions of the small name label beside the switches and of the large one on the staff.
    virtual void setNameLabels(const std::string& text) = 0;
    virtual void setStaffLabelTop(int top) = 0;
    virtual void setStaffLabelLeft(int left) = 0;
};

} // namespace zintaro::staff
