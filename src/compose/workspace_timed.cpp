#include "compose/keyboard_octaves.h"
#include "compose/melody_generator.h"
#include "compose/note_entry.h"
#include "compose/phrase_entries.h"
#include "compose/workspace.h"
#include "input/piano_view.h"
#include "midi/midi_out.h"
#include "staff/staff.h"
#include "staff/staff_surface.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

// Reading in time: "A tempo" with "Rispondi" in "Leggi" plays a phrase of
// the composition's staff (or, read in the bass clef, of a bass staff in
// its place) along with the metronome.
namespace zintaro::compose {

namespace {

// The count-in's first click comes this long after the phrase is asked
// for, so that it can be scheduled on the sound stream ahead of its time.
constexpr int64_t CountInLeadMs = 300;

} // namespace

// An exercise open is sat as its exam; otherwise the practice's choice
// decides between a phrase in time and notes one at a time.
void Workspace::startAnswers(int64_t now, uint32_t seed)
{
    // Generated phrases follow one another from the window's seed; the
    // composition is read from its first page.
    m_timedSeed = seed;
    m_timedPage = 0;
    if (m_exercise)
        startExam(now);
    else if (inTimeChosen())
        startTimed(now);
    else
        m_answering.start(now);
}

void Workspace::stopAnswers()
{
    if (m_timed)
        stopTimed();
    if (m_answering.active())
        m_answering.stop();
}

// The composition's next page with "Dalla composizione", else a phrase
// drawn as "Frase nella composizione" draws one, in the bass clef over the
// range chosen when the practice reads on the bass staff; nothing when
// there is none, and why is told.
std::optional<Workspace::TimedPhrase> Workspace::timedPhrase()
{
    const PracticeChoices& practice = m_answering.practiceChoices();
    if (practice.fromPiece) {
        if (m_m.NoteCount == 0) {
            m_told.push_back(translate("Tempo", "La composizione è vuota: non c'è una frase da leggere a tempo."));
            return std::nullopt;
        }
        if (m_timedPage * StaffColumns >= m_m.NoteCount)
            m_timedPage = 0;
        return piecePage(m_timedPage);
    }
    const Key key = practice.randomKey ? m_trainer.key() : practice.key;
    const auto generated = generateMelody(timedPhraseRequest(practice, key, m_m.PieceMeter, m_timedSeed++));
    if (!generated) {
        m_told.push_back(tooFewForTimedPhrase(practice, m_m.Naming));
        return std::nullopt;
    }
    return TimedPhrase { entriesOfPhrase(*generated), key, generated->meter, 0, std::nullopt, generated->clef };
}

Workspace::TimedPhrase Workspace::piecePage(int page) const
{
    TimedPhrase phrase { {}, m_m.PieceKey, m_m.PieceMeter, 0, page };
    const int first = page * StaffColumns;
    const int end = std::min(first + StaffColumns, m_m.NoteCount);
    for (int p = 0; p < end; ++p) {
        if (p < first)
            phrase.startInMeasure += entryLength(m_m.Composition.at(p));
        else
            phrase.entries.push_back(m_m.Composition.at(p));
    }
    phrase.startInMeasure = std::fmod(phrase.startInMeasure, measureLength(phrase.meter));
    return phrase;
}

// The phrase is drawn on the composition's staff, in the phrase's clef, at
// the window's own scale, the cursor on its first note, and its clicks
// scheduled. A phrase that cannot be had leaves the student answering note
// by note.
void Workspace::startTimed(int64_t now)
{
    m_trainer.leave();
    auto phrase = m_timedExam ? std::optional(piecePage(m_timedPage)) : timedPhrase();
    if (!phrase) {
        if (m_timed)
            stopTimed();
        m_answering.start(now);
        return;
    }
    if (m_m.DrawScale != 1)
        relayout(1);
    // The composition's page as "Componi" shows it, its bars counted from
    // the start of the piece; a generated phrase on a page of its own.
    const bool firstPage = phrase->page.value_or(0) == 0;
    m_timedLook
        = { 1, false, m_m.Naming, phrase->key, firstPage ? std::optional(phrase->meter) : std::nullopt, phrase->clef };
    if (phrase->page) {
        staff::drawPage(m_timedLook, m_ports.surface, pageOf(m_m, *phrase->page));
    } else {
        CompositionStore store;
        const int count = static_cast<int>(phrase->entries.size());
        for (int p = 0; p < count; ++p)
            store.set(p, phrase->entries[static_cast<std::size_t>(p)]);
        store.set(count, EndEntry);
        staff::drawPage(m_timedLook, m_ports.surface, { store, count, 0, phrase->meter });
    }
    const PracticeChoices& practice = m_answering.practiceChoices();
    if (m_clickTrack)
        m_clickTrack->cancel();
    // An exam is read at its exercise's tempo, after its own count-in.
    const int tempo = m_timedExam ? m_timedExam->settings().tempo : m_tempo;
    const int countIn = m_timedExam ? m_timedExam->settings().countIn : 1;
    m_timed.emplace(phrase->entries, phrase->meter, tempo, practice.delayCorrectionMs, now + CountInLeadMs,
        practice.metronome, phrase->startInMeasure, countIn);
    if (m_clickTrack)
        for (const Click& click : m_timed->clicks())
            m_clickTrack->schedule(click.atMs, click.accent);
    m_ports.surface.setCursorLeft(staff::columnGrid(m_timedLook).centre(m_timed->moveCursor(now)));
    if (!m_timedSession)
        m_timedSession = LocalTime::now();
}

// The trainer's enlarged staves come back.
void Workspace::stopTimed()
{
    if (m_clickTrack)
        m_clickTrack->cancel();
    m_timed.reset();
    m_timedExam.reset();
    m_timedSession.reset();
    for (int& note : m_timedKeyNotes)
        if (const int held = std::exchange(note, 0))
            m_ports.midi.noteOff(0, held);
    if (m_mode == Mode::Read) {
        relayout(5);
        m_trainer.showStaves();
    }
}

// The keys play as the trainer's do, moved by octaves, when they answer
// it or a phrase on the bass staff; on the composition's staff they play
// their own notes.
int Workspace::keysShift() const
{
    if (m_timed)
        return m_timedLook.clef == Clef::Bass ? m_answering.keyboardShift() : 0;
    return m_answering.active() ? m_answering.keyboardShift() : 0;
}

void Workspace::timedKey(int16_t index, int midiNote, double onset, int64_t now, KeySound sound, AnswerInput input)
{
    // The piano shows the key; a computer key's note sounds as the keys'
    // octaves move it, once while the key is held.
    if (isPianoNote(index) && !m_ports.piano.isPressed(index)) {
        m_ports.piano.setPressed(index, true);
        if (sound == KeySound::Sounded && !m_m.Mute) {
            m_ports.midi.noteOn(0, midiNote, 127);
            m_timedKeyNotes[static_cast<std::size_t>(index)] = midiNote;
        }
    }
    if (m_timed->finished()) {
        nextTimedPhrase(now);
        return;
    }
    m_timedInput = input;
    showTimed(m_timed->keyDown(midiNote, onset), now);
}

void Workspace::timedKeyUp(int16_t index)
{
    if (!isPianoNote(index))
        return;
    m_ports.piano.setPressed(index, false);
    const int note = std::exchange(m_timedKeyNotes[static_cast<std::size_t>(index)], 0);
    if (note != 0)
        m_ports.midi.noteOff(0, note);
}

void Workspace::nextTimedPhrase(int64_t now)
{
    if (m_timedExam) {
        takeTimedExamPage(now);
        return;
    }
    ++m_timedPage;
    startTimed(now);
}

// The marks under the heads judged, their answers into the history, and
// the cursor where the phrase stands.
void Workspace::showTimed(const std::vector<TimedMark>& marks, int64_t now)
{
    for (const TimedMark& mark : marks) {
        const Text label = mark.errorMs ? Text::verbatim(std::to_string(*mark.errorMs)) : Text {};
        staff::drawTimingMark(m_timedLook, m_ports.surface, mark.entry, mark.colour, label);
    }
    const Key key = m_timedLook.key;
    for (const AnswerRecord& record : m_timed->takeRecords()) {
        const AnswerContext context { m_timedSession.value_or(LocalTime::now()), m_timedLook.clef,
            spellInKey(record.shown, key), {}, key, m_timedInput };
        m_answering.appendAnswer(record, context);
    }
    m_ports.surface.setCursorLeft(staff::columnGrid(m_timedLook).centre(m_timed->moveCursor(now)));
}

} // namespace zintaro::compose
