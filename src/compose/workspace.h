#pragma once

#include "compose/answering.h"
#include "compose/editing.h"
#include "compose/modes.h"
#include "compose/piano_entry.h"
#include "compose/playback.h"
#include "compose/ports.h"
#include "compose/recovery.h"
#include "compose/trainer.h"
#include "core/modulo1.h"
#include "storage/composition_file.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace zintaro::compose {

// The changes to the piece. Each one is a value applied by Workspace::apply,
// the one road by which the piece changes.
struct WriteNote {
    int16_t index = 0; // a piano key: written at the cursor, over the entry there or appended
};
struct InsertRest { };
struct DeleteAtCursor { };
struct NewPiece { };
struct LoadPiece {
    std::filesystem::path file;
};
using PieceCommand = std::variant<WriteNote, InsertRest, DeleteAtCursor, NewPiece, LoadPiece>;

enum class PieceOutcome {
    Changed, // the piece is different now
    Unchanged, // nothing to do (an empty piece to delete from, a note drawn while listening)
    Full, // the piece holds all it can keep; nothing was written
    NotLoaded, // the file could not be read or is no composition; the piece is as it was
};

// The piece as one change found it: the store, its length and the cursor.
struct PieceSnapshot {
    CompositionStore store;
    int noteCount = 0;
    int cursor = 0;
};

// The changes that can be taken back and made again. Each step keeps the
// whole piece, so an undo gives back exactly what was there, whatever the
// change was.
class PieceHistory {
public:
    static constexpr std::size_t Depth = 1000;

    // A change was made from `before`: it can be undone; what was undone
    // before can no longer be redone.
    void changed(const PieceSnapshot& before);
    // Gives the piece to go back to, keeping `current` for a redo.
    std::optional<PieceSnapshot> undo(const PieceSnapshot& current);
    std::optional<PieceSnapshot> redo(const PieceSnapshot& current);
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }

private:
    std::deque<PieceSnapshot> m_undo;
    std::vector<PieceSnapshot> m_redo;
};

// What a mode button asks of the window beyond the staff, which the
// workspace has drawn already.
struct ModeChange {
    int scale = 1; // the staff's drawing scale: the window lays out its controls for it
    bool confirmNew = false; // "Nuovo": ask "Sicuro?" and call confirmNewPiece() on Yes
    bool maximize = false; // "Leggi" shows the window maximised
    bool startPlayback = false; // "Ascolta": the window's playback timer starts
};

// What a piano key did, for the window: whether to give the keyboard back
// to the piano, and whether the piece refused the note.
struct KeyOutcome {
    bool answered = false; // it went to the trainer's answers
    bool focusPiano = false;
    bool full = false;
};

// The one owner of the piece and of everything that plays it: the cursor,
// the mode, the tempo, the instrument, the switches, the reading trainer and
// its answers, and the file and export commands. The window turns its events
// into calls here and the results into what its controls show; the
// workspace knows no widget. Time comes in as milliseconds of the window's
// monotonic clock.
class Workspace {
public:
    // `layout` is called whenever the staff changes its drawing scale, before
    // anything is drawn at the new scale.
    // The piece is kept in `recoveryFile` while it differs from what was
    // last saved or loaded; an empty path keeps none.
    Workspace(const Ports& ports, std::filesystem::path historyFile, std::function<void(int scale)> layout,
        std::filesystem::path recoveryFile = {});

    // Start-up: the piece an earlier run left unsaved becomes the piece, with
    // the cursor after it. Returns the words for the status text.
    Text restoreRecovered(const storage::ParsedComposition& piece);
    RecoveryFile& recovery() { return m_recovery; }

    // The one command path of the piece. A change can be undone.
    PieceOutcome apply(const PieceCommand& command);

    // Ctrl+Z and Ctrl+Y: the piece, the cursor and the page shown as they
    // were before the last change, or after the change undone. False when
    // there is none.
    bool undo();
    bool redo();
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }

    // A mode button. "Nuovo" only asks: the piece changes in confirmNewPiece().
    // "Ascolta" leaves the playback to the window's timer: startPlayback().
    ModeChange switchMode(Mode mode, uint32_t seed);
    void confirmNewPiece(uint32_t seed);
    Mode mode() const { return m_mode; }

    // A piano key from the computer keyboard (Sounded) or a MIDI keyboard,
    // whose note has sounded already (DisplayOnly): an answer while the
    // trainer waits for one, otherwise a note of the piece.
    KeyOutcome keyDown(int16_t index, int64_t now, bool isAutoRepeat, KeySound sound);
    void keyUp(int16_t index, int64_t now, KeySound sound);
    // A MIDI keyboard's key, its note sounded already. Its note answers the
    // trainer whatever octave the computer keys play: it is a MIDI note.
    KeyOutcome midiKeyboardDown(int16_t index, int64_t now);
    void midiKeyboardUp(int16_t index, int64_t now);

    // "<" and ">".
    void moveCursor(CursorMove move);

    // The controls' values.
    void setDuration(int16_t code) { m_m.CurrentDuration = code; }
    void setSpeakNames(bool speak) { m_m.SpeakNames = speak; }
    void setMute(bool mute) { m_m.Mute = mute; }
    // "Scrivi". Switched on in "Leggi", it names the note on the staff at once.
    void setWriteNames(bool write);
    // "Do Re Mi" or "C D E". A name that shows (`nameShown`) is written again
    // at once: the trainer's note in "Leggi", else the last key named.
    void setNaming(NoteNaming naming, bool nameShown);
    // "Scala"; a note being answered is replaced by the walk's first.
    void setScaleWalk(bool walk, int64_t now);
    // Returns the trainer's beat in milliseconds.
    int setTempo(int tempo);
    int tempo() const { return m_tempo; }
    // The General MIDI program of the notes, sent at once and kept for a new output.
    void setInstrument(int program);
    int instrument() const { return m_instrument; }
    void selectDevice(int16_t device);

    // What "Pratica" chose: which notes, how drawn, on which staves. A note
    // awaiting an answer came from the old choices and is drawn anew.
    void choosePractice(const PracticeChoices& practice, int64_t now, uint32_t seed);
    // PageUp and PageDown move the computer keys by octaves in "Leggi" only;
    // false elsewhere.
    bool shiftKeyboard(int octaves);

    // "Rispondi" switched; false when there is nothing to answer (outside "Leggi").
    bool setAnswering(bool on, int64_t now, uint32_t seed);
    bool answering() const { return m_answering.active(); }
    // Whether a MIDI keyboard's notes sound as they come: not while names are
    // spoken instead, nor while the answers are muted.
    bool liveSound() const { return !m_m.SpeakNames && !(m_m.Mute && m_answering.active()); }

    // The trainer's beat, while it runs on its own ("Leggi" without "Rispondi").
    bool trainerRunning() const { return m_trainerRunning; }
    void trainerTick() { m_trainer.tick(); }

    // Playback of "Ascolta", driven by the window's timer.
    std::optional<Millis> startPlayback(Millis now) { return m_playback.start(now); }
    std::optional<Millis> advancePlayback(Millis now) { return m_playback.advance(now); }
    void stopPlayback() { m_playback.stop(); }

    // The piece saved as FOLDER/NAME.txt; the piece is untouched.
    storage::SaveOutcome save(const std::filesystem::path& folder, const std::string& name);
    // What the last LoadPiece has to tell, once: why nothing was loaded, or
    // what of the file was left out.
    std::optional<Text> takeLoadNotice() { return std::exchange(m_loadNotice, std::nullopt); }

    // The program closes: the trainer, its answers and playback fall silent.
    void close();

    const Modulo1& state() const { return m_m; }
    Modulo1& state() { return m_m; }
    Playback& playback() { return m_playback; }
    Trainer& trainer() { return m_trainer; }
    Answering& answers() { return m_answering; }

private:
    PieceOutcome change(const PieceCommand& command);
    void changed(const PieceSnapshot& before, bool loaded);
    PieceOutcome writeNote(int16_t index);
    PieceSnapshot snapshot() const;
    void restore(const PieceSnapshot& piece);
    PieceOutcome load(const std::filesystem::path& file);
    void leaveMode();
    void enterRead(uint32_t seed);
    void relayout(int scale);

    Modulo1 m_m;
    Ports m_ports;
    std::function<void(int)> m_layout;
    std::optional<Text> m_loadNotice;
    Playback m_playback;
    Trainer m_trainer;
    Answering m_answering;
    PieceHistory m_history;
    RecoveryFile m_recovery;
    Mode m_mode = Mode::Compose;
    int m_tempo = 100;
    int m_instrument = 0;
    bool m_trainerRunning = false;
};

} // namespace zintaro::compose
