#include "midi/alsa_ports.h"
#include "midi/midi_errors.h"
#include "midi/midi_out.h"
#include "midi/system_midi.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>

using namespace zintaro;
using namespace zintaro::midi;

namespace {

SystemMidiOptions silentSynthOnly()
{
    SystemMidiOptions options;
    options.audio = false;
    options.alsaPorts = false;
    return options;
}

// The texts of every failure an output reports.
struct Failures {
    explicit Failures(MidiOut& midi)
    {
        midi.setListener({ [this](const MidiFailure& f) { texts.push_back(f.text.render()); }, {}, {} });
    }
    std::vector<std::string> texts;
};

} // namespace

TEST(SystemMidi, theBuiltInSynthesizerIsListedFirstOpensAtOnceAndTakesMessages)
{
    SystemMidiOptions options = silentSynthOnly();
    options.alsaPorts = true; // none without a sequencer, and no complaint
    auto system = makeSystemMidi(options);
    MidiOut midi(*system);
    const Failures failures(midi);

    const std::vector<DeviceEntry> list = midi.deviceList();
    ASSERT_FALSE(list.empty());
    if (!AlsaPorts::sequencerPresent()) {
        EXPECT_EQ(list.size(), 1u);
    }
    EXPECT_EQ(list[0].text, BuiltInSynthName);
    EXPECT_EQ(list[0].deviceId, -1);

    const auto start = std::chrono::steady_clock::now();
    midi.selectDevice(-1, 40);
    const auto blocked = std::chrono::steady_clock::now() - start;
    EXPECT_NE(midi.handle(), 0u);
    // Generous: the figure itself is measured by bench_midi.
    EXPECT_LT(blocked, std::chrono::seconds(2));

    midi.noteOn(0, 60, 127);
    midi.noteOff(0, 60);
    midi.close();
    midi.open(-1);
    midi.noteOn(0, 60, 127);
    EXPECT_TRUE(failures.texts.empty()) << failures.texts.front();
}

TEST(SystemMidi, eachWayTheSynthesizerCannotStartIsReportedByTheOpenInItsOwnWords)
{
    struct Case {
        const char* what;
        SystemMidiOptions options;
        // Without an audio output the synthesizer opens and works silently.
        bool opens;
        MidiResult error;
    };
    SystemMidiOptions noFont = silentSynthOnly();
    noFont.soundFonts = { "/nonexistent/zintaro/default-GM.sf2" };
    SystemMidiOptions noAudio = silentSynthOnly();
    noAudio.audio = true;
    noAudio.audioDrivers = { "no-such-driver" };

    const std::vector<Case> table {
        { "no SoundFont", noFont, false, errors::SoundFontMissing },
        { "no audio output", noAudio, true, errors::NoAudioOutput },
    };
    for (const Case& c : table) {
        auto system = makeSystemMidi(c.options);
        MidiOut midi(*system);
        const Failures failures(midi);

        EXPECT_EQ(midi.open(-1), c.opens) << c.what;
        EXPECT_EQ(midi.handle() != 0, c.opens) << c.what;
        midi.noteOn(0, 60, 127);
        midi.noteOn(0, 62, 127);
        // Reported at the open or the first note, and at every note after.
        ASSERT_FALSE(failures.texts.empty()) << c.what;
        for (const std::string& text : failures.texts)
            EXPECT_EQ(text, errorTextFor(c.error).render()) << c.what;
        ASSERT_TRUE(midi.failure()) << c.what;
        EXPECT_EQ(midi.failure()->problem, problemOf(c.error)) << c.what;
    }
}

TEST(SystemMidi, aMissingAudioOutputIsLookedForAgainAtMostEveryTwoSecondsOfNotes)
{
    auto clock = std::make_shared<std::chrono::steady_clock::time_point>(std::chrono::steady_clock::now());
    auto drivers = std::make_shared<std::vector<std::string>>(std::vector<std::string> { "no-such-driver" });
    auto looks = std::make_shared<int>(0);
    SystemMidiOptions options = silentSynthOnly();
    options.audio = true;
    options.now = [clock] { return *clock; };
    options.currentAudioDrivers = [drivers, looks] {
        ++*looks;
        return *drivers;
    };
    auto system = makeSystemMidi(options);

    uint32_t handle = 0;
    ASSERT_EQ(system->open(handle, -1), MidiOk);
    EXPECT_EQ(*looks, 1);

    constexpr uint32_t NoteOn = 0x007F3C90;
    constexpr uint32_t NoteOff = 0x00003C80;
    constexpr uint32_t ProgramChange = 0x000028C0;
    struct Step {
        std::chrono::milliseconds after; // since the previous step
        uint32_t packed;
        MidiResult result;
        int looks; // tries of the audio output so far
    };
    const std::vector<Step> silent {
        { std::chrono::milliseconds(0), NoteOn, errors::NoAudioOutput, 1 },
        { std::chrono::milliseconds(1999), NoteOn, errors::NoAudioOutput, 1 },
        { std::chrono::milliseconds(1), NoteOff, MidiOk, 1 },
        { std::chrono::milliseconds(0), ProgramChange, MidiOk, 1 },
        { std::chrono::milliseconds(0), NoteOn, errors::NoAudioOutput, 2 },
        { std::chrono::milliseconds(500), NoteOn, errors::NoAudioOutput, 2 },
    };
    for (std::size_t i = 0; i < silent.size(); ++i) {
        *clock += silent[i].after;
        EXPECT_EQ(system->shortMessage(handle, silent[i].packed), silent[i].result) << "step " << i;
        EXPECT_EQ(*looks, silent[i].looks) << "step " << i;
    }

    // The sound server starts: within two seconds nothing is tried, then the
    // next note finds it.
    *drivers = { DiscardingOutput };
    *clock += std::chrono::milliseconds(1000);
    EXPECT_EQ(system->shortMessage(handle, NoteOn), errors::NoAudioOutput);
    *clock += std::chrono::milliseconds(1000);
    EXPECT_EQ(system->shortMessage(handle, NoteOn), MidiOk);
    EXPECT_EQ(*looks, 3);
    *clock += std::chrono::seconds(5);
    EXPECT_EQ(system->shortMessage(handle, NoteOn), MidiOk);
    EXPECT_EQ(*looks, 3);
    EXPECT_EQ(system->close(handle), MidiOk);
}

TEST(SystemMidi, unknownDevicesAndHandlesAreRefusedWithTheirOwnTexts)
{
    auto system = makeSystemMidi(silentSynthOnly());
    uint32_t handle = 0;
    EXPECT_EQ(system->open(handle, 0), errors::BadDeviceId);
    EXPECT_EQ(system->open(handle, -2), errors::BadDeviceId);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(system->shortMessage(12345, 0x007F3C90), errors::InvalidHandle);
    EXPECT_EQ(system->close(12345), errors::InvalidHandle);

    EXPECT_EQ(
        system->errorText(errors::BadDeviceId).render(), "Non c'è un dispositivo MIDI di uscita con questo numero.");
}

TEST(SystemMidi, theSequencerPortsFollowTheSynthesizerInOrder)
{
    if (!AlsaPorts::sequencerPresent())
        GTEST_SKIP() << "no ALSA sequencer (/dev/snd/seq) on this machine";

    SystemMidiOptions options = silentSynthOnly();
    options.alsaPorts = true;
    auto system = makeSystemMidi(options);
    MidiOut midi(*system);
    const Failures failures(midi);

    const std::vector<DeviceEntry> list = midi.deviceList();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].deviceId, -1);
    for (std::size_t i = 1; i < list.size(); ++i) {
        EXPECT_GT(list[i].deviceId, list[i - 1].deviceId);
        EXPECT_LE(list[i].text.size(), 31u);
        EXPECT_NE(list[i].text.rfind("Zintaro", 0), 0u) << "our own port listed: " << list[i].text;
    }
    EXPECT_TRUE(failures.texts.empty());
}
