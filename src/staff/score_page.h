#pragma once

#include "core/modulo1.h"
#include "staff/score_layout.h"

#include <QImage>
#include <QSizeF>
#include <string>

class QPainter;

namespace zintaro::staff {

// The printed sheet, in millimetres: A4 landscape, the staff 7 mm high.
struct ScoreSheet {
    static constexpr double Width = 297;
    static constexpr double Height = 210;
    static constexpr double Margin = 15;
    static constexpr double StaffHeight = 7;
    static constexpr double Space = StaffHeight / 4;

    // The frame the layout fills on this sheet.
    static ScoreFrame frame(bool names);
};

// What every page of one score shares.
struct ScoreDocument {
    const CompositionStore& store;
    std::string title;
    bool names = false;
    int pageCount = 1;
    QImage clef; // the treble clef, its white see-through
    NoteNaming naming = NoteNaming::Solfege;
    Key key;
    Meter meter;
};

// The treble clef of the program's pictures, ready for engraving.
QImage scoreClef();

// Engraves one laid-out page: the title on the first, the systems spaced
// down the sheet, the page's number at its foot. The painter's unit is a
// millimetre, its origin the sheet's top left corner.
void engraveScorePage(QPainter& painter, const ScoreDocument& document, const ScorePage& page, int pageIndex);

} // namespace zintaro::staff
