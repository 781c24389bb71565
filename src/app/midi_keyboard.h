#pragma once

#include "midi/midi_input.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

class QMenu;

namespace zintaro::midi {
class NoteEventQueue;
class SharedMidiSystem;
} // namespace zintaro::midi

namespace zintaro::app {

// MIDI keyboards as the window sees them: the program's MIDI input, its
// sources at the head of the "Ingresso" submenu, and the notes played. A note
// sounds straight from the input's thread; the window hears of it through
// its event loop, to write, judge and show it.
class MidiKeyboard : public QObject {
    Q_OBJECT
public:
    MidiKeyboard(midi::SharedMidiSystem& output, QMenu& menu, QObject* parent = nullptr);
    ~MidiKeyboard() override;

    // Opens the input and connects the keyboards present. Returns what to
    // tell the user when there is no input, or an empty text; the submenu
    // then says it too.
    Text open();
    // With "Parla" the window speaks the names: the keyboard's notes are not
    // sounded as they come.
    void setSoundsNotes(bool sounds) { m_soundsNotes = sounds; }

    // The keyboards the user switched off in the menu: not connected when
    // they appear, from start-up on.
    void setSwitchedOff(std::set<std::string> names);
    const std::set<std::string>& switchedOff() const { return m_switchedOff; }

signals:
    // `stampMs`: when the input took the note, on the monotonic clock; 0 for none.
    void keyPressed(int16_t index, int16_t velocity, qint64 stampMs = 0);
    void keyReleased(int16_t index);
    // A keyboard switched on or off in the menu.
    void switchedOffChanged();

private:
    void fillMenu();

    midi::SharedMidiSystem& m_output;
    QMenu& m_menu;
    midi::NoteEventQueue* m_queue;
    std::atomic<bool> m_soundsNotes { true };
    std::unique_ptr<midi::MidiInput> m_input;
    std::set<std::string> m_switchedOff;
    Text m_unavailable; // why there is no MIDI input, when there is none
};

} // namespace zintaro::app
