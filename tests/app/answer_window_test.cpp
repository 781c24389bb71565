#include "compose/answer_judge.h"
#include "compose/answering.h"
#include "compose/trainer.h"
#include "core/pitch.h"
#include "input/key_map.h"
#include "staff/staff_system.h"
#include "staff/staff_widget.h"
#include "storage/answers_log.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <map>
#include <string>

namespace zintaro::testing {
namespace {

// "Leggi" with "Rispondi" on, answered from the computer keyboard.
class AnswerWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
        midi.sent.clear();
    }

    int16_t shown() const { return form->workspace().reading().shownKey; }

    void keyClick(int16_t index, ulong holdMs = 0)
    {
        QWidget* piano = focused();
        const auto key = static_cast<Qt::Key>(input::KeyShortcuts.at(static_cast<size_t>(index)).keyCode);
        QTest::keyPress(piano, key);
        if (holdMs > 0)
            QTest::qWait(static_cast<int>(holdMs));
        QTest::keyRelease(piano, key);
    }

    // The colour of the shown note's head, read from the staff's drawing at
    // the top of its ring: a ledger line crosses the ring's sides.
    QRgb headColour() const
    {
        const compose::DrawnNote shown = form->workspace().reading().shown;
        const staff::StaffSystem system = staff::staffSystemFor(shown.clef, form->workspace().state().DrawScale);
        const int scale = system.scale;
        const int y = system.yOf(staff::staffPositionOf(shown.note, shown.clef)) - 4 * scale - scale / 2;
        return form->controls().staff->marks().pixel(system.noteX, y);
    }

    std::filesystem::path historyFile() const
    {
        return std::filesystem::path(dataHome.path().toStdString()) / "zintaro" / "answers.csv";
    }

    int historyLines() const
    {
        QFile file(dataHome.path() + QStringLiteral("/zintaro/answers.csv"));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return static_cast<int>(file.readAll().count('\n'));
    }
};

TEST_F(AnswerWindowTest, rispondiStopsTheTrainersTimerAndShowsTheScoreBesideParla)
{
    EXPECT_TRUE(form->controls().answerSwitch->isVisible());
    EXPECT_EQ(form->controls().answerSwitch->size(), form->controls().scaleSwitch->size());
    EXPECT_EQ(form->controls().answerSwitch->font(), form->controls().scaleSwitch->font());
    EXPECT_EQ(form->controls().answerSwitch->y(), form->controls().scaleSwitch->y());
    EXPECT_EQ(form->controls().answerSwitch->x() - form->controls().scaleSwitch->x(),
        form->controls().scaleSwitch->x() - form->controls().namesSwitch->x());
    EXPECT_FALSE(form->trainerTimer().isActive());
    EXPECT_TRUE(form->controls().scoreLabel->isVisible());
    EXPECT_EQ(form->controls().scoreLabel->text(), "giuste 0 su 0");
    EXPECT_EQ(form->workspace().reading().awaited, midiNoteOfKey(shown()));
    EXPECT_EQ(focused(), form->controls().piano->key(0)) << "the answers come from the keyboard";

    form->controls().answerSwitch->click();
    EXPECT_EQ(form->controls().scoreLabel->text(), "");
    EXPECT_TRUE(form->trainerTimer().isActive());
    EXPECT_FALSE(form->workspace().answering());

    form->controls().modeButtons.at(0)->click(); // the normal layout hides both
    EXPECT_FALSE(form->controls().answerSwitch->isVisible());
    EXPECT_FALSE(form->controls().scoreLabel->isVisible());
}

TEST_F(AnswerWindowTest, aRightKeyTurnsTheHeadGreenAndTheNextNoteFollowsAfterThePause)
{
    const int16_t first = shown();
    keyClick(first);
    EXPECT_EQ(headColour(), qRgb(0, 0xB0, 0));
    EXPECT_EQ(midi.notesOn(), std::vector<int> { midiNoteOfKey(first) });
    ASSERT_TRUE(form->answerTimer().isActive());
    EXPECT_GT(form->answerTimer().remainingTime(), 0);
    EXPECT_LE(form->answerTimer().remainingTime(), compose::NextNoteDelayMs);
    EXPECT_EQ(shown(), first);

    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() != first; }, 3000));
    EXPECT_EQ(headColour(), qRgb(0, 0, 0));
    EXPECT_TRUE(form->controls().scoreLabel->text().startsWith("giuste 1 su 1 · "))
        << form->controls().scoreLabel->text().toStdString();
    EXPECT_EQ(form->workspace().state().NoteCount, 0) << "answers are not written into the composition";
    EXPECT_EQ(historyLines(), 2);
}

TEST_F(AnswerWindowTest, aWrongKeyTurnsTheHeadRedAndTheRightNoteSoundsAfterIt)
{
    const int16_t note = shown();
    const int16_t wrong = static_cast<int16_t>(note == 7 ? 9 : 7);
    QWidget* piano = focused();
    const auto wrongKey = static_cast<Qt::Key>(input::KeyShortcuts.at(static_cast<size_t>(wrong)).keyCode);
    QTest::keyPress(piano, wrongKey);
    EXPECT_EQ(headColour(), qRgb(0xFF, 0, 0));
    EXPECT_TRUE(form->controls().piano->isPressed(wrong));
    EXPECT_EQ(midi.notesOn(), std::vector<int> { midiNoteOfKey(wrong) }) << "no correction while the key is held";
    QTest::keyRelease(piano, wrongKey);

    EXPECT_EQ(midi.notesOn(), (std::vector<int> { midiNoteOfKey(wrong), midiNoteOfKey(note) }));
    EXPECT_TRUE(form->controls().piano->isPressed(note));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->controls().piano->isPressed(note); }, 3000));
    EXPECT_EQ(midi.notesOff().back(), midiNoteOfKey(note));
    EXPECT_EQ(shown(), note) << "the note stays until answered right";
    EXPECT_TRUE(form->controls().scoreLabel->text().startsWith("giuste 0 su 1 · "))
        << form->controls().scoreLabel->text().toStdString();

    keyClick(note);
    EXPECT_TRUE(form->controls().scoreLabel->text().startsWith("giuste 0 su 1 · ")) << "only the first answer counts";
    EXPECT_EQ(historyLines(), 3); // the header and both answers
}

TEST_F(AnswerWindowTest, aWrongAnswerNamesThePlayedAndTheShownNoteBesideTheRedHeadUntilTheNextNote)
{
    // The trainer shows naturals from C4 to C6: the names, by MIDI note.
    const auto solfege = [](int midiNote) {
        static const std::map<int, std::string> names { { 0, "Do" }, { 2, "Re" }, { 4, "Mi" }, { 5, "Fa" },
            { 7, "Sol" }, { 9, "La" }, { 11, "Si" } };
        return names.at(midiNote % 12) + std::to_string(midiNote / 12 - 1);
    };
    const auto redInk = [&] {
        const QImage& marks = form->controls().staff->marks();
        int n = 0;
        for (int y = 0; y < marks.height(); ++y)
            for (int x = 620; x < marks.width(); ++x)
                n += marks.pixel(x, y) == qRgb(0xFF, 0, 0) ? 1 : 0;
        return n;
    };
    const int16_t note = shown();
    keyClick(13); // F#4, never shown
    EXPECT_EQ(headColour(), qRgb(0xFF, 0, 0));
    EXPECT_EQ(form->workspace().reading().wrongAnswerWords.render(),
        "Hai suonato Fa diesis 4 · era " + solfege(midiNoteOfKey(note)));
    EXPECT_GT(redInk(), 200) << "the words are written beside the head";
    const QString artifacts = qEnvironmentVariable("ZINTARO_ARTIFACTS");
    if (!artifacts.isEmpty() && QDir().mkpath(artifacts))
        form->controls().staff->renderToImage().save(artifacts + QStringLiteral("/wrong_answer.png"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->controls().piano->isPressed(note); }, 3000));

    const int16_t wrong = static_cast<int16_t>(note == 11 ? 9 : 11);
    keyClick(wrong);
    EXPECT_EQ(form->workspace().reading().wrongAnswerWords.render(),
        "Hai suonato " + solfege(midiNoteOfKey(wrong)) + " · era " + solfege(midiNoteOfKey(note)))
        << "a second try replaces the words";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->controls().piano->isPressed(note); }, 3000));

    keyClick(note);
    EXPECT_EQ(form->workspace().reading().wrongAnswerWords.render(),
        "Hai suonato " + solfege(midiNoteOfKey(wrong)) + " · era " + solfege(midiNoteOfKey(note)))
        << "the words stay while the right answer shows";
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() != note; }, 3000));
    EXPECT_EQ(form->workspace().reading().wrongAnswerWords.render(), "");
    EXPECT_EQ(redInk(), 0) << "the next note wipes the words";
}

TEST_F(AnswerWindowTest, leavingLeggiDuringACorrectionSilencesItAndSwitchesRispondiOff)
{
    const int16_t note = shown();
    keyClick(static_cast<int16_t>(note == 7 ? 9 : 7));
    ASSERT_TRUE(form->controls().piano->isPressed(note));

    form->controls().modeButtons.at(0)->click();
    EXPECT_FALSE(form->controls().piano->isPressed(note));
    EXPECT_EQ(midi.notesOff().back(), midiNoteOfKey(note));
    EXPECT_FALSE(form->controls().answerSwitch->isChecked());
    EXPECT_FALSE(form->answerTimer().isActive());

    // Back in "Leggi" the plain trainer runs and keys write again.
    form->controls().modeButtons.at(3)->click();
    EXPECT_TRUE(form->trainerTimer().isActive());
    EXPECT_EQ(form->controls().scoreLabel->text(), "");
}

// While answers cannot be written the status line says so, answer after
// answer; once the folder can be made they all go in, in order, and the
// sentence goes.
TEST_F(AnswerWindowTest, aHistoryThatCannotBeWrittenIsToldOnTheStatusLineWhileAnswersWait)
{
    form->controls().answerSwitch->click();
    form.reset();
    // Its folder cannot be made: a file stands where it would go.
    QFile blocker(dataHome.path() + QStringLiteral("/zintaro"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    AnswerWindowTest::SetUp();

    const int16_t first = shown();
    keyClick(static_cast<int16_t>(first == 7 ? 9 : 7));
    auto* status = form->findChild<QLabel*>(QStringLiteral("StatusText"));
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isVisible());
    EXPECT_TRUE(status->text().contains("le risposte non sono state scritte")) << status->text().toStdString();
    EXPECT_TRUE(dialogs.shown.empty()) << "no box";
    keyClick(first);
    EXPECT_TRUE(status->text().contains("restano in memoria")) << "still told while answers wait";
    EXPECT_TRUE(form->controls().scoreLabel->text().startsWith("giuste 0 su 1")) << "answering goes on";

    ASSERT_TRUE(blocker.remove());
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() != first; }, 3000));
    keyClick(shown());
    EXPECT_TRUE(status->text().isEmpty()) << status->text().toStdString();
    const auto rows = storage::readAnswerHistory(historyFile());
    ASSERT_EQ(rows.size(), 3U) << "every answer once";
    EXPECT_FALSE(rows[0].record.right);
    EXPECT_TRUE(rows[1].record.right);
    EXPECT_EQ(rows[1].record.shown, rows[0].record.shown);
}

} // namespace
} // namespace zintaro::testing
