#include "compose/melody_generator.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>

namespace zintaro::compose {

namespace {

// Chances out of a hundred, at the levels that allow them.
constexpr int RestChance = 12;
constexpr int TieChance = 15;
constexpr int ChromaticChance = 12;
constexpr int RepeatWeight = 2;
constexpr int MostRepeats = 3;

using Random = std::mt19937;

int below(Random& random, int count)
{
    return static_cast<int>(random() % static_cast<uint32_t>(count));
}

bool chance(Random& random, int percent)
{
    return below(random, 100) < percent;
}

int weightedPick(Random& random, const std::vector<int>& weights)
{
    int total = 0;
    for (const int w : weights)
        total += w;
    int at = below(random, total);
    for (size_t i = 0; i < weights.size(); ++i) {
        if (at < weights[i])
            return static_cast<int>(i);
        at -= weights[i];
    }
    return static_cast<int>(weights.size()) - 1;
}

// Where a note may stand in a measure: one that begins on a beat may end
// anywhere a dotted value takes it where the level has them, or else on a
// beat; one that begins inside a beat ends within it, but for a
// syncopation, which lasts a beat from its middle.
bool fitsAt(int position, int length, int measure, int beat, const LevelRules& rules)
{
    if (position + length > measure)
        return false;
    const bool onBeat = position % beat == 0;
    const int end = position + length;
    const int nextBeat = (position / beat + 1) * beat;
    if (end <= nextBeat || end % beat == 0)
        return onBeat || end <= nextBeat;
    const bool dotted = std::any_of(rules.lengths.begin(), rules.lengths.end(), [](int l) { return l % 3 == 0; });
    if (onBeat)
        return dotted;
    return rules.syncopation && length == beat && 2 * (position % beat) == beat;
}

std::vector<int> rhythmOf(Random& random, Meter meter, const LevelRules& rules)
{
    const int measure = measureSixteenths(meter);
    const int beat = beatSixteenths(meter);
    std::vector<int> lengths = rules.lengths;
    // Which positions can be filled to the bar with the lengths, from the end back.
    const auto fillableFrom = [&](const std::vector<int>& with) {
        std::vector<bool> fillable(static_cast<size_t>(measure + 1), false);
        fillable[static_cast<size_t>(measure)] = true;
        for (int p = measure - 1; p >= 0; --p)
            for (const int l : with)
                if (fitsAt(p, l, measure, beat, rules) && fillable[static_cast<size_t>(p) + static_cast<size_t>(l)])
                    fillable[static_cast<size_t>(p)] = true;
        return fillable;
    };
    std::vector<bool> fillable = fillableFrom(lengths);
    if (!fillable[0]) {
        // The measure's own length and its beat, where the level's values do not fill it.
        lengths.push_back(measure);
        lengths.push_back(beat);
        fillable = fillableFrom(lengths);
    }

    std::vector<int> rhythm;
    int position = 0;
    while (position < measure) {
        std::vector<int> choices;
        for (const int l : lengths)
            if (fitsAt(position, l, measure, beat, rules)
                && fillable[static_cast<size_t>(position) + static_cast<size_t>(l)])
                choices.push_back(l);
        const int length = choices[static_cast<size_t>(below(random, static_cast<int>(choices.size())))];
        rhythm.push_back(length);
        position += length;
    }
    return rhythm;
}

bool inTonicChord(int midi, Key key)
{
    const auto scale = scalePitchClasses(key);
    const int pitchClass = ((midi % 12) + 12) % 12;
    return pitchClass == scale[0] || pitchClass == scale[2] || pitchClass == scale[4];
}

// Picks the notes' pitches among the key's notes in the range: the first on
// the tonic chord, the last the tonic, the one before it a step from it;
// each within the level's leap and able to reach that step by steps, and no
// more than three alike in a row.
std::vector<int> pitchesOf(
    Random& random, const std::vector<int>& scale, int tonicIndex, int count, const LevelRules& rules, Key key)
{
    const auto size = static_cast<int>(scale.size());
    const auto midiAt = [&](int i) { return scale[static_cast<size_t>(i)]; };
    // Two notes: the tonic twice, as no other note of its chord is a step away.
    if (count <= 2)
        return std::vector<int>(static_cast<size_t>(count), midiAt(tonicIndex));
    std::vector<int> steps;
    for (const int i : { tonicIndex - 1, tonicIndex + 1 })
        if (i >= 0 && i < size)
            steps.push_back(i);
    const int approach = steps[static_cast<size_t>(below(random, static_cast<int>(steps.size())))];
    const auto distance = [&](int i) { return std::abs(i - approach); };

    std::vector<int> starts;
    for (int i = 0; i < size; ++i)
        if (inTonicChord(midiAt(i), key) && distance(i) <= count - 2)
            starts.push_back(i);
    std::vector<int> indices { starts[static_cast<size_t>(below(random, static_cast<int>(starts.size())))] };
    int run = 1;
    for (int j = 1; j < count - 2; ++j) {
        const int previous = indices.back();
        const int movesLeft = count - 2 - j;
        std::vector<int> candidates, weights;
        for (int i = 0; i < size; ++i) {
            const int runWith = i == previous ? run + 1 : 1;
            if (std::abs(midiAt(i) - midiAt(previous)) > rules.largestLeap || distance(i) > movesLeft
                || runWith > MostRepeats)
                continue;
            // The step before the last must not make a fourth note alike.
            if (movesLeft == 1 && i == approach && runWith + 1 > MostRepeats)
                continue;
            candidates.push_back(i);
            weights.push_back(i == previous ? RepeatWeight : std::abs(i - previous) == 1 ? rules.stepWeight : 1);
        }
        const int next = candidates[static_cast<size_t>(weightedPick(random, weights))];
        run = next == previous ? run + 1 : 1;
        indices.push_back(next);
    }
    indices.push_back(approach);
    indices.push_back(tonicIndex);
    std::vector<int> pitches(indices.size());
    std::transform(indices.begin(), indices.end(), pitches.begin(), midiAt);
    return pitches;
}

} // namespace

int measureSixteenths(Meter meter)
{
    return SixteenthsPerWhole * meter.beats / meter.unit;
}

int beatSixteenths(Meter meter)
{
    const int unit = SixteenthsPerWhole / meter.unit;
    return isCompound(meter) ? 3 * unit : unit;
}

LevelRules levelRules(int level)
{
    static const std::array<LevelRules, 8> Levels = { {
        { { 16, 8 }, 2, 0, false, false, false, false, 10 },
        { { 16, 8, 4 }, 4, 1, false, false, false, false, 8 },
        { { 16, 12, 8, 4 }, 5, 2, true, false, false, false, 6 },
        { { 16, 12, 8, 4, 2 }, 7, 3, true, false, false, false, 5 },
        { { 12, 8, 6, 4, 2 }, 9, 4, true, true, false, false, 4 },
        { { 8, 6, 4, 3, 2, 1 }, 12, 5, true, true, false, false, 3 },
        { { 8, 6, 4, 3, 2, 1 }, 12, 6, true, true, true, false, 3 },
        { { 8, 6, 4, 3, 2, 1 }, 12, 7, true, true, true, true, 3 },
    } };
    return Levels[static_cast<size_t>(std::clamp(level, 1, 8) - 1)];
}

std::optional<Phrase> generateMelody(const MelodyRequest& request)
{
    if (request.level < 1 || request.level > 8 || !isOfferedMeter(request.meter) || !isValidKey(request.key)
        || (request.measures != 2 && request.measures != 4 && request.measures != 8))
        return std::nullopt;
    const LevelRules rules = levelRules(request.level);
    const auto classes = scalePitchClasses(request.key);
    std::vector<int> scale;
    for (int midi = std::max(0, request.lowest); midi <= std::min(127, request.highest); ++midi)
        if (std::find(classes.begin(), classes.end(), midi % 12) != classes.end())
            scale.push_back(midi);
    // The last note: the tonic nearest the middle of the range.
    int tonicIndex = -1;
    const int middle = (request.lowest + request.highest) / 2;
    for (int i = 0; i < static_cast<int>(scale.size()); ++i)
        if (scale[static_cast<size_t>(i)] % 12 == classes[0]
            && (tonicIndex < 0
                || std::abs(scale[static_cast<size_t>(i)] - middle)
                    < std::abs(scale[static_cast<size_t>(tonicIndex)] - middle)))
            tonicIndex = i;
    if (scale.size() < 3 || tonicIndex < 0)
        return std::nullopt;

    Random random(request.seed);
    Phrase phrase { request.key, request.meter, request.clef, {} };
    for (int m = 0; m < request.measures; ++m) {
        std::vector<MelodyNote> notes;
        // The last measure is the tonic alone, on its strong beat.
        const std::vector<int> rhythm = m + 1 == request.measures
            ? std::vector<int> { measureSixteenths(request.meter) }
            : rhythmOf(random, request.meter, rules);
        notes.reserve(rhythm.size());
        for (const int length : rhythm)
            notes.push_back({ 0, {}, length, false });
        phrase.measures.push_back(std::move(notes));
    }

    // Rests and ties, never on the first note or the last.
    std::vector<MelodyNote*> all;
    for (auto& measure : phrase.measures)
        for (MelodyNote& n : measure)
            all.push_back(&n);
    for (size_t i = 1; i + 1 < all.size(); ++i)
        if (rules.rests && chance(random, RestChance))
            all[i]->midi = -1;
    for (size_t i = 1; i + 2 < all.size(); ++i)
        if (rules.ties && !all[i]->isRest() && !all[i + 1]->isRest() && chance(random, TieChance))
            all[i]->tiedToNext = true;

    // The notes that are struck: a tied note's continuation is not.
    std::vector<MelodyNote*> struck;
    for (size_t i = 0; i < all.size(); ++i)
        if (!all[i]->isRest() && (i == 0 || !all[i - 1]->tiedToNext))
            struck.push_back(all[i]);
    const std::vector<int> pitches
        = pitchesOf(random, scale, tonicIndex, static_cast<int>(struck.size()), rules, request.key);
    for (size_t j = 0; j < struck.size(); ++j)
        struck[j]->midi = pitches[j];

    // A chromatic neighbour or passing note now and then, within the leap and
    // the range; the step into the last note stays diatonic.
    for (size_t j = 1; rules.chromatic && j + 2 < struck.size(); ++j) {
        if (!chance(random, ChromaticChance))
            continue;
        const int shifted = struck[j]->midi + (chance(random, 50) ? 1 : -1);
        const int before = struck[j - 1]->midi;
        const int after = struck[j + 1]->midi;
        const bool inKey = std::find(classes.begin(), classes.end(), ((shifted % 12) + 12) % 12) != classes.end();
        if (!inKey && shifted >= request.lowest && shifted <= request.highest && shifted != before && shifted != after
            && std::abs(shifted - before) <= rules.largestLeap && std::abs(shifted - after) <= rules.largestLeap)
            struck[j]->midi = shifted;
    }
    for (size_t i = 0; i < all.size(); ++i) {
        if (!all[i]->isRest() && i > 0 && all[i - 1]->tiedToNext)
            all[i]->midi = all[i - 1]->midi;
        if (!all[i]->isRest())
            all[i]->written = spellInKey(all[i]->midi, request.key);
    }
    return phrase;
}

} // namespace zintaro::compose
