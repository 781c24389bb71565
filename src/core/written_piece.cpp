#include "core/written_piece.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace zintaro {

std::vector<Measure> measuresOf(const CompositionStore& store, int noteCount, Meter meter)
{
    std::vector<Measure> measures;
    const int count = std::clamp(noteCount, 0, MaxEntries);
    // The sum is single precision, so a duration code far beyond the
    // sixty-fourth (a damaged file) vanishes in it instead of making its
    // measure overfull; what overflows a measure is dropped. Every offered
    // meter's length is exact in it.
    const auto length = static_cast<float>(measureLength(meter));
    float sum = 0;
    bool overfull = false;
    int first = 0;
    for (int i = 0; i < count; ++i) {
        sum = static_cast<float>(sum + 1.0 / std::pow(2.0, store.DurationCode[static_cast<size_t>(i)]));
        if (sum < length)
            continue;
        overfull = overfull || sum > length;
        sum = 0;
        measures.push_back({ first, i + 1, true, overfull });
        first = i + 1;
    }
    if (first < count)
        measures.push_back({ first, count, false, overfull });
    return measures;
}

std::vector<WrittenNote> writeOut(const CompositionStore& store, int noteCount, Key key, Meter meter)
{
    std::vector<WrittenNote> notes;
    for (const Measure& m : measuresOf(store, noteCount, meter)) {
        // What each line or space reads by now in this measure, by letter and octave.
        std::map<std::pair<Letter, int>, Accidental> shown;
        for (int p = m.first; p < m.end; ++p) {
            const Entry e = store.at(p);
            if (e.RestFlag != 0 || !isPianoNote(e.NoteIndex)) {
                notes.push_back({});
                continue;
            }
            const SpelledNote spelling = spellInKey(midiNoteOfKey(e.NoteIndex), key);
            const std::pair place { spelling.letter, spelling.octave };
            const auto earlier = shown.find(place);
            const Accidental reads
                = earlier != shown.end() ? earlier->second : signatureAccidental(key, spelling.letter);
            std::optional<Accidental> printed;
            if (reads != spelling.accidental) {
                printed = spelling.accidental;
                shown[place] = spelling.accidental;
            }
            notes.push_back({ spelling, printed });
        }
    }
    return notes;
}

WrittenNote writtenKey(int noteIndex, Key key)
{
    const SpelledNote spelling = spellInKey(midiNoteOfKey(noteIndex), key);
    if (signatureAccidental(key, spelling.letter) == spelling.accidental)
        return { spelling, std::nullopt };
    return { spelling, spelling.accidental };
}

} // namespace zintaro
