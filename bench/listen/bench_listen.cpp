// The microphone's pitch detector: how soon a note is answered after it
// begins and how right, over the whole test set (every semitone of each
// staff, each instrument, dry and in a noisy room), and the CPU it takes
// per second of audio.

#include "listen/capture_stream.h"
#include "listen/private_sound_server.h"
#include "listen/test_set.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <thread>

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

double processCpuSeconds()
{
    timespec spent {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &spent);
    return double(spent.tv_sec) + double(spent.tv_nsec) / 1e9;
}

// The share of one core the process spends over `seconds` while this
// thread sleeps: the capture stream's own thread, as the window's thread
// waits for events.
double cpuPercentOver(double seconds)
{
    const double before = processCpuSeconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 100.0 * (processCpuSeconds() - before) / seconds;
}

// The live path: a capture stream listening to a private sound server's
// null sink while a flute plays into it for a few seconds, then stopped.
void BM_CaptureCpuWhileListening(benchmark::State& state)
{
    PrivateSoundServer server;
    if (!server.start() || PrivateSoundServer::addSink().empty()) {
        server.stop();
        state.SkipWithError("no PulseAudio server can run here");
        return;
    }
    const Player& flute = Players[0];
    std::vector<int> notes;
    for (int note = flute.lowestWritten; note <= flute.highestWritten && notes.size() < 8; note += 3)
        notes.push_back(note);
    const RenderedNotes rendered = renderNotes(loadedSynth(), flute.program, notes, Room::NoisyWithReverb);
    const std::string play = server.playCommand(rendered.samples, "flute.raw");
    for (auto _ : state) {
        int heard = 0;
        CaptureStream capture;
        capture.start(
            DetectorSettings { RenderRate, flute.lowestWritten - 1, flute.highestWritten + 1, StandardTuning },
            PrivateSoundServer::Monitor);
        waitFor([&] { return capture.state() != CaptureState::Starting; });
        std::thread player([&] { zintaro::testing::runCommand(play); });
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        state.counters["cpu_percent_listening"] = cpuPercentOver(4.0);
        player.join();
        heard = static_cast<int>(capture.takeNotes().size());
        capture.stop();
        state.counters["cpu_percent_stopped"] = cpuPercentOver(2.0);
        state.counters["notes_played"] = static_cast<double>(notes.size());
        state.counters["notes_heard"] = heard;
    }
    server.stop();
}
BENCHMARK(BM_CaptureCpuWhileListening)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
