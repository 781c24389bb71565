#include "staff/staff.h"

#include "staff/speech.h"

#include <string>

namespace zintaro::staff {

void drawStaff(Modulo1& m, StaffSurface& surface)
{
    const int scale = m.DrawScale;
    for (int i = 0; i < 5; ++i) {
        const int y = (10 * i + 40) * scale;
        surface.placeStaffLine(i, y, y, scale);
    }
    surface.placeStaffLine(5, 40 * scale, 80 * scale, scale);
    surface.placeStaffLine(6, 40 * scale, 80 * scale, scale);
    // Every image goes, not only the first 41: a page with many quarter rests
    // would otherwise leave its last ones standing on the next page.
    for (int i = 0; i < RestImages; ++i)
        surface.setRestImageVisible(i, false);
    m.RestImageNext = 0;
}

int16_t notePosition(Modulo1& m, StaffSurface& surface, int16_t noteIndex)
{
    m.StaffStep = staffStepOf(noteIndex);
    m.NamedNote = noteIndex;
    if (m.WriteNames)
        surface.setNameLabels(std::string(writtenName(noteIndex, m.Naming)));
    return m.StaffStep;
}

void speakNoteName(Speech& speech, int16_t noteIndex, NoteNaming naming)
{
    speech.say(spokenName(noteIndex, naming), naming == NoteNaming::Letters ? Voice::English : Voice::Italian);
}

} // namespace zintaro::staff
