#include "staff/staff.h"

#include "staff/speech.h"
#include "staff/staff_system.h"

#include <algorithm>
#include <string>

namespace zintaro::staff {

namespace {

constexpr int FirstColumnCentre = 100;
constexpr int LastColumnCentre = FirstColumnCentre + 20 * (StaffColumns - 1);
// A sign before a head reaches 17 pixels left of its centre; the header
// keeps a little more from the first column.
constexpr int FirstColumnRoom = 22;

// The staff a look draws: the bass, or else the treble.
Clef drawnClef(const Look& look)
{
    return look.clef == Clef::Bass ? Clef::Bass : Clef::Treble;
}

// The notes a look's staff writes: the piano's keys on the treble staff,
// every MIDI note on the bass staff, whose range reaches below the piano.
bool writesNote(const Look& look, int16_t noteIndex)
{
    if (drawnClef(look) == Clef::Treble)
        return isPianoNote(noteIndex);
    const int midi = midiNoteOfKey(noteIndex);
    return midi >= 0 && midi <= 127;
}

} // namespace

ColumnGrid columnGrid(const Look& look)
{
    const StaffSystem system = staffSystemFor(drawnClef(look), 1, { look.key, look.meter });
    const int first = std::max(FirstColumnCentre, headerRight(system) + FirstColumnRoom);
    return { first, static_cast<double>(LastColumnCentre - first) / (StaffColumns - 1) };
}

void drawStaff(const Look& look, StaffSurface& surface)
{
    const StaffSystem system = staffSystemFor(drawnClef(look), look.scale, { look.key, look.meter });
    showStaffSystem(surface, system);
    drawStaffHeader(surface, system);
    // Every image goes, not only the first 41: a page with many quarter rests
    // would otherwise leave its last ones standing on the next page.
    for (int i = 0; i < RestImages; ++i)
        surface.setRestImageVisible(i, false);
}

int16_t writtenStep(const Look& look, int16_t noteIndex)
{
    if (!writesNote(look, noteIndex))
        return staffStepOf(noteIndex);
    // Both staves' bottom lines stand at the treble staff's step 2.
    const SpelledNote written = spellInKey(midiNoteOfKey(noteIndex), look.key);
    return static_cast<int16_t>(staffPositionOf(written, drawnClef(look)).step + 2);
}

int16_t notePosition(const Look& look, StaffSurface& surface, int16_t noteIndex)
{
    if (look.writeNames)
        surface.setNameLabels(writesNote(look, noteIndex)
                ? nameLabelText(spellInKey(midiNoteOfKey(noteIndex), look.key), look.naming)
                : std::string());
    return writtenStep(look, noteIndex);
}

void speakNoteName(Speech& speech, int16_t noteIndex, NoteNaming naming, Key key)
{
    const std::string name
        = isPianoNote(noteIndex) ? spokenNoteName(spellInKey(midiNoteOfKey(noteIndex), key), naming) : std::string();
    speech.say(name, naming == NoteNaming::Letters ? Voice::English : Voice::Italian);
}

void drawSignBefore(const Look& look, StaffSurface& s, std::optional<Accidental> sign, int16_t note, int16_t column)
{
    if (!sign || !writesNote(look, note))
        return;
    const int scale = look.scale;
    const int x = columnGrid(look).centre(column) * scale;
    const int y = (90 - 5 * writtenStep(look, note)) * scale;
    drawSign(s, *sign, x - 7 * scale, y, scale);
}

} // namespace zintaro::staff
