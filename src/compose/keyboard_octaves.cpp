#include "compose/keyboard_octaves.h"

#include "core/pitch.h"
#include "core/translation.h"

#include <algorithm>
#include <cstdlib>

namespace zintaro::compose {

int shiftCovering(int lowest, int highest)
{
    const auto covered = [&](int shift) {
        const int from = std::max(lowest, midiNoteOfShiftedKey(0, shift));
        const int to = std::min(highest, midiNoteOfShiftedKey(35, shift));
        return std::max(0, to - from + 1);
    };
    // Twice the distance of the centres, to stay in whole numbers.
    const auto offCentre = [&](int shift) {
        return std::abs(midiNoteOfShiftedKey(0, shift) + midiNoteOfShiftedKey(35, shift) - lowest - highest);
    };
    int best = 0;
    for (int shift = LowestKeyboardShift; shift <= HighestKeyboardShift; ++shift) {
        if (covered(shift) > covered(best) || (covered(shift) == covered(best) && offCentre(shift) < offCentre(best)))
            best = shift;
    }
    return best;
}

Text keyboardRangeText(int shift, NoteNaming naming)
{
    const auto name = [naming](int midiNote) { return noteName(sharpSpelling(midiNote), naming, true); };
    return translate("Answers", "Tastiera: %1–%2")
        .arg(name(midiNoteOfShiftedKey(0, shift)))
        .arg(name(midiNoteOfShiftedKey(35, shift)));
}

} // namespace zintaro::compose
