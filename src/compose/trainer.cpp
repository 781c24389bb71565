#include "compose/trainer.h"

#include "compose/answer_judge.h"
#include "compose/note_entry.h"
#include "compose/piano_entry.h"
#include "compose/practice_choices.h"
#include "core/pitch.h"
#include "input/piano_view.h"
#include "midi/midi_out.h"
#include "staff/speech.h"
#include "staff/staff.h"
#include "staff/staff_system.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace zintaro::compose {

namespace {

// The second note of a melodic interval stands this many units right of
// the first; a head a step above another written with it, beside it.
constexpr int NextColumn = 24;
constexpr int SecondBeside = 9;

// Steps from F3 are steps from middle C shifted by four.
constexpr int StepsBelowMiddleC = 4;

int stepOf(SpelledNote note)
{
    return stepsFromMiddleC(note) + StepsBelowMiddleC;
}

} // namespace

TrainerRange defaultRangeOf(Clef clef)
{
    const NoteRange range = firstRange(clef);
    return { stepOf(range.lowest), stepOf(range.highest) };
}

int randomTrainerStep(double u, TrainerRange range)
{
    // nearbyint rounds half to even under the default rounding mode.
    const int offset = static_cast<int>(std::nearbyint(u * (range.highestStep - range.lowestStep)));
    return range.lowestStep + offset;
}

Trainer::Trainer(Modulo1& m, const Ports& ports)
    : m_m(m)
    , m_ports(ports)
{
}

void Trainer::enter(uint32_t seed)
{
    release();
    m_shownOnStaves = false;
    m_state.showPhase = false;
    m_random.seed(seed);
}

void Trainer::tick()
{
    m_state.showPhase = !m_state.showPhase;
    if (m_state.showPhase)
        showNext();
    else
        sound();
}

void Trainer::leave()
{
    release();
}

void Trainer::restartScaleWalk()
{
    m_state.descending = false;
    m_state.step = m_walk.lowestStep - 1;
}

void Trainer::setClef(Clef clef)
{
    m_clef = clef;
    m_walk = defaultRangeOf(clef);
    restartScaleWalk();
}

void Trainer::setWalk(SpelledNote from, SpelledNote to)
{
    const int a = stepOf(from);
    const int b = stepOf(to);
    m_walk = { std::min(a, b), std::max(a, b) };
    restartScaleWalk();
}

void Trainer::setKey(Key key)
{
    m_key = key;
    restartScaleWalk();
}

staff::StaffSystem Trainer::system() const
{
    return staff::staffSystemFor(m_clef, m_m.DrawScale, { m_key, std::nullopt });
}

void Trainer::showStaves()
{
    const staff::StaffSystem staves = system();
    staff::showStaffSystem(m_ports.surface, staves);
    staff::drawStaffHeader(m_ports.surface, staves);
    m_shownOnStaves = false;
}

void Trainer::showNext()
{
    release();
    advance(false);
    drawShown();
}

DrawnNote Trainer::showAnswerNote()
{
    release();
    advance(true);
    drawShown();
    return m_shown;
}

void Trainer::showDrawnNote(const DrawnNote& note)
{
    release();
    m_chord.clear();
    m_shown = note;
    m_shown.clef = m_clef;
    m_state.step = stepOf(note.note);
    m_state.note = static_cast<int16_t>(m_shown.midiNote() - midiNoteOfKey(0));
    drawShown();
}

void Trainer::showDrawnChord(const std::vector<SpelledNote>& notes, bool together)
{
    showDrawnNote({ notes.front(), m_clef, false });
    m_chord = notes;
    m_together = together;
    drawShown();
}

void Trainer::markShownNote(staff::Rgb colour)
{
    drawShownNote(colour);
}

void Trainer::eraseShownNote()
{
    staff::StaffSystem staves = system();
    staff::eraseShownNote(m_ports.surface, staves);
    for (size_t i = 1; i < m_chord.size() && !m_together; ++i) {
        staves.noteX += NextColumn * staves.scale;
        staff::eraseShownNote(m_ports.surface, staves);
    }
    m_shownOnStaves = false;
}

void Trainer::advance(bool avoidRepeat)
{
    if (!m_m.ScaleWalk) {
        const TrainerRange range = defaultRangeOf(m_clef);
        // u from the generator's 32 bits, so a seed gives the same notes everywhere.
        const auto draw
            = [this, range] { return randomTrainerStep(static_cast<double>(m_random()) / 4294967296.0, range); };
        m_state.step = avoidRepeat ? drawOtherThan(m_state.step, draw) : draw();
    } else if (!m_state.descending) {
        ++m_state.step;
        // At or past the top: a step left outside the range walks back into it.
        if (m_state.step >= m_walk.highestStep)
            m_state.descending = true;
    } else {
        --m_state.step;
        if (m_state.step <= m_walk.lowestStep)
            m_state.descending = false;
    }
    SpelledNote note = naturalAtStep(m_state.step - StepsBelowMiddleC);
    note.accidental = signatureAccidental(m_key, note.letter);
    m_shown = { note, m_clef, false };
    m_state.note = static_cast<int16_t>(m_shown.midiNote() - midiNoteOfKey(0));
}

void Trainer::drawShown()
{
    drawShownNote(staff::Black);
}

// Drawn in the trainer's own column, without note entry, so the
// composition's cursor and write position stay where they are.
void Trainer::drawShownNote(staff::Rgb colour)
{
    eraseShownNote();
    const staff::StaffSystem staves = system();
    if (m_chord.empty()) {
        staff::drawShownNote(m_ports.surface, staves, m_shown.note, colour, m_m.WriteNames, m_m.Naming);
    } else {
        for (size_t i = 0; i < m_chord.size(); ++i) {
            staff::StaffSystem at = staves;
            // Heads a step apart, written together, stand side by side.
            const bool besideLower
                = m_together && i % 2 == 1 && stepsFromMiddleC(m_chord[i]) - stepsFromMiddleC(m_chord[i - 1]) == 1;
            at.noteX += (m_together ? (besideLower ? SecondBeside : 0) : NextColumn * static_cast<int>(i)) * at.scale;
            staff::drawShownNote(m_ports.surface, at, m_chord[i], colour, false, m_m.Naming);
        }
        writeShownName();
    }
    m_shownOnStaves = true;
}

void Trainer::writeShownName()
{
    if (!m_shownOnStaves && m_chord.empty())
        return;
    std::string names;
    for (const SpelledNote note : m_chord.empty() ? std::vector { m_shown.note } : m_chord) {
        if (!names.empty())
            names += ' ';
        names += staff::nameLabelText(note, m_m.Naming);
    }
    if (m_m.WriteNames || m_chord.empty())
        m_ports.surface.setNameLabels(names);
}

void Trainer::sound()
{
    if (m_m.Mute)
        return;
    if (m_m.SpeakNames) {
        m_ports.speech.say(spokenNoteName(m_shown.note, m_m.Naming),
            m_m.Naming == NoteNaming::Letters ? staff::Voice::English : staff::Voice::Italian);
        return;
    }
    // A key the user already holds stays theirs to release.
    const int16_t key = m_state.note;
    m_keyShown = isPianoNote(key) && !m_ports.piano.isPressed(key);
    pressKey(m_ports.piano, m_ports.midi, key, KeySound::DisplayOnly);
    m_ports.midi.noteOn(0, static_cast<int16_t>(m_shown.midiNote()), 127);
    m_sounding = m_shown.midiNote();
}

void Trainer::release()
{
    if (!m_sounding)
        return;
    const int note = *m_sounding;
    m_sounding.reset();
    m_ports.midi.noteOff(0, static_cast<int16_t>(note));
    if (m_keyShown) {
        releaseKey(m_ports.piano, m_ports.midi, static_cast<int16_t>(note - midiNoteOfKey(0)), KeySound::DisplayOnly);
        m_keyShown = false;
    }
}

} // namespace zintaro::compose
