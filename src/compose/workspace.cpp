#include "compose/workspace.h"

#include "compose/editing.h"
#include "compose/keyboard_octaves.h"
#include "compose/note_entry.h"
#include "compose/piece_file.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "staff/staff.h"
#include "staff/staff_surface.h"

#include <algorithm>
#include <utility>

namespace zintaro::compose {

namespace {

// The drawing scale of each mode: "Leggi" enlarges the staff five times.
int scaleOf(Mode mode)
{
    return mode == Mode::Read ? 5 : 1;
}

} // namespace

Workspace::Workspace(const Ports& ports, std::filesystem::path historyFile, std::function<void(int scale)> layout,
    std::filesystem::path recoveryFile)
    : m_ports(ports)
    , m_layout(std::move(layout))
    , m_playback(m_m, m_ports)
    , m_trainer(m_m, m_ports)
    , m_answering(m_m, m_ports, m_trainer, std::move(historyFile))
    , m_recovery(std::move(recoveryFile))
{
    recomputeTempoDurations(m_m, m_tempo);
}

void PieceHistory::changed(const PieceSnapshot& before)
{
    m_redo.clear();
    if (m_undo.size() >= Depth)
        m_undo.pop_front();
    m_undo.push_back(before);
}

std::optional<PieceSnapshot> PieceHistory::undo(const PieceSnapshot& current)
{
    if (m_undo.empty())
        return std::nullopt;
    PieceSnapshot back = m_undo.back();
    m_undo.pop_back();
    m_redo.push_back(current);
    return back;
}

std::optional<PieceSnapshot> PieceHistory::redo(const PieceSnapshot& current)
{
    if (m_redo.empty())
        return std::nullopt;
    PieceSnapshot again = m_redo.back();
    m_redo.pop_back();
    m_undo.push_back(current);
    return again;
}

PieceOutcome Workspace::apply(const PieceCommand& command)
{
    const PieceSnapshot before = snapshot();
    const PieceOutcome outcome = change(command);
    if (outcome == PieceOutcome::Changed)
        changed(before, std::holds_alternative<LoadPiece>(command));
    return outcome;
}

void Workspace::changed(const PieceSnapshot& before, bool loaded)
{
    m_history.changed(before);
    if (loaded)
        m_recovery.setBaseline(m_m.Composition, m_m.NoteCount);
    else
        m_recovery.update(m_m.Composition, m_m.NoteCount);
}

PieceSnapshot Workspace::snapshot() const
{
    return { m_m.Composition, m_m.NoteCount, m_m.WriteIndex };
}

void Workspace::restore(const PieceSnapshot& piece)
{
    m_playback.stop();
    m_m.Composition = piece.store;
    m_m.NoteCount = piece.noteCount;
    m_m.WriteIndex = static_cast<int16_t>(piece.cursor);
    m_recovery.update(m_m.Composition, m_m.NoteCount);
    // The page that holds the cursor, drawn from the piece as it is now; the
    // trainer's staff is left alone, and "Componi" shows the page later.
    if (m_mode == Mode::Read)
        m_m.CursorColumn = m_m.columnOf(piece.cursor);
    else
        redrawComposition(m_m, m_ports);
}

Text Workspace::restoreRecovered(const storage::ParsedComposition& piece)
{
    storage::applyToStore(piece, m_m.Composition);
    m_m.NoteCount = piece.noteCount();
    m_m.WriteIndex = static_cast<int16_t>(m_m.NoteCount);
    m_m.CursorColumn = m_m.columnOf(m_m.NoteCount);
    m_recovery.update(m_m.Composition, m_m.NoteCount);
    return recoveredText(piece.noteCount());
}

bool Workspace::undo()
{
    auto back = m_history.undo(snapshot());
    if (back)
        restore(*back);
    return back.has_value();
}

bool Workspace::redo()
{
    auto again = m_history.redo(snapshot());
    if (again)
        restore(*again);
    return again.has_value();
}

PieceOutcome Workspace::change(const PieceCommand& command)
{
    if (const auto* note = std::get_if<WriteNote>(&command))
        return writeNote(note->index);
    if (const auto* load = std::get_if<LoadPiece>(&command))
        return this->load(load->file);
    // Before the piece changes, a playback of it ends as it would at its end:
    // the sounding note silenced, the cursor after the piece.
    m_playback.stop();
    if (std::holds_alternative<InsertRest>(command))
        return insertRest(m_m, m_ports) ? PieceOutcome::Changed : PieceOutcome::Full;
    if (std::holds_alternative<DeleteAtCursor>(command)) {
        if (m_m.NoteCount == 0)
            return PieceOutcome::Unchanged;
        deleteAtCursor(m_m, m_ports);
        return PieceOutcome::Changed;
    }
    newComposition(m_m, m_ports);
    return PieceOutcome::Changed;
}

PieceOutcome Workspace::writeNote(int16_t index)
{
    const bool overwrite = m_m.WriteIndex < m_m.NoteCount;
    const auto entry = enterNote(m_m, m_ports.surface, true, false, index, m_m.CurrentDuration);
    if (entry == EntryOutcome::Refused)
        return PieceOutcome::Full;
    // A note written over another is an edit: the page is drawn again, its
    // bars counted anew from the new duration. A note that overwrote the
    // last column of a page turns to the next page, which holds notes too.
    if (overwrite && entry == EntryOutcome::Stored)
        redrawComposition(m_m, m_ports);
    return entry == EntryOutcome::Stored ? PieceOutcome::Changed : PieceOutcome::Unchanged;
}

PieceOutcome Workspace::load(const std::filesystem::path& file)
{
    m_playback.stop();
    PieceLoad load = loadComposition(m_m, m_ports, file);
    if (!load.text.empty())
        m_loadNotice = std::move(load.text);
    return load.replaced ? PieceOutcome::Changed : PieceOutcome::NotLoaded;
}

void Workspace::relayout(int scale)
{
    m_m.DrawScale = static_cast<int16_t>(scale);
    if (m_layout)
        m_layout(scale);
    staff::drawStaff(lookOf(m_m), m_ports.surface);
}

void Workspace::leaveMode()
{
    if (m_answering.active())
        m_answering.stop();
    if (m_trainerRunning) {
        m_trainerRunning = false;
        m_trainer.leave();
    }
}

void Workspace::enterRead(uint32_t seed)
{
    m_trainer.enter(seed);
    m_trainerRunning = true;
}

ModeChange Workspace::switchMode(Mode mode, uint32_t seed)
{
    leaveMode();
    relayout(1);
    m_mode = mode;
    ModeChange change;
    switch (mode) {
    case Mode::Compose:
        showComposition(m_m, m_ports);
        break;
    case Mode::Listen:
        change.startPlayback = true;
        break;
    case Mode::New:
        change.confirmNew = true;
        break;
    case Mode::Read:
        enterRead(seed);
        relayout(scaleOf(mode));
        // The trainer's staves (bass or grand) replace the treble staff of the layout.
        m_trainer.showStaves();
        change.maximize = true;
        break;
    }
    change.scale = scaleOf(mode);
    return change;
}

void Workspace::confirmNewPiece(uint32_t seed)
{
    apply(NewPiece {});
    switchMode(Mode::Compose, seed);
}

KeyOutcome Workspace::keyDown(int16_t index, int64_t now, bool isAutoRepeat, KeySound sound)
{
    KeyOutcome outcome;
    if (m_answering.active()) {
        if (isPianoNote(index))
            m_answering.keyDown(index, now, isAutoRepeat, sound);
        outcome.answered = true;
        return outcome;
    }
    if (!isPianoNote(index))
        return outcome;
    // A refused note is not sounded either: the key-up may go to the message
    // box, and a note sounded now would then never be silenced.
    const PieceSnapshot before = snapshot();
    const PieceOutcome written = change(WriteNote { index });
    if (written == PieceOutcome::Full) {
        outcome.full = true;
        return outcome;
    }
    if (m_m.SpeakNames) {
        staff::speakNoteName(m_ports.speech, index, m_m.Naming);
    } else {
        pressKey(m_ports.piano, m_ports.midi, index, sound);
        outcome.focusPiano = sound == KeySound::Sounded;
    }
    // The note sounds first; keeping the change comes after.
    if (written == PieceOutcome::Changed)
        changed(before, false);
    return outcome;
}

void Workspace::keyUp(int16_t index, int64_t now, KeySound sound)
{
    if (m_answering.active()) {
        if (isPianoNote(index))
            m_answering.keyUp(index, now, sound);
        return;
    }
    releasePlayedKey(m_ports, index, sound);
}

KeyOutcome Workspace::midiKeyboardDown(int16_t index, int64_t now)
{
    if (!m_answering.active())
        return keyDown(index, now, false, KeySound::DisplayOnly);
    m_answering.noteDown(midiNoteOfKey(index), now);
    KeyOutcome outcome;
    outcome.answered = true;
    return outcome;
}

void Workspace::midiKeyboardUp(int16_t index, int64_t now)
{
    if (m_answering.active())
        m_answering.noteUp(midiNoteOfKey(index), now);
    else
        keyUp(index, now, KeySound::DisplayOnly);
}

void Workspace::moveCursor(CursorMove move)
{
    compose::moveCursor(m_m, m_ports, move);
}

void Workspace::setScaleWalk(bool walk, int64_t now)
{
    m_m.ScaleWalk = walk;
    if (walk)
        m_trainer.restartScaleWalk();
    m_answering.showNewNote(now);
}

int Workspace::setTempo(int tempo)
{
    m_tempo = tempo;
    return compose::setTempo(m_m, tempo);
}

void Workspace::setInstrument(int program)
{
    m_instrument = std::clamp(program, 0, static_cast<int>(midi::InstrumentNames.size()) - 1);
    m_ports.midi.programChange(0, 0, m_instrument);
}

void Workspace::selectDevice(int16_t device)
{
    m_ports.midi.selectDevice(device, m_instrument);
}

bool Workspace::setAnswering(bool on, int64_t now, uint32_t seed)
{
    if (on && m_trainerRunning) {
        // The student moves the trainer on: its beat rests meanwhile.
        m_trainerRunning = false;
        m_answering.start(now);
        return true;
    }
    if (!on && m_answering.active()) {
        m_answering.stop();
        enterRead(seed);
        return true;
    }
    return false;
}

// New staves show at once in "Leggi"; the plain trainer starts over with
// its next tick. The bass clef brings the computer keys down to its notes,
// the treble clef back; on the grand staff the student moves them as needed.
void Workspace::choosePractice(const PracticeChoices& practice, int64_t now, uint32_t seed)
{
    m_answering.setPracticeChoices(practice);
    if (practice.clef != m_trainer.clef()) {
        m_trainer.setClef(practice.clef);
        if (practice.clef != Clef::Grand)
            m_answering.setKeyboardShift(practice.clef == Clef::Bass ? BassKeyboardShift : 0);
        if (m_mode == Mode::Read) {
            m_ports.surface.clear();
            m_trainer.showStaves();
            if (!m_answering.active())
                m_trainer.enter(seed);
        }
    }
    if (m_answering.active())
        m_answering.showNewNote(now);
}

void Workspace::setWriteNames(bool write)
{
    m_m.WriteNames = write;
    if (write && m_mode == Mode::Read)
        m_trainer.writeShownName();
}

void Workspace::setNaming(NoteNaming naming, bool nameShown)
{
    m_m.Naming = naming;
    if (nameShown && m_mode == Mode::Read)
        m_trainer.writeShownName();
    else if (nameShown && isPianoNote(m_m.NamedNote))
        m_ports.surface.setNameLabels(std::string(writtenName(m_m.NamedNote, naming)));
    m_answering.redrawWords();
}

bool Workspace::shiftKeyboard(int octaves)
{
    if (m_mode != Mode::Read)
        return false;
    m_answering.setKeyboardShift(m_answering.keyboardShift() + octaves);
    return true;
}

storage::SaveOutcome Workspace::save(const std::filesystem::path& folder, const std::string& name)
{
    auto result = storage::saveComposition(m_m, folder, name);
    if (result.result == storage::SaveResult::Saved)
        m_recovery.setBaseline(m_m.Composition, m_m.NoteCount);
    return result;
}

void Workspace::close()
{
    m_playback.stop();
    if (m_answering.active())
        m_answering.stop();
    m_trainerRunning = false;
    m_trainer.leave();
}

} // namespace zintaro::compose
