// The microphone's pitch detector: how soon a note is answered after it
// begins and how right, over the whole test set (every semitone of each
// staff, each instrument, dry and in a noisy room), and the CPU it takes
// per second of audio.

#include "listen/test_set.h"

#include <benchmark/benchmark.h>

using namespace zintaro::listen;
using namespace zintaro::listen::testing;

namespace {

zintaro::midi::FluidSynthEngine& loadedSynth()
{
    static zintaro::midi::FluidSynthEngine synth(zintaro::midi::AudioLatency { RenderRate, 256, 2 });
    static const bool loaded = synth.loadSoundFont();
    (void)loaded;
    return synth;
}

void BM_TheWholeTestSet(benchmark::State& state)
{
    auto& synth = loadedSynth();
    for (auto _ : state) {
        int notes = 0;
        int right = 0;
        int octaveErrors = 0;
        std::vector<int64_t> delays;
        std::vector<int64_t> fromOnsets;
        for (const Room room : { Room::Dry, Room::NoisyWithReverb }) {
            for (const Player& player : Players) {
                const Judged judged = judgePlayer(synth, player, room, 1);
                notes += judged.notes;
                right += judged.right;
                octaveErrors += judged.octaveErrors;
                delays.insert(delays.end(), judged.answerDelays.begin(), judged.answerDelays.end());
                fromOnsets.insert(fromOnsets.end(), judged.onsetToAnswer.begin(), judged.onsetToAnswer.end());
            }
        }
        state.counters["notes"] = notes;
        state.counters["right_percent"] = 100.0 * right / notes;
        state.counters["octave_errors"] = octaveErrors;
        // From the note-on to the answer: the instrument's own attack too.
        state.counters["median_answer_ms"] = double(median(delays)) / RenderRate * 1000.0;
        // From the onset the detector heard (the attack's sound) to the answer.
        state.counters["median_onset_to_answer_ms"] = double(median(fromOnsets)) / RenderRate * 1000.0;
    }
}
BENCHMARK(BM_TheWholeTestSet)->Iterations(1)->Unit(benchmark::kSecond);

// CPU per second of audio, in the capture stream's blocks of 256 samples:
// 10 ms of CPU per iteration is 1 % of one core. Arg 1 is the bass staff,
// whose window is twice as long.
void BM_DetectionPerSecondOfAudio(benchmark::State& state)
{
    const bool bass = state.range(0) != 0;
    const Player& player = bass ? Players[8] : Players[1];
    const RenderedNotes rendered = renderNotes(loadedSynth(), player.program,
        { player.lowestWritten + 7, player.lowestWritten + 12, player.lowestWritten + 19 }, Room::NoisyWithReverb);
    PitchDetector detector(
        DetectorSettings { RenderRate, player.lowestWritten - 1, player.highestWritten + 1, StandardTuning });
    const std::span<const float> all(rendered.samples);
    const auto second = static_cast<std::size_t>(RenderRate);
    std::size_t at = 0;
    for (auto _ : state) {
        for (std::size_t done = 0; done < second; done += 256) {
            if (at + 256 > all.size())
                at = 0;
            benchmark::DoNotOptimize(detector.feed(all.subspan(at, 256)));
            at += 256;
        }
    }
    state.counters["window"] = detector.windowSize();
}
BENCHMARK(BM_DetectionPerSecondOfAudio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
