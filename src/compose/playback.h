#pragma once

#include "compose/ports.h"
#include "core/modulo1.h"

#include <cstdint>
#include <optional>

namespace zintaro::compose {

// Milliseconds of a monotonic clock; the window passes its clock in, tests a fake one.
using Millis = int64_t;

// A callback later than this is a stall: the playback resumes from it at
// the written pace instead of catching up.
inline constexpr Millis StallMs = 100;

// Sounding time, in milliseconds, of a stored duration code at the current
// tempo: the tempo table for codes 0..3, the whole note halved further for
// codes 4..6 (187.5, 93.75 and 46.875 at tempo 100), no wait for anything
// else. The short codes keep their fractions, so a run of them keeps the
// written pace instead of drifting by a rounded millisecond per note.
double entryWait(const Modulo1& m, int16_t durationCode);
// The same for an entry: a dotted value waits half as long again.
double entryWait(const Modulo1& m, Entry e);

// Plays the stored composition once ("Ascolta") as a state machine driven by
// the window's timer. Each entry places the cursor, names and sounds (or
// speaks) its note, waits its duration and sends its note-off; a note tied
// to the next sounds on through it, struck and named once. The window's
// event loop runs while it waits. Note-ons are scheduled from the start of the
// playback, so a late timer callback never shifts the notes that follow.
//
// The window calls start() on the click, then advance() whenever the time
// returned last has come, until it returns nullopt; stop() on close.
class Playback {
public:
    Playback(Modulo1& m, const Ports& ports);

    // Starts from the first entry (silencing a playback already running) and
    // sounds it. Returns when advance() wants to be called, or nullopt when
    // there is nothing to play.
    std::optional<Millis> start(Millis now);

    // Sends what is due at `now`. Returns when to be called next, or nullopt
    // once the last entry has been silenced.
    std::optional<Millis> advance(Millis now);

    // Silences the sounding note and ends the playback.
    void stop();

    bool running() const { return m_running; }

private:
    void beginEntry();
    void silence();
    void finish();

    Modulo1& m_m;
    Ports m_ports;
    bool m_running = false;
    bool m_sounding = false; // a note-off is still owed for m_note
    bool m_held = false; // the entry begun continues the tied note sounding
    int m_last = -1; // the last position played, fixed at start
    int m_index = 0;
    int16_t m_note = 0;
    // The ideal start of the current entry and its length, in fractions of a
    // millisecond; the window's timer is asked for the first whole
    // millisecond at or after the ideal time.
    double m_entryStart = 0;
    double m_wait = 0;
};

} // namespace zintaro::compose
