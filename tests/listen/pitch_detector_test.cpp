#include "listen/test_set.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>

using namespace zintaro::listen;
using namespace zintaro::listen::testing;
using zintaro::compose::PlayedInstrument;

namespace {

struct RenderedPlayers : ::testing::Test {
    // One synthesizer for the suite: loading the SoundFont takes a while.
    static inline std::unique_ptr<zintaro::midi::FluidSynthEngine> synth;
    static void SetUpTestSuite()
    {
        synth = std::make_unique<zintaro::midi::FluidSynthEngine>(zintaro::midi::AudioLatency { RenderRate, 256, 2 });
        if (!synth->loadSoundFont())
            synth.reset();
    }
    static void TearDownTestSuite() { synth.reset(); }
    void SetUp() override
    {
        if (!synth)
            GTEST_SKIP() << "skipped: no General MIDI SoundFont";
    }
};

} // namespace

// Every semitone of each staff, dry and in a noisy room: the same set as
// the listening benchmark's, which times it.
TEST_F(RenderedPlayers, nearlyEveryNoteOfEachStaffIsHeardRightWithoutOctaveErrors)
{
    int notes = 0;
    int right = 0;
    for (const Room room : { Room::Dry, Room::NoisyWithReverb }) {
        for (const Player& player : Players) {
            const Judged judged = judgePlayer(*synth, player, room, 1);
            EXPECT_EQ(judged.octaveErrors, 0) << player.name;
            notes += judged.notes;
            right += judged.right;
        }
    }
    EXPECT_GE(right * 100, notes * 99) << right << " of " << notes;
}

// The student reads the clarinet's or the horn's part and plays it: the
// microphone hears each note a second or a fifth lower, and the answer is
// the written note.
TEST_F(RenderedPlayers, transposingInstrumentsAnswerWithTheirWrittenNotes)
{
    for (const Player& player : { Players[2], Players[4] }) {
        const Judged judged = judgePlayer(*synth, player, Room::Dry, 5);
        EXPECT_EQ(judged.right, judged.notes) << player.name;
    }
}

// A flute tuned to 430 Hz is heard right only with the reference set so.
TEST_F(RenderedPlayers, theTuningReferenceMovesTheNotesHeard)
{
    RenderedNotes rendered = renderNotes(*synth, Flute, { 62, 65, 69, 74, 79 }, Room::Dry);
    // A 430 Hz orchestra, by reading the 440 Hz rendering a little slower.
    const std::vector<float> at440 = rendered.samples;
    const double ratio = 430.0 / 440.0;
    for (std::size_t i = 0; i < at440.size(); ++i) {
        const double at = double(i) * ratio;
        const auto k = static_cast<std::size_t>(at);
        const double f = at - double(k);
        rendered.samples[i] = float((1 - f) * at440[k] + f * at440[std::min(k + 1, at440.size() - 1)]);
    }
    for (int64_t& onset : rendered.onsets)
        onset = static_cast<int64_t>(double(onset) / ratio);
    const auto right = [&](double tuning) {
        return judgeAsWritten(rendered, DetectorSettings { RenderRate, 55, 85, tuning }).right;
    };
    EXPECT_EQ(right(430.0), 5);
    EXPECT_EQ(right(440.0), 5) << "a quarter of a semitone flat is still the note";
    // Beyond ten hertz the reference stays at 450, and the notes, 40 cents
    // flat of it, are read a semitone low.
    EXPECT_EQ(right(470.0), 0);
}

// Silence and noise alone answer nothing; the level follows the sound.
TEST(PitchDetector, silenceAndNoiseAnswerNothing)
{
    PitchDetector detector(DetectorSettings {});
    EXPECT_TRUE(detector.feed(std::vector<float>(48000, 0.0f)).empty());
    EXPECT_LE(detector.levelDb(), -100.0);
    std::mt19937 random(7);
    std::normal_distribution<float> gauss(0.0f, 0.1f);
    std::vector<float> noise(48000);
    for (float& sample : noise)
        sample = gauss(random);
    EXPECT_TRUE(detector.feed(noise).empty());
    EXPECT_NEAR(detector.levelDb(), -20.0, 1.0);
    EXPECT_GE(detector.windowSize(), 2 * 48000 / 65);
}
