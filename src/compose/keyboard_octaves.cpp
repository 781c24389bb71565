#include "compose/keyboard_octaves.h"

#include "core/pitch.h"

namespace zintaro::compose {

std::string keyboardRangeText(int shift)
{
    const auto name = [](int midiNote) { return noteName(sharpSpelling(midiNote), NoteNaming::Solfege, true); };
    return "Tastiera: " + name(midiNoteOfShiftedKey(0, shift)) + "\u2013" + name(midiNoteOfShiftedKey(35, shift));
}

} // namespace zintaro::compose
