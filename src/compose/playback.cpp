#include "compose/playback.h"

#include "compose/editing.h"
#include "compose/note_entry.h"
#include "core/pitch.h"
#include "midi/midi_out.h"
#include "staff/staff.h"

#include <cmath>

namespace zintaro::compose {

namespace {

constexpr int16_t ShortestCode = 6;

Millis dueMillis(double at)
{
    return static_cast<Millis>(std::ceil(at));
}

} // namespace

double entryWait(const Modulo1& m, int16_t durationCode)
{
    if (durationCode < 0 || durationCode > ShortestCode)
        return 0;
    const auto tableSize = static_cast<int16_t>(m.TempoDurations.size());
    if (durationCode < tableSize)
        return m.TempoDurations[static_cast<size_t>(durationCode)];
    // The table ends at the eighth; the MIDI export writes the shorter notes
    // as the whole note halved again and again, and so they sound.
    return std::ldexp(m.TempoDurations[0], -durationCode);
}

double entryWait(const Modulo1& m, Entry e)
{
    const double plain = entryWait(m, e.DurationCode);
    return e.Dotted ? plain * 1.5 : plain;
}

Playback::Playback(Modulo1& m, const Ports& ports)
    : m_m(m)
    , m_ports(ports)
{
}

std::optional<Millis> Playback::start(Millis now)
{
    silence();
    m_running = true;
    m_m.Listening = true;
    m_m.CursorColumn = 0;
    m_ports.surface.setCursorLeft(cursorX(m_m, 0));
    // The number of entries played is fixed here: a piece changed during the
    // playback (a new composition, a load) does not lengthen or shorten it.
    m_last = m_m.NoteCount - 1;
    m_index = 0;
    m_held = false;
    if (m_last < 0) {
        finish();
        return std::nullopt;
    }
    m_entryStart = static_cast<double>(now);
    beginEntry();
    return dueMillis(m_entryStart + m_wait);
}

std::optional<Millis> Playback::advance(Millis now)
{
    if (!m_running)
        return std::nullopt;
    const double due = m_entryStart + m_wait;
    if (static_cast<double>(now) < due)
        return dueMillis(due);
    // A tie holds the note on into the next entry.
    m_held = tieHolds(m_m.Composition, m_last + 1, m_index);
    if (!m_held)
        silence();
    // After a stall (a box, a busy machine) the entry that is due starts now
    // and the ones after it keep their written lengths; the overdue entries
    // are not rushed through at no length. Ordinary lateness keeps the ideal
    // times, so it never accumulates.
    m_entryStart = static_cast<double>(now) - due > StallMs ? static_cast<double>(now) : due;
    ++m_index;
    if (m_index > m_last) {
        finish();
        return std::nullopt;
    }
    // Even a late callback starts the next entry at once and keeps its ideal
    // start; it returns after each note-on so that the window handles its
    // events before the note-off, also for entries without a wait.
    beginEntry();
    return dueMillis(m_entryStart + m_wait);
}

void Playback::stop()
{
    if (!m_running)
        return;
    silence();
    finish();
}

void Playback::beginEntry()
{
    const int column = m_m.columnOf(m_index);
    m_m.CursorColumn = column;
    m_ports.surface.setCursorLeft(cursorX(m_m, m_index));

    const Entry e = m_m.Composition.at(m_index);
    m_wait = entryWait(m_m, e);
    if (m_held)
        return;
    m_note = e.NoteIndex;
    if (e.RestFlag != True16) {
        staff::notePosition(lookOf(m_m), m_ports.surface, e.NoteIndex);
        if (m_m.SpeakNames)
            staff::speakNoteName(m_ports.speech, e.NoteIndex, m_m.Naming, m_m.PieceKey);
        else
            m_ports.midi.noteOn(0, midiNoteOfKey(e.NoteIndex), 127);
    }
    // A note-off follows every entry, rests and spoken names included.
    m_sounding = true;
}

void Playback::silence()
{
    if (!m_sounding)
        return;
    m_sounding = false;
    m_ports.midi.noteOff(0, midiNoteOfKey(m_note));
}

void Playback::finish()
{
    m_running = false;
    m_m.Listening = false;
    // The cursor ends after the piece, so new piano notes append to it.
    placeCursor(m_m, m_ports.surface, m_m.NoteCount);
}

} // namespace zintaro::compose
