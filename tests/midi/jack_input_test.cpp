#include "core/midi_message.h"
#include "midi/midi_input.h"
#include "support/jack_dummy.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace zintaro::midi;
using namespace std::chrono_literals;

namespace {

using zintaro::testing::DummyJackServer;
using zintaro::testing::findProgram;
using zintaro::testing::JackKeyboard;
using zintaro::testing::waitFor;

// What the input hands over, from its threads.
struct Received {
    std::mutex mutex;
    std::vector<uint32_t> sounded;
    std::vector<NoteEvent> posted;

    MidiInputSinks sinks()
    {
        return { [this](uint32_t m) {
                    const std::lock_guard lock(mutex);
                    sounded.push_back(m);
                },
            [this](NoteEvent e) {
                const std::lock_guard lock(mutex);
                posted.push_back(e);
            } };
    }
    bool hasSounded(uint32_t message)
    {
        const std::lock_guard lock(mutex);
        return std::ranges::find(sounded, message) != sounded.end();
    }
    bool hasPosted(NoteEvent event)
    {
        const std::lock_guard lock(mutex);
        return std::ranges::find(posted, event) != posted.end();
    }
};

bool isConnected(MidiInput& input, const std::string& source)
{
    for (const MidiSource& s : input.sources())
        if (s.name == source)
            return s.connected;
    return false;
}

} // namespace

TEST(JackMidiInput, keyboardsPresentOrPluggedInLaterPlayAndAnUnpluggedOneReleasesItsNotes)
{
    const std::string jackd = findProgram("jackd");
    if (jackd.empty())
        GTEST_SKIP() << "skipped: jackd is not installed (Debian package jackd2)";
    DummyJackServer server(jackd);
    ASSERT_TRUE(server.ready()) << "the dummy JACK server did not start";

    JackKeyboard early("early keys");
    ASSERT_TRUE(early.ok());
    Received received;
    {
        MidiInput input(received.sinks());
        ASSERT_TRUE(input.open(MidiInputApi::Jack)) << input.status().render();
        EXPECT_NE(input.status().render().find("JACK"), std::string::npos) << input.status().render();
        EXPECT_TRUE(waitFor([&] { return isConnected(input, early.portName()); }));

        JackKeyboard late("late keys");
        ASSERT_TRUE(late.ok());
        EXPECT_TRUE(waitFor([&] { return isConnected(input, late.portName()); }));
        for (const MidiSource& s : input.sources())
            EXPECT_NE(s.name.rfind("Zintaro", 0), 0u) << s.name;

        late.send({ 0x93, 60, 100 });
        late.send({ 0x93, 60, 0 });
        late.send({ 0x90, 30, 50 });
        EXPECT_TRUE(waitFor([&] { return received.hasPosted({ 7, 0, false }); }));
        EXPECT_TRUE(received.hasSounded(packMessage(status::NoteOn, 60, 100)));
        EXPECT_TRUE(received.hasPosted({ 7, 100, true }));
        EXPECT_TRUE(received.hasSounded(packMessage(status::NoteOn, 30, 50)));

        // A key held down when its keyboard goes away.
        early.send({ 0x90, 65, 80 });
        ASSERT_TRUE(waitFor([&] { return received.hasPosted({ 12, 80, true }); }));
        early.unplug();
        EXPECT_TRUE(waitFor([&] { return received.hasPosted({ 12, 0, false }); }));
        EXPECT_TRUE(received.hasSounded(packMessage(status::NoteOn, 65, 0)));

        // Disconnected by hand, a keyboard is heard no more.
        ASSERT_TRUE(input.setConnected(late.portName(), false));
        EXPECT_TRUE(waitFor([&] { return !isConnected(input, late.portName()); }));
        late.send({ 0x90, 70, 90 });
        std::this_thread::sleep_for(100ms);
        EXPECT_FALSE(received.hasSounded(packMessage(status::NoteOn, 70, 90)));
    }
}

TEST(MidiInput, withoutAnyMidiSystemItSaysWhyAndListsNothing)
{
    if (access("/dev/snd/seq", F_OK) == 0)
        GTEST_SKIP() << "skipped: this machine has an ALSA sequencer";
    setenv("JACK_DEFAULT_SERVER", "zintaro-no-such-server", 1);
    Received received;
    MidiInput input(received.sinks());
    EXPECT_FALSE(input.open());
    EXPECT_FALSE(input.isOpen());
    EXPECT_NE(input.status().render().find("Nessun ingresso MIDI"), std::string::npos) << input.status().render();
    EXPECT_EQ(input.problem(), MidiInputProblem::NoMidiSystem);
    EXPECT_TRUE(input.sources().empty());
    unsetenv("JACK_DEFAULT_SERVER");
}
