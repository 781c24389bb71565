#include "core/written_piece.h"

#include <algorithm>

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
        sum = static_cast<float>(sum + entryLength(store.at(i)));
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

std::optional<Accidental> MeasureReading::signFor(SpelledNote note)
{
    const std::pair place { note.letter, note.octave };
    const auto earlier = m_shown.find(place);
    const Accidental reads = earlier != m_shown.end() ? earlier->second : signatureAccidental(m_key, note.letter);
    if (reads == note.accidental)
        return std::nullopt;
    m_shown[place] = note.accidental;
    return note.accidental;
}

std::vector<WrittenNote> writeOut(const CompositionStore& store, int noteCount, Key key, Meter meter)
{
    std::vector<WrittenNote> notes;
    MeasureReading reading(key);
    for (const Measure& m : measuresOf(store, noteCount, meter)) {
        reading.startMeasure();
        for (int p = m.first; p < m.end; ++p) {
            const Entry e = store.at(p);
            const int midi = midiNoteOfKey(e.NoteIndex);
            if (e.RestFlag != 0 || midi < 0 || midi > 127) {
                notes.push_back({});
                continue;
            }
            const SpelledNote spelling = spellInKey(midi, key);
            // A note a tie continues keeps the sign it was struck with, over
            // a bar too, and shows none.
            if (tieHolds(store, noteCount, p - 1))
                notes.push_back({ spelling, std::nullopt });
            else
                notes.push_back({ spelling, reading.signFor(spelling) });
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
