#include "staff/staff.h"

#include "staff/speech.h"
#include "staff/staff_system.h"

#include <string>

namespace zintaro::staff {

void drawStaff(Modulo1& m, StaffSurface& surface)
{
    showStaffSystem(surface, staffSystemFor(Clef::Treble, m.DrawScale));
    // Every image goes, not only the first 41: a page with many quarter rests
    // would otherwise leave its last ones standing on the next page.
    for (int i = 0; i < RestImages; ++i)
        surface.setRestImageVisible(i, false);
    m.RestImageNext = 0;
}

int16_t notePosition(Modulo1& m, StaffSurface& surface, int16_t noteIndex)
{
    m.StaffStep = staffStepOf(noteIndex);
    if (m.WriteNames)
        surface.setNameLabels(std::string(writtenName(noteIndex)));
    return m.StaffStep;
}

void speakNoteName(Speech& speech, int16_t noteIndex)
{
    speech.say(std::string(spokenName(noteIndex)));
}

} // namespace zintaro::staff
