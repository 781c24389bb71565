#include "compose/workspace.h"

#include "compose/editing.h"
#include "compose/keyboard_octaves.h"
#include "compose/note_entry.h"
#include "compose/phrase_entries.h"
#include "compose/piece_file.h"
#include "core/translation.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "staff/staff.h"
#include "staff/staff_surface.h"

#include <algorithm>
#include <utility>

namespace zintaro::compose {

Workspace::Workspace(const Ports& ports, std::filesystem::path historyFile, std::function<void(int scale)> layout,
    std::filesystem::path recoveryFile, uint32_t drawSeed)
    : m_ports(ports)
    , m_layout(std::move(layout))
    , m_playback(m_m, m_ports)
    , m_trainer(m_m, m_ports)
    , m_answering(m_m, m_ports, m_trainer, std::move(historyFile))
    , m_recovery(std::move(recoveryFile))
{
    m_answering.seedDraw(drawSeed);
    m_beat = compose::setTempo(m_m, m_tempo);
}

Report Workspace::report()
{
    const int shift = keysShift();
    m_notices.keyboard = shift != 0 ? keyboardRangeText(shift, m_m.Naming) : Text {};

    Report r;
    r.canUndo = m_history.canUndo();
    r.canRedo = m_history.canRedo();
    if (m_trainerRunning)
        r.trainerBeat = m_beat;
    r.beatRestarts = std::exchange(m_beatRestarts, false);
    r.answersDue = m_timed ? m_timed->nextDue() : m_answering.nextDue();
    if (m_playback.running())
        r.playbackDue = m_playbackDue;
    r.answering = m_answering.active() || m_timed;
    r.liveSound = !m_m.SpeakNames && !(m_m.Mute && m_answering.active());
    r.score = m_timed ? (m_timed->finished() ? m_timed->summary() : Text {}) : m_answering.scoreLabel();
    r.notices = m_notices;
    // The safe copy failing stands above the piece's other notice while it lasts.
    if (auto failure = m_recovery.failure())
        r.notices.piece = std::move(*failure);
    r.told = std::exchange(m_told, {});
    r.answersFailure = m_answering.history().failure().value_or(Text {});
    r.listening = listeningRequest();
    r.exam = m_answering.takeFinishedExam();
    return r;
}

ReadingView Workspace::reading() const
{
    const auto& judge = m_answering.judge();
    return { m_trainer.shown(), m_trainer.state().note, judge.shownNote(), judge.showingSummary(),
        m_answering.wrongAnswerWords(), m_answering.keyboardShift(), judge.asked() };
}

KeptChoices Workspace::choices() const
{
    return { m_answering.practiceChoices(), m_m.Naming, m_answerOnStart, m_listening };
}

Report Workspace::apply(const PieceCommand& command)
{
    const PieceSnapshot before = snapshot();
    const PieceOutcome outcome = change(command);
    if (outcome == PieceOutcome::Changed)
        changed(before, std::holds_alternative<LoadPiece>(command));
    if (outcome == PieceOutcome::Full)
        m_told.emplace_back("Compose", CompositionFullText);
    // The piece brought back is no longer the one on the staff.
    if (outcome == PieceOutcome::Changed
        && (std::holds_alternative<LoadPiece>(command) || std::holds_alternative<NewPiece>(command)
            || std::holds_alternative<ReplacePiece>(command)))
        m_notices.piece = {};
    // Another piece loaded, or a new one: the exercise open is left.
    if (outcome == PieceOutcome::Changed
        && (std::holds_alternative<LoadPiece>(command) || std::holds_alternative<NewPiece>(command)))
        m_exercise.reset();
    Report r = report();
    r.piece = outcome;
    return r;
}

void Workspace::changed(const PieceSnapshot& before, bool loaded)
{
    m_history.changed(before);
    if (loaded)
        m_recovery.setBaseline(m_m);
    else
        m_recovery.update(m_m);
}

PieceSnapshot Workspace::snapshot() const
{
    return { m_m.Composition, m_m.NoteCount, m_m.WriteIndex, m_m.PieceKey, m_m.PieceMeter };
}

void Workspace::restore(const PieceSnapshot& piece)
{
    m_playback.stop();
    m_m.Composition = piece.store;
    m_m.NoteCount = piece.noteCount;
    m_m.WriteIndex = static_cast<int16_t>(piece.cursor);
    m_m.PieceKey = piece.key;
    m_m.PieceMeter = piece.meter;
    m_recovery.update(m_m);
    // The page that holds the cursor, drawn from the piece as it is now; the
    // trainer's staff is left alone, and "Componi" shows the page later.
    if (m_mode == Mode::Read)
        m_m.CursorColumn = m_m.columnOf(piece.cursor);
    else
        redrawComposition(m_m, m_ports);
}

Report Workspace::restoreRecovered()
{
    const Recovered found = recoverPiece(m_recovery.path());
    if (found.piece)
        return restoreRecovered(*found.piece);
    if (found.notice)
        m_notices.piece = *found.notice;
    return report();
}

Report Workspace::restoreRecovered(const storage::ParsedComposition& piece)
{
    storage::applyToStore(piece, m_m.Composition);
    m_m.NoteCount = piece.noteCount();
    m_m.PieceKey = piece.key;
    m_m.PieceMeter = piece.meter;
    m_m.WriteIndex = static_cast<int16_t>(m_m.NoteCount);
    m_m.CursorColumn = m_m.columnOf(m_m.NoteCount);
    m_recovery.update(m_m);
    m_notices.piece = recoveredText(piece.noteCount());
    return report();
}

void Workspace::waitForSafeCopy()
{
    m_recovery.flush();
}

Report Workspace::undo()
{
    auto back = m_history.undo(snapshot());
    if (back)
        restore(*back);
    Report r = report();
    r.piece = back ? PieceOutcome::Changed : PieceOutcome::Unchanged;
    return r;
}

Report Workspace::redo()
{
    auto again = m_history.redo(snapshot());
    if (again)
        restore(*again);
    Report r = report();
    r.piece = again ? PieceOutcome::Changed : PieceOutcome::Unchanged;
    return r;
}

PieceOutcome Workspace::change(const PieceCommand& command)
{
    if (const auto* note = std::get_if<WriteNote>(&command))
        return writeNote(note->index);
    if (const auto* load = std::get_if<LoadPiece>(&command))
        return this->load(load->file);
    if (const auto* notation = std::get_if<SetNotation>(&command))
        return setNotation(*notation);
    if (const auto* piece = std::get_if<ReplacePiece>(&command))
        return replace(*piece);
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
        m_told.push_back(std::move(load.text));
    return load.replaced ? PieceOutcome::Changed : PieceOutcome::NotLoaded;
}

PieceOutcome Workspace::setNotation(const SetNotation& notation)
{
    // Only what the program can write and read back is taken.
    if (!isValidKey(notation.key) || !isOfferedMeter(notation.meter))
        return PieceOutcome::Unchanged;
    if (notation.key == m_m.PieceKey && notation.meter == m_m.PieceMeter)
        return PieceOutcome::Unchanged;
    PieceSnapshot written = snapshot();
    written.key = notation.key;
    written.meter = notation.meter;
    restore(written);
    return PieceOutcome::Changed;
}

PieceOutcome Workspace::replace(const ReplacePiece& piece)
{
    if (!isValidKey(piece.key) || !isOfferedMeter(piece.meter))
        return PieceOutcome::Unchanged;
    const int count = std::min(static_cast<int>(piece.entries.size()), MaxEntries);
    PieceSnapshot next { CompositionStore {}, count, count, piece.key, piece.meter };
    for (int p = 0; p < count; ++p)
        next.store.set(p, piece.entries[static_cast<std::size_t>(p)]);
    next.store.set(count, EndEntry);
    dropBrokenTies(next.store, count);
    restore(next);
    return PieceOutcome::Changed;
}

Report Workspace::writePhrase(uint32_t seed)
{
    const PracticeChoices& practice = m_answering.practiceChoices();
    // With "Tutte, a caso" the key the trainer reads in this session.
    const Key key = practice.randomKey ? m_trainer.key() : practice.key;
    const MelodyRequest request = compositionPhraseRequest(practice, key, m_m.PieceMeter, seed);
    const auto phrase = generateMelody(request);
    if (!phrase) {
        Report r = report();
        r.said = tooFewForPhrase(m_m.Naming);
        return r;
    }
    return apply(ReplacePiece { entriesOfPhrase(*phrase), key, request.meter });
}

Report Workspace::moveCursor(CursorMove move)
{
    compose::moveCursor(m_m, m_ports, move);
    return report();
}

Report Workspace::save(const std::filesystem::path& folder, const std::string& name,
    const std::optional<storage::ExerciseSettings>& settings)
{
    std::optional<std::string> exercise;
    if (name.ends_with(storage::ExerciseExtension))
        exercise = name.substr(0, name.size() - storage::ExerciseExtension.size());
    const storage::SaveOutcome saved = exercise
        ? storage::saveExercise(settings.value_or(exerciseToSave(*exercise)), m_m, folder, *exercise)
        : storage::saveComposition(m_m, folder, name);
    if (saved.result == storage::SaveResult::Saved) {
        m_recovery.setBaseline(m_m);
        m_notices.piece = {};
    } else if (saved.result == storage::SaveResult::Failed) {
        // The box goes away with a click; the piece stays unsaved until a save succeeds.
        m_notices.piece = saved.text;
    }
    Report r = report();
    r.answer = saved.text;
    r.askName = saved.result == storage::SaveResult::NameRefused;
    return r;
}

void Workspace::close()
{
    m_playback.stop();
    if (m_clickTrack)
        m_clickTrack->cancel();
    m_timed.reset();
    if (m_answering.active())
        m_answering.stop();
    m_trainerRunning = false;
    m_trainer.leave();
}

} // namespace zintaro::compose
