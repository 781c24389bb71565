#include "compose/event_clock.h"
#include "compose/tempo_judge.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace zintaro::compose {
namespace {

MelodyNote note(int midi, int length, bool tied = false)
{
    return { midi, midi < 0 ? SpelledNote {} : spellInKey(midi, Key {}), length, tied };
}

// 4/4: Do, Re, Mi tied into | an eighth, an eighth rest, Fa, Sol and La eighths, Si.
Phrase shortPhrase()
{
    Phrase p;
    p.meter = { 4, 4 };
    p.measures = { { note(60, 4), note(62, 8), note(64, 4, true) },
        { note(64, 2), note(-1, 2), note(65, 4), note(67, 2), note(69, 2), note(71, 4) } };
    return p;
}

struct Key1 {
    size_t of; // the note whose onset the key is timed from
    double offsetMs;
    int midi;
};

struct Case {
    const char* what;
    int tempo;
    double delayMs;
    std::vector<Key1> keys;
    size_t watched;
    bool rightPitch;
    Timing timing;
    int extras;
};

// Every edge of the windows, at the slowest and fastest tempo and between,
// with rests, extra and missed notes and the delay correction.
TEST(TempoJudge, judgesEachNoteByItsWindowAtEveryTempo)
{
    const std::vector<Case> cases {
        { "on the beat", 120, 0, { { 1, 0, 62 } }, 1, true, Timing::Perfect, 0 },
        { "perfect edge late", 120, 0, { { 1, 50, 62 } }, 1, true, Timing::Perfect, 0 },
        { "perfect edge early", 120, 0, { { 1, -50, 62 } }, 1, true, Timing::Perfect, 0 },
        { "just past perfect", 120, 0, { { 1, 50.5, 62 } }, 1, true, Timing::Good, 0 },
        { "good edge at 100 ms", 120, 0, { { 1, -100, 62 } }, 1, true, Timing::Good, 0 },
        { "early past 100 ms", 120, 0, { { 1, -100.5, 62 } }, 1, true, Timing::Early, 0 },
        { "late past 100 ms", 120, 0, { { 1, 101, 62 } }, 1, true, Timing::Late, 0 },
        { "tempo 40: an eighth of a beat", 40, 0, { { 1, 187.5, 62 } }, 1, true, Timing::Good, 0 },
        { "tempo 40: past it", 40, 0, { { 1, -188, 62 } }, 1, true, Timing::Early, 0 },
        { "tempo 210: 100 ms still", 210, 0, { { 1, 100, 62 } }, 1, true, Timing::Good, 0 },
        { "tempo 210: past", 210, 0, { { 1, -101, 62 } }, 1, true, Timing::Early, 0 },
        { "delay taken off", 120, 30, { { 1, 80, 62 } }, 1, true, Timing::Perfect, 0 },
        { "delay makes early", 120, 60, { { 1, -45, 62 } }, 1, true, Timing::Early, 0 },
        { "wrong pitch on time", 120, 0, { { 1, 0, 63 } }, 1, false, Timing::Perfect, 0 },
        { "never played", 120, 0, { { 0, 0, 60 } }, 1, false, Timing::Missed, 0 },
        { "second key is extra", 120, 0, { { 1, 0, 62 }, { 1, 120, 62 } }, 1, true, Timing::Perfect, 1 },
        { "late key of a tied note", 120, 0, { { 2, 160, 64 } }, 2, true, Timing::Late, 0 },
        { "late past the next note's half", 210, 0, { { 5, 90, 67 } }, 5, true, Timing::Good, 0 },
        { "rest kept silent", 120, 0, { { 4, 0, 65 } }, 3, true, Timing::Perfect, 0 },
        { "key in the rest", 120, 0, { { 3, 0, 70 } }, 3, false, Timing::Missed, 1 },
        { "key before the phrase", 120, 0, { { 0, -1000, 60 } }, 0, false, Timing::Missed, 1 },
        { "key after the phrase", 120, 0, { { 7, 3000, 71 } }, 7, false, Timing::Missed, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PhraseTimeline timeline = timelineOf(shortPhrase(), c.tempo);
        ASSERT_EQ(timeline.notes.size(), 8u); // the tie joined two written notes
        TempoJudge judge(timeline, c.delayMs);
        int extras = 0;
        for (const Key1& k : c.keys) {
            const TempoOutcome out = judge.keyDown(k.midi, timeline.notes[k.of].onsetMs + k.offsetMs);
            extras += static_cast<int>(out.extras.size());
        }
        EXPECT_TRUE(judge.timePassed(timeline.endMs + 5000).finished);
        ASSERT_EQ(judge.judgements().size(), timeline.notes.size());
        bool found = false;
        for (const NoteJudgement& j : judge.judgements())
            if (j.index == c.watched) {
                found = true;
                EXPECT_EQ(j.rightPitch, c.rightPitch);
                EXPECT_EQ(j.timing, c.timing);
            }
        EXPECT_TRUE(found);
        EXPECT_EQ(extras, c.extras);
        EXPECT_EQ(judge.summary().extras, c.extras);
    }
    EXPECT_DOUBLE_EQ(goodWithinMs(60000.0 / 20), GoodAtMostMs);
    // The count-in is one measure of beats; 6/8 beats in dotted quarters.
    Phrase compound = shortPhrase();
    compound.meter = { 6, 8 };
    compound.measures = { { note(60, 6), note(62, 6) } };
    const PhraseTimeline six = timelineOf(compound, 60);
    EXPECT_EQ(six.beatsPerMeasure, 2);
    EXPECT_DOUBLE_EQ(six.notes[1].onsetMs, 3000);
    EXPECT_EQ(clicksOf(six).size(), 4u);
    EXPECT_TRUE(clicksOf(six)[2].accent);
    EXPECT_FALSE(clicksOf(six)[3].accent);
}

// A simulated student reads generated phrases with a known lateness, a known
// scatter, a wrong key now and then, notes left out and extra keys; the
// window handles each key up to 30 ms after it was struck while the clock
// ticks every 10 ms. The scores and the summary come out as predicted.
TEST(TempoJudge, aSimulatedStudentGetsExactlyThePredictedScores)
{
    for (uint32_t seed = 0; seed < 200; ++seed) {
        SCOPED_TRACE(seed);
        MelodyRequest request;
        request.level = 1 + static_cast<int>(seed % 8);
        request.meter = offeredMeters()[seed % offeredMeters().size()];
        request.seed = seed;
        const auto phrase = generateMelody(request);
        ASSERT_TRUE(phrase);
        const int tempo = 40 + static_cast<int>(seed * 37 % 171);
        const double delay = static_cast<double>(seed % 5) * 20;
        const PhraseTimeline timeline = timelineOf(*phrase, tempo);
        double shortest = timeline.beatMs;
        for (size_t i = 0; i + 1 < timeline.notes.size(); ++i)
            shortest = std::min(shortest, timeline.notes[i + 1].onsetMs - timeline.notes[i].onsetMs);
        const double bias = seed == 0 ? 38 : std::fmod(seed * 7.0, 0.3 * shortest) - 0.15 * shortest;
        struct Stroke {
            double at;
            int midi;
        };
        std::vector<Stroke> strokes;
        PhraseSummary expected;
        double absolute = 0, signedSum = 0;
        for (size_t i = 0; i < timeline.notes.size(); ++i) {
            const TimedNote& n = timeline.notes[i];
            if (n.isRest()) {
                ++expected.rests;
                ++expected.silentRests;
                continue;
            }
            ++expected.notes;
            if (seed != 0 && i % 7 == 3)
                continue; // left out
            const double scatter = seed == 0 ? 0 : std::fmod(i * 13.0, 0.2 * shortest) - 0.1 * shortest;
            const double error = bias + scatter;
            const bool wrong = seed != 0 && i % 5 == 1;
            strokes.push_back({ n.onsetMs + error + delay, wrong ? n.midi + 13 : n.midi });
            if (seed != 0 && i % 9 == 4) {
                strokes.push_back({ n.onsetMs + error + delay + 0.05 * shortest, n.midi + 24 });
                ++expected.extras;
            }
            ++expected.played;
            expected.rightPitches += wrong ? 0 : 1;
            const Timing t = timingOf(error, timeline.beatMs);
            expected.onTime += t == Timing::Perfect || t == Timing::Good ? 1 : 0;
            absolute += std::abs(error);
            signedSum += error;
        }
        TempoJudge judge(timeline, delay);
        size_t next = 0;
        for (double now = 0; (!judge.finished() || next < strokes.size()) && now < timeline.endMs + 10000; now += 10) {
            while (next < strokes.size() && strokes[next].at + static_cast<double>((next * 11) % 31) <= now) {
                judge.keyDown(strokes[next].midi, strokes[next].at);
                ++next;
            }
            judge.timePassed(now);
        }
        ASSERT_TRUE(judge.finished());
        const PhraseSummary got = judge.summary();
        EXPECT_EQ(got.notes, expected.notes);
        EXPECT_EQ(got.rightPitches, expected.rightPitches);
        EXPECT_EQ(got.onTime, expected.onTime);
        EXPECT_EQ(got.played, expected.played);
        EXPECT_EQ(got.extras, expected.extras);
        EXPECT_EQ(got.rests, expected.rests);
        EXPECT_EQ(got.silentRests, expected.silentRests);
        EXPECT_NEAR(got.meanAbsoluteMs, absolute / expected.played, 1e-6);
        EXPECT_NEAR(got.meanMs, signedSum / expected.played, 1e-6);
        int records = 0, timed = 0, right = 0;
        for (const NoteJudgement& j : judge.judgements())
            if (const auto record = answerRecordOf(j, timeline)) {
                ++records;
                timed += record->onsetMs ? 1 : 0;
                right += record->right ? 1 : 0;
                EXPECT_EQ(record->mode, AnswerMode::Tempo);
            }
        EXPECT_EQ(
            std::tuple(records, timed, right), std::tuple(expected.notes, expected.played, expected.rightPitches));
        if (seed == 0) {
            EXPECT_EQ(summaryLines(got).at(3).render(), "In media 38 ms in ritardo");
        }
    }
    EXPECT_EQ(calibratedDelay({ 0, 500, 1000, 1500, 2000 }, { 900, 1530, 2045, 2100 }, 4), 30);
    EXPECT_EQ(calibratedDelay({ 0, 500, 1000, 1500, 2000 }, { 1530 }, 4), std::nullopt);
}

// Keys handled late keep their own times; a stamp clock started anew is followed.
TEST(EventClock, placesEachEventByItsOwnStampAfterTheLeastLagSeen)
{
    EventClock clock;
    const std::array<std::array<double, 3>, 5> events { { { 1000, 5010, 5010 }, { 1500, 5503, 5503 },
        { 2000, 6040, 6003 }, { 0, 7000, 7000 }, { 90, 20000, 20000 } } };
    for (const auto& [stamp, handled, onset] : events)
        EXPECT_DOUBLE_EQ(clock.onset(stamp, handled), onset);
}

} // namespace
} // namespace zintaro::compose
