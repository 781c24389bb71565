#pragma once

#include "core/key_meter.h"
#include "core/translation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zintaro::compose {

// Where intervals and chords are drawn from: a range of MIDI notes, both
// ends included, and the key when one is chosen.
struct MaterialRequest {
    int lowest = 60;
    int highest = 72;
    std::optional<Key> key;
    uint32_t seed = 0;
};

// Two notes, the lower first, written together (harmonic) or one after the other.
struct Interval {
    SpelledNote lower;
    SpelledNote upper;
    bool harmonic = true;

    friend bool operator==(const Interval&, const Interval&) = default;
};

// From a second to an octave, as its letters count it: 2..8.
int intervalNumber(const Interval& interval);

// "Terza maggiore Do4–Mi4", "Quarta eccedente Fa4–Si4", in the naming chosen.
Text intervalName(const Interval& interval, NoteNaming naming);

// Every interval drawInterval chooses from.
std::vector<Interval> allIntervals(const MaterialRequest& request, bool harmonic);

// A second to an octave within the range: in the key, both notes are the
// key's; without one, any two notes, spelled as a sharp going up. Nothing
// when the range holds no such pair.
std::optional<Interval> drawInterval(const MaterialRequest& request, bool harmonic);

enum class TriadQuality : uint8_t { Major, Minor, Diminished, Augmented };

// A triad from its lowest note up: root position, or the first or second
// inversion.
struct Triad {
    std::vector<SpelledNote> notes;
    TriadQuality quality = TriadQuality::Major;
    int inversion = 0;

    friend bool operator==(const Triad&, const Triad&) = default;
};

// The triad of three notes, low to high, when they make one.
std::optional<Triad> triadOf(const std::vector<SpelledNote>& notes);

// "Do maggiore Do4–Mi4–Sol4", "Re minore primo rivolto Fa4–La4–Re5", in the naming chosen.
Text triadName(const Triad& triad, NoteNaming naming);

// What a drill showed, low to high: a note, an interval or a triad by its
// name; other notes by theirs.
Text shownName(const std::vector<SpelledNote>& notes, NoteNaming naming);

// Every triad drawTriad chooses from.
std::vector<Triad> allTriads(const MaterialRequest& request);

// A triad within the range: in the key, one built on a degree of its scale
// of the key's notes; without one, any of the four qualities on any root.
// Nothing when the range holds none.
std::optional<Triad> drawTriad(const MaterialRequest& request);

// A key struck (or released) while a chord is answered, in milliseconds of
// one clock.
struct KeyStroke {
    int midi = 0;
    int64_t down = 0;
    std::optional<int64_t> up; // still held without one
};

enum class ChordInput : uint8_t { MidiKeyboard, ComputerKeys };

// From a MIDI keyboard, the notes struck within this long of the first make
// the answer; from the computer keys, those held together with it, or
// struck one after the other within the longer time.
inline constexpr int64_t MidiChordWindow = 150;
inline constexpr int64_t ComputerKeysChordWindow = 2000;

struct ChordAnswer {
    bool complete = false; // false: the answer is still being played
    bool right = false; // exactly the notes asked, octaves included
    std::vector<int> wrong; // struck but not asked
    std::vector<int> missing; // asked but not struck
};

// Judges the strokes since the chord was shown, at time `now`: complete once
// as many notes as asked are in it, or once its time is over and no key of
// it is held.
ChordAnswer judgeChord(
    const std::vector<int>& asked, const std::vector<KeyStroke>& strokes, ChordInput input, int64_t now);

} // namespace zintaro::compose
