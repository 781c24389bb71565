#include "core/midi_message.h"
#include "midi/midi_input.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zintaro::midi;
using namespace std::chrono_literals;

namespace {

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

std::string findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// A JACK server of its own, on the dummy driver, for the life of the test.
class DummyJackServer {
public:
    explicit DummyJackServer(const std::string& jackd)
        : m_name("zintaro-test-" + std::to_string(getpid()))
    {
        // Every JACK client of this process, RtMidi's included, finds this server.
        setenv("JACK_DEFAULT_SERVER", m_name.c_str(), 1);
        setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
        std::vector<std::string> args = { jackd, "-n", m_name, "-d", "dummy", "-r", "48000", "-p", "256" };
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, jackd.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~DummyJackServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        unsetenv("JACK_DEFAULT_SERVER");
    }

    bool ready() const
    {
        return m_pid > 0 && waitFor([] {
            jack_client_t* probe = jack_client_open("probe", JackNoStartServer, nullptr);
            if (probe)
                jack_client_close(probe);
            return probe != nullptr;
        });
    }

private:
    std::string m_name;
    pid_t m_pid = -1;
};

// A keyboard on JACK: a client with one physical MIDI output that sends the
// messages it is given at the next period.
class JackKeyboard {
public:
    explicit JackKeyboard(const std::string& name)
    {
        m_client = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
        if (!m_client)
            return;
        m_port = jack_port_register(
            m_client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput | JackPortIsPhysical | JackPortIsTerminal, 0);
        m_queue = jack_ringbuffer_create(4096);
        jack_set_process_callback(m_client, &JackKeyboard::process, this);
        jack_activate(m_client);
        m_portName = jack_port_name(m_port);
    }
    ~JackKeyboard() { unplug(); }

    bool ok() const { return m_client && m_port; }
    const std::string& portName() const { return m_portName; }

    void send(std::initializer_list<uint8_t> message)
    {
        const std::vector<uint8_t> bytes(message);
        const uint8_t size = static_cast<uint8_t>(bytes.size());
        jack_ringbuffer_write(m_queue, reinterpret_cast<const char*>(&size), 1);
        jack_ringbuffer_write(m_queue, reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    void unplug()
    {
        if (m_client)
            jack_client_close(m_client);
        m_client = nullptr;
        if (m_queue)
            jack_ringbuffer_free(m_queue);
        m_queue = nullptr;
    }

private:
    static int process(jack_nframes_t frames, void* self)
    {
        auto* k = static_cast<JackKeyboard*>(self);
        void* buffer = jack_port_get_buffer(k->m_port, frames);
        jack_midi_clear_buffer(buffer);
        uint8_t size = 0;
        while (jack_ringbuffer_read_space(k->m_queue) > 0
            && jack_ringbuffer_peek(k->m_queue, reinterpret_cast<char*>(&size), 1) == 1
            && jack_ringbuffer_read_space(k->m_queue) >= 1u + size) {
            jack_ringbuffer_read_advance(k->m_queue, 1);
            std::array<char, 16> bytes {};
            jack_ringbuffer_read(k->m_queue, bytes.data(), size);
            jack_midi_event_write(buffer, 0, reinterpret_cast<jack_midi_data_t*>(bytes.data()), size);
        }
        return 0;
    }

    jack_client_t* m_client = nullptr;
    jack_port_t* m_port = nullptr;
    jack_ringbuffer_t* m_queue = nullptr;
    std::string m_portName;
};

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
        ASSERT_TRUE(input.open(MidiInputApi::Jack)) << input.status();
        EXPECT_NE(input.status().find("JACK"), std::string::npos) << input.status();
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
    EXPECT_NE(input.status().find("Nessun ingresso MIDI"), std::string::npos) << input.status();
    EXPECT_EQ(input.problem(), MidiInputProblem::NoMidiSystem);
    EXPECT_TRUE(input.sources().empty());
    unsetenv("JACK_DEFAULT_SERVER");
}
