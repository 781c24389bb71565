#include "app/form1.h"

#include "app/midi_keyboard.h"
#include "app/piece_export.h"
#include "app/playback_timer.h"
#include "app/progress_opener.h"
#include "app/trainer_timer.h"
#include "compose/answering.h"
#include "compose/editing.h"
#include "compose/modes.h"
#include "compose/note_entry.h"
#include "compose/piano_entry.h"
#include "compose/piece_file.h"
#include "compose/playback.h"
#include "compose/trainer.h"
#include "compose/workspace.h"
#include "core/dialogs.h"
#include "core/translation.h"
#include "input/key_map.h"
#include "input/piano_widget.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "midi/shared_midi.h"
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
        storage::recoveryFilePath());
    m_workspace->answers().seedDraw(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    m_answerTimer = new QTimer(this);
    m_answerTimer->setSingleShot(true);
    m_answerTimer->setTimerType(Qt::PreciseTimer);
    m_playbackTimer = new PlaybackTimer(m_workspace->playback(), m_clock, this);
    m_midi->setListener({
        [this](const midi::MidiFailure& failure) { soundFailed(failure); },
        [this] { showStatus(StatusSource::Sound, {}); },
        [this] { m_notices.forget("sound:"); },
    });
    m_midiKeyboard = new MidiKeyboard(*m_sharedMidi, *m_controls.midiKeyboardMenu, this);
    const QStringList moduleFolders = m_services.progressModuleFolders.isEmpty()
        ? ProgressOpener::defaultModuleFolders(QApplication::applicationDirPath())
        : m_services.progressModuleFolders;
    m_progress = new ProgressOpener(*this, m_services.filesFolder, storage::answersLogPath(), moduleFolders, this);
    connectControls();
    loadChoices();
    ShowHelpText();
}

Modulo1& Form1::state()
{
    return m_workspace->state();
}

compose::Playback& Form1::playback()
{
    return m_workspace->playback();
}

compose::Trainer& Form1::trainer()
{
    return m_workspace->trainer();
}

compose::Answering& Form1::answering()
{
    return m_workspace->answers();
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
    connect(m_answerTimer, &QTimer::timeout, this, &Form1::AnswerTimer_Timer);
    connect(c.muteSwitch, &QPushButton::toggled, this, [this](bool on) {
        m_workspace->setMute(on);
        updateLiveSound();
    });
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
    connect(c.reviewAction, &QAction::triggered, this, &Form1::mnf_Review_Click);
    connect(c.accidentalsAction, &QAction::triggered, this, &Form1::mnf_Accidentals_Click);
    connect(c.rangeAction, &QAction::triggered, this, &Form1::mnf_Range_Click);
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand })
        connect(c.clefActions.at(static_cast<std::size_t>(clef)), &QAction::triggered, this,
            [this, clef] { mnf_Clef_Click(clef); });
    connect(c.progressAction, &QAction::triggered, this,
        [this] { m_progress->open(state().Naming, m_choices.practice.ranges); });
    connect(m_progress, &ProgressOpener::statusNote, this,
        [this](const Text& text) { showStatus(StatusSource::Progress, text); });
    connect(c.languageActions[0], &QAction::triggered, this, [this] { setLanguage(Language::Italian); });
    connect(c.languageActions[1], &QAction::triggered, this, [this] { setLanguage(Language::English); });
    connect(c.namingActions[0], &QAction::triggered, this, [this] { setNaming(NoteNaming::Solfege); });
    connect(c.namingActions[1], &QAction::triggered, this, [this] { setNaming(NoteNaming::Letters); });
}

void Form1::connectMidiKeyboard()
{
    connect(m_midiKeyboard, &MidiKeyboard::keyPressed, this, [this](int16_t index, int16_t) {
        showKeyOutcome(m_workspace->midiKeyboardDown(index, m_clock.elapsed()), m_keyboardDialogs);
    });
    connect(m_midiKeyboard, &MidiKeyboard::keyReleased, this, [this](int16_t index) {
        m_workspace->midiKeyboardUp(index, m_clock.elapsed());
        if (m_workspace->answering())
            afterAnswering();
    });
    connect(m_midiKeyboard, &MidiKeyboard::switchedOffChanged, this, [this] {
        m_choices.keyboardsOff = m_midiKeyboard->switchedOff();
        rememberChoices();
    });
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
    m_workspace->selectDevice(static_cast<int16_t>(item->data(Qt::UserRole).toInt()));
}

void Form1::lst_sound_list_Click()
{
    m_workspace->setInstrument(std::max(0, m_controls.instrumentList->currentRow()));
}

void Form1::Op3_Click(int index)
{
    const bool answering = m_workspace->answering();
    const auto mode = static_cast<compose::Mode>(index);
    const compose::ModeChange change = m_workspace->switchMode(mode, seed());
    if (answering)
        answersStopped();
    syncTrainerTimer();
    // The buttons show the mode the window is in ("Nuovo" shows while it asks).
    m_controls.modeButtons.at(static_cast<std::size_t>(index))->setChecked(true);
    if (change.startPlayback)
        m_playbackTimer->start();
    if (change.confirmNew
        && m_services.dialogs.question(translate("Window", "Sicuro?"), translate("Window", "Nuova composizione"))) {
        stopPlayback();
        m_workspace->confirmNewPiece(seed());
        m_controls.modeButtons[0]->setChecked(true);
        afterPieceChange();
    }
    if (change.maximize) {
        if (isVisible())
            showMaximized();
        else
            setWindowState(windowState() | Qt::WindowMaximized);
    }
}

// The trainer's beat runs while the workspace's trainer runs on its own.
void Form1::syncTrainerTimer()
{
    if (m_workspace->trainerRunning())
        m_trainerTimer->start();
    else
        m_trainerTimer->stop();
}

// Before the piece changes, a playback of it ends as it would at its end:
// the sounding note silenced, the cursor after the piece.
void Form1::stopPlayback()
{
    m_playbackTimer->stop();
}

void Form1::Op1_Click(int index)
{
    m_workspace->setDuration(static_cast<int16_t>(index));
    m_controls.piano->focusFirstKey();
}

void Form1::Op4_Click(int index)
{
    m_workspace->setSpeakNames(index != 0);
    updateLiveSound();
}

void Form1::CkRnd_Click()
{
    m_workspace->setScaleWalk(m_controls.scaleSwitch->isChecked(), m_clock.elapsed());
    if (m_workspace->answering()) {
        afterAnswering();
        m_controls.piano->focusFirstKey();
    }
}

void Form1::CkScrivi_Click()
{
    const bool write = m_controls.namesSwitch->isChecked();
    m_workspace->setWriteNames(write);
    m_controls.nameLabel->setVisible(write);
    m_controls.staff->setStaffLabelVisible(write);
}

void Form1::HScrV_Change(int value)
{
    m_controls.tempoText->setText(QString::number(value));
    m_trainerTimer->setInterval(m_workspace->setTempo(value));
}

void Form1::Tim_Timer()
{
    m_workspace->trainerTick();
}

void Form1::key_KeyDown(QKeyEvent* event)
{
    if (const int octaves = input::octaveStepOf(*event); octaves != 0) {
        shiftKeyboard(octaves);
        return;
    }
    const int16_t index = input::keyIndexOf(input::keyCodeOf(*event));
    showKeyOutcome(m_workspace->keyDown(index, m_clock.elapsed(), event->isAutoRepeat(), compose::KeySound::Sounded),
        m_composeDialogs);
}

void Form1::key_KeyUp(QKeyEvent* event)
{
    // A held key repeats its key-down; the releases that the repetition
    // generates are not the user letting go.
    if (event->isAutoRepeat())
        return;
    m_workspace->keyUp(input::keyIndexOf(input::keyCodeOf(*event)), m_clock.elapsed(), compose::KeySound::Sounded);
    if (m_workspace->answering())
        afterAnswering();
}

void Form1::showKeyOutcome(const compose::KeyOutcome& outcome, Dialogs& tell)
{
    if (outcome.answered)
        afterAnswering();
    if (outcome.full)
        tell.message(translate("Compose", compose::CompositionFullText));
    if (!outcome.answered)
        afterPieceChange();
    if (outcome.focusPiano)
        m_controls.piano->focusFirstKey();
}

// Whether a MIDI keyboard's notes sound as they come.
void Form1::updateLiveSound()
{
    m_midiKeyboard->setSoundsNotes(m_workspace->liveSound());
}

void Form1::BtPausa_Click()
{
    stopPlayback();
    if (m_workspace->apply(compose::InsertRest {}) == compose::PieceOutcome::Full)
        m_composeDialogs.message(translate("Compose", compose::CompositionFullText));
    afterPieceChange();
}

void Form1::BtCanc_Click()
{
    stopPlayback();
    m_workspace->apply(compose::DeleteAtCursor {});
    afterPieceChange();
}

void Form1::mnf_Undo_Click()
{
    stopPlayback();
    m_workspace->undo();
    afterPieceChange();
}

void Form1::mnf_Redo_Click()
{
    stopPlayback();
    m_workspace->redo();
    afterPieceChange();
}

// The menu offers what can be undone and redone; a failing recovery write
// is told in the status text.
void Form1::afterPieceChange()
{
    m_controls.undoAction->setEnabled(m_workspace->canUndo());
    m_controls.redoAction->setEnabled(m_workspace->canRedo());
    if (const auto notice = m_workspace->recovery().takeNotice())
        showStatus(StatusSource::Recovery, *notice);
}

void Form1::BtM_Click(int index)
{
    m_workspace->moveCursor(index == 1 ? compose::CursorMove::Right : compose::CursorMove::Left);
}

} // namespace zintaro::app
