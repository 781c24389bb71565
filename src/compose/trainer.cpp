#include "compose/trainer.h"

#include "input/piano_keys.h"
#include "midi/midi_out.h"
#include "staff/staff.h"

#include <cmath>

namespace zintaro::compose {

void CkRnd_Click(Form1State& form, bool checked)
{
    if (!checked)
        return;
    form.TrainerDescending = False16;
    form.TrainerStep = TrainerLowestStep - 1;
}

int RandomTrainerStep(double u)
{
    // nearbyint rounds half to even under the default rounding mode.
    const int offset = static_cast<int>(std::nearbyint(u * (TrainerHighestStep - TrainerLowestStep)));
    return TrainerLowestStep + offset;
}

Trainer::Trainer(Modulo1& m, Form1State& form, const Ports& ports)
    : m_m(m)
    , m_form(form)
    , m_ports(ports)
{
}

void Trainer::enter(uint32_t seed)
{
    release();
    m_form.TrainerShowPhase = false;
    m_random.seed(seed);
}

void Trainer::tick()
{
    m_form.TrainerShowPhase = !m_form.TrainerShowPhase;
    if (m_form.TrainerShowPhase)
        showNext();
    else
        sound();
}

void Trainer::leave()
{
    release();
}

void Trainer::showNext()
{
    release();

    if (!m_m.ScaleWalk) {
        // u from the generator's 32 bits, so a seed gives the same notes everywhere.
        const double u = static_cast<double>(m_random()) / 4294967296.0;
        m_form.TrainerStep = RandomTrainerStep(u);
    } else if (m_form.TrainerDescending == False16) {
        ++m_form.TrainerStep;
        // At or past the top: a step left outside the range walks back into it.
        if (m_form.TrainerStep >= TrainerHighestStep)
            m_form.TrainerDescending = True16;
    } else {
        --m_form.TrainerStep;
        if (m_form.TrainerStep <= TrainerLowestStep)
            m_form.TrainerDescending = False16;
    }
    m_form.TrainerNote = StepToNote(m_form.TrainerStep);

    // Drawn in the trainer's own column, without note entry, so the
    // composition's cursor and write position stay where they are.
    staff::EraseColumn(m_m, m_ports.surface, TrainerColumn);
    staff::DrawGlyph(m_m, m_ports.surface, 0, False16, m_form.TrainerNote, TrainerColumn);
}

void Trainer::sound()
{
    if (m_m.Mute)
        return;
    if (m_m.SpeakNames) {
        staff::SpeakNoteName(m_ports.speech, m_form.TrainerNote);
        return;
    }
    // A key the user already holds stays theirs to release.
    m_keyShown = !m_ports.piano.isPressed(m_form.TrainerNote);
    m_form.KeyDisplayOnly = 1;
    input::PressKey(m_form, m_ports.piano, m_ports.midi, m_form.TrainerNote);
    m_form.KeyDisplayOnly = 0;
    m_ports.midi.NoteOn(0, static_cast<int16_t>(MidiNoteOffset + m_form.TrainerNote), 127);
    m_sounding = m_form.TrainerNote;
}

void Trainer::release()
{
    if (!m_sounding)
        return;
    const int16_t note = *m_sounding;
    m_sounding.reset();
    m_ports.midi.NoteOff(0, static_cast<int16_t>(MidiNoteOffset + note));
    if (m_keyShown) {
        m_form.KeyDisplayOnly = 1;
        input::ReleaseKey(m_form, m_ports.piano, m_ports.midi, note);
        m_form.KeyDisplayOnly = 0;
        m_keyShown = false;
    }
}

} // namespace zintaro::compose
