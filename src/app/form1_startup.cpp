#include "app/form1.h"
#include "app/midi_keyboard.h"
#include "compose/modes.h"
#include "compose/note_entry.h"
#include "compose/workspace.h"
#include "input/piano_widget.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "staff/shown_text.h"
#include "staff/staff.h"
#include "staff/staff_widget.h"
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
    std::erase_if(notices, [&](const auto& n) { return n.first == source; });
    if (!text.empty())
        notices.emplace_back(source, text);
    showStandingNotice();
}

// The most important notice that stands, the latest of equals, rendered from
// its recipe in the language chosen now.
void Form1::showStandingNotice()
{
    const auto& notices = m_statusNotices;
    // The latest of the most important: max_element keeps the first of
    // equals, so the search runs from the newest back.
    const auto shown = std::max_element(
        notices.rbegin(), notices.rend(), [](const auto& a, const auto& b) { return a.first < b.first; });
    m_controls.statusText->setText(shown == notices.rend() ? QString() : staff::shown(shown->second));
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
    m_controls.staff->setCursorLeft(compose::cursorX(m_workspace->state(), 0));

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
    showReport(m_workspace->setTempo(m_controls.tempoText->text().toInt()));

    Op3_Click(static_cast<int>(compose::Mode::Read));
    // The piece an earlier run left unsaved (closed, killed, crashed) comes
    // back, and the status text says so.
    showReport(m_workspace->restoreRecovered());
    if (m_workspace->choices().answering) {
        m_controls.answerSwitch->setChecked(true);
        CkRisp_Click();
    }
    m_controls.piano->focusFirstKey();
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
    m_workspace->close();
    showReport(m_workspace->report());
    m_midi->close();
    QApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event)
{
    CloseDown();
    event->accept();
}

} // namespace zintaro::app
