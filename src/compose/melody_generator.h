#pragma once

#include "core/key_meter.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zintaro::compose {

// Lengths in sixteenths: a quarter is 4, a dotted quarter 6, 4/4 holds 16.
inline constexpr int SixteenthsPerWhole = 16;

// What a melody is asked for. The range is of MIDI notes, both ends
// included; the clef is the one the phrase is read in.
struct MelodyRequest {
    int level = 1; // 1..8
    Key key;
    Meter meter;
    int lowest = 60;
    int highest = 72;
    Clef clef = Clef::Treble;
    int measures = 4; // 2, 4 or 8
    uint32_t seed = 0;
};

// One written note or rest of a phrase; a note tied to the next one sounds
// on through it.
struct MelodyNote {
    int midi = -1; // −1 for a rest
    SpelledNote written;
    int length = 4; // in sixteenths
    bool tiedToNext = false;

    bool isRest() const { return midi < 0; }
    friend bool operator==(const MelodyNote&, const MelodyNote&) = default;
};

struct Phrase {
    Key key;
    Meter meter;
    Clef clef = Clef::Treble;
    std::vector<std::vector<MelodyNote>> measures;

    friend bool operator==(const Phrase&, const Phrase&) = default;
};

// What each level brings; the README tells it in words.
struct LevelRules {
    std::vector<int> lengths; // the note values used, in sixteenths
    int largestLeap = 2; // semitones
    int mostAccidentals = 0; // the keys the level is read in
    bool rests = false;
    bool ties = false;
    bool syncopation = false;
    bool chromatic = false;
    int stepWeight = 10; // of a step against 1 for each leap, in the choice of the next note
};
LevelRules levelRules(int level);

// A phrase for reading, the same for the same request. Nothing when the
// range holds no tonic of the key or fewer than three of its notes, or the
// level, meter or measure count is not one offered.
std::optional<Phrase> generateMelody(const MelodyRequest& request);

// A measure's length in sixteenths, and the length of its beat (a dotted
// quarter in compound meters).
int measureSixteenths(Meter meter);
int beatSixteenths(Meter meter);

} // namespace zintaro::compose
