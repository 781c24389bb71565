#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <array>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QWidget;

namespace zintaro {
namespace staff {
class StaffWidget;
}
namespace input {
class PianoWidget;
}
namespace storage {
class FilePanel;
}
} // namespace zintaro

namespace zintaro::app {

// The window's layout is given in twips, 15 to a pixel.
constexpr int px(int twips)
{
    return (twips >= 0 ? twips * 2 + 15 : twips * 2 - 15) / 30;
}
constexpr QRect twipRect(int left, int top, int width, int height)
{
    return { px(left), px(top), px(width), px(height) };
}

QFont sansFont(double points, bool bold = false);

// Every control of the window. Each widget carries its name from the
// program's design as its object name (Op3_0, HScrV, Pcf, …).
struct WindowControls {
    QWidget* central = nullptr;
    QWidget* lowerArea = nullptr; // Picture1
    QListWidget* instrumentList = nullptr; // lst_sound_list
    QFrame* modeFrame = nullptr; // Frame4
    std::array<QPushButton*, 4> modeButtons {}; // Op3: Componi, Ascolta, Nuovo, Leggi
    std::array<QPushButton*, 7> durationButtons {}; // Op1: 1 … 1/64
    std::array<QPushButton*, 2> cursorButtons {}; // BtM: < >
    QPushButton* restButton = nullptr; // BtPausa
    QPushButton* deleteButton = nullptr; // BtCanc
    input::PianoWidget* piano = nullptr;
    QFrame* tempoFrame = nullptr; // Frame6
    QLineEdit* tempoText = nullptr; // Txv
    QScrollBar* tempoBar = nullptr; // HScrV
    QFrame* switchFrame = nullptr; // Frame5
    std::array<QPushButton*, 2> voiceButtons {}; // Op4: Suona, Parla
    QLabel* nameLabel = nullptr; // Lab1
    QPushButton* muteSwitch = nullptr; // CkMute
    QPushButton* namesSwitch = nullptr; // CkScrivi
    QPushButton* scaleSwitch = nullptr; // CkRnd
    QPushButton* answerSwitch = nullptr; // CkRisp: "Rispondi"
    QLabel* scoreLabel = nullptr; // LabScore: the answers' score
    staff::StaffWidget* staff = nullptr; // Pn
    QListWidget* deviceList = nullptr; // List1
    QLabel* deviceLabel = nullptr; // Label1
    QLabel* helpLabel = nullptr; // lblHelp
    storage::FilePanel* filePanel = nullptr; // Pcf
    QLabel* statusText = nullptr; // what does not work, and since when it works again
    QAction* loadAction = nullptr; // mnf_Load
    QAction* saveAction = nullptr; // mnf_Save
    std::array<QAction*, 3> exportActions {}; // MIDI, MusicXML, PDF
    QAction* notationAction = nullptr; // mnf_Notation: "Armatura e metro…"
    QAction* importAction = nullptr; // mnf_Import: "Importa…"
    QMenu* midiKeyboardMenu = nullptr; // "Ingresso": the MIDI sources, then the microphone's entries
    QAction* microphoneAction = nullptr; // mnf_Microphone: "Microfono", after a separator
    QMenu* playedInstrumentMenu = nullptr; // "Strumento"
    // "Pianoforte" … "Corno in Fa", in the order of the played instruments.
    std::array<QAction*, 9> playedInstrumentActions {};
    QAction* tuningAction = nullptr; // "Diapason…"
    QProgressBar* levelMeter = nullptr; // under the status text while the microphone listens
    QMenu* menu = nullptr; // "Menù"
    QMenu* languageMenu = nullptr; // "Lingua"
    std::array<QAction*, 2> languageActions {}; // "Italiano", "English"
    std::array<QAction*, 2> namingActions {}; // "Do Re Mi", "C D E"
    QLabel* instrumentLabel = nullptr; // Label2
    QLabel* tempoLabel = nullptr; // Label3
    QMenu* practiceMenu = nullptr; // "Pratica": what "Rispondi" asks
    QAction* reviewAction = nullptr; // "Ripasso"
    QAction* accidentalsAction = nullptr; // "Alterazioni"
    QAction* rangeAction = nullptr; // "Estensione…"
    // "Chiave di Sol", "Chiave di Fa", "Doppio pentagramma", in the order of Clef.
    std::array<QAction*, 3> clefActions {};
    // "Armatura": the fifteen keys around the circle of fifths, then "Tutte, a caso".
    QMenu* keyMenu = nullptr;
    std::array<QAction*, 16> keyActions {};
    QMenu* levelMenu = nullptr; // "Livello": 1 to 8
    std::array<QAction*, 8> levelActions {};
    QAction* intervalsAction = nullptr; // "Intervalli"
    QAction* chordsAction = nullptr; // "Accordi"
    QAction* phraseAction = nullptr; // "Frase nella composizione"
    QAction* inTimeAction = nullptr; // "A tempo"
    QAction* fromPieceAction = nullptr; // "Dalla composizione"
    QAction* metronomeAction = nullptr; // "Metronomo"
    QAction* calibrateAction = nullptr; // "Calibra ritardo…"
    QAction* progressAction = nullptr; // mnf_Progress: "Progressi"
    QAction* undoAction = nullptr; // "Annulla", last in the menu but one
    QAction* redoAction = nullptr; // "Ripeti", last
};

// Builds the menu and every control at its place in the normal layout.
// Connects nothing: the window wires the controls to its handlers.
WindowControls buildWindowControls(QMainWindow& window);

// Gives every caption, menu entry and tooltip its words in the language of
// the moment; the build does it once, the window again on a change.
void retranslateWindowControls(WindowControls& c);

// Places the controls for a drawing scale: 1 is the normal layout, 5 the
// enlarged one of the reading trainer, where the staff covers the lower
// area and the mode buttons move beside the switches.
void applyLayout(WindowControls& c, int drawScale);

} // namespace zintaro::app
