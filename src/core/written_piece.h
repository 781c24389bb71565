#pragma once

#include "core/key_meter.h"
#include "core/modulo1.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace zintaro {

// A measure as the staff's bars and the printed score count it: the entries
// from `first` up to `end`, closed by a bar once they fill the meter. The
// first overfull measure turns its bar red, and every later bar with it.
struct Measure {
    int first = 0;
    int end = 0;
    bool closed = false;
    bool red = false;

    friend bool operator==(const Measure&, const Measure&) = default;
};

// The measures of the piece at positions 0 .. noteCount − 1. A last
// measure that does not fill the meter is open.
std::vector<Measure> measuresOf(const CompositionStore& store, int noteCount, Meter meter = {});

// A note of the piece as a printed score shows it: its spelling in the key,
// and the sign printed before it, if any (a natural sign as Natural).
struct WrittenNote {
    SpelledNote spelling;
    std::optional<Accidental> printed;

    friend bool operator==(const WrittenNote&, const WrittenNote&) = default;
};

// What each line or space reads within a measure: the key signature, until
// a sign shown earlier in the measure at the same octave changes it.
class MeasureReading {
public:
    explicit MeasureReading(Key key)
        : m_key(key)
    {
    }

    // The sign a note needs at this point of the measure, if any; a sign
    // given holds to the bar.
    std::optional<Accidental> signFor(SpelledNote note);
    void startMeasure() { m_shown.clear(); }

private:
    Key m_key;
    std::map<std::pair<Letter, int>, Accidental> m_shown;
};

// Every entry of the piece written out in a key and a meter. A sign is
// printed where the note differs from what its line or space reads at that
// point of the measure: the signature, or a sign shown earlier in the same
// measure at the same octave, which holds to the bar. A note continued by a
// tie shows no sign. Rests and entries of no MIDI note get a default note and
// no sign.
std::vector<WrittenNote> writeOut(const CompositionStore& store, int noteCount, Key key = {}, Meter meter = {});

// A piano key's note in a key, as a single note reads with the signature:
// its spelling, and its sign when the signature does not give it.
WrittenNote writtenKey(int noteIndex, Key key);

} // namespace zintaro
