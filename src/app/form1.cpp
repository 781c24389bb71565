#include "app/form1.h"

#include "app/piece_export.h"
#include "app/playback_timer.h"
#include "app/trainer_timer.h"
#include "compose/answering.h"
#include "compose/editing.h"
#include "compose/modes.h"
#include "compose/piano_entry.h"
#include "compose/piece_file.h"
#include "compose/playback.h"
#include "compose/trainer.h"
#include "core/dialogs.h"
#include "input/key_map.h"
#include "input/piano_widget.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "staff/pn_widget.h"
#include "staff/staff.h"
#include "storage/composition_file.h"
#include "storage/file_panel.h"

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
    , m_midi(std::make_unique<midi::MidiOut>(m_services.midiSystem, m_services.dialogs))
    , m_controls(buildWindowControls(*this, m_services.dialogs))
{
    m_clock.start();
    setWindowTitle(QStringLiteral("Zintaro     by the Zintaro developers"));
    // The staff surface has registered the program's pictures by now.
    setWindowIcon(QIcon(QStringLiteral(":/zintaro/zintaro.png")));

    m_trainerTimer = new TrainerTimer(m_clock, this);
    m_trainerTimer->setInterval(70);
    m_ports = std::make_unique<compose::Ports>(
        compose::Ports { *m_controls.staff, *m_midi, m_services.speech, m_services.dialogs, *m_controls.piano });
    m_playback = std::make_unique<compose::Playback>(m_state, *m_ports);
    m_trainer = std::make_unique<compose::Trainer>(m_state, *m_ports);
    m_answering = std::make_unique<compose::Answering>(
        m_state, *m_ports, *m_trainer, compose::answerHistoryPathFromEnvironment());
    m_answerTimer = new QTimer(this);
    m_answerTimer->setSingleShot(true);
    m_answerTimer->setTimerType(Qt::PreciseTimer);
    m_playbackTimer = new PlaybackTimer(*m_playback, m_clock, m_services.dialogs, this);
    m_midi->setStatusSink(
        [this](const std::string& text) { showStatus(StatusSource::Sound, QString::fromStdString(text)); });
    m_services.dialogs.setStatusSink(
        [this](const std::string& text) { showStatus(StatusSource::Notice, QString::fromStdString(text)); });
    connectControls();
    ShowHelpText();
}

Form1::~Form1() = default;

void Form1::connectControls()
{
    const WindowControls& c = m_controls;
    connect(c.loadAction, &QAction::triggered, this, &Form1::mnf_Load_Click);
    connect(c.saveAction, &QAction::triggered, this, &Form1::mnf_Save_Click);
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
    connect(c.muteSwitch, &QPushButton::toggled, this, [this](bool on) { m_state.Mute = on; });
    connect(c.deviceList, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(c.filePanel, &storage::FilePanel::loadRequested, this, &Form1::File1_DblClick);
    const std::array<storage::ExportKind, 3> exports
        = { storage::ExportKind::Midi, storage::ExportKind::MusicXml, storage::ExportKind::Pdf };
    for (std::size_t i = 0; i < exports.size(); ++i)
        connect(c.exportActions[i], &QAction::triggered, this, [this, kind = exports[i]] { mnf_Export_Click(kind); });
    connect(c.filePanel, &storage::FilePanel::Txf_Enter, this, &Form1::Txf_Enter);
    connect(m_trainerTimer, &TrainerTimer::timeout, this, &Form1::Tim_Timer);
    c.instrumentList->installEventFilter(this);
    c.instrumentList->viewport()->installEventFilter(this);

    // Only the name box and the file list keep the keyboard: a click on
    // anything else gives it back to the piano.
    for (QAbstractButton* b : c.central->findChildren<QAbstractButton*>())
        connect(b, &QAbstractButton::clicked, c.piano, &input::PianoWidget::focusFirstKey);
    connect(c.tempoBar, &QScrollBar::actionTriggered, c.piano, &input::PianoWidget::focusFirstKey);
}

void Form1::showStatus(StatusSource source, const QString& text)
{
    auto& notices = m_statusNotices;
    notices.erase(std::remove_if(notices.begin(), notices.end(), [&](const auto& n) { return n.first == source; }),
        notices.end());
    if (!text.isEmpty())
        notices.emplace_back(source, text);
    m_controls.statusText->setText(notices.empty() ? QString() : notices.back().second);
}

void Form1::ShowHelpText()
{
    m_controls.helpLabel->setText(QStringLiteral("1. Select Device\r\n2. Select Instrument\r\n3. Play notes with Mouse "
                                                 "or with\r\n   noted Computer Keyboard key"));
}

void Form1::Form_Load()
{
    m_state.DrawScale = 1;
    m_state.CursorColumn = 0;
    m_controls.staff->setCursorLeft(ColumnX(m_state.CursorColumn));

    fillDeviceLists();

    m_state.CurrentDuration = 0;
    m_state.SpeakNames = false;

    m_controls.staff->createRestImages();
    staff::DrawStaff(m_state, *m_controls.staff);

    m_controls.tempoText->setText(QStringLiteral("100"));
    m_controls.tempoBar->setValue(100);
    RecomputeTempoDurations(m_state, m_controls.tempoText->text().toInt());
    m_state.Composition.RestFlag[0] = True16;

    Op3_Click(static_cast<int>(compose::Mode::Read));
    m_controls.piano->focusFirstKey();
}

void Form1::fillDeviceLists()
{
    const std::vector<midi::DeviceEntry> devices = m_midi->FillDeviceList();
    for (const midi::DeviceEntry& d : devices) {
        auto* item = new QListWidgetItem(QString::fromStdString(d.text));
        item->setData(Qt::UserRole, d.itemData);
        m_controls.deviceList->addItem(item);
    }
    for (std::string_view name : midi::InstrumentNames)
        m_controls.instrumentList->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));

    // Device 0 is the first external port; on a machine with none, the first
    // listed device (the built-in synthesizer) stands in for it rather than a
    // box reporting a device that was never there.
    const bool hasExternalDevice
        = std::any_of(devices.begin(), devices.end(), [](const midi::DeviceEntry& d) { return d.itemData >= 0; });
    m_midi->CloseMidiOut();
    m_midi->OpenMidiOut(hasExternalDevice || devices.empty() ? int16_t { 0 } : devices.front().itemData);

    connect(m_controls.instrumentList, &QListWidget::currentRowChanged, this, [this] { lst_sound_list_Click(); });
    m_controls.instrumentList->setCurrentRow(0);
    if (m_controls.deviceList->count() > 0)
        m_controls.deviceList->setCurrentRow(0);
}

void Form1::CloseDown()
{
    if (m_closing)
        return;
    m_closing = true;
    m_trainerTimer->stop();
    m_playbackTimer->stop();
    stopAnswering();
    m_trainer->leave();
    m_midi->CloseMidiOut();
    QApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event)
{
    CloseDown();
    event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    QListWidget* list = m_controls.instrumentList;
    const bool inSoundList = watched == list || watched == list->viewport();
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (inSoundList && keyEvent && instrumentListKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (inSoundList && (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)) {
        // The list handles the key or the click first (it may change the
        // instrument), then the computer keyboard plays the piano again.
        QTimer::singleShot(0, m_controls.piano, &input::PianoWidget::focusFirstKey);
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
    m_midi->SelectDevice(static_cast<int16_t>(item->data(Qt::UserRole).toInt()),
        static_cast<int16_t>(std::max(0, m_controls.instrumentList->currentRow())));
}

void Form1::lst_sound_list_Click()
{
    m_midi->ProgramChange(0, 0, static_cast<int16_t>(std::max(0, m_controls.instrumentList->currentRow())));
}

void Form1::SetLayout()
{
    applyLayout(m_controls, m_state.DrawScale);
    staff::DrawStaff(m_state, *m_controls.staff);
}

void Form1::Op3_Click(int index)
{
    stopAnswering();
    if (m_trainerTimer->isActive())
        leaveTrainer();
    m_state.DrawScale = 1;
    SetLayout();
    const auto mode = static_cast<compose::Mode>(index);
    // The buttons show the mode the window is in ("Nuovo" shows while it asks).
    m_controls.modeButtons.at(static_cast<std::size_t>(index))->setChecked(true);
    switch (mode) {
    case compose::Mode::Compose:
        compose::showComposition(m_state, *m_ports);
        break;
    case compose::Mode::Listen:
        m_playbackTimer->start();
        break;
    case compose::Mode::New:
        if (m_services.dialogs.question("Sicuro?", "Nuova composizione")) {
            stopPlayback();
            compose::newComposition(m_state, *m_ports);
            m_controls.modeButtons[0]->setChecked(true);
            Op3_Click(static_cast<int>(compose::Mode::Compose));
        }
        break;
    case compose::Mode::Read:
        if (isVisible())
            showMaximized();
        else
            setWindowState(windowState() | Qt::WindowMaximized);
        m_trainer->enter(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()));
        m_trainerTimer->start();
        m_state.DrawScale = 5;
        SetLayout();
        break;
    }
}

void Form1::leaveTrainer()
{
    m_trainerTimer->stop();
    m_trainer->leave();
}

// Before the piece changes, a playback of it ends as it would at its end:
// the sounding note silenced, the cursor after the piece.
void Form1::stopPlayback()
{
    m_playbackTimer->stop();
}

void Form1::Op1_Click(int index)
{
    m_state.CurrentDuration = static_cast<int16_t>(index);
    m_controls.piano->focusFirstKey();
}

void Form1::Op4_Click(int index)
{
    m_state.SpeakNames = index != 0;
}

void Form1::CkRnd_Click()
{
    m_state.ScaleWalk = m_controls.scaleSwitch->isChecked();
    if (m_state.ScaleWalk)
        m_trainer->restartScaleWalk();
    if (m_answering->active()) {
        m_answering->showNewNote(m_clock.elapsed());
        afterAnswering();
        m_controls.piano->focusFirstKey();
    }
}

void Form1::CkRisp_Click()
{
    const bool on = m_controls.answerSwitch->isChecked();
    if (on && m_trainerTimer->isActive()) {
        // The student moves the trainer on: its timer rests meanwhile.
        m_trainerTimer->stop();
        m_answering->start(m_clock.elapsed());
        afterAnswering();
        // The answers come from the computer keyboard.
        m_controls.piano->focusFirstKey();
    } else if (!on && m_answering->active()) {
        stopAnswering();
        m_trainer->enter(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()));
        m_trainerTimer->start();
    } else {
        // Outside "Leggi" there is nothing to answer.
        m_controls.answerSwitch->setChecked(false);
    }
}

void Form1::stopAnswering()
{
    if (!m_answering->active())
        return;
    m_answering->stop();
    m_controls.answerSwitch->setChecked(false);
    afterAnswering();
}

void Form1::AnswerTimer_Timer()
{
    m_answering->timerDue(m_clock.elapsed());
    afterAnswering();
}

void Form1::afterAnswering()
{
    if (const auto due = m_answering->nextDue())
        m_answerTimer->start(static_cast<int>(std::clamp<int64_t>(*due - m_clock.elapsed(), 0, 60000)));
    else
        m_answerTimer->stop();
    m_controls.scoreLabel->setText(QString::fromStdString(m_answering->scoreLabel()));
    if (const auto notice = m_answering->takeNotice())
        showStatus(StatusSource::Answers, QString::fromStdString(*notice));
}

void Form1::CkScrivi_Click()
{
    m_state.WriteNames = m_controls.namesSwitch->isChecked();
    m_controls.nameLabel->setVisible(m_state.WriteNames);
    m_controls.staff->setStaffLabelVisible(m_state.WriteNames);
}

void Form1::HScrV_Change(int value)
{
    m_controls.tempoText->setText(QString::number(value));
    m_trainerTimer->setInterval(compose::setTempo(m_state, m_controls.tempoText->text().toInt()));
}

void Form1::Tim_Timer()
{
    const HeldDialogs::Hold noBoxesFromATimer(m_services.dialogs);
    m_trainer->tick();
}

void Form1::key_KeyDown(QKeyEvent* event)
{
    const int16_t index = input::keyIndexOf(input::keyCodeOf(*event));
    if (m_answering->active()) {
        if (isPianoNote(index))
            m_answering->keyDown(index, m_clock.elapsed(), event->isAutoRepeat());
        afterAnswering();
        return;
    }
    const auto effect = compose::playKey(m_state, *m_ports, index);
    // A note that overwrote the last column of a page turns to the next page,
    // which already holds notes of the piece: show them.
    const bool turnedOntoWrittenPage = effect != compose::KeyDownEffect::Ignored && m_state.CursorColumn == 0
        && m_state.WriteIndex < m_state.NoteCount && !m_state.Listening;
    if (turnedOntoWrittenPage)
        compose::showComposition(m_state, *m_ports);
    if (effect == compose::KeyDownEffect::Sounded)
        m_controls.piano->focusFirstKey();
}

void Form1::key_KeyUp(QKeyEvent* event)
{
    // A held key repeats its key-down; the releases that the repetition
    // generates are not the user letting go.
    if (event->isAutoRepeat())
        return;
    if (m_answering->active()) {
        const int16_t index = input::keyIndexOf(input::keyCodeOf(*event));
        if (isPianoNote(index))
            m_answering->keyUp(index, m_clock.elapsed());
        afterAnswering();
        return;
    }
    compose::releasePlayedKey(*m_ports, input::keyIndexOf(input::keyCodeOf(*event)));
}

void Form1::BtPausa_Click()
{
    stopPlayback();
    compose::insertRest(m_state, *m_ports);
}

void Form1::BtCanc_Click()
{
    stopPlayback();
    compose::deleteAtCursor(m_state, *m_ports);
}

void Form1::BtM_Click(int index)
{
    compose::moveCursor(m_state, *m_ports, index == 1 ? compose::CursorMove::Right : compose::CursorMove::Left);
}

void Form1::mnf_Load_Click()
{
    m_exporting.reset();
    m_controls.filePanel->openForLoading(m_services.filesFolder);
    m_controls.filePanel->raise();
}

void Form1::mnf_Save_Click()
{
    m_exporting.reset();
    m_controls.filePanel->openForSaving(m_services.filesFolder);
    m_controls.filePanel->raise();
}

void Form1::mnf_Export_Click(storage::ExportKind kind)
{
    m_exporting = kind;
    m_controls.filePanel->openForSaving(
        m_services.filesFolder, QString::fromLatin1(storage::exportExtension(kind).data()));
    m_controls.filePanel->raise();
}

void Form1::File1_DblClick(const std::filesystem::path& file)
{
    // The list of an export only offers names to write over.
    if (m_exporting)
        return;
    m_controls.filePanel->hide();
    stopPlayback();
    compose::loadComposition(m_state, *m_ports, file);
}

void Form1::Txf_Enter(const QString& text)
{
    m_controls.filePanel->hide();
    const std::filesystem::path folder = m_services.filesFolder.toStdString();
    if (m_exporting) {
        const auto kind = *m_exporting;
        const int program = m_controls.instrumentList->currentRow();
        if (exportPiece(m_state, kind, folder, text.toStdString(), program, m_services.dialogs)
            == storage::ExportResult::NameRefused)
            mnf_Export_Click(kind);
        return;
    }
    const auto result = storage::SaveComposition(m_state, folder, text.toStdString(), m_services.dialogs);
    // A name that cannot be a file is told; the panel comes back to mend it.
    if (result == storage::SaveResult::NameRefused)
        mnf_Save_Click();
}

} // namespace zintaro::app
