#pragma once

#include "app/failure_notices.h"
#include "app/language.h"
#include "app/window_layout.h"
#include "compose/listening.h"
#include "compose/ports.h"
#include "compose/practice_choices.h"
#include "core/pitch.h"
#include "storage/export_file.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QKeyEvent;

namespace zintaro {
class Dialogs;
namespace midi {
struct MidiFailure;
class MidiOut;
class MidiSystem;
class SharedMidiSystem;
} // namespace midi
namespace staff {
class Speech;
}
namespace compose {
struct FinishedExam;
struct Report;
class Workspace;
} // namespace compose
} // namespace zintaro

namespace zintaro::app {

class DueTimer;
class StreamClickTrack;
class Importer;
struct ImportRead;
class Microphone;
class ProgressOpener;
class TrainerTimer;

// What the window sounds through, speaks through, asks with and saves to.
struct Form1Services {
    Dialogs& dialogs;
    midi::MidiSystem& midiSystem;
    staff::Speech& speech;
    QString filesFolder;
    // Whether MIDI keyboards are listened to (the program does; most tests not).
    bool midiKeyboards = false;
    // Where the modules (the progress page, the microphone, the importers) are looked for;
    // empty: beside the program, then in ../lib/zintaro/modules from it.
    QStringList progressModuleFolders = {};
    // The interface's language, set up before any box can show; without it
    // the window keeps one of its own, in Italian.
    InterfaceLanguage* language = nullptr;
};

class MidiKeyboard;

// The one window of the program. It wires its controls to the rules of the
// other libraries and holds the shared state.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up sequence, in its order; ends in "Leggi". It builds the
    // window's controls first. The program shows the window's frame before
    // it, and lets the window paint before the sound starts (device list,
    // MIDI output, instrument, MIDI keyboards); tests start it at once.
    enum class SoundStart { Now, AfterFirstPaint };
    void Form_Load(SoundStart soundStart = SoundStart::Now);
    // MIDI output closed first, then the program ends at once.
    void CloseDown();

    // The mode procedure, as a click on a mode button runs it.
    void Op3_Click(int index);
    // One tick of the reading trainer's timer.
    void Tim_Timer();

    // The window's monotonic clock, in ms: the time every timer and key is on.
    qint64 now() const { return m_clock.elapsed(); }

    // The piece, the cursor, the mode and the trainer as the window shows them.
    const compose::Workspace& workspace() const { return *m_workspace; }
    const WindowControls& controls() const { return m_controls; }
    const TrainerTimer& trainerTimer() const { return *m_trainerTimer; }
    const DueTimer& answerTimer() const { return *m_answerTimer; }
    MidiKeyboard& midiKeyboard() { return *m_midiKeyboard; }
    ProgressOpener& progress() { return *m_progress; }

    // The notices of the status text, by where they come from, the least
    // important first: what is about the student's work outranks what is
    // about the machine. The text shows the most important notice still
    // standing, the latest of equals; an empty text withdraws one.
    enum class StatusSource { MidiInput, Progress, Heard, Notice, Sound, Microphone, Answers, Keyboard, Recovery };
    // How long the note that there is no MIDI input shows.
    static constexpr int MidiInputNoteMs = 10'000;
    void showStatus(StatusSource source, const Text& text);
    void showStandingNotice();
    // Speech went silent: told as any failure that comes without a click.
    void speechFailed(const Text& text) { m_notices.tell("speech", text); }

    // "Lingua": the interface's words and the notes' names change at once.
    void setLanguage(Language language);
    void setNaming(NoteNaming naming);
    Language language() const { return m_language->current(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void connectControls();
    void connectMenu();
    void connectMidiKeyboard();
    void connectMicrophone();
    void showListeningChoices(const compose::ListeningChoices& listening);
    void chooseListening(const compose::ListeningChoices& listening);
    void mnf_Tuning_Click();
    void ShowHelpText();
    void retranslate();
    void startSound();
    // Everything a command of the workspace reports, shown; what it tells
    // once goes through `tell`.
    void showReport(const compose::Report& report);
    void showReport(const compose::Report& report, Dialogs& tell);
    uint32_t seed() const;
    bool instrumentListKey(QKeyEvent* event);

    // Handlers.
    void List1_Click();
    void lst_sound_list_Click();
    void Op1_Click(int index);
    void Op4_Click(int index);
    void CkRnd_Click();
    void CkScrivi_Click();
    void CkRisp_Click();
    void mnf_Clef_Click(Clef clef);
    void HScrV_Change(int value);
    void key_KeyDown(QKeyEvent* event);
    void key_KeyUp(QKeyEvent* event);
    void BtPausa_Click();
    void BtCanc_Click();
    void BtM_Click(int index);
    void mnf_Undo_Click();
    void mnf_Redo_Click();
    void mnf_Load_Click();
    void mnf_Save_Click();
    void File1_DblClick(const std::filesystem::path& file);
    void Txf_Enter(const QString& text);
    void saveExercise(const std::string& name);
    void offerCertificate(const compose::FinishedExam& exam);
    void soundFailed(const midi::MidiFailure& failure);
    void mnf_Export_Click(storage::ExportKind kind);
    void mnf_Notation_Click();
    void mnf_Import_Click();
    void importFile(const std::filesystem::path& file, std::optional<int> part);
    void openExercise(const std::filesystem::path& file);
    void imported(const ImportRead& read, bool partChosen);
    void mnf_Review_Click();
    void mnf_Accidentals_Click();
    void mnf_Range_Click();
    void mnf_Key_Click(std::size_t entry);
    void mnf_Level_Click(int level);
    void mnf_Drill_Click(compose::Drill drill, bool checked);
    void mnf_InTime_Click();
    void mnf_Calibrate_Click();
    void showPracticeChoices(const compose::PracticeChoices& practice);
    void loadChoices();
    void rememberChoices();
    void choosePractice(const compose::PracticeChoices& practice);
    void mnf_Phrase_Click();

    Form1Services m_services;
    std::unique_ptr<InterfaceLanguage> m_ownLanguage;
    InterfaceLanguage* m_language = nullptr;
    FailureNotices m_notices;
    std::string m_student; // the name the certificates carry, asked once
    NoticeDialogs m_composeDialogs; // what the composing rules tell goes through the notices
    StatusDialogs m_keyboardDialogs; // what a MIDI keyboard's notes cannot do
    std::unique_ptr<midi::SharedMidiSystem> m_sharedMidi;
    std::unique_ptr<midi::MidiOut> m_midi;
    MidiKeyboard* m_midiKeyboard = nullptr;
    Microphone* m_microphone = nullptr;
    bool m_soundPending = false; // the sound starts after the first paint
    QElapsedTimer m_clock;
    WindowControls m_controls;
    TrainerTimer* m_trainerTimer = nullptr;
    std::vector<std::pair<StatusSource, Text>> m_statusNotices; // oldest first

    std::unique_ptr<compose::Ports> m_ports;
    std::unique_ptr<StreamClickTrack> m_clickTrack; // outlives the workspace that clicks through it
    std::unique_ptr<compose::Workspace> m_workspace;
    DueTimer* m_answerTimer = nullptr; // at the answers' next due time
    DueTimer* m_playbackTimer = nullptr; // at the playback's next note
    ProgressOpener* m_progress = nullptr;
    Importer* m_importer = nullptr;
    std::optional<storage::ExportKind> m_exporting; // the file panel names an export
    QAction* m_panelAction = nullptr; // the menu entry the file panel carries out
    std::filesystem::path m_choicesFile;
    bool m_built = false;
    bool m_closing = false;
};

} // namespace zintaro::app
