#include "compose/keyboard_octaves.h"
#include "compose/note_entry.h"
#include "compose/workspace.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "staff/staff.h"
#include "staff/staff_surface.h"

#include <algorithm>
#include <string>

// The modes, the piano's keys, the timers and the switches of the workspace.
namespace zintaro::compose {

namespace {

// The drawing scale of each mode: "Leggi" enlarges the staff five times.
int scaleOf(Mode mode)
{
    return mode == Mode::Read ? 5 : 1;
}

} // namespace

void Workspace::relayout(int scale)
{
    m_m.DrawScale = static_cast<int16_t>(scale);
    if (m_layout)
        m_layout(scale);
    // The trainer draws its own staves and signs: the piece's key and meter
    // belong to the composition's staff alone.
    staff::Look look = lookOf(m_m);
    if (m_mode == Mode::Read)
        look = { look.scale, look.writeNames, look.naming, {}, std::nullopt };
    staff::drawStaff(look, m_ports.surface);
}

void Workspace::leaveMode()
{
    stopAnswers();
    if (m_trainerRunning) {
        m_trainerRunning = false;
        m_trainer.leave();
    }
}

void Workspace::enterRead(uint32_t seed)
{
    m_trainer.enter(seed);
    m_trainerRunning = true;
    m_beatRestarts = true;
}

void Workspace::startPlayback(int64_t now)
{
    m_playbackDue = m_playback.start(now);
}

Report Workspace::switchMode(Mode mode, int64_t now, uint32_t seed)
{
    leaveMode();
    relayout(1);
    m_mode = mode;
    Report r;
    switch (mode) {
    case Mode::Compose:
        showComposition(m_m, m_ports);
        break;
    case Mode::Listen:
        startPlayback(now);
        break;
    case Mode::New:
        r.confirmNew = true;
        break;
    case Mode::Read:
        enterRead(seed);
        relayout(scaleOf(mode));
        // The trainer's staves (bass or grand) replace the treble staff of the layout.
        m_trainer.showStaves();
        r.maximize = true;
        break;
    }
    Report shown = report();
    shown.confirmNew = r.confirmNew;
    shown.maximize = r.maximize;
    return shown;
}

Report Workspace::confirmNewPiece(int64_t now, uint32_t seed)
{
    Report r = apply(NewPiece {});
    Report shown = switchMode(Mode::Compose, now, seed);
    shown.piece = r.piece;
    shown.told = std::move(r.told);
    return shown;
}

Report Workspace::keyDown(int16_t index, int64_t now, bool isAutoRepeat, KeySound sound, double stampMs)
{
    if (m_timed) {
        const double onset = m_keyClock.onset(stampMs, static_cast<double>(now));
        if (isPianoNote(index) && !isAutoRepeat)
            timedKey(index, midiNoteOfShiftedKey(index, keysShift()), onset, now, sound, AnswerInput::Keys);
        return report();
    }
    if (m_answering.active()) {
        if (isPianoNote(index))
            m_answering.keyDown(index, now, isAutoRepeat, sound);
        return report();
    }
    if (!isPianoNote(index))
        return report();
    // A refused note is not sounded either: the key-up may go to the message
    // box, and a note sounded now would then never be silenced.
    const PieceSnapshot before = snapshot();
    const PieceOutcome written = change(WriteNote { index });
    if (written == PieceOutcome::Full) {
        m_told.emplace_back("Compose", CompositionFullText);
        Report r = report();
        r.piece = written;
        return r;
    }
    bool focusPiano = false;
    if (m_m.SpeakNames) {
        staff::speakNoteName(m_ports.speech, index, m_m.Naming);
    } else {
        pressKey(m_ports.piano, m_ports.midi, index, sound);
        focusPiano = sound == KeySound::Sounded;
    }
    // The note sounds first; keeping the change comes after.
    if (written == PieceOutcome::Changed)
        changed(before, false);
    Report r = report();
    r.piece = written;
    r.focusPiano = focusPiano;
    return r;
}

Report Workspace::keyUp(int16_t index, int64_t now, KeySound sound)
{
    if (m_timed)
        timedKeyUp(index);
    else if (!m_answering.active())
        releasePlayedKey(m_ports, index, sound);
    else if (isPianoNote(index))
        m_answering.keyUp(index, now, sound);
    return report();
}

Report Workspace::midiKeyboardDown(int16_t index, int64_t now, double stampMs)
{
    if (m_timed) {
        // A keyboard's notes below or above the piano's keys may be the phrase's.
        timedKey(index, midiNoteOfKey(index), m_midiClock.onset(stampMs, static_cast<double>(now)), now,
            KeySound::DisplayOnly, AnswerInput::Midi);
        return report();
    }
    if (!m_answering.active())
        return keyDown(index, now, false, KeySound::DisplayOnly);
    m_answering.noteDown(midiNoteOfKey(index), now);
    return report();
}

Report Workspace::midiKeyboardUp(int16_t index, int64_t now)
{
    if (!m_answering.active() || m_timed)
        return keyUp(index, now, KeySound::DisplayOnly);
    m_answering.noteUp(midiNoteOfKey(index), now);
    return report();
}

Report Workspace::shiftKeyboard(int octaves)
{
    if (m_mode == Mode::Read)
        m_answering.setKeyboardShift(m_answering.keyboardShift() + octaves);
    return report();
}

Report Workspace::trainerTick()
{
    if (m_trainerRunning)
        m_trainer.tick();
    return report();
}

Report Workspace::answersDue(int64_t now)
{
    if (m_timed)
        showTimed(m_timed->timePassed(now), now);
    m_answering.timerDue(now);
    return report();
}

Report Workspace::playbackDue(int64_t now)
{
    if (m_playback.running())
        m_playbackDue = m_playback.advance(now);
    return report();
}

Report Workspace::setDuration(int16_t code)
{
    m_m.CurrentDuration = code;
    return report();
}

Report Workspace::setSpeakNames(bool speak)
{
    m_m.SpeakNames = speak;
    return report();
}

Report Workspace::setMute(bool mute)
{
    m_m.Mute = mute;
    return report();
}

Report Workspace::setScaleWalk(bool walk, int64_t now)
{
    m_m.ScaleWalk = walk;
    if (walk)
        m_trainer.restartScaleWalk();
    m_answering.showNewNote(now);
    Report r = report();
    r.focusPiano = m_answering.active();
    return r;
}

Report Workspace::setTempo(int tempo)
{
    m_tempo = tempo;
    m_beat = compose::setTempo(m_m, tempo);
    return report();
}

Report Workspace::setInstrument(int program)
{
    m_instrument = std::clamp(program, 0, static_cast<int>(midi::InstrumentNames.size()) - 1);
    m_ports.midi.programChange(0, 0, m_instrument);
    return report();
}

Report Workspace::selectDevice(int16_t device)
{
    m_ports.midi.selectDevice(device, m_instrument);
    return report();
}

Report Workspace::setAnswering(bool on, int64_t now, uint32_t seed)
{
    bool switched = false;
    if (on && m_trainerRunning) {
        // The student moves the trainer on: its beat rests meanwhile.
        m_trainerRunning = false;
        startAnswers(now, seed);
        switched = true;
    } else if (!on && (m_answering.active() || m_timed)) {
        stopAnswers();
        enterRead(seed);
        switched = true;
    }
    // The next start follows the student's own switching; "Leggi" left
    // switches it off without changing their choice.
    const bool changedChoice = switched && on != m_answerOnStart;
    if (changedChoice)
        m_answerOnStart = on;
    Report r = report();
    r.choicesChanged = changedChoice;
    r.focusPiano = switched && on;
    return r;
}

// New staves or a new key show at once in "Leggi"; the plain trainer
// starts over with its next tick. A new staff or range moves the computer
// keys to cover as much of it as they can. Choices that leave too few notes
// to read are told and not taken.
Report Workspace::choosePractice(const PracticeChoices& practice, int64_t now, uint32_t seed)
{
    const PracticeChoices before = m_answering.practiceChoices();
    if (practice == before)
        return report();
    if (auto shortfall = tooFewNotes(practice)) {
        Report r = report();
        r.told.push_back(std::move(*shortfall));
        return r;
    }
    const Key keyBefore = m_trainer.key();
    const bool newStaves = practice.clef != m_trainer.clef();
    if (newStaves)
        m_trainer.setClef(practice.clef);
    if (newStaves || practice.range() != before.range()) {
        m_trainer.setWalk(practice.range().lowest, practice.range().highest);
        m_answering.setKeyboardShift(
            shiftCovering(midiNoteOf(practice.range().lowest), midiNoteOf(practice.range().highest)));
    }
    m_answering.setPracticeChoices(practice);
    if ((newStaves || m_trainer.key() != keyBefore) && m_mode == Mode::Read && !m_timed) {
        m_ports.surface.clear();
        m_trainer.showStaves();
        if (!m_answering.active())
            m_trainer.enter(seed);
    }
    // "A tempo" switched while answering: the other way of answering starts;
    // a phrase read in time starts anew from what was chosen, an exam read
    // in time from its beginning.
    if ((practice.inTime != before.inTime || m_timedExam) && (m_answering.active() || m_timed)) {
        stopAnswers();
        startAnswers(now, seed);
    } else if (m_timed) {
        m_timedPage = 0;
        startTimed(now);
    } else if (m_answering.active()) {
        m_answering.showNewNote(now);
    }
    Report r = report();
    r.choicesChanged = true;
    return r;
}

Report Workspace::setWriteNames(bool write)
{
    m_m.WriteNames = write;
    if (write && m_mode == Mode::Read)
        m_trainer.writeShownName();
    return report();
}

Report Workspace::setNaming(NoteNaming naming, bool nameShown)
{
    const bool changedChoice = naming != m_m.Naming;
    m_m.Naming = naming;
    if (nameShown && m_mode == Mode::Read)
        m_trainer.writeShownName();
    else if (nameShown && isPianoNote(m_m.NamedNote))
        m_ports.surface.setNameLabels(std::string(writtenName(m_m.NamedNote, naming)));
    m_answering.redrawWords();
    Report r = report();
    r.choicesChanged = changedChoice;
    return r;
}

Report Workspace::redrawWords()
{
    m_answering.redrawWords();
    return report();
}

void Workspace::restoreChoices(const KeptChoices& choices, int64_t now, uint32_t seed)
{
    m_answerOnStart = choices.answering;
    m_m.Naming = choices.naming;
    setListening(choices.listening);
    choosePractice(choices.practice, now, seed);
}

} // namespace zintaro::compose
