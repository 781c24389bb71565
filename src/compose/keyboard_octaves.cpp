#include "compose/keyboard_octaves.h"

#include "core/pitch.h"
#include "core/translation.h"

namespace zintaro::compose {

Text keyboardRangeText(int shift, NoteNaming naming)
{
    const auto name = [naming](int midiNote) { return noteName(sharpSpelling(midiNote), naming, true); };
    return translate("Answers", "Tastiera: %1–%2")
        .arg(name(midiNoteOfShiftedKey(0, shift)))
        .arg(name(midiNoteOfShiftedKey(35, shift)));
}

} // namespace zintaro::compose
