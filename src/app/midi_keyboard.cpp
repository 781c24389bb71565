#include "app/midi_keyboard.h"

#include "app/window_menu.h"
#include "core/midi_message.h"
#include "core/translation.h"
#include "midi/note_event_queue.h"
#include "midi/shared_midi.h"
#include "staff/shown_text.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace zintaro::app {

MidiKeyboard::MidiKeyboard(midi::SharedMidiSystem& output, QMenu& menu, QObject* parent)
    : QObject(parent)
    , m_output(output)
    , m_menu(menu)
    , m_queue(new midi::NoteEventQueue(this))
{
    connect(m_queue, &midi::NoteEventQueue::noteEvent, this, [this](midi::NoteEvent e, qint64 postedMs) {
        if (e.pressed)
            emit keyPressed(e.noteIndex, e.velocity, postedMs);
        else
            emit keyReleased(e.noteIndex);
    });
    connect(&m_menu, &QMenu::aboutToShow, this, &MidiKeyboard::fillMenu);
}

// The input goes first: closing it silences the notes still held, through
// the output that is still there.
MidiKeyboard::~MidiKeyboard()
{
    m_input.reset();
}

Text MidiKeyboard::open()
{
    m_input = std::make_unique<midi::MidiInput>(midi::MidiInputSinks { [this](uint32_t packed) {
                                                                          const bool isNote
                                                                              = midi::unpack(packed).isNote();
                                                                          if (m_soundsNotes || !isNote)
                                                                              m_output.sendToOpenDevice(packed);
                                                                      },
        m_queue->sink() });
    m_input->setSwitchedOff(m_switchedOff);
    if (m_input->open()) {
        m_unavailable = {};
        return {};
    }
    m_unavailable = m_input->status();
    return m_unavailable;
}

void MidiKeyboard::setSwitchedOff(std::set<std::string> names)
{
    m_switchedOff = std::move(names);
    if (m_input)
        m_input->setSwitchedOff(m_switchedOff);
}

// The keyboards fill the menu down to its first separator; the entries
// after it are the window's.
void MidiKeyboard::fillMenu()
{
    QAction* end = nullptr;
    for (QAction* action : m_menu.actions()) {
        if (action->isSeparator()) {
            end = action;
            break;
        }
        m_menu.removeAction(action);
        action->deleteLater();
    }
    const auto add = [&](const QString& text) {
        auto* action = new QAction(text, &m_menu);
        m_menu.insertAction(end, action);
        return action;
    };
    const std::vector<midi::MidiSource> sources = m_input ? m_input->sources() : std::vector<midi::MidiSource> {};
    if (sources.empty()) {
        // Where there is no MIDI system at all, the menu is where it stays said.
        // Said when the keyboards were looked for, shown in today's language.
        add(m_unavailable.empty() ? QCoreApplication::translate("Window", "(nessuna)") : staff::shown(m_unavailable))
            ->setEnabled(false);
        underlineLetters(m_menu);
        return;
    }
    for (const midi::MidiSource& source : sources) {
        QAction* action = add(QString::fromStdString(source.name));
        action->setCheckable(true);
        action->setChecked(source.connected);
        connect(action, &QAction::toggled, this, [this, name = source.name](bool on) {
            m_input->setConnected(name, on);
            if (on)
                m_switchedOff.erase(name);
            else
                m_switchedOff.insert(name);
            m_input->setSwitchedOff(m_switchedOff);
            emit switchedOffChanged();
        });
    }
    underlineLetters(m_menu);
}

} // namespace zintaro::app
