#include "compose/phrase_entries.h"

#include <algorithm>
#include <array>

namespace zintaro::compose {

namespace {

struct WrittenValue {
    int sixteenths;
    int16_t code;
    bool dotted;
};

// Longest first, so that a length is written in as few values as it can.
constexpr std::array<WrittenValue, 8> Values { {
    { 16, 0, false },
    { 12, 1, true },
    { 8, 1, false },
    { 6, 2, true },
    { 4, 2, false },
    { 3, 3, true },
    { 2, 3, false },
    { 1, 4, false },
} };

} // namespace

MelodyRequest compositionPhraseRequest(const PracticeChoices& practice, Key key, Meter meter, uint32_t seed)
{
    const int a = midiNoteOf(practice.range().lowest);
    const int b = midiNoteOf(practice.range().highest);
    MelodyRequest request;
    request.level = practice.level;
    request.key = key;
    request.meter = isOfferedMeter(meter) ? meter : Meter {};
    request.lowest = std::max(std::min(a, b), midiNoteOf(CompositionRange.lowest));
    request.highest = std::min(std::max(a, b), midiNoteOf(CompositionRange.highest));
    request.clef = Clef::Treble;
    request.measures = 4;
    request.seed = seed;
    return request;
}

Text tooFewForPhrase(NoteNaming naming)
{
    return translate("Compose",
        "L'estensione scelta ha troppo poche note per una frase sul pentagramma della composizione, "
        "che va da %1 a %2: scegline una più ampia con «Estensione…».")
        .arg(noteName(CompositionRange.lowest, naming, true))
        .arg(noteName(CompositionRange.highest, naming, true));
}

Clef timedPhraseClef(const PracticeChoices& practice)
{
    return practice.clef == Clef::Bass ? Clef::Bass : Clef::Treble;
}

MelodyRequest timedPhraseRequest(const PracticeChoices& practice, Key key, Meter meter, uint32_t seed)
{
    MelodyRequest request = compositionPhraseRequest(practice, key, meter, seed);
    if (timedPhraseClef(practice) == Clef::Bass) {
        const int a = midiNoteOf(practice.range().lowest);
        const int b = midiNoteOf(practice.range().highest);
        request.lowest = std::min(a, b);
        request.highest = std::max(a, b);
        request.clef = Clef::Bass;
    }
    return request;
}

Text tooFewForTimedPhrase(const PracticeChoices& practice, NoteNaming naming)
{
    if (timedPhraseClef(practice) == Clef::Treble)
        return tooFewForPhrase(naming);
    return translate("Compose",
        "L'estensione scelta ha troppo poche note per una frase in chiave di Fa: scegline una più ampia con "
        "«Estensione…».");
}

std::vector<Entry> entriesOfPhrase(const Phrase& phrase)
{
    std::vector<Entry> entries;
    for (const auto& measure : phrase.measures) {
        for (const MelodyNote& note : measure) {
            const int key = note.isRest() ? 0 : note.midi - MidiNoteOfLowestKey;
            const int16_t rest = note.isRest() ? True16 : False16;
            int left = note.length;
            for (const WrittenValue& v : Values) {
                while (left >= v.sixteenths) {
                    left -= v.sixteenths;
                    const bool tied = rest == False16 && (left > 0 || note.tiedToNext);
                    entries.push_back({ rest, static_cast<int16_t>(key), v.code, v.dotted, tied });
                }
            }
        }
    }
    return entries;
}

} // namespace zintaro::compose
