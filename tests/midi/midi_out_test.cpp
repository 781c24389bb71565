#include "midi/channel_message.h"
#include "midi/instruments.h"
#include "midi/midi_errors.h"
#include "midi/midi_out.h"
#include "support/recording_midi.h"
#include "support/scripted_dialogs.h"

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

struct MidiOutFixture : ::testing::Test {
    support::RecordingMidiSystem system;
    support::ScriptedDialogs dialogs;
    MidiOut midi { system, dialogs };

    void openBuiltIn() { ASSERT_TRUE(midi.OpenMidiOut(-1)); }
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
    std::string errorText(MidiResult code) override { return "fake error " + std::to_string(code); }
};

} // namespace

TEST_F(MidiOutFixture, channelMessagesReachTheDeviceByteExact)
{
    openBuiltIn();
    midi.NoteOn(0, 60, 127);
    midi.NoteOff(0, 60);
    midi.ControlChange(3, 7, 100);
    midi.NoteOn(15, 88, 127);
    midi.NoteOn(0, 53, 127);

    const std::vector<Bytes> expected {
        { 0x90, 0x3C, 0x7F, 0x00 },
        { 0x90, 0x3C, 0x00, 0x00 },
        { 0xB3, 0x07, 0x64, 0x00 },
        { 0x9F, 0x58, 0x7F, 0x00 },
        { 0x90, 0x35, 0x7F, 0x00 },
    };
    EXPECT_EQ(system.sent, expected);
    EXPECT_TRUE(dialogs.shown.empty());
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
        midi.ProgramChange(0, 0, programOf(name));
        const std::vector<Bytes> expected { { 0xB0, 0x00, 0x00, 0x00 }, { 0xC0, program, 0x00, 0x00 } };
        EXPECT_EQ(system.sent, expected) << name;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(InstrumentNames, everyProgramHasItsOwnName)
{
    std::set<std::string_view> distinct(InstrumentNames.begin(), InstrumentNames.end());
    EXPECT_EQ(distinct.size(), InstrumentNames.size());
    EXPECT_EQ(distinct.count(""), 0u);
}

TEST(PackShortMessage, everyValidMessageKeepsItsBytesInPlace)
{
    for (int status = 0x80; status <= 0xFF; ++status)
        for (int data1 = 0; data1 <= 127; ++data1)
            for (int data2 = 0; data2 <= 127; data2 += 7) {
                const int32_t packed = MidiOut::PackShortMessage(
                    static_cast<int16_t>(status), static_cast<int16_t>(data1), static_cast<int16_t>(data2));
                ASSERT_EQ(packed, status | data1 << 8 | data2 << 16) << status << ' ' << data1 << ' ' << data2;
            }
    EXPECT_EQ(MidiOut::PackShortMessage(0xFF, 127, 127), 0x007F7FFF);
}

TEST_F(MidiOutFixture, aFailureIsBoxedOnceThenShownInTheStatusUntilSoundWorks)
{
    std::vector<std::string> status;
    midi.setStatusSink([&](const std::string& text) { status.push_back(text); });
    midi.NoteOn(0, 60, 127);
    midi.NoteOff(0, 60);
    midi.ProgramChange(0, 0, 40); // two messages, no further box

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "recorded error 5");
    EXPECT_TRUE(dialogs.shown[0].title.empty());
    EXPECT_FALSE(dialogs.shown[0].isQuestion);
    EXPECT_TRUE(system.sent.empty());
    EXPECT_EQ(status, std::vector<std::string>(4, "recorded error 5"));

    // A device that opens clears the status; a failure of another kind is boxed.
    midi.SelectDevice(-1, 0);
    midi.NoteOn(0, 60, 127);
    EXPECT_EQ(status.back(), "");
    midi.NoteOn(0, 60, 200);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, "recorded error " + std::to_string(errors::DataOutOfRange));

    // The same device chosen again does not box a failure it already told;
    // another device does.
    system.failOpen = true;
    midi.SelectDevice(-1, 0);
    midi.SelectDevice(-1, 0);
    EXPECT_EQ(dialogs.shown.size(), 3u);
    midi.SelectDevice(0, 0);
    EXPECT_EQ(dialogs.shown.size(), 4u);
}

TEST_F(MidiOutFixture, aValueOutsideTheDataRangeIsNeverSentAndReportedOnce)
{
    openBuiltIn();
    const std::vector<std::pair<const char*, std::function<void(MidiOut&)>>> table {
        { "note from a damaged file", [](MidiOut& out) { out.NoteOn(0, 53 + 200, 127); } },
        { "negative note", [](MidiOut& out) { out.NoteOff(0, -1); } },
        { "velocity 128", [](MidiOut& out) { out.NoteOn(0, 60, 128); } },
        { "channel 16", [](MidiOut& out) { out.ControlChange(16, 0, 0); } },
        { "negative status", [](MidiOut& out) { out.SendShortMessage(-112, 60, 127); } },
        { "data byte 256", [](MidiOut& out) { out.SendShortMessage(0x90, 256, 0); } },
    };
    for (const auto& [what, send] : table) {
        MidiOut out(system, dialogs); // a failure of a kind is told once per output
        ASSERT_TRUE(out.OpenMidiOut(-1));
        dialogs.shown.clear();
        send(out);
        EXPECT_TRUE(system.sent.empty()) << what;
        ASSERT_EQ(dialogs.shown.size(), 1u) << what;
        EXPECT_EQ(dialogs.shown[0].text, "recorded error " + std::to_string(errors::DataOutOfRange)) << what;
    }

    // Program 128: the bank select still goes out, the program change does not.
    dialogs.shown.clear();
    midi.ProgramChange(0, 0, 128);
    EXPECT_EQ(system.sent, (std::vector<Bytes> { { 0xB0, 0x00, 0x00, 0x00 } }));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST(FillDeviceList, entriesSkipUnreadableDevicesAndKeepTheirIdentifiers)
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
        support::ScriptedDialogs dialogs;
        MidiOut midi(system, dialogs);

        std::vector<std::pair<std::string, int16_t>> got;
        for (const DeviceEntry& e : midi.FillDeviceList())
            got.emplace_back(e.text, e.itemData);
        EXPECT_EQ(got, c.expected) << c.what;
        EXPECT_TRUE(dialogs.shown.empty()) << c.what;
    }
}

TEST_F(MidiOutFixture, aRefusedOpenShowsTheBoxAndLeavesNoDeviceOpen)
{
    openBuiltIn();
    system.failOpen = true;
    EXPECT_FALSE(midi.OpenMidiOut(0));
    EXPECT_EQ(midi.MidiOutHandle, 0u);
    EXPECT_EQ(system.closes, 1); // the device open before was closed first
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "recorded error 2");
}

TEST(CloseMidiOut, withoutAnOpenDeviceTheSystemIsNotCalled)
{
    FakeMidiSystem system;
    support::ScriptedDialogs dialogs;
    MidiOut midi(system, dialogs);
    midi.CloseMidiOut();
    EXPECT_EQ(system.calls, 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(CloseMidiOut, aFailedCloseIsReportedAndTheHandleClearedAllTheSame)
{
    FakeMidiSystem system;
    system.closeResult = errors::PortVanished;
    support::ScriptedDialogs dialogs;
    MidiOut midi(system, dialogs);
    ASSERT_TRUE(midi.OpenMidiOut(0));
    midi.CloseMidiOut();
    EXPECT_EQ(midi.MidiOutHandle, 0u);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "fake error 105");
}

TEST_F(MidiOutFixture, startUpWithDeviceZeroFirstOpensItTwiceAndSendsProgramZeroTwice)
{
    system.ports = 1;
    midi.OpenMidiOut(0);
    midi.ProgramChange(0, 0, 0);
    midi.SelectDevice(0, 0);

    EXPECT_EQ(system.opened, (std::vector<int32_t> { 0, 0 }));
    EXPECT_EQ(system.closes, 1);
    const std::vector<Bytes> programZero { { 0xB0, 0, 0, 0 }, { 0xC0, 0, 0, 0 } };
    std::vector<Bytes> twice = programZero;
    twice.insert(twice.end(), programZero.begin(), programZero.end());
    EXPECT_EQ(system.sent, twice);
}

TEST_F(MidiOutFixture, selectingTheSynthesizerOpensIdentifierMinusOneAndResendsTheInstrument)
{
    midi.SelectDevice(-1, programOf("Violin"));
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

    // MidiOut's bytes, before packing, may be anything a 16-bit value holds.
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
