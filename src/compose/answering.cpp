#include "compose/answering.h"

#include "compose/chord_material.h"
#include "compose/keyboard_octaves.h"
#include "compose/note_entry.h"
#include "compose/piano_entry.h"
#include "compose/trainer.h"
#include "core/key_meter.h"
#include "core/pitch.h"
#include "core/translation.h"
#include "input/piano_view.h"
#include "midi/midi_out.h"
#include "staff/speech.h"
#include "staff/staff.h"
#include "staff/staff_system.h"

#include <algorithm>
#include <utility>

namespace zintaro::compose {

namespace {

AnswerVoice voiceOf(const Modulo1& m)
{
    if (m.Mute)
        return AnswerVoice::Silent;
    return m.SpeakNames ? AnswerVoice::Speak : AnswerVoice::Sound;
}

} // namespace

Answering::Answering(Modulo1& m, const Ports& ports, Trainer& trainer, std::filesystem::path historyFile)
    : m_m(m)
    , m_ports(ports)
    , m_trainer(trainer)
    , m_history(std::move(historyFile))
    , m_memoryReading(std::async(std::launch::async,
          [file = m_history.path()] { return NoteMemory::fromHistory(storage::readAnswerHistory(file)); }))
{
}

void Answering::start(int64_t now)
{
    m_trainer.leave();
    m_active = true;
    showNote(now);
}

void Answering::showNewNote(int64_t now)
{
    if (!m_active)
        return;
    showNote(now);
}

void Answering::stop()
{
    if (!m_active)
        return;
    carryOut(m_judge.stop(), 0);
    wipeSummary();
    wipeWrongAnswerWords();
    m_active = false;
    m_sessionStart.reset();
    m_exam.reset();
    m_examLines.clear();
}

void Answering::setPracticeChoices(const PracticeChoices& choices)
{
    if (choices == m_choices)
        return;
    m_choices = choices;
    readInKey(choices.randomKey ? m_trainer.key() : choices.key);
}

void Answering::readInKey(Key key)
{
    PracticeChoices drawn = m_choices;
    drawn.key = key;
    if (key != m_trainer.key()) {
        m_trainer.setKey(key);
        if (m_active) {
            m_ports.surface.clear();
            m_trainer.showStaves();
        }
    }
    if (drawn != m_draw.choices()) {
        m_draw.setChoices(drawn);
        m_chordReview.setChoices(drawn);
    }
}

const NoteMemory& Answering::memory()
{
    // A year of answers is read well before the first note asks for it; at
    // worst the first review note waits for the end of the reading.
    if (m_memoryReading.valid()) {
        m_memory = m_memoryReading.get();
        for (const Remembered& answer : m_answeredWhileReading)
            remember(answer);
        m_answeredWhileReading.clear();
    }
    return m_memory;
}

void Answering::keyDown(int16_t index, int64_t now, bool isAutoRepeat, KeySound sound)
{
    // A held key's repetitions are no answers, nor do they sound again.
    if (!m_active || isAutoRepeat || !isPianoNote(index))
        return;
    const int note = midiNoteOfShiftedKey(index, m_keyboardShift);
    m_keyNotes[static_cast<std::size_t>(index)] = note;
    const auto awaited = m_judge.shownNote();
    answerNote(note, now, sound, AnswerInput::Keys,
        !awaited || m_judge.showingSummary() || keysReach(*awaited, m_keyboardShift));
}

void Answering::keyUp(int16_t index, int64_t now, KeySound sound)
{
    if (!m_active || !isPianoNote(index))
        return;
    const int note = std::exchange(m_keyNotes[static_cast<std::size_t>(index)], 0);
    if (note == 0)
        return;
    // The student's note ends before the correction that follows it.
    m_ports.piano.setPressed(index, false);
    if (sound == KeySound::Sounded)
        m_ports.midi.noteOff(0, note);
    m_echo.silenced(note, now);
    m_judge.setVoice(voiceOf(m_m));
    carryOut(m_judge.keyUp(note, now), now);
}

void Answering::noteDown(int midiNote, int64_t now)
{
    if (!m_active)
        return;
    m_judge.setChordInput(ChordInput::MidiKeyboard);
    // The keyboard's note sounds from its own thread as it comes.
    if (!m_m.Mute && !m_m.SpeakNames)
        m_echo.sounded(midiNote, now);
    answerNote(midiNote, now, KeySound::DisplayOnly, AnswerInput::Midi);
}

void Answering::noteUp(int midiNote, int64_t now)
{
    if (!m_active)
        return;
    const int16_t key = keyOf(midiNote);
    if (isPianoNote(key))
        m_ports.piano.setPressed(key, false);
    m_echo.silenced(midiNote, now);
    m_judge.setVoice(voiceOf(m_m));
    carryOut(m_judge.keyUp(midiNote, now), now);
}

bool Answering::heardNote(int writtenMidiNote, int64_t onset, int64_t now)
{
    if (!m_active || onset < m_shownAt || m_echo.isEcho(onset))
        return false;
    // A held note told again keeps counting from its latest telling; the
    // program's own sound is no note of the student's.
    const auto last = std::exchange(m_lastHeard, std::pair { writtenMidiNote, onset });
    if (last && last->first == writtenMidiNote && onset - last->second < HeldNoteMs)
        return false;
    answerNote(writtenMidiNote, onset, KeySound::DisplayOnly, AnswerInput::Microphone);
    // The note has no key to let go: it ends as soon as it answered.
    const int16_t key = keyOf(writtenMidiNote);
    if (isPianoNote(key))
        m_ports.piano.setPressed(key, false);
    const int64_t end = std::max(onset, now);
    carryOut(m_judge.keyUp(writtenMidiNote, end), end);
    return true;
}

// The note is judged before it sounds, so that silencing a correction of
// the same note does not cut it short.
void Answering::answerNote(int midiNote, int64_t now, KeySound sound, AnswerInput input, bool judged)
{
    if (judged) {
        m_judge.setVoice(voiceOf(m_m));
        m_playedMidi = midiNote;
        m_input = input;
        carryOut(m_judge.keyDown(midiNote, now, false), now);
        m_playedMidi = -1;
    }
    const int16_t key = keyOf(midiNote);
    // A key already shown pressed (a correction's) neither sounds nor shows again.
    if (isPianoNote(key) && !m_ports.piano.isPressed(key)) {
        m_ports.piano.setPressed(key, true);
        if (sound == KeySound::Sounded && !m_m.Mute && !m_m.SpeakNames) {
            m_ports.midi.noteOn(0, midiNote, 127);
            m_echo.sounded(midiNote, now);
        }
    }
    // A note heard was played already: its name is not spoken over it, nor
    // would the microphone then wait for the speech to end.
    if (!m_m.Mute && m_m.SpeakNames && input != AnswerInput::Microphone)
        speakName(midiNote, now);
}

void Answering::setKeyboardShift(int octaves)
{
    m_keyboardShift = std::clamp(octaves, LowestKeyboardShift, HighestKeyboardShift);
}

int16_t Answering::keyOf(int midiNote) const
{
    return static_cast<int16_t>(shiftedKeyOfMidiNote(midiNote, m_keyboardShift));
}

// The shown note's own spelling when it is the note named, else the sharp's.
void Answering::speakName(int midiNote, int64_t now)
{
    const DrawnNote& shown = m_trainer.shown();
    const SpelledNote note = shown.midiNote() == midiNote ? shown.note : sharpSpelling(midiNote);
    m_ports.speech.say(spokenNoteName(note, m_m.Naming),
        m_m.Naming == NoteNaming::Letters ? staff::Voice::English : staff::Voice::Italian);
    m_echo.spoke(now);
}

void Answering::timerDue(int64_t now)
{
    if (!m_active)
        return;
    m_judge.setVoice(voiceOf(m_m));
    carryOut(m_judge.timerDue(now), now);
}

std::optional<int64_t> Answering::nextDue() const
{
    return m_active ? m_judge.nextDue() : std::nullopt;
}

Text Answering::scoreLabel() const
{
    return m_active ? m_judge.session().scoreLabel() : Text {};
}

AnswerMode Answering::mode() const
{
    if (m_m.ScaleWalk)
        return AnswerMode::Scale;
    const bool reviewed = m_chord.empty() ? m_shown.review : m_draw.choices().review;
    return reviewed ? AnswerMode::Review : AnswerMode::Random;
}

void Answering::showNote(int64_t now)
{
    wipeSummary();
    wipeWrongAnswerWords();
    if (m_exam) {
        showExamNote(now);
        return;
    }
    if (!m_sessionStart && m_choices.randomKey) {
        std::uniform_int_distribution<int> fifths(-MostAccidentals, MostAccidentals);
        readInKey({ fifths(m_keyDraw), KeyMode::Major });
    }
    std::optional<DrawnChord> chord;
    if (m_choices.drill != Drill::Notes && !m_m.ScaleWalk) {
        chord = m_draw.choices().review ? m_chordReview.next(memory(), LocalTime::now().utcMilliseconds())
                                        : drawChord(m_draw.choices(), static_cast<uint32_t>(m_keyDraw()));
    }
    m_chord = chord ? chord->notes : std::vector<SpelledNote> {};
    if (chord) {
        m_trainer.showDrawnChord(chord->notes, chord->together);
    } else if (m_m.ScaleWalk) {
        m_trainer.showAnswerNote();
    } else {
        const NoteMemory& known = m_draw.choices().review ? memory() : m_memory;
        m_trainer.showDrawnNote(m_draw.next(known, LocalTime::now().utcMilliseconds()));
    }
    m_shown = m_trainer.shown();
    m_shownAt = now;
    m_firstAnswerDue = true;
    if (!m_sessionStart)
        m_sessionStart = LocalTime::now();
    carryOut(
        m_chord.empty() ? m_judge.noteShown(m_shown.note, now, mode()) : m_judge.chordShown(m_chord, now, mode()), now);
}

void Answering::remember(const AnswerRecord& record, const LocalTime& when)
{
    const std::vector<SpelledNote> shown = m_chord.empty() ? std::vector<SpelledNote> { m_shown.note } : m_chord;
    const Remembered answer { NoteMemory::itemOf(m_shown.clef, shown, m_trainer.key()), m_firstAnswerDue, record.right,
        record.responseMs, when.utcMilliseconds() };
    if (m_firstAnswerDue && !m_chord.empty())
        m_chordReview.firstAnswer(record.right);
    else if (m_firstAnswerDue && !m_m.ScaleWalk)
        m_draw.firstAnswer(record.right);
    m_firstAnswerDue = false;
    if (m_memoryReading.valid())
        m_answeredWhileReading.push_back(answer);
    else
        remember(answer);
}

void Answering::remember(const Remembered& answer)
{
    if (answer.first)
        m_memory.firstAnswer(answer.item, answer.right, answer.responseMs, answer.utcMs);
    else
        m_memory.seenAgain(answer.item, answer.utcMs);
}

void Answering::carryOut(const AnswerResult& result, int64_t now)
{
    if (result.record) {
        const LocalTime when = LocalTime::now();
        AnswerContext context { m_sessionStart.value_or(when), m_shown.clef, m_shown.note, {}, m_trainer.key(),
            m_input };
        if (!m_chord.empty())
            context.above.assign(m_chord.begin() + 1, m_chord.end());
        m_history.append(when, *result.record, context);
        // Only the first answer to each note asked counts in the exam.
        if (m_exam && m_firstAnswerDue)
            m_exam->answer({ result.record->right, true });
        remember(*result.record, when);
    }
    for (const AnswerStep& step : result.steps) {
        switch (step.action) {
        case AnswerAction::MarkRight:
            m_trainer.markShownNote(staff::Green);
            break;
        case AnswerAction::MarkWrong:
            m_trainer.markShownNote(staff::Red);
            if (!m_chord.empty())
                showWrongAnswerWords(result.playedNotes, m_judge.asked());
            else if (m_playedMidi >= 0)
                showWrongAnswerWords({ m_playedMidi }, { step.midiNote });
            break;
        case AnswerAction::SoundCorrection:
            pressCorrectionKey(step.midiNote);
            m_ports.midi.noteOn(0, step.midiNote, 127);
            m_echo.sounded(step.midiNote, now);
            break;
        case AnswerAction::SpeakCorrection:
            pressCorrectionKey(step.midiNote);
            speakName(step.midiNote, now);
            break;
        case AnswerAction::PressCorrectionKey:
            pressCorrectionKey(step.midiNote);
            break;
        case AnswerAction::SilenceCorrection:
            releaseCorrection(step.midiNote, true, now);
            break;
        case AnswerAction::ReleaseCorrectionKey:
            releaseCorrection(step.midiNote, false, now);
            break;
        case AnswerAction::ShowNextNote:
            showNote(now);
            break;
        case AnswerAction::ShowSummary:
            // An exam runs on past a session's length, to its own end.
            if (m_exam) {
                showNote(now);
                break;
            }
            showSummary();
            m_sessionStart.reset();
            break;
        case AnswerAction::StartNewSession:
            wipeSummary();
            m_sessionStart.reset();
            break;
        }
    }
}

void Answering::pressCorrectionKey(int midiNote)
{
    const int16_t index = keyOf(midiNote);
    // A key the student holds stays theirs to release.
    if (isPianoNote(index) && !m_ports.piano.isPressed(index))
        m_correctionKeys.push_back(index);
    pressKey(m_ports.piano, m_ports.midi, index, KeySound::DisplayOnly);
}

void Answering::releaseCorrection(int midiNote, bool sounded, int64_t now)
{
    if (sounded) {
        m_ports.midi.noteOff(0, midiNote);
        m_echo.silenced(midiNote, now);
    }
    const auto shown = std::find(m_correctionKeys.begin(), m_correctionKeys.end(), keyOf(midiNote));
    if (shown != m_correctionKeys.end()) {
        releaseKey(m_ports.piano, m_ports.midi, *shown, KeySound::DisplayOnly);
        m_correctionKeys.erase(shown);
    }
}

} // namespace zintaro::compose
