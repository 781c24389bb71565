#pragma once

#include "compose/melody_generator.h"

#include <cstddef>
#include <vector>

namespace zintaro::compose {

// One note or rest of a phrase read in time. Notes tied together are one
// note that sounds through them all.
struct TimedNote {
    int midi = -1; // −1 for a rest
    SpelledNote written;
    double onsetMs = 0; // from the count-in's first click
    double lengthMs = 0;
    size_t measure = 0; // where its first written note stands in the phrase
    size_t indexInMeasure = 0;

    bool isRest() const { return midi < 0; }
};

// A metronome click: the first beat of each measure is accented.
struct Click {
    double atMs = 0; // from the count-in's first click
    bool accent = false;
};

// A phrase at a tempo: its measures of count-in (one unless an exercise
// sets them), then its notes on the beat. The tempo counts the meter's beat
// per minute (a dotted quarter in 6/8).
struct PhraseTimeline {
    double beatMs = 0;
    int beatsPerMeasure = 0;
    int countInMeasures = 1;
    std::vector<TimedNote> notes;
    double endMs = 0; // the end of the last measure

    int countInBeats() const { return beatsPerMeasure * countInMeasures; }
    double countInMs() const { return beatMs * countInBeats(); }
};

PhraseTimeline timelineOf(const Phrase& phrase, int tempo);

// Every beat from the count-in to the end of the phrase.
std::vector<Click> clicksOf(const PhraseTimeline& timeline);

} // namespace zintaro::compose
