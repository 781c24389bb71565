#pragma once

#include "app/failure_notices.h"
#include "app/language.h"
#include "app/remembered_choices.h"
#include "app/window_layout.h"
#include "compose/piano_entry.h"
#include "compose/ports.h"
#include "core/modulo1.h"
#include "core/pitch.h"
#include "storage/export_file.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <optional>
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
class Answering;
struct KeyOutcome;
class Playback;
class Trainer;
class Workspace;
} // namespace compose
} // namespace zintaro

namespace zintaro::app {

class PlaybackTimer;
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
    // Where the progress page's module is looked for; empty: beside the
    // program, then in ../lib/zintaro/modules from it.
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

    compose::Workspace& workspace() { return *m_workspace; }
    Modulo1& state();
    midi::MidiOut& midi() { return *m_midi; }
    compose::Playback& playback();
    compose::Trainer& trainer();
    staff::StaffWidget& staffSurface() { return *m_controls.staff; }
    input::PianoWidget& piano() { return *m_controls.piano; }
    storage::FilePanel& filePanel() { return *m_controls.filePanel; }
    TrainerTimer& trainerTimer() { return *m_trainerTimer; }
    compose::Answering& answering();
    QTimer& answerTimer() { return *m_answerTimer; }
    const WindowControls& controls() const { return m_controls; }
    MidiKeyboard& midiKeyboard() { return *m_midiKeyboard; }
    ProgressOpener& progress() { return *m_progress; }

    // Controls, by the names the program gives them.
    QLineEdit* Txv() const { return m_controls.tempoText; }
    QScrollBar* HScrV() const { return m_controls.tempoBar; }
    QPushButton* Op1(int i) const { return m_controls.durationButtons.at(i); }
    QPushButton* Op3(int i) const { return m_controls.modeButtons.at(i); }
    QPushButton* Op4(int i) const { return m_controls.voiceButtons.at(i); }
    QPushButton* CkMute() const { return m_controls.muteSwitch; }
    QPushButton* CkScrivi() const { return m_controls.namesSwitch; }
    QPushButton* CkRnd() const { return m_controls.scaleSwitch; }
    QPushButton* CkRisp() const { return m_controls.answerSwitch; }
    QLabel* LabScore() const { return m_controls.scoreLabel; }
    QPushButton* BtPausa() const { return m_controls.restButton; }
    QPushButton* BtCanc() const { return m_controls.deleteButton; }
    QPushButton* BtM(int i) const { return m_controls.cursorButtons.at(i); }
    QListWidget* lst_sound_list() const { return m_controls.instrumentList; }
    QListWidget* List1() const { return m_controls.deviceList; }
    QLabel* Lab1() const { return m_controls.nameLabel; }
    QLabel* lblHelp() const { return m_controls.helpLabel; }
    QFrame* Frame4() const { return m_controls.modeFrame; }
    QFrame* Frame5() const { return m_controls.switchFrame; }
    QWidget* Picture1() const { return m_controls.lowerArea; }
    QAction* mnf_Load() const { return m_controls.loadAction; }
    QAction* mnf_Save() const { return m_controls.saveAction; }
    QAction* mnf_Progress() const { return m_controls.progressAction; }
    QAction* mnf_Undo() const { return m_controls.undoAction; }
    QAction* mnf_Redo() const { return m_controls.redoAction; }
    QLineEdit* Txf() const;
    QListWidget* File1() const;
    QAction* mnf_Review() const { return m_controls.reviewAction; }
    QAction* mnf_Accidentals() const { return m_controls.accidentalsAction; }
    QAction* mnf_Range() const { return m_controls.rangeAction; }
    const RememberedChoices& rememberedChoices() const { return m_choices; }
    QLabel* statusText() const { return m_controls.statusText; }

    // The notices of the status text, by where they come from. The text
    // shows the latest notice still standing; an empty text withdraws one.
    enum class StatusSource { Sound, Notice, MidiInput, Answers, Progress, Keyboard, Recovery };
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
    void ShowHelpText();
    void retranslate();
    void startSound();
    // What a key of the piano did, on the computer keyboard or a MIDI
    // keyboard: the answers moved on, or the piece changed (a full piece is
    // told through `tell`).
    void showKeyOutcome(const compose::KeyOutcome& outcome, Dialogs& tell);
    void updateLiveSound();
    void syncTrainerTimer();
    void stopPlayback();
    void afterPieceChange();
    void restoreRecovered();
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
    void AnswerTimer_Timer();
    void afterAnswering();
    void mnf_Clef_Click(Clef clef);
    void shiftKeyboard(int octaves);
    void stopAnswering();
    void answersStopped();
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
    void soundFailed(const midi::MidiFailure& failure);
    void mnf_Export_Click(storage::ExportKind kind);
    void mnf_Review_Click();
    void mnf_Accidentals_Click();
    void mnf_Range_Click();
    void loadChoices();
    void applyInterfaceChoices();
    void rememberChoices();
    void choosePractice(const compose::PracticeChoices& practice);

    Form1Services m_services;
    std::unique_ptr<InterfaceLanguage> m_ownLanguage;
    InterfaceLanguage* m_language = nullptr;
    FailureNotices m_notices;
    NoticeDialogs m_composeDialogs; // what the composing rules tell goes through the notices
    StatusDialogs m_keyboardDialogs; // what a MIDI keyboard's notes cannot do
    std::unique_ptr<midi::SharedMidiSystem> m_sharedMidi;
    std::unique_ptr<midi::MidiOut> m_midi;
    MidiKeyboard* m_midiKeyboard = nullptr;
    bool m_soundPending = false; // the sound starts after the first paint
    QElapsedTimer m_clock;
    WindowControls m_controls;
    TrainerTimer* m_trainerTimer = nullptr;
    std::vector<std::pair<StatusSource, Text>> m_statusNotices; // oldest first

    std::unique_ptr<compose::Ports> m_ports;
    std::unique_ptr<compose::Workspace> m_workspace;
    QTimer* m_answerTimer = nullptr; // single shot, at the judge's next due time
    PlaybackTimer* m_playbackTimer = nullptr;
    ProgressOpener* m_progress = nullptr;
    std::optional<storage::ExportKind> m_exporting; // the file panel names an export
    QAction* m_panelAction = nullptr; // the menu entry the file panel carries out
    RememberedChoices m_choices;
    std::filesystem::path m_choicesFile;
    bool m_built = false;
    bool m_closing = false;
};

} // namespace zintaro::app
