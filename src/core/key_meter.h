#pragma once

#include "core/pitch.h"
#include "core/translation.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zintaro {

// A key signature and its reading: from seven flats (−7) to seven sharps
// (7), read as the major key or as its relative minor.
enum class KeyMode : uint8_t { Major, Minor };

struct Key {
    int fifths = 0;
    KeyMode mode = KeyMode::Major;

    friend bool operator==(const Key&, const Key&) = default;
};

inline constexpr int MostAccidentals = 7;

constexpr bool isValidKey(Key key)
{
    return key.fifths >= -MostAccidentals && key.fifths <= MostAccidentals;
}

// The letters the signature alters, in the order they are written: sharps
// F C G D A E B, flats B E A D G C F.
std::span<const Letter> signatureLetters(Key key);

// The sign the signature puts on a letter: sharp, flat, or natural where it
// puts none.
Accidental signatureAccidental(Key key, Letter letter);

// The key's tonic in an octave: D4 for D major, B3 for B minor read from octave 3.
SpelledNote tonicOf(Key key, int octave);

// The seven notes of the key's major (or natural minor) scale from its
// tonic upward, as pitch classes 0..11 counted from C.
std::array<int, 7> scalePitchClasses(Key key);

// How a MIDI note is written in a key: a note of the key in the key's own
// spelling (B♭ in F, E♯ in C♯ major); a note outside it as the white key's
// natural, or, for a black key, as a sharp in C and the sharp keys and as a
// flat in the flat keys.
SpelledNote spellInKey(int midiNote, Key key);

// "C", "F#", "Bb", "Am", "Bbm": the words the files and the answers' history
// keep. Other words give nothing.
std::string keyText(Key key);
std::optional<Key> parseKey(std::string_view text);

// A meter: beats of a note value (4 a quarter, 8 an eighth).
struct Meter {
    int beats = 4;
    int unit = 4;

    friend bool operator==(const Meter&, const Meter&) = default;
};

// 2/4, 3/4, 4/4, 2/2, 3/8, 6/8, 9/8, 12/8.
std::span<const Meter> offeredMeters();
bool isOfferedMeter(Meter meter);

// A measure's length in whole notes: 3/4 gives 0.75.
constexpr double measureLength(Meter meter)
{
    return static_cast<double>(meter.beats) / meter.unit;
}

// Compound meters (6/8, 9/8, 12/8) beat in dotted quarters.
constexpr bool isCompound(Meter meter)
{
    return meter.unit == 8 && meter.beats % 3 == 0 && meter.beats > 3;
}

// "6/8": the words of the files; anything but an offered meter gives nothing.
std::string meterText(Meter meter);
std::optional<Meter> parseMeter(std::string_view text);

} // namespace zintaro

namespace zintaro {

// "Re maggiore / Si minore", "D major / B minor": a signature as the major
// key and the relative minor it is read in, their tonics in the naming chosen.
Text keySignatureCaption(int fifths, NoteNaming naming);

} // namespace zintaro
