#pragma once

#include "compose/drawn_note.h"
#include "compose/ports.h"
#include "core/modulo1.h"
#include "staff/staff_surface.h"

#include <cstdint>
#include <optional>
#include <random>

namespace zintaro::compose {

// The trainer's notes lie between C4 and C6, natural notes only.
inline constexpr int TrainerLowestStep = 4;
inline constexpr int TrainerHighestStep = 18;

// The trainer's own staff column. It is not the composition's cursor, which
// the trainer leaves where it stands.
inline constexpr int TrainerColumn = 0;

// The random step of a draw u in [0, 1): 4 + u × 14 rounded half to even, so
// the outer steps 4 and 18 come up half as often as the others.
int randomTrainerStep(double u);

// The reading trainer of "Leggi", driven by the window's timer: every second
// tick shows a new note in its column, the tick after sounds it, speaks its
// name or, with "Muto", stays silent.
class Trainer {
public:
    // Where the trainer stands: the step and note it shows, whether the next
    // tick shows or sounds, and the scale walk's direction.
    struct State {
        int step = TrainerLowestStep - 1;
        int16_t note = 0;
        bool showPhase = false;
        bool descending = false;
    };

    Trainer(Modulo1& m, const Ports& ports);

    // "Leggi" entered: the next tick shows a note. The window seeds from the clock.
    void enter(uint32_t seed);

    // One tick of the timer (Tim_Timer).
    void tick();

    // "Leggi" left or the program closing: silences the note it sounded.
    void leave();

    // "Scala" checked: the scale walk starts again upward from C4.
    void restartScaleWalk();

    // "Rispondi": shows the next note without sounding it, the scale walk's
    // next step with "Scala", otherwise a random note other than the one shown.
    int16_t showAnswerNote();

    // "Rispondi" with a note chosen elsewhere: shows it without sounding it.
    // A flat is drawn as the sharp of its key, but named as written.
    void showDrawnNote(const DrawnNote& note);

    // The note shown for an answer, as written.
    DrawnNote shownNote() const;

    // Draws the shown note's head again in a colour.
    void markShownNote(staff::Rgb colour);

    const State& state() const { return m_state; }

private:
    void showNext();
    void advance(bool avoidRepeat);
    void drawShown();
    void sound();
    void release();

    Modulo1& m_m;
    State m_state;
    Ports m_ports;
    std::mt19937 m_random;
    std::optional<DrawnNote> m_drawn; // a note chosen elsewhere, while it is shown
    std::optional<int16_t> m_sounding; // the note whose note-off is owed
    bool m_keyShown = false; // the trainer pressed the key of m_sounding
};

} // namespace zintaro::compose
