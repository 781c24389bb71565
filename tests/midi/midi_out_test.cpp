#include "midi/channel_message.h"
#include "midi/instruments.h"
#include "midi/midi_errors.h"
#include "midi/midi_out.h"
#include "support/recording_midi.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <tuple>
#include <vector>

using namespace zintaro;
using namespace zintaro::midi;
namespace support = zintaro::testing;
using Bytes = support::RecordingMidiSystem::Bytes;

namespace {

// What an output reported, in order: a failure's text, "recovered" and
// "device changed".
struct Reports {
    std::vector<std::string> log;
    std::vector<MidiFailure> failures;

    MidiOut::Listener listener()
    {
        return {
            [this](const MidiFailure& f) { failures.push_back(f), log.push_back(f.text.render()); },
            [this] { log.emplace_back("recovered"); },
            [this] { log.emplace_back("device changed"); },
        };
    }
};

struct MidiOutFixture : ::testing::Test {
    MidiOutFixture() { midi.setListener(reports.listener()); }

    support::RecordingMidiSystem system;
    Reports reports;
    MidiOut midi { system };

    void openBuiltIn() { ASSERT_TRUE(midi.open(-1)); }
};

int16_t programOf(std::string_view name)
{
    const auto it = std::find(InstrumentNames.begin(), InstrumentNames.end(), name);
    return static_cast<int16_t>(it - InstrumentNames.begin());
}

// A system whose devices and failures a test sets up one by one.
struct FakeMidiSystem : MidiSystem {
    std::map<int32_t, std::string> names; // devices whose query succeeds
    int count = 0;
    MidiResult closeResult = MidiOk;
    int calls = 0;

    int deviceCount() override { return ++calls, count; }
    MidiResult deviceName(int32_t id, std::string& name) override
    {
        ++calls;
        const auto it = names.find(id);
        if (it == names.end())
            return errors::BadDeviceId;
        name = it->second;
        return MidiOk;
    }
    MidiResult open(uint32_t& handle, int32_t) override { return ++calls, handle = 7, MidiOk; }
    MidiResult close(uint32_t) override { return ++calls, closeResult; }
    MidiResult shortMessage(uint32_t, uint32_t) override { return ++calls, MidiOk; }
    Text errorText(MidiResult code) override { return Text::verbatim("fake error " + std::to_string(code)); }
};

} // namespace

TEST_F(MidiOutFixture, channelMessagesReachTheDeviceByteExact)
{
    openBuiltIn();
    midi.noteOn(0, 60, 127);
    midi.noteOff(0, 60);
    midi.controlChange(3, 7, 100);
    midi.noteOn(15, 88, 127);
    midi.noteOn(0, 53, 127);

    const std::vector<Bytes> expected {
        { 0x90, 0x3C, 0x7F, 0x00 },
        { 0x90, 0x3C, 0x00, 0x00 },
        { 0xB3, 0x07, 0x64, 0x00 },
        { 0x9F, 0x58, 0x7F, 0x00 },
        { 0x90, 0x35, 0x7F, 0x00 },
    };
    EXPECT_EQ(system.sent, expected);
    EXPECT_TRUE(reports.failures.empty());
}

TEST_F(MidiOutFixture, choosingAnInstrumentSendsBankSelectThenItsProgram)
{
    openBuiltIn();
    const std::vector<std::pair<std::string_view, uint8_t>> table {
        { "Acoustic Grand Piano", 0 },
        { "Violin", 40 },
        { "Basson", 70 },
        { "Bass& Lead", 87 },
        { "Gun Shot", 127 },
    };
    for (const auto& [name, program] : table) {
        system.sent.clear();
        midi.programChange(0, 0, programOf(name));
        const std::vector<Bytes> expected { { 0xB0, 0x00, 0x00, 0x00 }, { 0xC0, program, 0x00, 0x00 } };
        EXPECT_EQ(system.sent, expected) << name;
    }
    EXPECT_TRUE(reports.failures.empty());
}

TEST(InstrumentNames, everyProgramHasItsOwnName)
{
    std::set<std::string_view> distinct(InstrumentNames.begin(), InstrumentNames.end());
    EXPECT_EQ(distinct.size(), InstrumentNames.size());
    EXPECT_EQ(distinct.count(""), 0u);
}

TEST(PackMessage, everyValidMessageKeepsItsBytesInPlaceBothWays)
{
    for (int status = 0x80; status <= 0xFF; ++status)
        for (int data1 = 0; data1 <= 127; ++data1)
            for (int data2 = 0; data2 <= 127; data2 += 7) {
                const uint32_t packed = packMessage(
                    static_cast<uint8_t>(status), static_cast<uint8_t>(data1), static_cast<uint8_t>(data2));
                ASSERT_EQ(packed, static_cast<uint32_t>(status | data1 << 8 | data2 << 16))
                    << status << ' ' << data1 << ' ' << data2;
                const ShortMessage back = unpack(packed);
                ASSERT_EQ(back.status, status);
                ASSERT_EQ(back.data1, data1);
                ASSERT_EQ(back.data2, data2);
            }
    EXPECT_EQ(channelMessage(status::NoteOn, 15, 127, 127), 0x007F7F9Fu);
}

TEST(ShortMessage, notesStartOnlyWithAVelocityAndEndEitherWay)
{
    struct Case {
        uint32_t packed;
        bool starts, ends;
    };
    const std::vector<Case> table {
        { packMessage(0x90, 60, 1), true, false },
        { packMessage(0x9F, 60, 127), true, false },
        { packMessage(0x90, 60, 0), false, true },
        { packMessage(0x85, 60, 64), false, true },
        { packMessage(0xB0, 64, 127), false, false },
        { packMessage(0xA0, 60, 10), false, false },
    };
    for (const Case& c : table) {
        EXPECT_EQ(unpack(c.packed).startsNote(), c.starts) << std::hex << c.packed;
        EXPECT_EQ(unpack(c.packed).endsNote(), c.ends) << std::hex << c.packed;
    }
    EXPECT_EQ(dataLength(0xC3), 1);
    EXPECT_EQ(dataLength(0xD0), 1);
    EXPECT_EQ(dataLength(0xE0), 2);
}

TEST_F(MidiOutFixture, aFailureIsReportedAtEveryMessageUntilSoundWorksAgain)
{
    midi.noteOn(0, 60, 127);
    midi.noteOff(0, 60);
    midi.programChange(0, 0, 40); // two messages
    EXPECT_TRUE(system.sent.empty());
    EXPECT_EQ(reports.log, std::vector<std::string>(4, "recorded error 5"));
    EXPECT_EQ(reports.failures.front().problem, MidiProblem::NotOpen);
    ASSERT_TRUE(midi.failure());

    // Another device opens: its failures are news, the old one is over.
    reports.log.clear();
    midi.selectDevice(-1, 0);
    midi.noteOn(0, 60, 127);
    EXPECT_EQ(reports.log, (std::vector<std::string> { "device changed", "recovered" }));
    EXPECT_FALSE(midi.failure());
    midi.noteOn(0, 60, 200);
    EXPECT_EQ(reports.failures.back().problem, MidiProblem::DataOutOfRange);

    // The same device chosen again is no news; another device is.
    reports.log.clear();
    system.failOpen = true;
    midi.selectDevice(-1, 0);
    EXPECT_EQ(reports.log.front(), "recorded error 2");
    midi.selectDevice(0, 0);
    EXPECT_EQ(std::count(reports.log.begin(), reports.log.end(), "device changed"), 1);
}

// An output that takes everything but cannot sound a note, as the built-in
// synthesizer is without an audio output.
struct SilentOutput : support::RecordingMidiSystem {
    MidiResult shortMessage(uint32_t handle, uint32_t packed) override
    {
        if (!sounding && unpack(packed).startsNote())
            return errors::NoAudioOutput;
        return RecordingMidiSystem::shortMessage(handle, packed);
    }
    bool sounding = false;
};

TEST(MidiOut, aNoteOffThatGoesThroughDoesNotClearAnOutputThatCannotSound)
{
    SilentOutput system;
    Reports reports;
    MidiOut midi(system);
    midi.setListener(reports.listener());
    ASSERT_TRUE(midi.open(-1));
    for (int key = 0; key < 20; ++key) {
        midi.noteOn(0, 60 + key % 12, 127);
        midi.noteOff(0, 60 + key % 12);
        midi.controlChange(0, 64, 0);
        ASSERT_TRUE(midi.failure()) << key;
        EXPECT_EQ(midi.failure()->problem, MidiProblem::NoAudioOutput);
    }
    EXPECT_EQ(std::count(reports.log.begin(), reports.log.end(), "recovered"), 0);

    system.sounding = true;
    midi.noteOn(0, 60, 127);
    EXPECT_FALSE(midi.failure());
    EXPECT_EQ(reports.log.back(), "recovered");
}

TEST_F(MidiOutFixture, aValueOutsideTheDataRangeIsNeverSentAndReportedOnce)
{
    openBuiltIn();
    const std::vector<std::pair<const char*, std::function<void(MidiOut&)>>> table {
        { "note from a damaged file", [](MidiOut& out) { out.noteOn(0, 53 + 200, 127); } },
        { "negative note", [](MidiOut& out) { out.noteOff(0, -1); } },
        { "velocity 128", [](MidiOut& out) { out.noteOn(0, 60, 128); } },
        { "channel 16", [](MidiOut& out) { out.controlChange(16, 0, 0); } },
        { "negative channel", [](MidiOut& out) { out.noteOn(-112, 60, 127); } },
        { "data byte 256", [](MidiOut& out) { out.controlChange(0, 256, 0); } },
    };
    for (const auto& [what, send] : table) {
        reports.failures.clear();
        send(midi);
        EXPECT_TRUE(system.sent.empty()) << what;
        ASSERT_EQ(reports.failures.size(), 1u) << what;
        EXPECT_EQ(reports.failures[0].problem, MidiProblem::DataOutOfRange) << what;
        EXPECT_EQ(reports.failures[0].text.render(), "recorded error " + std::to_string(errors::DataOutOfRange))
            << what;
    }

    // Program 128: the bank select still goes out, the program change does not.
    reports.failures.clear();
    midi.programChange(0, 0, 128);
    EXPECT_EQ(system.sent, (std::vector<Bytes> { { 0xB0, 0x00, 0x00, 0x00 } }));
    EXPECT_EQ(reports.failures.size(), 1u);
}

TEST(DeviceList, entriesSkipUnreadableDevicesAndKeepTheirIdentifiers)
{
    struct Case {
        const char* what;
        std::map<int32_t, std::string> names;
        int count;
        std::vector<std::pair<std::string, int16_t>> expected;
    };
    const std::string name31 = "A product name of 31 characters";
    const std::vector<Case> table {
        { "synthesizer then ports", { { -1, "Synth" }, { 0, "Port A" }, { 1, "Port B" } }, 2,
            { { "Synth", -1 }, { "Port A", 0 }, { "Port B", 1 } } },
        { "synthesizer query fails", { { 0, "Port A" }, { 1, "Port B" } }, 2, { { "Port A", 0 }, { "Port B", 1 } } },
        { "device 1 query fails", { { 0, "Port A" }, { 2, "Port C" } }, 3, { { "Port A", 0 }, { "Port C", 2 } } },
        { "device 1 fails, synthesizer present", { { -1, "Synth" }, { 0, "Port A" }, { 2, "Port C" } }, 3,
            { { "Synth", -1 }, { "Port A", 0 }, { "Port C", 2 } } },
        { "nothing at all", {}, 0, {} },
        { "negative count", { { -1, "Synth" } }, -3, { { "Synth", -1 } } },
        { "name of 31 characters", { { 0, name31 } }, 1, { { name31, 0 } } },
        { "longer names are cut at 31", { { 0, name31 + "XYZ" } }, 1, { { name31, 0 } } },
        { "names end at the first NUL", { { 0, std::string("Port\0junk", 9) } }, 1, { { "Port", 0 } } },
    };
    for (const Case& c : table) {
        FakeMidiSystem system;
        system.names = c.names;
        system.count = c.count;
        MidiOut midi(system);

        std::vector<std::pair<std::string, int16_t>> got;
        for (const DeviceEntry& e : midi.deviceList())
            got.emplace_back(e.text, e.deviceId);
        EXPECT_EQ(got, c.expected) << c.what;
        EXPECT_FALSE(midi.failure()) << c.what;
    }
}

TEST_F(MidiOutFixture, aRefusedOpenIsReportedAndLeavesNoDeviceOpen)
{
    openBuiltIn();
    system.failOpen = true;
    EXPECT_FALSE(midi.open(0));
    EXPECT_EQ(midi.handle(), 0u);
    EXPECT_EQ(system.closes, 1); // the device open before was closed first
    ASSERT_EQ(reports.failures.size(), 1u);
    EXPECT_EQ(reports.failures[0].text.render(), "recorded error 2");
    EXPECT_EQ(reports.failures[0].problem, MidiProblem::BadDeviceId);
}

TEST(MidiOutClose, withoutAnOpenDeviceTheSystemIsNotCalled)
{
    FakeMidiSystem system;
    MidiOut midi(system);
    midi.close();
    EXPECT_EQ(system.calls, 0);
    EXPECT_FALSE(midi.failure());
}

TEST(MidiOutClose, aFailedCloseIsReportedAndTheHandleClearedAllTheSame)
{
    FakeMidiSystem system;
    system.closeResult = errors::PortVanished;
    MidiOut midi(system);
    ASSERT_TRUE(midi.open(0));
    midi.close();
    EXPECT_EQ(midi.handle(), 0u);
    ASSERT_TRUE(midi.failure());
    EXPECT_EQ(midi.failure()->text.render(), "fake error 105");
    EXPECT_EQ(midi.failure()->problem, MidiProblem::PortVanished);
}

TEST_F(MidiOutFixture, startUpWithDeviceZeroFirstOpensItTwiceAndSendsProgramZeroTwice)
{
    system.ports = 1;
    midi.open(0);
    midi.programChange(0, 0, 0);
    midi.selectDevice(0, 0);

    EXPECT_EQ(system.opened, (std::vector<int32_t> { 0, 0 }));
    EXPECT_EQ(system.closes, 1);
    const std::vector<Bytes> programZero { { 0xB0, 0, 0, 0 }, { 0xC0, 0, 0, 0 } };
    std::vector<Bytes> twice = programZero;
    twice.insert(twice.end(), programZero.begin(), programZero.end());
    EXPECT_EQ(system.sent, twice);
}

TEST_F(MidiOutFixture, selectingTheSynthesizerOpensIdentifierMinusOneAndResendsTheInstrument)
{
    midi.selectDevice(-1, programOf("Violin"));
    EXPECT_EQ(system.opened, (std::vector<int32_t> { -1 }));
    EXPECT_EQ(system.sent, (std::vector<Bytes> { { 0xB0, 0, 0, 0 }, { 0xC0, 40, 0, 0 } }));
}

TEST(ShortMessage, oneCheckTellsChannelMessagesFromSystemMessagesAndLargeData)
{
    struct Case {
        uint32_t packed;
        MidiResult result;
    };
    const std::vector<Case> table {
        { 0x007F3C90, MidiOk }, // note-on, largest velocity
        { 0x00000080, MidiOk }, // the lowest channel status, data 0
        { 0x007F7FEF, MidiOk }, // pitch bend on channel 16, the top of its range
        { 0x000028C0, MidiOk }, { 0x7F7F3C90, MidiOk }, // the top byte is not part of the message
        { 0x007F3C7F, errors::NotChannelMessage }, // a data byte where the status belongs
        { 0x00000000, errors::NotChannelMessage }, { 0x000000F0, errors::NotChannelMessage }, // system messages
        { 0x000000F8, errors::NotChannelMessage }, { 0x000000FF, errors::NotChannelMessage },
        { 0x00803C90, errors::DataOutOfRange }, { 0x007FBC90, errors::DataOutOfRange },
        { 0x00FFFF90, errors::DataOutOfRange },
        { 0x00FF00F0, errors::NotChannelMessage }, // the status is looked at first
    };
    for (const Case& c : table)
        EXPECT_EQ(checkChannelMessage(c.packed), c.result) << std::hex << c.packed;

    // The values asked for, before packing, may be anything an int holds.
    const std::vector<std::tuple<int, bool, bool>> bytes {
        { -1, false, false },
        { 0, false, true },
        { 127, false, true },
        { 128, true, false },
        { 0xFF, true, false },
        { 0x100, false, false },
        { -0x80, false, false },
    };
    for (const auto& [value, status, data] : bytes) {
        EXPECT_EQ(isStatusByte(value), status) << value;
        EXPECT_EQ(isDataByte(value), data) << value;
    }
}
