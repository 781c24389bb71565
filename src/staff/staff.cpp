#include "staff/staff.h"

#include "staff/speech.h"
#include "staff/staff_system.h"

#include <string>

namespace zintaro::staff {

void drawStaff(const Look& look, StaffSurface& surface)
{
    showStaffSystem(surface, staffSystemFor(Clef::Treble, look.scale));
    // Every image goes, not only the first 41: a page with many quarter rests
    // would otherwise leave its last ones standing on the next page.
    for (int i = 0; i < RestImages; ++i)
        surface.setRestImageVisible(i, false);
}

int16_t notePosition(const Look& look, StaffSurface& surface, int16_t noteIndex)
{
    if (look.writeNames)
        surface.setNameLabels(std::string(writtenName(noteIndex, look.naming)));
    return staffStepOf(noteIndex);
}

void speakNoteName(Speech& speech, int16_t noteIndex, NoteNaming naming)
{
    speech.say(spokenName(noteIndex, naming), naming == NoteNaming::Letters ? Voice::English : Voice::Italian);
}

} // namespace zintaro::staff
