#include "compose/melody_generator.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace zintaro::compose {
namespace {

// The keys a level is read in, each with a meter and a range in turn.
MelodyRequest requestFor(int level, uint32_t seed)
{
    const auto meters = offeredMeters();
    const LevelRules rules = levelRules(level);
    MelodyRequest r;
    r.level = level;
    r.seed = seed;
    const int fifths
        = static_cast<int>(seed % static_cast<uint32_t>(2 * rules.mostAccidentals + 1)) - rules.mostAccidentals;
    r.key = { fifths, seed % 5 == 0 ? KeyMode::Minor : KeyMode::Major };
    r.meter = meters[seed % meters.size()];
    r.measures = std::array { 2, 4, 8 }[seed % 3];
    // A tenth, an octave and a half, two octaves: narrow ranges test the rules hardest.
    const int widths[] = { 16, 19, 24 };
    r.lowest = 48 + static_cast<int>(seed % 13);
    r.highest = r.lowest + widths[seed % 3];
    r.clef = r.lowest < 55 ? Clef::Bass : Clef::Treble;
    return r;
}

bool inTonicTriad(int midi, Key key)
{
    const auto scale = scalePitchClasses(key);
    const int pc = midi % 12;
    return pc == scale[0] || pc == scale[2] || pc == scale[4];
}

// Ten thousand phrases a level, every rule checked on each.
TEST(Melodies, everyPhraseKeepsTheRulesOfItsLevel)
{
    for (int level = 1; level <= 8; ++level) {
        SCOPED_TRACE(level);
        const LevelRules rules = levelRules(level);
        int steps = 0, moves = 0;
        for (uint32_t seed = 0; seed < 10'000; ++seed) {
            const MelodyRequest r = requestFor(level, seed);
            const auto phrase = generateMelody(r);
            ASSERT_TRUE(phrase.has_value()) << seed;
            ASSERT_EQ(static_cast<int>(phrase->measures.size()), r.measures);
            std::vector<const MelodyNote*> struck;
            bool tied = false;
            for (const auto& measure : phrase->measures) {
                int filled = 0;
                for (const MelodyNote& n : measure) {
                    filled += n.length;
                    if (!n.isRest()) {
                        ASSERT_GE(n.midi, r.lowest) << seed;
                        ASSERT_LE(n.midi, r.highest) << seed;
                        ASSERT_EQ(midiNoteOf(n.written), n.midi);
                        if (!tied)
                            struck.push_back(&n);
                        else
                            ASSERT_EQ(n.midi, struck.back()->midi) << "a tie holds its note, seed " << seed;
                    }
                    tied = n.tiedToNext;
                }
                ASSERT_EQ(filled, measureSixteenths(r.meter)) << "seed " << seed;
            }
            ASSERT_GE(struck.size(), 2u);
            EXPECT_TRUE(inTonicTriad(struck.front()->midi, r.key)) << seed;
            const auto& last = phrase->measures.back();
            ASSERT_EQ(last.size(), 1u);
            EXPECT_EQ(last[0].midi % 12, scalePitchClasses(r.key)[0]) << "ends on the tonic, on the downbeat " << seed;
            if (struck.size() > 2) {
                const int approach = std::abs(struck[struck.size() - 2]->midi - struck.back()->midi);
                EXPECT_TRUE(approach == 1 || approach == 2) << "the tonic is reached by step, seed " << seed;
            }
            int run = 1;
            for (size_t i = 1; i < struck.size(); ++i) {
                const int leap = std::abs(struck[i]->midi - struck[i - 1]->midi);
                ASSERT_LE(leap, rules.largestLeap) << "seed " << seed;
                run = leap == 0 ? run + 1 : 1;
                ASSERT_LE(run, 3) << "seed " << seed;
                ++moves;
                steps += leap == 1 || leap == 2 ? 1 : 0;
                if (!rules.chromatic) {
                    const auto scale = scalePitchClasses(r.key);
                    ASSERT_NE(std::find(scale.begin(), scale.end(), struck[i]->midi % 12), scale.end()) << seed;
                }
            }
        }
        // Steps are most of the motion at the first levels.
        if (level <= 3) {
            EXPECT_GT(steps * 2, moves);
        }
    }
}

TEST(Melodies, theSameRequestGivesTheSamePhraseAndAnotherSeedAnother)
{
    const MelodyRequest r = requestFor(6, 42);
    EXPECT_EQ(generateMelody(r), generateMelody(r));
    MelodyRequest other = r;
    other.seed = 43;
    EXPECT_NE(generateMelody(r), generateMelody(other));
}

TEST(Melodies, levelsGrowFromLongNotesToShortAndSyncopatedOnes)
{
    // The values each level uses, gathered over many phrases in 4/4.
    const auto valuesOf = [](int level) {
        std::vector<bool> seen(17, false);
        bool rests = false, ties = false;
        for (uint32_t seed = 0; seed < 500; ++seed) {
            MelodyRequest r { level, {}, {}, 60, 79, Clef::Treble, 8, seed };
            const auto phrase = generateMelody(r);
            for (const auto& measure : phrase->measures)
                for (const MelodyNote& n : measure) {
                    seen[static_cast<size_t>(n.length)] = true;
                    rests = rests || n.isRest();
                    ties = ties || n.tiedToNext;
                }
        }
        std::string text;
        for (int l = 16; l >= 1; --l)
            if (seen[static_cast<size_t>(l)])
                text += std::to_string(l) + " ";
        return text + (rests ? "rests " : "") + (ties ? "ties" : "");
    };
    EXPECT_EQ(valuesOf(1), "16 8 ");
    EXPECT_EQ(valuesOf(2), "16 8 4 ");
    EXPECT_EQ(valuesOf(4), "16 12 8 4 2 rests ");
    EXPECT_EQ(valuesOf(6), "16 8 6 4 3 2 1 rests ties");
}

TEST(Melodies, requestsThatCannotBeMetGiveNothing)
{
    MelodyRequest r;
    r.lowest = 62;
    r.highest = 71; // D4..B4: no C
    EXPECT_FALSE(generateMelody(r).has_value());
    r.lowest = 60;
    r.highest = 61; // C4 and C#4: one note of C major
    EXPECT_FALSE(generateMelody(r).has_value());
    r.highest = 72;
    r.measures = 3;
    EXPECT_FALSE(generateMelody(r).has_value());
    r.measures = 2;
    r.level = 9;
    EXPECT_FALSE(generateMelody(r).has_value());
    r.level = 1;
    r.meter = { 5, 4 };
    EXPECT_FALSE(generateMelody(r).has_value());
}

} // namespace
} // namespace zintaro::compose
