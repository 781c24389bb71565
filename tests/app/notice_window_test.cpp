#include "compose/workspace.h"
#include "storage/composition_file.h"
#include "storage/file_panel.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace zintaro::testing {
namespace {

const QString Restored = QStringLiteral("Ripristinata la composizione non salvata: 2 note.");
const Text NoInput = Text::verbatim("Nessun ingresso MIDI");

// A student comes back to the piece the last run left unsaved, on a machine
// with notes of its own to tell.
class NoticeWindowTest : public ::testing::Test {
protected:
    void start()
    {
        ASSERT_TRUE(QDir().mkpath(state.path() + QStringLiteral("/zintaro")));
        QFile recovery(state.path() + QStringLiteral("/zintaro/recovery.txt"));
        ASSERT_TRUE(recovery.open(QIODevice::WriteOnly));
        recovery.write("\"_\",0,7,2\r\n\"_\",-1,0,2\r\n\"_\",111,111,111\r\n");
        recovery.close();
        // The program listens to MIDI keyboards: where there are none, it says so.
        form = std::make_unique<app::Form1>(app::Form1Services { dialogs, midi, speech, files.path(), true });
        form->Form_Load();
    }

    QString status() const { return form->controls().statusText->text(); }

    const OwnStateFolder state;
    QTemporaryDir files;
    ScriptedDialogs dialogs;
    RecordingMidiSystem midi;
    RecordingSpeech speech;
    std::unique_ptr<app::Form1> form;
};

TEST_F(NoticeWindowTest, theRestoredPieceOutranksTheMachinesNotesUntilAnotherPieceIsLoaded)
{
    start();
    EXPECT_EQ(status(), Restored) << "the note about MIDI input, if any, waits behind it";
    form->showStatus(app::Form1::StatusSource::MidiInput, NoInput);
    form->showStatus(app::Form1::StatusSource::Sound, Text::verbatim("recorded error 2"));
    EXPECT_EQ(status(), Restored);

    Modulo1 other;
    other.Composition.set(0, Entry { 0, 9, 2 });
    other.Composition.set(1, EndEntry);
    other.NoteCount = 1;
    ASSERT_EQ(storage::saveComposition(other, files.path().toStdString(), "altra").result, storage::SaveResult::Saved);
    emit form->controls().filePanel->loadRequested(std::filesystem::path(files.path().toStdString()) / "altra.txt");
    EXPECT_EQ(status(), "recorded error 2") << "the loaded piece is not the one restored";
    form->showStatus(app::Form1::StatusSource::Sound, {});
    EXPECT_EQ(status().toStdString(), NoInput.render());
}

TEST_F(NoticeWindowTest, theRestoredPieceIsNoLongerToldOnceSavedOrReplaced)
{
    start();
    ASSERT_EQ(status(), Restored);
    form->showStatus(app::Form1::StatusSource::MidiInput, {});
    emit form->controls().filePanel->saveRequested(QStringLiteral("salvata"));
    EXPECT_EQ(status(), "");

    // A new start with the piece restored again, then "Nuovo" answered Yes.
    form.reset();
    start();
    ASSERT_EQ(status(), Restored);
    form->showStatus(app::Form1::StatusSource::MidiInput, {});
    dialogs.answers.push_back(true);
    form->controls().modeButtons.at(2)->click();
    EXPECT_EQ(form->workspace().state().NoteCount, 0);
    EXPECT_EQ(status(), "");
}

} // namespace
} // namespace zintaro::testing
