#pragma once

#include "support/jack_dummy.h"
#include "window_fixture.h"

#include <optional>
#include <string>
#include <unistd.h>

namespace zintaro::testing {

// The window listening to MIDI keyboards, as the program does, with a
// keyboard on a JACK server of the test's own. The test is skipped where
// jackd is missing or an ALSA sequencer would be listened to instead: the
// caller checks IsSkipped().
template<typename Base> class WithJackKeyboard : public Base {
protected:
    void startWithKeyboard(const char* name)
    {
        const std::string jackd = findProgram("jackd");
        if (jackd.empty())
            GTEST_SKIP() << "skipped: jackd is not installed (Debian package jackd2)";
        if (access("/dev/snd/seq", F_OK) == 0)
            GTEST_SKIP() << "skipped: this machine has an ALSA sequencer, which the window would listen to";
        this->form.reset();
        server.emplace(jackd);
        ASSERT_TRUE(server->ready()) << "the dummy JACK server did not start";
        keyboard.emplace(name);
        ASSERT_TRUE(keyboard->ok());
        qputenv("XDG_DATA_HOME", this->dataHome.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", this->configHome.path().toLocal8Bit());
        this->form = std::make_unique<app::Form1>(
            app::Form1Services { this->dialogs, this->midi, this->speech, this->files.path(), true });
        this->form->Form_Load();
        this->form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(this->form.get()));
    }
    void TearDown() override
    {
        this->form.reset();
        keyboard.reset();
        server.reset();
        Base::TearDown();
    }

    std::optional<DummyJackServer> server;
    std::optional<JackKeyboard> keyboard;
};

} // namespace zintaro::testing
