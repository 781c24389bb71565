#include "core/key_meter.h"

#include <algorithm>

namespace zintaro {

namespace {

// Sharps go on in this order; flats in the reverse one.
constexpr std::array<Letter, 7> SharpOrder
    = { Letter::F, Letter::C, Letter::G, Letter::D, Letter::A, Letter::E, Letter::B };
constexpr std::array<Letter, 7> FlatOrder
    = { Letter::B, Letter::E, Letter::A, Letter::D, Letter::G, Letter::C, Letter::F };
constexpr std::array<int, 7> LetterSemitones = { 0, 2, 4, 5, 7, 9, 11 };
constexpr std::array<char, 7> LetterChars = { 'C', 'D', 'E', 'F', 'G', 'A', 'B' };

constexpr std::array<Meter, 8> Meters
    = { Meter { 2, 4 }, { 3, 4 }, { 4, 4 }, { 2, 2 }, { 3, 8 }, { 6, 8 }, { 9, 8 }, { 12, 8 } };

int mod(int a, int b)
{
    return ((a % b) + b) % b;
}

Letter letterAbove(Letter letter, int steps)
{
    return static_cast<Letter>(mod(static_cast<int>(letter) + steps, 7));
}

// The note of a letter and sign that sounds as the MIDI note: only the octave is chosen.
SpelledNote spelledAs(int midiNote, Letter letter, Accidental accidental)
{
    const int natural = midiNote - static_cast<int>(accidental) - LetterSemitones[static_cast<size_t>(letter)];
    return { letter, accidental, (natural - mod(natural, 12)) / 12 - 1 };
}

} // namespace

std::span<const Letter> signatureLetters(Key key)
{
    const auto count = static_cast<size_t>(std::min(MostAccidentals, std::abs(key.fifths)));
    return key.fifths >= 0 ? std::span<const Letter>(SharpOrder).first(count)
                           : std::span<const Letter>(FlatOrder).first(count);
}

Accidental signatureAccidental(Key key, Letter letter)
{
    const auto letters = signatureLetters(key);
    if (std::find(letters.begin(), letters.end(), letter) == letters.end())
        return Accidental::Natural;
    return key.fifths > 0 ? Accidental::Sharp : Accidental::Flat;
}

SpelledNote tonicOf(Key key, int octave)
{
    // Each sharp moves the major tonic a fifth up, four letters; the
    // relative minor lies five letters above it.
    Letter letter = letterAbove(Letter::C, 4 * key.fifths);
    if (key.mode == KeyMode::Minor)
        letter = letterAbove(letter, 5);
    return { letter, signatureAccidental(key, letter), octave };
}

std::array<int, 7> scalePitchClasses(Key key)
{
    const Letter tonic = tonicOf(key, 4).letter;
    std::array<int, 7> classes {};
    for (int i = 0; i < 7; ++i) {
        const Letter letter = letterAbove(tonic, i);
        classes[static_cast<size_t>(i)] = mod(
            LetterSemitones[static_cast<size_t>(letter)] + static_cast<int>(signatureAccidental(key, letter)), 12);
    }
    return classes;
}

SpelledNote spellInKey(int midiNote, Key key)
{
    const int pitchClass = mod(midiNote, 12);
    for (int l = 0; l < 7; ++l) {
        const auto letter = static_cast<Letter>(l);
        const Accidental sign = signatureAccidental(key, letter);
        if (mod(LetterSemitones[static_cast<size_t>(l)] + static_cast<int>(sign), 12) == pitchClass)
            return spelledAs(midiNote, letter, sign);
    }
    return key.fifths >= 0 ? sharpSpelling(midiNote) : flatSpelling(midiNote);
}

std::string keyText(Key key)
{
    const SpelledNote tonic = tonicOf(key, 4);
    std::string text(1, LetterChars[static_cast<size_t>(tonic.letter)]);
    if (tonic.accidental == Accidental::Sharp)
        text += '#';
    else if (tonic.accidental == Accidental::Flat)
        text += 'b';
    if (key.mode == KeyMode::Minor)
        text += 'm';
    return text;
}

std::optional<Key> parseKey(std::string_view text)
{
    for (int fifths = -MostAccidentals; fifths <= MostAccidentals; ++fifths)
        for (const KeyMode mode : { KeyMode::Major, KeyMode::Minor })
            if (keyText({ fifths, mode }) == text)
                return Key { fifths, mode };
    return std::nullopt;
}

std::span<const Meter> offeredMeters()
{
    return Meters;
}

bool isOfferedMeter(Meter meter)
{
    return std::find(Meters.begin(), Meters.end(), meter) != Meters.end();
}

std::string meterText(Meter meter)
{
    return std::to_string(meter.beats) + "/" + std::to_string(meter.unit);
}

std::optional<Meter> parseMeter(std::string_view text)
{
    for (const Meter meter : Meters)
        if (meterText(meter) == text)
            return meter;
    return std::nullopt;
}

} // namespace zintaro

namespace zintaro {

Text keySignatureCaption(int fifths, NoteNaming naming)
{
    const std::string major = noteName(tonicOf({ fifths, KeyMode::Major }, 4), naming, false);
    const std::string minor = noteName(tonicOf({ fifths, KeyMode::Minor }, 4), naming, false);
    return translate("Keys", "%1 maggiore / %2 minore").arg(major).arg(minor);
}

} // namespace zintaro
