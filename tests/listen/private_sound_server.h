#pragma once

// A PulseAudio server of the test's own, on a socket in a folder of its
// own, with a null sink whose monitor stands for the microphone: what is
// played into the sink is what the microphone hears.

#include "support/run_command.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <span>
#include <string>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace zintaro::listen::testing {

inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class PrivateSoundServer {
public:
    static constexpr const char* Sink = "zintaro_mic";
    static constexpr const char* Monitor = "zintaro_mic.monitor";

    static std::string pactl(const std::string& arguments)
    {
        return zintaro::testing::runCommand("pactl " + arguments + " 2>/dev/null").output;
    }

    // Starts the server and points PULSE_SERVER at it; false where
    // PulseAudio cannot run.
    bool start()
    {
        using zintaro::testing::runCommand;
        m_folder = std::filesystem::temp_directory_path() / ("zintaro-pulse-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        const std::string home = zintaro::testing::shellQuoted(m_folder.string());
        ::setenv("PULSE_SERVER", ("unix:" + (m_folder / "native").string()).c_str(), 1);
        m_running = zintaro::testing::haveProgram("pulseaudio") && zintaro::testing::haveProgram("pacat")
            && runCommand("HOME=" + home + " XDG_RUNTIME_DIR=" + home
                   + " pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=no --log-target=file:" + home
                   + "/log -L 'module-native-protocol-unix socket=" + (m_folder / "native").string()
                   + " auth-anonymous=1' >/dev/null 2>&1")
                    .exitCode
                == 0
            && waitFor([] { return runCommand("pactl info >/dev/null 2>&1").exitCode == 0; });
        return m_running;
    }

    void stop()
    {
        using zintaro::testing::runCommand;
        // The server takes its socket away as it goes, after `pactl exit`
        // has returned: wait for it, and let nothing it still removes
        // trip the clean-up.
        if (m_running && runCommand("pactl exit >/dev/null 2>&1").exitCode == 0)
            waitFor([] { return runCommand("pactl info >/dev/null 2>&1").exitCode != 0; });
        m_running = false;
        ::unsetenv("PULSE_SERVER");
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    bool running() const { return m_running; }
    const std::filesystem::path& folder() const { return m_folder; }

    // The null sink, its monitor made the server's default input; the
    // module's number, empty on failure.
    static std::string addSink()
    {
        std::string module = pactl(std::string("load-module module-null-sink rate=48000 sink_name=") + Sink);
        if (!module.empty())
            pactl(std::string("set-default-source ") + Monitor);
        return module;
    }

    // Mono float samples at 48 kHz written to a file, and the command
    // that plays them into the sink.
    std::string playCommand(std::span<const float> samples, const std::string& name) const
    {
        const auto file = m_folder / name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(samples.data()),
                static_cast<std::streamsize>(samples.size() * sizeof(float)));
        return std::string("pacat --playback --latency-msec=300 --device=") + Sink
            + " --format=float32le --rate=48000 --channels=1 --raw " + zintaro::testing::shellQuoted(file.string());
    }

private:
    std::filesystem::path m_folder;
    bool m_running = false;
};

// A test fixture on `Base` whose every test has a fresh null sink, whose
// monitor is the default input, on a server shared by the suite; without
// PulseAudio the tests say skipped. `m_module` is the sink's, for a test to
// take away mid-way.
template<typename Base> class WithPrivateSink : public Base {
protected:
    static inline PrivateSoundServer server;

    static void SetUpTestSuite() { server.start(); }
    static void TearDownTestSuite() { server.stop(); }

    void SetUp() override
    {
        if (!server.running())
            GTEST_SKIP() << "skipped: no PulseAudio server can run here";
        m_module = PrivateSoundServer::addSink();
        ASSERT_FALSE(m_module.empty());
        Base::SetUp();
    }

    void TearDown() override
    {
        Base::TearDown();
        if (!m_module.empty())
            PrivateSoundServer::pactl("unload-module " + m_module);
    }

    std::string m_module;
};

} // namespace zintaro::listen::testing
