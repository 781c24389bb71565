#include "app/form1.h"
#include "app/midi_keyboard.h"
#include "app/playback_timer.h"
#include "app/trainer_timer.h"
#include "compose/answering.h"
#include "compose/modes.h"
#include "compose/note_entry.h"
#include "compose/piano_entry.h"
#include "compose/piece_file.h"
#include "compose/playback.h"
#include "compose/recovery.h"
#include "compose/trainer.h"
#include "compose/workspace.h"
#include "core/dialogs.h"
#include "input/key_map.h"
#include "input/piano_widget.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "staff/shown_text.h"
#include "staff/staff.h"
#include "staff/staff_widget.h"
#include "storage/composition_file.h"
#include "storage/file_panel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <string_view>
#include <vector>

namespace zintaro::app {

void Form1::showStatus(StatusSource source, const Text& text)
{
    auto& notices = m_statusNotices;
    notices.erase(std::remove_if(notices.begin(), notices.end(), [&](const auto& n) { return n.first == source; }),
        notices.end());
    if (!text.empty())
        notices.emplace_back(source, text);
    showStandingNotice();
}

// The newest notice that stands, rendered from its recipe in the language
// chosen now.
void Form1::showStandingNotice()
{
    m_controls.statusText->setText(m_statusNotices.empty() ? QString() : staff::shown(m_statusNotices.back().second));
}

void Form1::ShowHelpText()
{
    m_controls.helpLabel->setText(QCoreApplication::translate("Window",
        "1. Select Device\r\n2. Select Instrument\r\n3. Play notes with Mouse or with\r\n"
        "   noted Computer Keyboard key"));
}

void Form1::Form_Load(SoundStart soundStart)
{
    buildWindow();
    m_controls.staff->setCursorLeft(columnX(0));

    for (std::string_view name : midi::InstrumentNames)
        m_controls.instrumentList->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
    // The trainer's first note comes a whole beat after start-up, so the
    // sound is ready before it whether it starts now or after the first paint.
    if (soundStart == SoundStart::Now)
        startSound();
    else
        m_soundPending = true;

    m_controls.staff->createRestImages();
    staff::drawStaff(compose::lookOf(m_workspace->state()), *m_controls.staff);

    m_controls.tempoText->setText(QStringLiteral("100"));
    m_controls.tempoBar->setValue(100);
    m_workspace->setTempo(m_controls.tempoText->text().toInt());

    Op3_Click(static_cast<int>(compose::Mode::Read));
    restoreRecovered();
    if (m_choices.answering) {
        m_controls.answerSwitch->setChecked(true);
        CkRisp_Click();
    }
    m_controls.piano->focusFirstKey();
}

// The piece an earlier run left unsaved (closed, killed, crashed) comes back,
// and the status text says so.
void Form1::restoreRecovered()
{
    const compose::Recovered found = compose::recoverPiece(m_workspace->recovery().path());
    Text text;
    if (found.piece)
        text = m_workspace->restoreRecovered(*found.piece);
    else if (found.notice)
        text = *found.notice;
    showStatus(StatusSource::Recovery, text);
}

// The device list filled, the MIDI output opened with the first instrument,
// then the MIDI keyboards listened to.
void Form1::startSound()
{
    const std::vector<midi::DeviceEntry> devices = m_midi->deviceList();
    for (const midi::DeviceEntry& d : devices) {
        auto* item = new QListWidgetItem(QString::fromStdString(d.text));
        item->setData(Qt::UserRole, d.deviceId);
        m_controls.deviceList->addItem(item);
    }
    // Device 0 is the first external port; on a machine with none, the first
    // listed device (the built-in synthesizer) stands in for it rather than a
    // box reporting a device that was never there.
    const bool hasExternalDevice
        = std::any_of(devices.begin(), devices.end(), [](const midi::DeviceEntry& d) { return d.deviceId >= 0; });
    m_midi->open(hasExternalDevice || devices.empty() ? int16_t { 0 } : devices.front().deviceId);

    connect(m_controls.instrumentList, &QListWidget::currentRowChanged, this, [this] { lst_sound_list_Click(); });
    m_controls.instrumentList->setCurrentRow(0);
    if (m_controls.deviceList->count() > 0)
        m_controls.deviceList->setCurrentRow(0);

    if (m_services.midiKeyboards) {
        // Most machines have no MIDI keyboard: the note shows for a while,
        // then stays only in the "Tastiera MIDI" submenu.
        const Text noKeyboards = m_midiKeyboard->open();
        showStatus(StatusSource::MidiInput, noKeyboards);
        if (!noKeyboards.empty())
            QTimer::singleShot(MidiInputNoteMs, this, [this] { showStatus(StatusSource::MidiInput, {}); });
    }
}

void Form1::CloseDown()
{
    if (m_closing)
        return;
    m_closing = true;
    if (!m_built) {
        QApplication::quit();
        return;
    }
    m_trainerTimer->stop();
    m_playbackTimer->stop();
    stopAnswering();
    m_workspace->close();
    m_midi->close();
    QApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event)
{
    CloseDown();
    event->accept();
}

} // namespace zintaro::app
