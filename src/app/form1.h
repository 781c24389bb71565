#pragma once

#include "core/modulo1.h"
#include "compose/ports.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <array>
#include <memory>
#include <optional>

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTimer;

namespace zintaro {
class Dialogs;
namespace midi {
class MidiOut;
class MidiSystem;
} // namespace midi
namespace staff {
class PnWidget;
class Speech;
} // namespace staff
namespace input {
class PianoWidget;
}
namespace storage {
class FilePanel;
}
namespace compose {
class Playback;
class Trainer;
} // namespace compose
} // namespace zintaro

namespace zintaro::app {

// What the window sounds through, speaks through, asks with and saves to.
struct Form1Services {
    Dialogs& dialogs;
    midi::MidiSystem& midiSystem;
    staff::Speech& speech;
    QString filesFolder;
};

// The one window of the program. It wires its controls to the rules of the
// other libraries and holds the shared state.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up sequence, in its order; ends in "Leggi".
    void Form_Load();
    // MIDI output closed first, then the program ends at once.
    void CloseDown();

    // The mode procedure, as a click on a mode button runs it.
    void Op3_Click(int index);
    // One tick of the reading trainer's timer.
    void Tim_Timer();

    Modulo1& state() { return m_state; }
    Form1State& formState() { return m_form; }
    midi::MidiOut& midi() { return *m_midi; }
    compose::Playback& playback() { return *m_playback; }
    compose::Trainer& trainer() { return *m_trainer; }
    staff::PnWidget& staffSurface() { return *m_pn; }
    input::PianoWidget& piano() { return *m_piano; }
    storage::FilePanel& filePanel() { return *m_pcf; }
    QTimer& trainerTimer() { return *m_tim; }

    // Controls, by the names the program gives them.
    QLineEdit* Txv() const { return m_txv; }
    QScrollBar* HScrV() const { return m_hscrv; }
    QPushButton* Op1(int i) const { return m_op1.at(i); }
    QPushButton* Op3(int i) const { return m_op3.at(i); }
    QPushButton* Op4(int i) const { return m_op4.at(i); }
    QPushButton* CkMute() const { return m_ckMute; }
    QPushButton* CkScrivi() const { return m_ckScrivi; }
    QPushButton* CkRnd() const { return m_ckRnd; }
    QPushButton* BtPausa() const { return m_btPausa; }
    QPushButton* BtCanc() const { return m_btCanc; }
    QPushButton* BtM(int i) const { return m_btM.at(i); }
    QListWidget* lst_sound_list() const { return m_soundList; }
    QListWidget* List1() const { return m_list1; }
    QLabel* Lab1() const { return m_lab1; }
    QLabel* lblHelp() const { return m_lblHelp; }
    QFrame* Frame4() const { return m_frame4; }
    QFrame* Frame5() const { return m_frame5; }
    QWidget* Picture1() const { return m_picture1; }
    QAction* mnf_Load() const { return m_mnfLoad; }
    QAction* mnf_Save() const { return m_mnfSave; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void ShowHelpText();
    void SetLayout();
    void placeCursor();

    // Handlers.
    void List1_Click();
    void lst_sound_list_Click();
    void Op1_Click(int index);
    void Op4_Click(int index);
    void CkRnd_Click();
    void CkScrivi_Click();
    void HScrV_Change(int value);
    void key_KeyDown(QKeyEvent* event);
    void key_KeyUp(QKeyEvent* event);
    void BtPausa_Click();
    void BtCanc_Click();
    void BtM_Click(int index);
    void mnf_Load_Click();
    void mnf_Save_Click();
    void File1_DblClick(const QString& name);
    void Txf_Enter(const QString& text);

    void startPlayback();
    void schedulePlayback(std::optional<int64_t> next);
    void leaveTrainer();
    int64_t now() const { return m_clock.elapsed(); }

    Modulo1 m_state;
    Form1State m_form;
    Form1Services m_services;
    std::unique_ptr<midi::MidiOut> m_midi;
    QElapsedTimer m_clock;

    QWidget* m_central = nullptr;
    QFrame* m_frame6 = nullptr;
    QLineEdit* m_txv = nullptr;
    QScrollBar* m_hscrv = nullptr;
    staff::PnWidget* m_pn = nullptr;
    QFrame* m_frame5 = nullptr;
    std::array<QPushButton*, 2> m_op4 {};
    QLabel* m_lab1 = nullptr;
    QPushButton* m_ckMute = nullptr;
    QPushButton* m_ckScrivi = nullptr;
    QPushButton* m_ckRnd = nullptr;
    QWidget* m_picture1 = nullptr;
    QListWidget* m_soundList = nullptr;
    QFrame* m_frame4 = nullptr;
    std::array<QPushButton*, 4> m_op3 {};
    std::array<QPushButton*, 7> m_op1 {};
    std::array<QPushButton*, 2> m_btM {};
    QPushButton* m_btPausa = nullptr;
    QPushButton* m_btCanc = nullptr;
    input::PianoWidget* m_piano = nullptr;
    storage::FilePanel* m_pcf = nullptr;
    QListWidget* m_list1 = nullptr;
    QLabel* m_lblHelp = nullptr;
    QLabel* m_label1 = nullptr;
    QTimer* m_tim = nullptr;
    QTimer* m_playTimer = nullptr;
    QAction* m_mnfLoad = nullptr;
    QAction* m_mnfSave = nullptr;

    std::unique_ptr<compose::Ports> m_ports;
    std::unique_ptr<compose::Playback> m_playback;
    std::unique_ptr<compose::Trainer> m_trainer;
    bool m_closing = false;
};

} // namespace zintaro::app
