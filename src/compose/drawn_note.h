#pragma once

#include "core/pitch.h"

namespace zintaro::compose {

// A note the reading trainer shows while it waits for an answer: as it is
// written, on which staff, and whether the review draw chose it.
struct DrawnNote {
    SpelledNote note;
    Clef clef = Clef::Treble;
    bool review = false;

    int midiNote() const { return midiNoteOf(note); }

    friend bool operator==(const DrawnNote&, const DrawnNote&) = default;
};

} // namespace zintaro::compose
