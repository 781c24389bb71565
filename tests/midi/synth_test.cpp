#include "midi/fluid_synth_engine.h"
#include "midi/midi_errors.h"
#include "midi/sound_fonts.h"
#include "midi/synth_diagnostics.h"
#include "storage/user_folders.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>

using namespace zintaro::midi;

namespace {

constexpr double Rate = 44100.0;
constexpr double MiddleC = 261.626;

std::vector<float> renderSeconds(FluidSynthEngine& synth, double seconds)
{
    const int frames = static_cast<int>(seconds * Rate);
    std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
    synth.render(left.data(), right.data(), frames);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = 0.5f * (left[i] + right[i]);
    return left;
}

double rms(const std::vector<float>& s, std::size_t from, std::size_t count)
{
    double sum = 0;
    for (std::size_t i = from; i < from + count; ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(count));
}

// The magnitude at one frequency (Goertzel) of a signal already windowed.
double magnitude(const std::vector<double>& s, double frequency)
{
    const double coeff = 2 * std::cos(2 * std::numbers::pi * frequency / Rate);
    double prev = 0, prev2 = 0;
    for (double x : s) {
        const double next = x + coeff * prev - prev2;
        prev2 = prev;
        prev = next;
    }
    return std::sqrt(std::max(0.0, prev * prev + prev2 * prev2 - coeff * prev * prev2));
}

std::vector<double> hann(const std::vector<float>& s)
{
    std::vector<double> out(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = s[i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(s.size())));
    return out;
}

// The strongest frequency within `width` of `around`, to a twentieth of a hertz.
std::pair<double, double> peakNear(const std::vector<double>& w, double around, double width)
{
    std::pair<double, double> best { around, 0.0 };
    for (double step : { 1.0, 0.05 }) {
        const double from = best.second > 0 ? best.first - 1 : around - width;
        const double to = best.second > 0 ? best.first + 1 : around + width;
        for (double f = from; f <= to; f += step)
            if (const double m = magnitude(w, f); m > best.second)
                best = { f, m };
    }
    return best;
}

// The pitch: the lowest strong partial that the strongest one is a
// harmonic of (a violin's second harmonic can outweigh its first).
double fundamental(const std::vector<float>& s)
{
    const std::vector<double> w = hann(s);
    const auto [strongest, level] = peakNear(w, 1040, 960);
    for (int k = 4; k > 1; --k)
        if (const auto [f, m] = peakNear(w, strongest / k, strongest / k * 0.03); m >= 0.2 * level)
            return f;
    return strongest;
}

// Magnitudes from 50 Hz to 5 kHz in 10 Hz steps, scaled to unit length.
std::vector<double> spectrum(const std::vector<float>& s)
{
    const std::vector<double> w = hann(s);
    std::vector<double> mags;
    for (double f = 50; f <= 5000; f += 10)
        mags.push_back(magnitude(w, f));
    const double norm = std::sqrt(std::inner_product(mags.begin(), mags.end(), mags.begin(), 0.0));
    for (double& m : mags)
        m /= norm;
    return mags;
}

double similarity(const std::vector<double>& a, const std::vector<double>& b)
{
    return std::inner_product(a.begin(), a.end(), b.begin(), 0.0);
}

struct LoadedSynth : ::testing::Test {
    FluidSynthEngine synth { AudioLatency { Rate, 128, 3 } };
    void SetUp() override { ASSERT_TRUE(synth.loadSoundFont()) << "General MIDI SoundFont missing"; }

    std::vector<float> playMiddleC(int program)
    {
        synth.programChange(0, program);
        synth.noteOn(0, 60, 127);
        // The instrument's samples are read on the synthesizer's worker.
        synth.waitUntilIdle();
        return renderSeconds(synth, 0.5);
    }
};

} // namespace

TEST_F(LoadedSynth, middleCSoundsAtItsFundamental)
{
    const std::vector<float> sound = playMiddleC(0);
    EXPECT_GT(rms(sound, 0, sound.size()), 0.01);
    EXPECT_NEAR(fundamental(sound), MiddleC, MiddleC * 0.01);
}

TEST_F(LoadedSynth, aNoteOnWithVelocityZeroLetsTheNoteDecay)
{
    const std::vector<float> held = playMiddleC(0);
    const double loud = rms(held, held.size() - 4410, 4410);
    synth.handle(0x00003C90); // note-on, note 60, velocity 0
    const std::vector<float> after = renderSeconds(synth, 1.5);
    const double tail = rms(after, after.size() - 4410, 4410);
    EXPECT_GT(loud, 0.005);
    EXPECT_LT(tail, loud * 0.1) << loud << " then " << tail;
}

TEST_F(LoadedSynth, violinSoundsDifferentFromThePianoAtTheSamePitch)
{
    const std::vector<double> piano = spectrum(playMiddleC(0));
    synth.allSoundsOff();
    renderSeconds(synth, 0.2);
    const std::vector<float> violinSound = playMiddleC(40);
    const std::vector<double> violin = spectrum(violinSound);

    EXPECT_NEAR(fundamental(violinSound), MiddleC, MiddleC * 0.01);
    EXPECT_LT(similarity(piano, violin), 0.9);
    EXPECT_GT(similarity(violin, violin), 0.999);
}

TEST(FluidSynthEngine, aProgramChosenWhileTheFontLoadsTakesEffectAndOnlyKeysStillHeldSound)
{
    FluidSynthEngine reference { AudioLatency { Rate, 128, 3 } };
    ASSERT_TRUE(reference.loadSoundFont());
    reference.programChange(0, 40);
    reference.noteOn(0, 60, 127);
    reference.waitUntilIdle();
    const std::vector<double> expected = spectrum(renderSeconds(reference, 0.5));

    struct Case {
        const char* what;
        bool releasedBeforeReady;
        int voicesWhenReady;
    };
    const std::vector<Case> table {
        { "a key still held sounds when the font is in", false, 2 }, // the violin is a stereo pair
        { "a key released meanwhile is dropped silently", true, 0 },
    };
    for (const Case& c : table) {
        FluidSynthEngine synth { AudioLatency { Rate, 128, 3 } };
        synth.loadSoundFontInBackground();
        synth.programChange(0, 40);
        EXPECT_EQ(synth.handle(0x007F3C90), MidiOk) << c.what;
        if (c.releasedBeforeReady) {
            EXPECT_EQ(synth.handle(0x00003C80), MidiOk) << c.what;
        }
        synth.waitUntilIdle();
        ASSERT_EQ(synth.fontState(), FluidSynthEngine::FontState::Ready) << c.what;
        std::vector<float> sound = renderSeconds(synth, 0.5);
        // FluidSynth counts a voice from its first rendered block on.
        EXPECT_EQ(synth.activeVoices(), c.voicesWhenReady) << c.what;
        if (c.voicesWhenReady == 0)
            continue;
        EXPECT_GT(similarity(spectrum(sound), expected), 0.99) << c.what;
    }
}

TEST(FluidSynthEngine, aNotePlayedRightAfterChoosingAnInstrumentSoundsWithThatInstrument)
{
    FluidSynthEngine reference { AudioLatency { Rate, 128, 3 }, SampleLoading::WholeFont };
    ASSERT_TRUE(reference.loadSoundFont());
    FluidSynthEngine synth { AudioLatency { Rate, 128, 3 } };
    ASSERT_TRUE(synth.loadSoundFont());

    // The piano is loaded with the font; the others are read when chosen,
    // on the synthesizer's worker, while the note waits for them.
    for (int program : { 0, 40, 73, 0 }) {
        reference.programChange(0, program);
        reference.noteOn(0, 60, 127);
        reference.waitUntilIdle();
        synth.programChange(0, program);
        synth.noteOn(0, 60, 127);
        synth.waitUntilIdle();
        const std::vector<double> expected = spectrum(renderSeconds(reference, 0.5));
        const std::vector<float> sound = renderSeconds(synth, 0.5);
        EXPECT_GT(rms(sound, 0, sound.size()), 0.005) << "program " << program;
        EXPECT_GT(similarity(spectrum(sound), expected), 0.99) << "program " << program;
        reference.allSoundsOff();
        synth.allSoundsOff();
        renderSeconds(reference, 0.1);
        renderSeconds(synth, 0.1);
    }
}

TEST(FluidSynthEngine, theOwnStreamPausesWhenSilentAndResumesOnTheNextNote)
{
    FluidSynthEngine synth;
    ASSERT_TRUE(synth.loadSoundFont());
    if (synth.startAudio({ OwnPulseStream }) != MidiOk)
        GTEST_SKIP() << "no PulseAudio server to play to";
    EXPECT_TRUE(synth.audioPaused()) << "nothing has sounded yet";

    // The stream's own thread resumes and pauses it: wait for it, generously.
    const auto becomes = [&synth](bool paused, std::chrono::seconds within) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (synth.audioPaused() != paused && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return synth.audioPaused() == paused;
    };
    synth.noteOn(0, 60, 127);
    EXPECT_TRUE(becomes(false, std::chrono::seconds(2))) << "a note did not resume the output";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(synth.audioPaused()) << "paused while the note sounds";
    synth.noteOff(0, 60);

    EXPECT_TRUE(becomes(true, std::chrono::seconds(10))) << "still running long after the note died away";
    synth.noteOn(0, 62, 127);
    EXPECT_TRUE(becomes(false, std::chrono::seconds(2))) << "the next note did not resume it";
}

TEST(FluidSynthEngine, aMissingOrDamagedFontIsAnErrorOfItsOwnForEveryMessage)
{
    const auto folder = std::filesystem::temp_directory_path() / ("zintaro_midi_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "damaged.sf2") << "RIFF not really a SoundFont";

    const std::vector<std::pair<std::filesystem::path, MidiResult>> table {
        { folder / "absent.sf2", errors::SoundFontMissing },
        { folder / "damaged.sf2", errors::SoundFontUnreadable },
    };
    for (const auto& [path, error] : table) {
        FluidSynthEngine synth;
        EXPECT_FALSE(synth.loadSoundFont({ path })) << path;
        EXPECT_EQ(synth.fontError(), error) << path;
        EXPECT_EQ(synth.handle(0x007F3C90), error) << path;
    }
    std::filesystem::remove_all(folder);
}

TEST(FluidSynthEngine, itsOwnLogLinesAreKeptAsDiagnosticsNotPrinted)
{
    FluidSynthEngine engine;
    ASSERT_TRUE(engine.valid());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(engine.startAudio({ "no-such-driver" }), errors::NoAudioOutput);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.find("no-such-driver"), std::string::npos) << printed;
    const std::vector<std::string> lines = synthDiagnostics();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("error: ") && line.find("no-such-driver") != std::string::npos;
    }));
}

TEST(FluidSynthEngine, messagesThatAreNotChannelMessagesOrCarryLargeDataAreRefused)
{
    FluidSynthEngine synth;
    const std::vector<std::pair<uint32_t, MidiResult>> table {
        { 0x007F3C90, MidiOk },
        { 0x00000028C0, MidiOk },
        { 0x007F3C40, errors::NotChannelMessage },
        { 0x000000F8, errors::NotChannelMessage },
        { 0x007FBC90, errors::DataOutOfRange },
        { 0x00803C90, errors::DataOutOfRange },
    };
    for (const auto& [packed, result] : table)
        EXPECT_EQ(synth.handle(packed), result) << std::hex << packed;
}

TEST(SynthSoundFonts, theSearchTriesDebiansFontThenTheXdgDataFoldersInOrder)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("zintaro_fonts_" + std::to_string(::getpid()));
    const std::vector<fs::path> files {
        "home/soundfonts/x.sf2",
        "home/soundfonts/b.sf3",
        "home/soundfonts/notes.txt",
        "home/sounds/sf2/y.sf2",
        "user/.local/share/soundfonts/u.sf2",
        "dirs1/soundfonts/a.sf2",
        "dirs2/sounds/sf2/z.sf2",
    };
    for (const fs::path& f : files) {
        fs::create_directories((root / f).parent_path());
        std::ofstream(root / f) << "RIFF";
    }
    const std::string home = (root / "home").string();
    const std::string user = (root / "user").string();
    const std::string dirs = (root / "dirs1").string() + "::relative/share:" + (root / "dirs2").string();

    struct Case {
        const char* what;
        const char* dataHome; // nullptr: not set
        const char* dataDirs;
        std::vector<fs::path> expected; // in this order, under root
    };
    const std::vector<Case> table {
        { "both set", home.c_str(), dirs.c_str(),
            { "home/soundfonts/x.sf2", "home/soundfonts/b.sf3", "home/sounds/sf2/y.sf2", "dirs1/soundfonts/a.sf2",
                "dirs2/sounds/sf2/z.sf2" } },
        { "the user's folder by default", nullptr, dirs.c_str(),
            { "user/.local/share/soundfonts/u.sf2", "dirs1/soundfonts/a.sf2", "dirs2/sounds/sf2/z.sf2" } },
        { "the system's folders by default", home.c_str(), nullptr,
            { "home/soundfonts/x.sf2", "home/soundfonts/b.sf3", "home/sounds/sf2/y.sf2" } },
    };
    for (const Case& c : table) {
        zintaro::storage::Environment environment;
        environment.dataHome = c.dataHome;
        environment.dataDirs = c.dataDirs;
        environment.home = user.c_str();
        const std::vector<fs::path> found = defaultSoundFonts(zintaro::storage::dataFolders(environment));

        ASSERT_FALSE(found.empty()) << c.what;
        EXPECT_EQ(found.front(), "/usr/share/sounds/sf2/default-GM.sf2") << c.what;
        std::vector<fs::path> ours;
        for (const fs::path& p : found)
            if (p.string().starts_with(root.string()))
                ours.push_back(p.lexically_relative(root));
        EXPECT_EQ(ours, c.expected) << c.what;
        for (auto it = found.begin(); it != found.end(); ++it)
            EXPECT_EQ(std::count(it, found.end(), *it), 1) << c.what << ": " << *it << " listed twice";
    }
    fs::remove_all(root);
}
