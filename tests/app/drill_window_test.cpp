#include "input/key_map.h"
#include "jack_window.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <optional>
#include <string>

namespace zintaro::testing {
namespace {

// Intervals and chords answered with real keys: the computer keys, held
// together or struck one after the other within the time the judge allows,
// and a MIDI keyboard on a JACK server of the test's own. Each is first
// answered with its lowest note a semitone low, then right.
enum class Play : uint8_t { KeysTogether, KeysOneAfterAnother, MidiKeyboard };

const struct DrillRow {
    const char* drill;
    Play play;
} Rows[] = {
    { "Intervalli", Play::KeysTogether },
    { "Intervalli", Play::KeysOneAfterAnother },
    { "Accordi", Play::KeysTogether },
    { "Accordi", Play::KeysOneAfterAnother },
    { "Intervalli", Play::MidiKeyboard },
    { "Accordi", Play::MidiKeyboard },
};

class DrillWindowTest : public WithJackKeyboard<WindowTest> {
protected:
    void choose(const char* drill)
    {
        for (QAction* a : form->controls().practiceMenu->actions())
            if (a->iconText() == QString::fromUtf8(drill) && !a->isChecked())
                a->trigger();
    }

    std::string score() const { return form->controls().scoreLabel->text().toStdString(); }

    void play(const std::vector<int>& notes, Play how)
    {
        const int shift = form->workspace().reading().keyboardShift;
        const auto key = [shift](int midiNote) {
            const auto index = static_cast<size_t>(std::clamp(midiNote - 53 - 12 * shift, 0, 35));
            return static_cast<Qt::Key>(input::KeyShortcuts.at(index).keyCode);
        };
        if (how == Play::MidiKeyboard) {
            for (const int note : notes)
                keyboard->send({ 0x90, static_cast<uint8_t>(note), 90 });
            QTest::qWait(100);
            for (const int note : notes)
                keyboard->send({ 0x80, static_cast<uint8_t>(note), 0 });
            return;
        }
        for (const int note : notes) {
            press(key(note));
            if (how == Play::KeysOneAfterAnother) {
                release(key(note));
                QTest::qWait(400);
            }
        }
        for (const int note : notes) {
            if (how == Play::KeysTogether)
                release(key(note));
        }
    }

    // Each row's drill answered wrong, then right: one more shown, none more right at the first try.
    void answerRows(bool midiKeyboard)
    {
        QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
        int shown = 0;
        for (const DrillRow& row : Rows) {
            if ((row.play == Play::MidiKeyboard) != midiKeyboard)
                continue;
            SCOPED_TRACE(std::string(row.drill) + " played " + std::to_string(static_cast<int>(row.play)));
            choose(row.drill);
            const std::vector<int> asked = form->workspace().reading().asked;
            ASSERT_EQ(asked.size(), std::string(row.drill) == "Intervalli" ? 2U : 3U);
            std::vector<int> offBySemitone = asked;
            offBySemitone.front() -= 1;
            play(offBySemitone, row.play);
            ++shown;
            const std::string counted = "giuste 0 su " + std::to_string(shown);
            ASSERT_TRUE(QTest::qWaitFor([&] { return score().starts_with(counted); }, 5000)) << score();
            EXPECT_TRUE(form->workspace().reading().wrongAnswerWords.render().starts_with("Hai suonato "));
            play(asked, row.play);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    return !form->workspace().reading().asked.empty()
                        && form->workspace().reading().wrongAnswerWords.empty() && !form->answerTimer().isActive();
                },
                5000));
            EXPECT_TRUE(score().starts_with(counted)) << score();
        }
    }
};

TEST_F(DrillWindowTest, intervalsAndChordsAnsweredOnTheComputerKeysTogetherAndOneAfterAnother)
{
    answerRows(false);
}

TEST_F(DrillWindowTest, intervalsAndChordsAnsweredFromAMidiKeyboard)
{
    startWithKeyboard("drill keys");
    if (IsSkipped())
        return;
    answerRows(true);
}

} // namespace
} // namespace zintaro::testing
