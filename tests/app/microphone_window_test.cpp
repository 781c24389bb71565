#include "compose/played_instrument.h"
#include "input/key_map.h"
#include "listen/private_sound_server.h"
#include "listen/rendered_notes.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QStringList>

namespace zintaro::testing {
namespace {

using listen::testing::PrivateSoundServer;

// "Leggi" with "Rispondi" on, the default input of a sound server of the
// test's own being a null sink's monitor: what the test plays into the sink
// is what the window's microphone hears.
class MicrophoneWindowTest : public listen::testing::WithPrivateSink<WindowTest> {
protected:
    void SetUp() override
    {
        WithPrivateSink::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    }

    // "Microfono" switched on; true once the capture has had time to listen.
    void switchMicrophoneOn()
    {
        form->controls().microphoneAction->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(form->controls().levelMeter->isVisible(), 3000);
        QTest::qWait(500);
    }

    // Every answer line of the history, split into its fields.
    std::vector<QStringList> answers() const
    {
        QFile file(dataHome.path() + QStringLiteral("/zintaro/answers.csv"));
        std::vector<QStringList> lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty() && !line.startsWith("time,"))
                lines.push_back(QString::fromUtf8(line).split(u','));
        }
        return lines;
    }
};

TEST_F(MicrophoneWindowTest, notesPlayedIntoTheInputAnswerTheTrainerAsTheInstrumentReadsThem)
{
    midi::FluidSynthEngine synth(midi::AudioLatency { listen::testing::RenderRate, 256, 2 });
    if (!synth.loadSoundFont())
        GTEST_SKIP() << "skipped: no General MIDI SoundFont";
    // A B♭ clarinet: each note sounds a tone under the one shown.
    const auto clarinet = static_cast<std::size_t>(compose::PlayedInstrument::ClarinetInBFlat);
    form->controls().playedInstrumentActions.at(clarinet)->trigger();
    switchMicrophoneOn();

    for (std::size_t played = 1; played <= 3; ++played) {
        const int shown = *form->workspace().reading().awaited;
        const auto rendered
            = listen::testing::renderNotes(synth, listen::testing::Clarinet, { shown - 2 }, listen::testing::Room::Dry);
        QProcess pacat;
        pacat.startCommand(QString::fromStdString(server.playCommand(rendered.samples, "note.raw")));
        QTRY_COMPARE_WITH_TIMEOUT(answers().size(), played, 5000);
        pacat.waitForFinished(3000);
        const QStringList line = answers().back();
        EXPECT_EQ(line.value(2).toInt(), shown);
        EXPECT_EQ(line.value(3).toInt(), shown) << "the written note answers";
        EXPECT_EQ(line.value(4), "1");
        EXPECT_EQ(line.back(), "mic");
        QTRY_VERIFY_WITH_TIMEOUT(form->workspace().reading().awaited != shown, 3000);
    }
    EXPECT_EQ(form->controls().scoreLabel->text().left(13), "giuste 3 su 3");
}

TEST_F(MicrophoneWindowTest, anInputThatVanishesIsSaidInOneSentenceAndTheKeysGoOnAnswering)
{
    switchMicrophoneOn();
    PrivateSoundServer::pactl("unload-module " + std::exchange(m_module, {}));
    QTRY_COMPARE_WITH_TIMEOUT(form->controls().statusText->text(),
        QStringLiteral("L'ingresso audio è scomparso: si risponde con i tasti."), 3000);
    EXPECT_FALSE(form->controls().levelMeter->isVisible());
    EXPECT_TRUE(form->controls().microphoneAction->isChecked()) << "the choice stays, to try again";

    const int16_t key = form->workspace().reading().shownKey;
    const auto code = static_cast<Qt::Key>(input::KeyShortcuts.at(static_cast<std::size_t>(key)).keyCode);
    QTest::keyClick(focused(), code);
    ASSERT_EQ(answers().size(), 1U);
    EXPECT_EQ(answers().back().value(4), "1");
    EXPECT_EQ(answers().back().back(), "keys");
}

} // namespace
} // namespace zintaro::testing
