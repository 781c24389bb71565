#include "core/midi_message.h"
#include "midi/midi_input_dispatch.h"
#include "midi/midi_message_parser.h"
#include "midi/midi_source_tracker.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <vector>

using namespace zintaro::midi;

namespace {

using Bytes = std::vector<uint8_t>;
using Type = MidiEvent::Type;

std::vector<MidiEvent> parse(const Bytes& bytes)
{
    MidiMessageParser parser;
    std::vector<MidiEvent> events;
    parser.feed(bytes, [&](const MidiEvent& e) { events.push_back(e); });
    return events;
}

struct ParserCase {
    const char* what;
    Bytes bytes;
    std::vector<MidiEvent> events;
};

struct Recorder {
    std::vector<uint32_t> sounded;
    std::vector<NoteEvent> posted;
    MidiInputSinks sinks()
    {
        return { [this](uint32_t m) { sounded.push_back(m); }, [this](NoteEvent e) { posted.push_back(e); } };
    }
};

// A port graph held in memory: connecting changes what is connected.
struct FakeGraph : InputPortGraph {
    std::vector<MidiPort> ports;
    std::vector<std::string> connected;
    std::vector<std::string> connectCalls;

    std::vector<MidiPort> senders() override { return ports; }
    std::vector<std::string> connectedSenders() override { return connected; }
    bool connect(const std::string& s) override
    {
        connectCalls.push_back(s);
        connected.push_back(s);
        return true;
    }
    bool disconnect(const std::string& s) override
    {
        std::erase(connected, s);
        return true;
    }
    void unplug(const std::string& s)
    {
        std::erase_if(ports, [&](const MidiPort& p) { return p.name == s; });
        std::erase(connected, s);
    }
};

} // namespace

TEST(MidiMessageParser, readsTheChannelMessagesOfAByteStream)
{
    const std::vector<ParserCase> cases = {
        { "note on, any channel", { 0x93, 60, 100 }, { { Type::NoteOn, 60, 100 } } },
        { "note off", { 0x80, 60, 64 }, { { Type::NoteOff, 60, 0 } } },
        { "velocity 0 is a note-off", { 0x90, 60, 0 }, { { Type::NoteOff, 60, 0 } } },
        { "running status", { 0x90, 60, 100, 62, 90, 60, 0 },
            { { Type::NoteOn, 60, 100 }, { Type::NoteOn, 62, 90 }, { Type::NoteOff, 60, 0 } } },
        { "sustain pedal", { 0xBF, 64, 127 }, { { Type::ControlChange, 64, 127 } } },
        { "SysEx in the middle, then running status is gone", { 0x90, 60, 100, 0xF0, 1, 2, 3, 0xF7, 62, 90 },
            { { Type::NoteOn, 60, 100 } } },
        { "SysEx ended by a new status", { 0xF0, 0x7E, 0x90, 60, 1 }, { { Type::NoteOn, 60, 1 } } },
        { "real-time bytes anywhere", { 0xF8, 0x90, 0xFE, 60, 0xFA, 100, 0xFF }, { { Type::NoteOn, 60, 100 } } },
        { "real-time bytes keep running status and SysEx", { 0xF0, 0xF8, 5, 0xF7, 0x90, 61, 2, 0xF8, 61, 0 },
            { { Type::NoteOn, 61, 2 }, { Type::NoteOff, 61, 0 } } },
        { "truncated message dropped", { 0x90, 60, 0x90, 62, 80 }, { { Type::NoteOn, 62, 80 } } },
        { "stray data without status", { 60, 100, 0x90, 64, 1 }, { { Type::NoteOn, 64, 1 } } },
        { "program change and pressure skipped, with their one data byte", { 0xC0, 5, 0xD0, 7, 0x90, 60, 9 },
            { { Type::NoteOn, 60, 9 } } },
        { "pitch bend and song position ignored", { 0xE0, 0, 64, 0xF2, 1, 2, 3 }, {} },
        { "message cut at the end", { 0x90, 60 }, {} },
    };
    for (const ParserCase& c : cases)
        EXPECT_EQ(parse(c.bytes), c.events) << c.what;
}

TEST(MidiInputDispatch, soundsAndPostsEveryNoteOnChannel0)
{
    Recorder r;
    MidiInputDispatch dispatch(r.sinks());
    const Bytes bytes = { 0x95, 53, 90, 0x85, 53, 0, 0x92, 88, 1, 40, 70, 89, 70, 0xB3, 64, 127, 0xB3, 7, 10 };
    dispatch.receive(bytes);

    const std::vector<uint32_t> sounded = { packMessage(status::NoteOn, 53, 90), packMessage(status::NoteOn, 53, 0),
        packMessage(status::NoteOn, 88, 1), packMessage(status::NoteOn, 40, 70), packMessage(status::NoteOn, 89, 70),
        packMessage(status::ControlChange, 64, 127) };
    EXPECT_EQ(r.sounded, sounded);
    const std::vector<NoteEvent> posted
        = { { 0, 90, true }, { 0, 0, false }, { 35, 1, true }, { -13, 70, true }, { 36, 70, true } };
    EXPECT_EQ(r.posted, posted);
}

TEST(MidiInputDispatch, releasingHeldNotesEndsOnlyTheNotesStillDownAndThePedal)
{
    Recorder r;
    MidiInputDispatch dispatch(r.sinks());
    dispatch.receive(Bytes { 0x90, 60, 100, 62, 100, 30, 100, 62, 0, 0xB0, 64, 127 });
    r.sounded.clear();
    r.posted.clear();

    dispatch.releaseHeldNotes();
    const std::vector<uint32_t> sounded = { packMessage(status::NoteOn, 30, 0), packMessage(status::NoteOn, 60, 0),
        packMessage(status::ControlChange, 64, 0) };
    EXPECT_EQ(r.sounded, sounded);
    EXPECT_EQ(r.posted, (std::vector<NoteEvent> { { -23, 0, false }, { 7, 0, false } }));

    r.sounded.clear();
    dispatch.releaseHeldNotes();
    EXPECT_EQ(r.sounded, (std::vector<uint32_t> { packMessage(status::ControlChange, 64, 0) }));
}

TEST(SourceTracker, connectsHardwareSendersOnceNeverItsOwnAndReportsLostOnes)
{
    FakeGraph graph;
    graph.ports = { { "Keystation:port 0", true }, { "Virtual Keys:out", false }, { "Zintaro:out", true },
        { "Zintaro-01:out", true }, { "ZintaroFan:out", true } };
    SourceTracker tracker("Zintaro");

    EXPECT_FALSE(tracker.update(graph));
    EXPECT_EQ(graph.connectCalls, (std::vector<std::string> { "Keystation:port 0", "ZintaroFan:out" }));

    // Disconnected by hand: lost once, and not connected again on the next look.
    graph.disconnect("ZintaroFan:out");
    EXPECT_TRUE(tracker.update(graph));
    EXPECT_FALSE(tracker.update(graph));

    // Plugged in later, unplugged, plugged in again.
    graph.ports.push_back({ "Piano:midi", true });
    EXPECT_FALSE(tracker.update(graph));
    graph.unplug("Piano:midi");
    EXPECT_TRUE(tracker.update(graph));
    graph.ports.push_back({ "Piano:midi", true });
    EXPECT_FALSE(tracker.update(graph));
    EXPECT_EQ(std::ranges::count(graph.connectCalls, std::string("Piano:midi")), 2);
    EXPECT_EQ(std::ranges::count(graph.connected, std::string("Piano:midi")), 1);
}

TEST(SourceTracker, aSenderSwitchedOffIsLeftAloneAtStartAndWhenPluggedInAgain)
{
    FakeGraph graph;
    graph.ports = { { "Keystation:port 0", true }, { "Piano:midi", true } };
    SourceTracker tracker("Zintaro");
    tracker.setSwitchedOff({ "Piano:midi" });
    tracker.update(graph);
    graph.unplug("Piano:midi");
    tracker.update(graph);
    graph.ports.push_back({ "Piano:midi", true });
    tracker.update(graph);
    EXPECT_EQ(graph.connectCalls, (std::vector<std::string> { "Keystation:port 0" }));
}
