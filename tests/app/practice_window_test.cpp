#include "app/range_dialog.h"
#include "app/remembered_choices.h"
#include "compose/answer_history.h"
#include "compose/answering.h"
#include "compose/trainer.h"
#include "input/key_map.h"
#include "window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <fstream>
#include <map>

namespace zintaro::testing {
namespace {

namespace fs = std::filesystem;
using compose::NoteFilter;
using compose::PracticeChoices;

constexpr SpelledNote E4 { Letter::E, Accidental::Natural, 4 };

fs::path configFile(const QTemporaryDir& home)
{
    return fs::path(home.path().toStdString()) / "zintaro" / "zintaro.conf";
}

void writeText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

TEST(RememberedChoicesTest, choicesComeBackAsSavedAndAMissingFileGivesTheFirstRun)
{
    QTemporaryDir home;
    const fs::path file = configFile(home);
    const auto first = app::loadRememberedChoices(file);
    EXPECT_EQ(first.choices, app::RememberedChoices {});
    EXPECT_FALSE(first.notice);

    app::RememberedChoices chosen;
    chosen.practice.review = true;
    chosen.practice.accidentals = true;
    chosen.practice.ranges[0] = { { Letter::F, Accidental::Natural, 3 }, { Letter::G, Accidental::Natural, 5 } };
    chosen.practice.ranges[1] = { { Letter::C, Accidental::Natural, 2 }, { Letter::E, Accidental::Natural, 2 } };
    chosen.practice.filter = NoteFilter::Spaces;
    chosen.practice.clef = Clef::Bass;
    chosen.practice.inTime = true;
    chosen.practice.metronome = false;
    chosen.practice.delayCorrectionMs = -35;
    chosen.listening = { true, compose::PlayedInstrument::HornInF, 436 };
    chosen.student = "Anna \"Nina\" D'Amico; è=1";
    EXPECT_FALSE(app::saveRememberedChoices(file, chosen));
    const auto again = app::loadRememberedChoices(file);
    EXPECT_EQ(again.choices, chosen);
    EXPECT_FALSE(again.notice);

    // Other groups of the file (other parts of the window keep theirs there) survive a save.
    std::ofstream(file, std::ios::app) << "[interface]\nlanguage=it\n";
    EXPECT_FALSE(app::saveRememberedChoices(file, chosen));
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("language=it"), std::string::npos);
    EXPECT_NE(text.find("\nlowest=F3"), std::string::npos) << "the treble staff's range as the first files had it";
    EXPECT_NE(text.find("\nbassLowest=C2"), std::string::npos);
}

// The language is read once before the window, for a box the start may show;
// that early look changes nothing, so a damaged file is still told later.
TEST(RememberedChoicesTest, theLanguageAloneIsReadEarlyWithoutTouchingTheFile)
{
    QTemporaryDir home;
    const fs::path file = configFile(home);
    EXPECT_EQ(app::rememberedLanguage(file), app::Language::Italian);
    app::RememberedChoices english;
    english.language = app::Language::English;
    ASSERT_FALSE(app::saveRememberedChoices(file, english));
    EXPECT_EQ(app::rememberedLanguage(file), app::Language::English);

    writeText(file, "[interface]\nlanguage=klingon\n");
    EXPECT_EQ(app::rememberedLanguage(file), app::Language::Italian);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_TRUE(app::loadRememberedChoices(file).notice);
}

TEST(RememberedChoicesTest, aDamagedFileIsPutAsideOnceAndTheFirstRunChoicesApply)
{
    const char* damaged[] = {
        "[practice]\nreview=maybe\n",
        "[practice]\nlowest=C#4\n", // the range holds white keys only
        "[practice]\nhighest=C9\n", // off the piano
        "[practice]\nlowest=C2\n", // below the treble staff's range
        "[practice]\nbassHighest=C5\n", // above the bass staff's
        "[practice]\nlowest=Do4\n",
        "[practice]\nclef=alto\n",
        "[practice]\nnotes=some\n",
        "[input]\nmicrophone=yes\n",
        "[input]\ninstrument=banjo\n",
        "[input]\ntuning=460\n", // beyond 440 ± 10
        "[input]\ntuning=441.5\n",
    };
    for (const char* text : damaged) {
        QTemporaryDir home;
        const fs::path file = configFile(home);
        writeText(file, std::string(text) + "accidentals=true\n");
        const auto loaded = app::loadRememberedChoices(file);
        EXPECT_EQ(loaded.choices, app::RememberedChoices {}) << text;
        ASSERT_TRUE(loaded.notice) << text;
        EXPECT_FALSE(fs::exists(file)) << text;
        const QStringList aside = QDir(QString::fromStdString(file.parent_path().string()))
                                      .entryList({ QStringLiteral("zintaro.conf.damaged-*") });
        EXPECT_EQ(aside.size(), 1) << text;
        EXPECT_NE(loaded.notice->render().find(".damaged-"), std::string::npos);
        EXPECT_FALSE(app::loadRememberedChoices(file).notice) << "told once: " << text;
    }
}

TEST(RangeDialogTest, theListsNameWhiteKeysWithOctaveAndAnUpsideDownRangeIsTurned)
{
    app::RangeDialog dialog(PracticeChoices {}, NoteNaming::Solfege);
    EXPECT_EQ(dialog.lowestList()->currentText(), "Do4");
    EXPECT_EQ(dialog.highestList()->currentText(), "Do6");
    EXPECT_EQ(dialog.lowestList()->itemText(0), "Fa3");
    EXPECT_EQ(dialog.highestList()->itemText(dialog.highestList()->count() - 1), "Mi6");
    QStringList presets;
    for (int i = 0; i < dialog.notesList()->count(); ++i)
        presets << dialog.notesList()->itemText(i);
    EXPECT_EQ(presets, (QStringList { "Tutte", "Solo righe", "Solo spazi", "Tagli addizionali" }));

    dialog.lowestList()->setCurrentText(QStringLiteral("Sol5"));
    dialog.highestList()->setCurrentText(QStringLiteral("Re4"));
    dialog.notesList()->setCurrentIndex(3);
    const PracticeChoices chosen = dialog.choices();
    EXPECT_EQ(spelledText(chosen.range().lowest), "D4");
    EXPECT_EQ(spelledText(chosen.range().highest), "G5");
    EXPECT_EQ(chosen.filter, NoteFilter::Ledger);

    // Each staff offers and keeps its own range.
    PracticeChoices bass = chosen;
    bass.clef = Clef::Bass;
    app::RangeDialog onBass(bass, NoteNaming::Solfege);
    EXPECT_EQ(onBass.lowestList()->currentText(), "Sol2");
    EXPECT_EQ(onBass.highestList()->currentText(), "Do4");
    EXPECT_EQ(onBass.lowestList()->itemText(0), "Do2");
    EXPECT_EQ(onBass.highestList()->itemText(onBass.highestList()->count() - 1), "Mi4");
    onBass.lowestList()->setCurrentText(QStringLiteral("Do2"));
    const PracticeChoices bassChosen = onBass.choices();
    EXPECT_EQ(spelledText(bassChosen.range().lowest), "C2");
    EXPECT_EQ(bassChosen.ranges[0], chosen.range()) << "the treble staff's range stays";
}

// "Leggi" with "Rispondi", answered right from the computer keyboard.
class PracticeWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        // What a previous run left: written before the window starts.
        if (!history.empty())
            writeText(fs::path(dataHome.path().toStdString()) / "zintaro" / "answers.csv", history);
        if (!choices.empty())
            writeText(configFile(configHome), choices);
        WindowTest::SetUp();
    }

    int shownMidi() const { return form->workspace().reading().awaited.value_or(-1); }

    // Plays the right key of the shown note and waits for the next one, or
    // for the summary after the session's last note.
    void answerRight()
    {
        const int before = shownMidi();
        const int key = keyOfMidiNote(before);
        ASSERT_GE(key, 0);
        const auto code = static_cast<Qt::Key>(input::KeyShortcuts.at(static_cast<size_t>(key)).keyCode);
        QTest::keyPress(focused(), code);
        QTest::keyRelease(focused(), code);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return shownMidi() != before || form->workspace().reading().summary; }, 3000));
    }

    QMenu* menuOf(QAction* action) const { return action->menu(); }

    std::string history;
    std::string choices;
};

TEST_F(PracticeWindowTest, praticaFollowsIngressoWithItsThreeItemsAndTheirChoicesAreKept)
{
    const QList<QAction*> top = form->menuBar()->actions().front()->menu()->actions();
    QStringList names;
    for (QAction* action : top)
        names << action->iconText();
    const auto midiAt = names.indexOf(QStringLiteral("Ingresso"));
    ASSERT_GE(midiAt, 0);
    ASSERT_EQ(names.value(midiAt + 1), QStringLiteral("Pratica"));
    const QList<QAction*> items = top.at(midiAt + 1)->menu()->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items[0], form->controls().reviewAction);
    EXPECT_EQ(items[1], form->controls().accidentalsAction);
    EXPECT_EQ(items[2], form->controls().rangeAction);
    EXPECT_EQ(form->controls().reviewAction->iconText(), "Ripasso");
    EXPECT_EQ(form->controls().accidentalsAction->iconText(), "Alterazioni");
    EXPECT_EQ(form->controls().rangeAction->iconText(), "Estensione…");
    EXPECT_TRUE(form->controls().reviewAction->isCheckable());
    EXPECT_FALSE(form->controls().reviewAction->isChecked());
    EXPECT_TRUE(form->controls().metronomeAction->isChecked());

    form->controls().reviewAction->trigger();
    form->controls().accidentalsAction->trigger();
    EXPECT_TRUE(form->controls().inTimeAction->isEnabled());
    EXPECT_TRUE(form->controls().calibrateAction->isEnabled());
    EXPECT_TRUE(form->workspace().choices().practice.review);
    EXPECT_TRUE(form->workspace().choices().practice.accidentals);
    const auto kept = app::loadRememberedChoices(configFile(configHome));
    EXPECT_TRUE(kept.choices.practice.review);
    EXPECT_TRUE(kept.choices.practice.accidentals);

    // "Estensione…" with the keyboard only: down one in the first list, up one in the next, Enter.
    form->controls().rangeAction->trigger();
    auto* dialog = form->findChild<app::RangeDialog*>();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    EXPECT_EQ(dialog->lowestList()->nextInFocusChain(), dialog->highestList()) << "Tab goes to the next list";
    QTest::keyClick(dialog->lowestList(), Qt::Key_Down);
    QTest::keyClick(dialog->highestList(), Qt::Key_Up);
    QTest::keyClick(dialog, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 3000));
    EXPECT_EQ(spelledText(form->workspace().choices().practice.range().lowest), "D4");
    EXPECT_EQ(spelledText(form->workspace().choices().practice.range().highest), "B5");
    EXPECT_EQ(spelledText(app::loadRememberedChoices(configFile(configHome)).choices.practice.range().highest), "B5");

    // Escape leaves the range as it was.
    form->controls().rangeAction->trigger();
    auto* second = form->findChild<app::RangeDialog*>();
    ASSERT_TRUE(second);
    QTest::keyClick(second->lowestList(), Qt::Key_Down);
    QTest::keyClick(second, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !second->isVisible(); }, 3000));
    EXPECT_EQ(spelledText(form->workspace().choices().practice.range().lowest), "D4");
}

// A history where every note of the range was read right at once, but E4
// was missed every time and found only at the second try.
std::string historyMissingE4()
{
    std::string text = std::string(storage::AnswerHistoryHeader) + "\n";
    const compose::LocalTime now = compose::LocalTime::now();
    for (int round = 0; round < 20; ++round) {
        for (int midi = 60; midi <= 84; ++midi) {
            const SpelledNote note = sharpSpelling(midi);
            if (note.accidental != Accidental::Natural)
                continue;
            const bool right = note != E4;
            const compose::AnswerRecord first { compose::AnswerMode::Review, midi, right ? midi : midi + 1, right,
                700 };
            text += storage::answerHistoryLine(now, first, { now, Clef::Treble, note }) + "\n";
            if (!right) {
                const compose::AnswerRecord retry { compose::AnswerMode::Review, midi, midi, true, 1500 };
                text += storage::answerHistoryLine(now, retry, { now, Clef::Treble, note }) + "\n";
            }
        }
    }
    return text;
}

class ReviewWindowTest : public PracticeWindowTest {
protected:
    void SetUp() override
    {
        history = historyMissingE4();
        PracticeWindowTest::SetUp();
    }
};

TEST_F(ReviewWindowTest, withRipassoTheNoteAlwaysMissedIsShownMostOften)
{
    form->controls().reviewAction->trigger();
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    std::map<int, int> shown;
    for (int i = 0; i < compose::SessionNoteCount; ++i) {
        ++shown[shownMidi()];
        EXPECT_TRUE(form->workspace().reading().shown.review);
        answerRight();
    }
    const auto most = std::max_element(
        shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_EQ(most->first, midiNoteOf(E4)) << "E4 came " << shown[midiNoteOf(E4)] << " times";

    // The answers were written as review, with their session, staff and spelling.
    const auto rows = storage::readAnswerHistory(fs::path(dataHome.path().toStdString()) / "zintaro" / "answers.csv");
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().record.mode, compose::AnswerMode::Review);
    EXPECT_TRUE(rows.back().sessionUtcMs && rows.back().clef && rows.back().spelled);
}

class AccidentalsWindowTest : public PracticeWindowTest {
protected:
    void SetUp() override
    {
        choices = "[practice]\naccidentals=true\nlowest=A4\nhighest=B4\n";
        PracticeWindowTest::SetUp();
    }
};

TEST_F(AccidentalsWindowTest, aBlackKeyComesAsSharpAndFlatNamedAsWrittenAndItsKeyAnswersIt)
{
    EXPECT_TRUE(form->controls().accidentalsAction->isChecked());
    QTest::mouseClick(form->controls().answerSwitch, Qt::LeftButton);
    std::map<std::string, int> spelled;
    for (int i = 0; i < compose::SessionNoteCount; ++i) {
        const compose::DrawnNote note = form->workspace().reading().shown;
        ++spelled[spelledText(note.note)];
        if (note.note.accidental != Accidental::Natural) {
            EXPECT_EQ(
                form->controls().nameLabel->text().toStdString(), noteName(note.note, NoteNaming::Solfege, false));
        }
        answerRight(); // the black key itself
    }
    // The black key came, spelled either way; that both spellings come
    // alike is the draw's own test over a million notes.
    EXPECT_GT(spelled["A#4"] + spelled["Bb4"], 0);
    EXPECT_EQ(spelled["A#4"] + spelled["Bb4"] + spelled["A4"] + spelled["B4"], compose::SessionNoteCount);
}

} // namespace
} // namespace zintaro::testing
