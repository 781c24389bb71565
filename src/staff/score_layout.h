#pragma once

#include "core/modulo1.h"
#include "core/pitch.h"

#include <optional>
#include <vector>

namespace zintaro::staff {

// A measure as the staff's bars count it: the entries from `first` up to
// `end`, closed by a bar once they fill a whole note. The first overfull
// measure turns its bar red, and every later bar with it, as on the screen.
struct Measure {
    int first = 0;
    int end = 0;
    bool closed = false;
    bool red = false;

    friend bool operator==(const Measure&, const Measure&) = default;
};

// The measures of the piece at positions 0 .. noteCount − 1. A last
// measure that does not fill a whole note is open.
std::vector<Measure> measuresOf(const CompositionStore& store, int noteCount);

// The sign printed before each entry of a measure, from `first` on: a sharp
// where its line or space has not shown one yet in the measure, a natural
// where a sharp shown earlier in the measure would otherwise still hold;
// nothing for the rest and for rests.
std::vector<std::optional<Accidental>> signsIn(const CompositionStore& store, const Measure& m);

// Everything below is measured in staff spaces, the distance between two
// staff lines, from the left end of a system's staff lines.

// An entry of the piece placed on a system: x is the centre of its head or rest.
struct PlacedEntry {
    int position = 0;
    double x = 0;
    std::optional<Accidental> sign; // before the head
};

struct PlacedBar {
    double x = 0;
    bool red = false;
    bool final = false; // the piece ends here: a thin and a thick line
};

// One line of music: the clef and the time at its left, then whole
// measures, unless one measure alone is wider than a line.
struct ScoreSystem {
    std::vector<PlacedEntry> entries;
    std::vector<PlacedBar> bars;
    double width = 0; // the length of the staff lines
};

struct ScorePage {
    std::vector<ScoreSystem> systems;
};

struct ScoreFrame {
    double systemWidth = 100;
    int firstPageSystems = 8; // below the title
    int pageSystems = 9;
    bool names = false; // each note's name under it needs room across
};

// The room the clef and the time signature take at the start of each system.
inline constexpr double SystemHeaderWidth = 7.0;
inline constexpr int MeasuresPerSystem = 4;

// Lays the piece out in systems and pages. Systems are filled to their
// width, but for a last one that is much shorter. An empty piece gives one
// page with one empty system.
std::vector<ScorePage> layOutScore(const CompositionStore& store, int noteCount, const ScoreFrame& frame);

} // namespace zintaro::staff
