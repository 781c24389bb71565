#pragma once

#include "compose/drawn_note.h"
#include "compose/ports.h"
#include "core/key_meter.h"
#include "core/modulo1.h"
#include "staff/staff_surface.h"
#include "staff/staff_system.h"

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace zintaro::compose {

// The treble trainer's notes lie between C4 and C6, natural notes only.
// Steps are counted from F3, as the piano's white keys are.
inline constexpr int TrainerLowestStep = 4;
inline constexpr int TrainerHighestStep = 18;

// The natural notes a clef's trainer shows by itself, as steps from F3:
// treble C4–C6, bass G2–C4, grand staff C3–C5.
struct TrainerRange {
    int lowestStep = TrainerLowestStep;
    int highestStep = TrainerHighestStep;
};
TrainerRange defaultRangeOf(Clef clef);

// The trainer's own staff column. It is not the composition's cursor, which
// the trainer leaves where it stands.
inline constexpr int TrainerColumn = 0;

// The random step of a draw u in [0, 1): 4 + u × 14 rounded half to even, so
// the outer steps 4 and 18 come up half as often as the others. Another
// range is drawn the same way.
int randomTrainerStep(double u, TrainerRange range = {});

// The reading trainer of "Leggi", driven by the window's timer: every second
// tick shows a new note in its column, the tick after sounds it, speaks its
// name or, with "Muto", stays silent.
class Trainer {
public:
    // Where the trainer stands: the step and the piano key of the note it
    // shows (a key outside 0..35 for a note off the piano), whether the next
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

    // "Scala" checked: the scale walk starts again upward from the range's
    // lowest note.
    void restartScaleWalk();

    // The staves the notes are shown on. A new clef starts its scale walk
    // from its lowest note, over the clef's own range until setWalk().
    void setClef(Clef clef);
    // The range the scale walk goes over, between two naturals of the
    // clef's staves, either way round; it starts again from its lowest note.
    void setWalk(SpelledNote from, SpelledNote to);
    // The key read in: the staves show its signature, and every note drawn
    // takes the sign it gives the note's letter.
    void setKey(Key key);
    Key key() const { return m_key; }
    Clef clef() const { return m_clef; }
    // Lays out the clef's staves at the drawing scale.
    void showStaves();

    // "Rispondi": shows the next note without sounding it, the scale walk's
    // next step with "Scala", otherwise a random note other than the one shown.
    DrawnNote showAnswerNote();
    // "Rispondi" with a note chosen elsewhere (the practice draw): any MIDI
    // note, spelled, shown on the trainer's own staves without sounding it.
    void showDrawnNote(const DrawnNote& note);
    // "Intervalli" and "Accordi": notes low to high, written together in the
    // trainer's column or one after the other, the next a column to the
    // right. The lowest stands as the shown note.
    void showDrawnChord(const std::vector<SpelledNote>& notes, bool together);

    // Draws the shown note again, its head in a colour.
    void markShownNote(staff::Rgb colour);
    // Wipes the shown note off the staves.
    void eraseShownNote();
    // The name labels say the name of the note on the staves, if one stands
    // there, in the naming chosen.
    void writeShownName();

    const State& state() const { return m_state; }
    const DrawnNote& shown() const { return m_shown; }

private:
    void showNext();
    void advance(bool avoidRepeat);
    void drawShown();
    void sound();
    void release();

    void drawShownNote(staff::Rgb colour);
    staff::StaffSystem system() const;

    Modulo1& m_m;
    State m_state;
    Clef m_clef = Clef::Treble;
    Key m_key;
    TrainerRange m_walk;
    DrawnNote m_shown;
    std::vector<SpelledNote> m_chord; // the notes of an interval or chord shown, if one is
    bool m_together = true;
    bool m_shownOnStaves = false;
    Ports m_ports;
    std::mt19937 m_random;
    std::optional<int> m_sounding; // the MIDI note whose note-off is owed
    bool m_keyShown = false; // the trainer pressed the key of m_sounding
};

} // namespace zintaro::compose
