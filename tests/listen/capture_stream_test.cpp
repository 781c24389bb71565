#include "listen/capture_stream.h"
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

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// A PulseAudio server of the test's own, on a socket in a folder of its
// own, with a null sink whose monitor stands for the microphone.
struct PrivateSoundServer : ::testing::Test {
    static inline std::filesystem::path folder;
    static inline bool running = false;

    static std::string pactl(const std::string& arguments)
    {
        return runCommand("pactl " + arguments + " 2>/dev/null").output;
    }

    static void SetUpTestSuite()
    {
        folder = std::filesystem::temp_directory_path() / ("zintaro-pulse-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        const std::string home = shellQuoted(folder.string());
        ::setenv("PULSE_SERVER", ("unix:" + (folder / "native").string()).c_str(), 1);
        running = zintaro::testing::haveProgram("pulseaudio") && zintaro::testing::haveProgram("pacat")
            && runCommand("HOME=" + home + " XDG_RUNTIME_DIR=" + home
                   + " pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=no --log-target=file:" + home
                   + "/log -L 'module-native-protocol-unix socket=" + (folder / "native").string()
                   + " auth-anonymous=1' >/dev/null 2>&1")
                    .exitCode
                == 0
            && waitFor([] { return runCommand("pactl info >/dev/null 2>&1").exitCode == 0; });
    }

    static void TearDownTestSuite()
    {
        if (running)
            runCommand("pactl exit >/dev/null 2>&1");
        ::unsetenv("PULSE_SERVER");
        std::filesystem::remove_all(folder);
    }

    void SetUp() override
    {
        if (!running)
            GTEST_SKIP() << "skipped: no PulseAudio server can run here";
        m_module = pactl("load-module module-null-sink sink_name=zintaro_mic rate=48000");
        ASSERT_FALSE(m_module.empty());
    }

    void TearDown() override
    {
        if (!m_module.empty())
            pactl("unload-module " + m_module);
    }

    std::string m_module;
};

} // namespace

TEST_F(PrivateSoundServer, notesPlayedIntoTheInputAreHeardInTimeWithTheirLevel)
{
    zintaro::midi::FluidSynthEngine synth(zintaro::midi::AudioLatency { RenderRate, 256, 2 });
    if (!synth.loadSoundFont())
        GTEST_SKIP() << "skipped: no General MIDI SoundFont";
    const std::vector<int> notes { 62, 67, 71, 74 };
    const RenderedNotes rendered = renderNotes(synth, Trumpet, notes, Room::Dry);
    const auto file = folder / "notes.raw";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(rendered.samples.data()),
            static_cast<std::streamsize>(rendered.samples.size() * sizeof(float)));

    std::atomic<int> told = 0;
    CaptureStream capture([&] { ++told; });
    capture.start(DetectorSettings { 0, 54, 81, StandardTuning }, "zintaro_mic.monitor");
    ASSERT_TRUE(waitFor([&] { return capture.state() != CaptureState::Starting; }));
    ASSERT_EQ(capture.state(), CaptureState::Listening);

    double loudest = -120;
    std::thread meter([&] {
        for (int i = 0; i < 300; ++i, std::this_thread::sleep_for(10ms))
            loudest = std::max(loudest, capture.levelDb());
    });
    const auto played = std::chrono::steady_clock::now();
    ASSERT_EQ(runCommand("pacat --playback --latency-msec=300 --device=zintaro_mic --format=float32le --rate=48000 "
                         "--channels=1 --raw "
                  + shellQuoted(file.string()))
                  .exitCode,
        0);
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

TEST_F(PrivateSoundServer, anInputThatVanishesWhileListeningIsSaidOnce)
{
    std::atomic<int> told = 0;
    CaptureStream capture([&] { ++told; });
    capture.start(DetectorSettings {}, "zintaro_mic.monitor");
    ASSERT_TRUE(waitFor([&] { return capture.state() == CaptureState::Listening; }));
    pactl("unload-module " + std::exchange(m_module, {}));
    ASSERT_TRUE(waitFor([&] { return capture.state() == CaptureState::Failed; }));
    EXPECT_EQ(capture.failure(), CaptureFailure::Vanished);
    EXPECT_GT(told, 0);
}

TEST_F(PrivateSoundServer, anInputThatIsNotThereFailsAsData)
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
