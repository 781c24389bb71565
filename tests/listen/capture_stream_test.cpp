#include "listen/capture_stream.h"
#include "listen/private_sound_server.h"
#include "listen/rendered_notes.h"
#include "support/run_command.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace zintaro::listen;
using namespace zintaro::listen::testing;
using zintaro::testing::runCommand;
using zintaro::testing::shellQuoted;
using namespace std::chrono_literals;

namespace {

using CaptureOnPrivateServer = WithPrivateSink<::testing::Test>;

} // namespace

TEST_F(CaptureOnPrivateServer, notesPlayedIntoTheInputAreHeardInTimeWithTheirLevel)
{
    zintaro::midi::FluidSynthEngine synth(zintaro::midi::AudioLatency { RenderRate, 256, 2 });
    if (!synth.loadSoundFont())
        GTEST_SKIP() << "skipped: no General MIDI SoundFont";
    const std::vector<int> notes { 62, 67, 71, 74 };
    const RenderedNotes rendered = renderNotes(synth, Trumpet, notes, Room::Dry);
    const std::string play = server.playCommand(rendered.samples, "notes.raw");

    std::atomic<int> told = 0;
    CaptureStream capture([&] { ++told; });
    capture.start(DetectorSettings { 0, 54, 81, StandardTuning }, PrivateSoundServer::Monitor);
    ASSERT_TRUE(waitFor([&] { return capture.state() != CaptureState::Starting; }));
    ASSERT_EQ(capture.state(), CaptureState::Listening);

    double loudest = -120;
    std::thread meter([&] {
        for (int i = 0; i < 300; ++i, std::this_thread::sleep_for(10ms))
            loudest = std::max(loudest, capture.levelDb());
    });
    const auto played = std::chrono::steady_clock::now();
    ASSERT_EQ(runCommand(play).exitCode, 0);
    meter.join();
    std::vector<int> heard;
    std::vector<std::chrono::steady_clock::time_point> onsets;
    ASSERT_TRUE(waitFor([&] {
        for (const CapturedNote& note : capture.takeNotes()) {
            if (heard.empty() || heard.back() != note.note.midiNote) {
                heard.push_back(note.note.midiNote);
                onsets.push_back(note.onset);
            }
        }
        return heard.size() >= notes.size();
    }));
    EXPECT_EQ(heard, notes);
    // The onsets on the clock lie as far apart as the detector finds them
    // in the same samples offline, within a few of its blocks: the sink
    // plays them as 16-bit stereo, and a waking thread's delay is not
    // taken for the sound's.
    PitchDetector offline(DetectorSettings { RenderRate, 54, 81, StandardTuning });
    std::vector<int64_t> offlineOnsets;
    for (const HeardNote& note : offline.feed(rendered.samples))
        offlineOnsets.push_back(note.onsetSample);
    ASSERT_EQ(offlineOnsets.size(), onsets.size());
    EXPECT_GT(onsets.front() - played, 0ms);
    for (std::size_t i = 1; i < onsets.size(); ++i) {
        const double apart = std::chrono::duration<double>(onsets[i] - onsets[i - 1]).count();
        EXPECT_NEAR(apart, double(offlineOnsets[i] - offlineOnsets[i - 1]) / RenderRate, 0.08);
    }
    EXPECT_GT(loudest, -40.0);
    EXPECT_GT(told, 0);
    capture.stop();
    EXPECT_EQ(capture.state(), CaptureState::Stopped);
    EXPECT_LE(capture.levelDb(), -120.0);
}

TEST_F(CaptureOnPrivateServer, anInputThatVanishesWhileListeningIsSaidOnce)
{
    std::atomic<int> told = 0;
    CaptureStream capture([&] { ++told; });
    capture.start(DetectorSettings {}, PrivateSoundServer::Monitor);
    ASSERT_TRUE(waitFor([&] { return capture.state() == CaptureState::Listening; }));
    PrivateSoundServer::pactl("unload-module " + std::exchange(m_module, {}));
    ASSERT_TRUE(waitFor([&] { return capture.state() == CaptureState::Failed; }));
    EXPECT_EQ(capture.failure(), CaptureFailure::Vanished);
    EXPECT_GT(told, 0);
}

TEST_F(CaptureOnPrivateServer, anInputThatIsNotThereFailsAsData)
{
    CaptureStream capture;
    capture.start(DetectorSettings {}, "no_such_input");
    ASSERT_TRUE(waitFor([&] { return capture.state() == CaptureState::Failed; }));
    EXPECT_EQ(capture.failure(), CaptureFailure::NoDevice);
}

TEST(CaptureStream, withoutASoundServerItFailsAtOnceWithoutWaiting)
{
    const char* before = std::getenv("PULSE_SERVER");
    const std::string kept = before ? before : "";
    ::setenv("PULSE_SERVER", "unix:/nonexistent/zintaro/native", 1);
    CaptureStream capture;
    capture.start(DetectorSettings {});
    EXPECT_TRUE(waitFor([&] { return capture.state() == CaptureState::Failed; }, 2s));
    EXPECT_EQ(capture.failure(), CaptureFailure::NoServer);
    EXPECT_FALSE(captureFailureText(CaptureFailure::NoServer).render().empty());
    if (before)
        ::setenv("PULSE_SERVER", kept.c_str(), 1);
    else
        ::unsetenv("PULSE_SERVER");
}
