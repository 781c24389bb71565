#pragma once

#include "core/written_piece.h"

#include <optional>
#include <vector>

namespace zintaro::staff {

// Everything below is measured in staff spaces, the distance between two
// staff lines, from the left end of a system's staff lines.

// An entry of the piece placed on a system: x is the centre of its head or rest.
struct PlacedEntry {
    int position = 0;
    double x = 0;
    std::optional<Accidental> sign; // before the head
    SpelledNote written; // a note's spelling in the key
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
    Key key;
    Meter meter;
};

// The room the clef and the time signature take at the start of each system.
inline constexpr double SystemHeaderWidth = 7.0;
// The room of each sign of the key signature, which stands between the two.
inline constexpr double SignatureSignWidth = 1.0;

// Where a system's first measure begins: after the clef, the key signature
// and the meter.
double systemHeaderWidth(Key key);
inline constexpr int MeasuresPerSystem = 4;

// Lays the piece out in systems and pages. Systems are filled to their
// width, but for a last one that is much shorter. An empty piece gives one
// page with one empty system.
std::vector<ScorePage> layOutScore(const CompositionStore& store, int noteCount, const ScoreFrame& frame);

} // namespace zintaro::staff
