#include "app/form1.h"

#include "app/click_track.h"
#include "app/due_timer.h"
#include "app/importer.h"
#include "app/microphone.h"
#include "app/midi_keyboard.h"
#include "app/piece_export.h"
#include "app/progress_opener.h"
#include "app/trainer_timer.h"
#include "compose/answer_history.h"
#include "compose/workspace.h"
#include "core/dialogs.h"
#include "core/translation.h"
#include "input/key_map.h"
#include "input/piano_widget.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "midi/shared_midi.h"
#include "staff/shown_text.h"
#include "staff/staff.h"
#include "staff/staff_widget.h"
#include "storage/composition_file.h"
#include "storage/file_panel.h"
#include "storage/user_folders.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace zintaro::app {

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(std::move(services))
    , m_notices(m_services.dialogs, [this](const Text& text) { showStatus(StatusSource::Notice, text); })
    , m_composeDialogs(m_services.dialogs, m_notices)
    , m_keyboardDialogs(m_services.dialogs, [this](const Text& text) { showStatus(StatusSource::Notice, text); })
    , m_sharedMidi(std::make_unique<midi::SharedMidiSystem>(m_services.midiSystem))
    , m_midi(std::make_unique<midi::MidiOut>(*m_sharedMidi))
{
    m_clock.start();
    m_language = m_services.language;
    if (!m_language) {
        m_ownLanguage = std::make_unique<InterfaceLanguage>();
        m_ownLanguage->apply(Language::Italian);
        m_language = m_ownLanguage.get();
    }
    setWindowTitle(QCoreApplication::translate("Window", "Zintaro     by the Zintaro developers"));
}

// The controls, the rules behind them and their wiring. The start-up
// procedure builds them first, so that the program can show the window's
// frame before any of it.
void Form1::buildWindow()
{
    if (m_built)
        return;
    m_built = true;
    m_controls = buildWindowControls(*this);
    // The staff surface has registered the program's pictures by now.
    setWindowIcon(QIcon(QStringLiteral(":/zintaro/zintaro.png")));

    m_trainerTimer = new TrainerTimer(m_clock, this);
    m_trainerTimer->setInterval(70);
    m_ports = std::make_unique<compose::Ports>(
        compose::Ports { *m_controls.staff, *m_midi, m_services.speech, *m_controls.piano });
    m_workspace = std::make_unique<compose::Workspace>(
        *m_ports, storage::answersLogPath(), [this](int scale) { applyLayout(m_controls, scale); },
        storage::recoveryFilePath(), seed());
    m_clickTrack = std::make_unique<StreamClickTrack>(*m_sharedMidi, m_clock);
    m_workspace->setClickTrack(m_clickTrack.get());
    m_answerTimer = new DueTimer(m_clock, this);
    m_playbackTimer = new DueTimer(m_clock, this);
    m_midi->setListener({
        [this](const midi::MidiFailure& failure) { soundFailed(failure); },
        [this] { showStatus(StatusSource::Sound, {}); },
        [this] { m_notices.forget("sound:"); },
    });
    m_midiKeyboard = new MidiKeyboard(*m_sharedMidi, *m_controls.midiKeyboardMenu, this);
    const QStringList moduleFolders = m_services.progressModuleFolders.isEmpty()
        ? ModuleLoader::defaultFolders(QApplication::applicationDirPath())
        : m_services.progressModuleFolders;
    m_microphone = new Microphone(m_clock, moduleFolders, this);
    m_progress = new ProgressOpener(*this, m_services.filesFolder, storage::answersLogPath(), moduleFolders, this);
    m_importer = new Importer(moduleFolders, this);
    connectControls();
    loadChoices();
    ShowHelpText();
}

uint32_t Form1::seed() const
{
    return static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
}

Form1::~Form1()
{
    // The keyboards' notes still held are silenced through the output.
    delete m_midiKeyboard;
}

void Form1::connectControls()
{
    const WindowControls& c = m_controls;
    connectMenu();
    connectMidiKeyboard();
    connectMicrophone();
    connect(c.modeButtons[0]->group(), &QButtonGroup::idClicked, this, &Form1::Op3_Click);
    connect(c.durationButtons[0]->group(), &QButtonGroup::idClicked, this, &Form1::Op1_Click);
    connect(c.voiceButtons[0]->group(), &QButtonGroup::idClicked, this, &Form1::Op4_Click);
    for (int i = 0; i < 2; ++i)
        connect(c.cursorButtons[i], &QPushButton::clicked, this, [this, i] { BtM_Click(i); });
    connect(c.restButton, &QPushButton::clicked, this, &Form1::BtPausa_Click);
    connect(c.deleteButton, &QPushButton::clicked, this, &Form1::BtCanc_Click);
    connect(c.piano, &input::PianoWidget::keyDown, this, &Form1::key_KeyDown);
    connect(c.piano, &input::PianoWidget::keyUp, this, &Form1::key_KeyUp);
    connect(c.tempoBar, &QScrollBar::valueChanged, this, &Form1::HScrV_Change);
    connect(c.namesSwitch, &QPushButton::clicked, this, &Form1::CkScrivi_Click);
    connect(c.scaleSwitch, &QPushButton::clicked, this, &Form1::CkRnd_Click);
    connect(c.answerSwitch, &QPushButton::clicked, this, &Form1::CkRisp_Click);
    connect(m_answerTimer, &DueTimer::due, this, [this] { showReport(m_workspace->answersDue(now())); });
    connect(m_playbackTimer, &DueTimer::due, this, [this] { showReport(m_workspace->playbackDue(now())); });
    connect(c.muteSwitch, &QPushButton::toggled, this, [this](bool on) { showReport(m_workspace->setMute(on)); });
    connect(c.deviceList, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(c.filePanel, &storage::FilePanel::loadRequested, this, &Form1::File1_DblClick);
    connect(c.filePanel, &storage::FilePanel::saveRequested, this, &Form1::Txf_Enter);
    connect(c.filePanel, &storage::FilePanel::dismissed, c.piano, &input::PianoWidget::focusFirstKey);
    connect(c.filePanel, &storage::FilePanel::folderProblem, this,
        [this](const Text& text) { m_notices.tell("folder:" + text.render(), text); });
    connect(m_trainerTimer, &TrainerTimer::timeout, this, &Form1::Tim_Timer);
    c.central->installEventFilter(this);
    c.instrumentList->installEventFilter(this);
    c.instrumentList->viewport()->installEventFilter(this);

    // Only the name box and the file list keep the keyboard: a click on
    // anything else gives it back to the piano.
    for (QAbstractButton* b : c.central->findChildren<QAbstractButton*>())
        connect(b, &QAbstractButton::clicked, c.piano, &input::PianoWidget::focusFirstKey);
    connect(c.tempoBar, &QScrollBar::actionTriggered, c.piano, &input::PianoWidget::focusFirstKey);
}

// "Menù" in its order.
void Form1::connectMenu()
{
    const WindowControls& c = m_controls;
    connect(c.loadAction, &QAction::triggered, this, &Form1::mnf_Load_Click);
    connect(c.saveAction, &QAction::triggered, this, &Form1::mnf_Save_Click);
    connect(c.undoAction, &QAction::triggered, this, &Form1::mnf_Undo_Click);
    connect(c.redoAction, &QAction::triggered, this, &Form1::mnf_Redo_Click);
    const std::array<storage::ExportKind, 3> exports
        = { storage::ExportKind::Midi, storage::ExportKind::MusicXml, storage::ExportKind::Pdf };
    for (std::size_t i = 0; i < exports.size(); ++i)
        connect(c.exportActions[i], &QAction::triggered, this, [this, kind = exports[i]] { mnf_Export_Click(kind); });
    connect(c.notationAction, &QAction::triggered, this, &Form1::mnf_Notation_Click);
    connect(c.importAction, &QAction::triggered, this, &Form1::mnf_Import_Click);
    connect(c.reviewAction, &QAction::triggered, this, &Form1::mnf_Review_Click);
    connect(c.accidentalsAction, &QAction::triggered, this, &Form1::mnf_Accidentals_Click);
    for (QAction* action : { c.inTimeAction, c.fromPieceAction, c.metronomeAction })
        connect(action, &QAction::triggered, this, &Form1::mnf_InTime_Click);
    connect(c.calibrateAction, &QAction::triggered, this, &Form1::mnf_Calibrate_Click);
    connect(c.rangeAction, &QAction::triggered, this, &Form1::mnf_Range_Click);
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand })
        connect(c.clefActions.at(static_cast<std::size_t>(clef)), &QAction::triggered, this,
            [this, clef] { mnf_Clef_Click(clef); });
    for (std::size_t i = 0; i < c.keyActions.size(); ++i)
        connect(c.keyActions[i], &QAction::triggered, this, [this, i] { mnf_Key_Click(i); });
    for (std::size_t i = 0; i < c.levelActions.size(); ++i)
        connect(c.levelActions[i], &QAction::triggered, this,
            [this, i] { mnf_Level_Click(compose::FirstLevel + static_cast<int>(i)); });
    connect(c.intervalsAction, &QAction::triggered, this,
        [this](bool checked) { mnf_Drill_Click(compose::Drill::Intervals, checked); });
    connect(c.chordsAction, &QAction::triggered, this,
        [this](bool checked) { mnf_Drill_Click(compose::Drill::Chords, checked); });
    connect(c.phraseAction, &QAction::triggered, this, &Form1::mnf_Phrase_Click);
    connect(c.progressAction, &QAction::triggered, this,
        [this] { m_progress->open(m_workspace->state().Naming, m_workspace->choices().practice.ranges); });
    connect(m_progress, &ProgressOpener::statusNote, this,
        [this](const Text& text) { showStatus(StatusSource::Progress, text); });
    connect(c.languageActions[0], &QAction::triggered, this, [this] { setLanguage(Language::Italian); });
    connect(c.languageActions[1], &QAction::triggered, this, [this] { setLanguage(Language::English); });
    connect(c.namingActions[0], &QAction::triggered, this, [this] { setNaming(NoteNaming::Solfege); });
    connect(c.namingActions[1], &QAction::triggered, this, [this] { setNaming(NoteNaming::Letters); });
}

void Form1::connectMidiKeyboard()
{
    connect(m_midiKeyboard, &MidiKeyboard::keyPressed, this, [this](int16_t index, int16_t, qint64 stampMs) {
        showReport(m_workspace->midiKeyboardDown(index, now(), static_cast<double>(stampMs)), m_keyboardDialogs);
    });
    connect(m_midiKeyboard, &MidiKeyboard::keyReleased, this,
        [this](int16_t index) { showReport(m_workspace->midiKeyboardUp(index, now()), m_keyboardDialogs); });
    connect(m_midiKeyboard, &MidiKeyboard::switchedOffChanged, this, &Form1::rememberChoices);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (m_soundPending && watched == m_controls.central && event->type() == QEvent::Paint) {
        m_soundPending = false;
        QTimer::singleShot(0, this, &Form1::startSound);
    }
    QListWidget* list = m_controls.instrumentList;
    const bool inSoundList = watched == list || watched == list->viewport();
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (inSoundList && keyEvent && instrumentListKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (inSoundList && (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)) {
        // The list handles the key or the click first (it may change the
        // instrument), then the computer keyboard plays the piano again.
        // Unless the key opened something that took the keyboard (Ctrl+S).
        QTimer::singleShot(0, m_controls.piano, [this] {
            const QWidget* focus = QApplication::focusWidget();
            if (!focus || focus == m_controls.instrumentList || m_controls.instrumentList->isAncestorOf(focus))
                m_controls.piano->focusFirstKey();
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

// A shortcut letter typed while the instrument list has the keyboard plays
// its note and leaves the instrument alone; the list's own keys (arrows,
// pages, Home, End) still move the selection.
bool Form1::instrumentListKey(QKeyEvent* event)
{
    if (input::keyIndexOf(input::keyCodeOf(*event)) < 0)
        return false;
    if (event->type() == QEvent::KeyPress)
        key_KeyDown(event);
    else
        key_KeyUp(event);
    m_controls.piano->focusFirstKey();
    return true;
}

void Form1::List1_Click()
{
    const QListWidgetItem* item = m_controls.deviceList->currentItem();
    if (!item)
        return;
    showReport(m_workspace->selectDevice(static_cast<int16_t>(item->data(Qt::UserRole).toInt())));
}

void Form1::lst_sound_list_Click()
{
    showReport(m_workspace->setInstrument(std::max(0, m_controls.instrumentList->currentRow())));
}

void Form1::Op3_Click(int index)
{
    const compose::Report report = m_workspace->switchMode(static_cast<compose::Mode>(index), now(), seed());
    // The buttons show the mode the window is in ("Nuovo" shows while it asks).
    m_controls.modeButtons.at(static_cast<std::size_t>(index))->setChecked(true);
    showReport(report);
    if (report.confirmNew
        && m_services.dialogs.question(translate("Window", "Sicuro?"), translate("Window", "Nuova composizione"))) {
        m_controls.modeButtons[0]->setChecked(true);
        showReport(m_workspace->confirmNewPiece(now(), seed()));
    }
    if (report.maximize) {
        if (isVisible())
            showMaximized();
        else
            setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void Form1::Op1_Click(int index)
{
    showReport(m_workspace->setDuration(static_cast<int16_t>(index)));
    m_controls.piano->focusFirstKey();
}

void Form1::Op4_Click(int index)
{
    showReport(m_workspace->setSpeakNames(index != 0));
}

void Form1::CkRnd_Click()
{
    showReport(m_workspace->setScaleWalk(m_controls.scaleSwitch->isChecked(), now()));
}

void Form1::CkScrivi_Click()
{
    const bool write = m_controls.namesSwitch->isChecked();
    m_controls.nameLabel->setVisible(write);
    m_controls.staff->setStaffLabelVisible(write);
    showReport(m_workspace->setWriteNames(write));
}

void Form1::CkRisp_Click()
{
    showReport(m_workspace->setAnswering(m_controls.answerSwitch->isChecked(), now(), seed()));
}

void Form1::HScrV_Change(int value)
{
    m_controls.tempoText->setText(QString::number(value));
    showReport(m_workspace->setTempo(value));
}

void Form1::Tim_Timer()
{
    showReport(m_workspace->trainerTick());
}

void Form1::key_KeyDown(QKeyEvent* event)
{
    if (const int octaves = input::octaveStepOf(*event); octaves != 0) {
        showReport(m_workspace->shiftKeyboard(octaves));
        return;
    }
    const int16_t index = input::keyIndexOf(input::keyCodeOf(*event));
    // The key's own time places a note read in time, however late it is handled.
    showReport(m_workspace->keyDown(
        index, now(), event->isAutoRepeat(), compose::KeySound::Sounded, static_cast<double>(event->timestamp())));
}

void Form1::key_KeyUp(QKeyEvent* event)
{
    // A held key repeats its key-down; the releases that the repetition
    // generates are not the user letting go.
    if (event->isAutoRepeat())
        return;
    showReport(m_workspace->keyUp(input::keyIndexOf(input::keyCodeOf(*event)), now(), compose::KeySound::Sounded));
}

void Form1::BtPausa_Click()
{
    showReport(m_workspace->apply(compose::InsertRest {}));
}

void Form1::BtCanc_Click()
{
    showReport(m_workspace->apply(compose::DeleteAtCursor {}));
}

void Form1::BtM_Click(int index)
{
    showReport(m_workspace->moveCursor(index == 1 ? compose::CursorMove::Right : compose::CursorMove::Left));
}

void Form1::mnf_Undo_Click()
{
    showReport(m_workspace->undo());
}

void Form1::mnf_Redo_Click()
{
    showReport(m_workspace->redo());
}

void Form1::showReport(const compose::Report& report)
{
    showReport(report, m_composeDialogs);
}

// The one place where what the workspace reports becomes what the window
// shows: the menu's undo and redo, the timers, "Rispondi" and the score, the
// MIDI keyboards' sound, the notices, and where the keyboard goes.
void Form1::showReport(const compose::Report& report, Dialogs& tell)
{
    m_controls.undoAction->setEnabled(report.canUndo);
    m_controls.redoAction->setEnabled(report.canRedo);
    if (!report.trainerBeat) {
        m_trainerTimer->stop();
    } else {
        m_trainerTimer->setInterval(*report.trainerBeat);
        if (report.beatRestarts || !m_trainerTimer->isActive())
            m_trainerTimer->start();
    }
    m_answerTimer->setDue(report.answersDue);
    m_playbackTimer->setDue(report.playbackDue);
    m_controls.answerSwitch->setChecked(report.answering);
    m_controls.scoreLabel->setText(staff::shown(report.score));
    m_midiKeyboard->setSoundsNotes(report.liveSound);
    showStatus(StatusSource::Recovery, report.notices.piece);
    showStatus(StatusSource::Keyboard, report.notices.keyboard);
    showStatus(StatusSource::Answers, report.answersFailure);
    showStatus(StatusSource::Microphone, report.notices.microphone);
    if (report.heard)
        showStatus(StatusSource::Heard, *report.heard);
    if (!report.said.empty())
        showStatus(StatusSource::Notice, report.said);
    m_microphone->follow(report.listening);
    for (const Text& text : report.told)
        tell.message(text);
    if (!report.answer.empty())
        m_services.dialogs.message(report.answer);
    if (report.choicesChanged)
        rememberChoices();
    if (report.focusPiano)
        m_controls.piano->focusFirstKey();
    if (report.tempo)
        m_controls.tempoBar->setValue(*report.tempo);
    // Asked once the key or timer that ended the exam has been handled.
    if (report.exam && report.exam->result.passed)
        QTimer::singleShot(0, this, [this, exam = *report.exam] { offerCertificate(exam); });
}

} // namespace zintaro::app
