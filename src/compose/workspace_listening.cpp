#include "compose/phrase_entries.h"
#include "compose/played_instrument.h"
#include "compose/workspace.h"

#include <algorithm>

// The microphone: what it listens for and the notes it hears.
namespace zintaro::compose {

std::optional<ListeningRequest> Workspace::listeningRequest() const
{
    if (!m_listening.microphone || m_microphoneFailed || !(m_answering.active() || m_timed))
        return std::nullopt;
    // A phrase read in time stands on the composition's staff or on the bass staff.
    const NoteRange& range
        = m_timed && m_timedLook.clef == Clef::Treble ? CompositionRange : m_answering.practiceChoices().range();
    const ListeningRange sounding
        = listeningRange(m_listening.instrument, midiNoteOf(range.lowest), midiNoteOf(range.highest));
    return ListeningRequest { sounding.lowest, sounding.highest, m_listening.tuningHz };
}

Report Workspace::setListening(const ListeningChoices& listening)
{
    ListeningChoices kept = listening;
    kept.tuningHz = std::clamp(kept.tuningHz, LowestTuningHz, HighestTuningHz);
    const bool changedChoice = kept != m_listening;
    if (kept.microphone != m_listening.microphone) {
        m_microphoneFailed = false;
        m_notices.microphone = {};
    }
    m_listening = kept;
    Report r = report();
    r.choicesChanged = changedChoice;
    return r;
}

Report Workspace::microphoneFailed(const Text& why)
{
    if (m_listening.microphone) {
        m_microphoneFailed = true;
        m_notices.microphone = why;
    }
    return report();
}

Report Workspace::heardNote(int soundingMidiNote, int64_t onset, int64_t now)
{
    if (listeningRequest() == std::nullopt)
        return report();
    // A note read in time is judged from its attack; only keys start the
    // next phrase.
    if (m_timed) {
        if (!m_timed->finished()) {
            m_timedInput = AnswerInput::Microphone;
            showTimed(
                m_timed->keyDown(writtenNote(m_listening.instrument, soundingMidiNote), static_cast<double>(onset)),
                now);
        }
        return report();
    }
    const std::optional<int> awaited = m_answering.judge().shownNote();
    const HeardAnswer answer = awaited ? answerOfHeardNote(m_listening.instrument, soundingMidiNote, *awaited)
                                       : HeardAnswer { writtenNote(m_listening.instrument, soundingMidiNote) };
    const bool answered = m_answering.heardNote(answer.writtenMidiNote, onset, now);
    Report r = report();
    if (answered)
        r.heard = answer.otherOctave ? otherOctaveNotice() : Text {};
    return r;
}

} // namespace zintaro::compose
