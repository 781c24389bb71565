#include "midi/fluid_synth_engine.h"
#include "midi/stream_clock.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using namespace zintaro::midi;

namespace {

constexpr double Rate = 48000.0;
constexpr float Heard = 1e-2f;

// The first frame from `from` on where the sound rises above a whisper.
int64_t onsetFrom(const std::vector<float>& sound, int64_t from)
{
    for (auto i = static_cast<size_t>(std::max<int64_t>(from, 0)); i < sound.size(); ++i)
        if (std::fabs(sound[i]) > Heard)
            return static_cast<int64_t>(i);
    return -1;
}

// Renders in the uneven pieces an output asks for, left channel only.
std::vector<float> renderFrames(FluidSynthEngine& synth, int64_t frames)
{
    std::vector<float> left(static_cast<size_t>(frames)), right(left.size());
    const int pieces[] = { 256, 137, 480, 1024, 64, 333 };
    for (int64_t done = 0, p = 0; done < frames; ++p) {
        const int n = static_cast<int>(std::min<int64_t>(pieces[p % 6], frames - done));
        synth.render(left.data() + done, right.data() + done, n);
        done += n;
    }
    return left;
}

// How long after its frame each kind of click rises above a whisper when
// nothing shifts it: the sample's own attack.
int64_t attackOf(bool accent)
{
    FluidSynthEngine synth { AudioLatency { Rate, 128, 3 } };
    EXPECT_TRUE(synth.loadSoundFont());
    synth.streamClock().schedule({ 0, accent });
    return onsetFrom(renderFrames(synth, 4800), 0);
}

} // namespace

// The metronome through the synthesizer's percussion channel, rendered with
// no sound card: every click is found in the sound within 2 ms of its beat,
// and after 64 beats at a tempo whose beat is no whole number of frames the
// clicks have drifted less than 1 ms.
TEST(Metronome, clicksSoundOnTheirBeatsAndDoNotDriftOver64Beats)
{
    const int64_t attacks[] = { attackOf(false), attackOf(true) };
    ASSERT_GE(attacks[0], 0);
    ASSERT_GE(attacks[1], 0);
    FluidSynthEngine synth { AudioLatency { Rate, 128, 3 } };
    ASSERT_TRUE(synth.loadSoundFont());
    const double beatFrames = Rate * 60 / 123;
    const int64_t start = 4801;
    std::vector<int64_t> beats;
    for (int k = 0; k <= 64; ++k) {
        beats.push_back(start + std::llround(k * beatFrames));
        ASSERT_TRUE(synth.streamClock().schedule({ beats.back(), k % 4 == 0 }));
    }
    // A cancelled click never sounds.
    FluidSynthEngine other { AudioLatency { Rate, 128, 3 } };
    ASSERT_TRUE(other.loadSoundFont());
    other.streamClock().schedule({ 100, true });
    other.streamClock().cancel();
    other.streamClock().schedule({ 2400, false });
    // The synthesizer starts a voice on its next block of 64 frames.
    const int64_t late = onsetFrom(renderFrames(other, 4800), 0) - 2400 - attacks[0];
    EXPECT_GE(late, 0);
    EXPECT_LT(late, 64);

    const std::vector<float> sound = renderFrames(synth, beats.back() + 4800);
    EXPECT_EQ(synth.streamClock().framesRendered(), beats.back() + 4800);
    // The frame heard now is the last rendered, less the output's buffer.
    const auto nowNs = std::chrono::steady_clock::now().time_since_epoch();
    EXPECT_NEAR(static_cast<double>(*synth.streamClock().frameHeardAt(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(nowNs).count())),
        static_cast<double>(beats.back() + 4800 - 128 * 3), Rate / 10);
    std::vector<double> errorsMs;
    for (size_t k = 0; k < beats.size(); ++k) {
        const int64_t heard = onsetFrom(sound, beats[k] - static_cast<int64_t>(Rate / 100));
        const double error = static_cast<double>(heard - beats[k] - attacks[k % 4 == 0 ? 1 : 0]) * 1000 / Rate;
        EXPECT_LE(std::fabs(error), 2.0) << "beat " << k;
        errorsMs.push_back(error);
    }
    double first = 0, last = 0;
    for (size_t k = 0; k < 8; ++k) {
        first += errorsMs[k] / 8;
        last += errorsMs[errorsMs.size() - 1 - k] / 8;
    }
    EXPECT_LT(std::fabs(last - first), 1.0);
}
