#include "compose/trainer.h"

#include "compose/answer_judge.h"
#include "compose/piano_entry.h"
#include "core/pitch.h"
#include "input/piano_view.h"
#include "midi/midi_out.h"
#include "staff/staff.h"

#include <cmath>

namespace zintaro::compose {

int randomTrainerStep(double u)
{
    // nearbyint rounds half to even under the default rounding mode.
    const int offset = static_cast<int>(std::nearbyint(u * (TrainerHighestStep - TrainerLowestStep)));
    return TrainerLowestStep + offset;
}

Trainer::Trainer(Modulo1& m, const Ports& ports)
    : m_m(m)
    , m_ports(ports)
{
}

void Trainer::enter(uint32_t seed)
{
    release();
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
    m_state.step = TrainerLowestStep - 1;
}

void Trainer::showNext()
{
    release();
    m_drawn.reset();
    advance(false);
    drawShown();
}

int16_t Trainer::showAnswerNote()
{
    release();
    m_drawn.reset();
    advance(true);
    drawShown();
    return m_state.note;
}

void Trainer::showDrawnNote(const DrawnNote& note)
{
    release();
    const int key = keyOfMidiNote(note.midiNote());
    if (key < 0)
        return; // off the piano: it could not be answered
    m_drawn = note;
    m_state.note = static_cast<int16_t>(key);
    drawShown();
}

DrawnNote Trainer::shownNote() const
{
    if (m_drawn)
        return *m_drawn;
    return { sharpSpelling(midiNoteOfKey(m_state.note)), Clef::Treble, false };
}

void Trainer::markShownNote(staff::Rgb colour)
{
    staff::eraseColumn(m_m, m_ports.surface, TrainerColumn);
    staff::drawHead(m_m, m_ports.surface, m_state.note, TrainerColumn, false, colour);
}

void Trainer::advance(bool avoidRepeat)
{
    if (!m_m.ScaleWalk) {
        // u from the generator's 32 bits, so a seed gives the same notes everywhere.
        const auto draw = [this] { return randomTrainerStep(static_cast<double>(m_random()) / 4294967296.0); };
        m_state.step = avoidRepeat ? drawOtherThan(m_state.step, draw) : draw();
    } else if (!m_state.descending) {
        ++m_state.step;
        // At or past the top: a step left outside the range walks back into it.
        if (m_state.step >= TrainerHighestStep)
            m_state.descending = true;
    } else {
        --m_state.step;
        if (m_state.step <= TrainerLowestStep)
            m_state.descending = false;
    }
    m_state.note = stepToNote(m_state.step);
}

void Trainer::drawShown()
{
    // Drawn in the trainer's own column, without note entry, so the
    // composition's cursor and write position stay where they are.
    staff::eraseColumn(m_m, m_ports.surface, TrainerColumn);
    staff::drawGlyph(m_m, m_ports.surface, 0, False16, m_state.note, TrainerColumn);
    if (m_drawn && m_m.WriteNames)
        m_ports.surface.setNameLabels(noteName(m_drawn->note, m_m.Naming, false));
}

void Trainer::sound()
{
    if (m_m.Mute)
        return;
    if (m_m.SpeakNames) {
        staff::speakNoteName(m_ports.speech, m_state.note, m_m.Naming);
        return;
    }
    // A key the user already holds stays theirs to release.
    m_keyShown = !m_ports.piano.isPressed(m_state.note);
    pressKey(m_ports.piano, m_ports.midi, m_state.note, KeySound::DisplayOnly);
    m_ports.midi.noteOn(0, midiNoteOfKey(m_state.note), 127);
    m_sounding = m_state.note;
}

void Trainer::release()
{
    if (!m_sounding)
        return;
    const int16_t note = *m_sounding;
    m_sounding.reset();
    m_ports.midi.noteOff(0, midiNoteOfKey(note));
    if (m_keyShown) {
        releaseKey(m_ports.piano, m_ports.midi, note, KeySound::DisplayOnly);
        m_keyShown = false;
    }
}

} // namespace zintaro::compose
