#pragma once

#include "compose/answering.h"
#include "compose/drawn_note.h"
#include "compose/editing.h"
#include "compose/event_clock.h"
#include "compose/exam.h"
#include "compose/listening.h"
#include "compose/modes.h"
#include "compose/piano_entry.h"
#include "compose/piece_history.h"
#include "compose/playback.h"
#include "compose/ports.h"
#include "compose/practice_choices.h"
#include "compose/recovery.h"
#include "compose/report.h"
#include "compose/timed_reading.h"
#include "compose/trainer.h"
#include "core/modulo1.h"
#include "staff/staff.h"
#include "storage/composition_file.h"
#include "storage/exercise_file.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zintaro::storage {
struct ImportedPiece;
} // namespace zintaro::storage

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
// "Armatura e metro…": the piece is written and barred anew in a key and a meter.
struct SetNotation {
    Key key;
    Meter meter;
};
// A whole piece in place of the one there (a generated phrase), the cursor
// after it; entries past the store's room are left out.
struct ReplacePiece {
    std::vector<Entry> entries;
    Key key;
    Meter meter;
};
using PieceCommand
    = std::variant<WriteNote, InsertRest, DeleteAtCursor, NewPiece, LoadPiece, SetNotation, ReplacePiece>;

// The choices the workspace holds that outlive a run: what "Pratica" asks,
// the notes' naming, and whether "Rispondi" is on when "Leggi" starts.
struct KeptChoices {
    PracticeChoices practice;
    NoteNaming naming = NoteNaming::Solfege;
    bool answering = false;
    ListeningChoices listening;

    friend bool operator==(const KeptChoices&, const KeptChoices&) = default;
};

// The reading trainer as the student sees it.
struct ReadingView {
    DrawnNote shown; // the note on the staves
    int16_t shownKey = 0; // its piano key, as the trainer on its own drew it
    std::optional<int> awaited; // the MIDI note the answers wait for
    bool summary = false; // the answers' summary stands on the staff
    Text wrongAnswerWords; // "Hai suonato Mi4 · era Re4" after a wrong answer
    int keyboardShift = 0; // octaves the computer keys are moved by
    std::vector<int> asked; // the MIDI notes awaited: one, or an interval's or chord's
};

// The one owner of the piece and of everything that plays it: the cursor,
// the mode, the tempo, the instrument, the switches, the reading trainer and
// its answers, and the file commands. The window turns its events into
// calls here; every call answers with a Report of what to show. The
// workspace knows no widget. Time comes in as milliseconds of the window's
// monotonic clock.
class Workspace {
public:
    // `layout` is called whenever the staff changes its drawing scale, before
    // anything is drawn at the new scale.
    // The piece is kept in `recoveryFile` while it differs from what was
    // last saved or loaded; an empty path keeps none.
    Workspace(const Ports& ports, std::filesystem::path historyFile, std::function<void(int scale)> layout,
        std::filesystem::path recoveryFile = {}, uint32_t drawSeed = 0);

    // What the piece, the cursor and the switches are now.
    const Modulo1& state() const { return m_m; }
    Mode mode() const { return m_mode; }
    ReadingView reading() const;
    KeptChoices choices() const;
    int instrument() const { return m_instrument; }
    bool playing() const { return m_playback.running(); }
    bool answering() const { return m_answering.active(); }
    // Everything to show, as the workspace stands.
    Report report();

    // Editing the piece -----------------------------------------------------
    // Start-up: the piece an earlier run left unsaved becomes the piece, with
    // the cursor after it; a damaged file was set aside and is told.
    Report restoreRecovered();
    Report restoreRecovered(const storage::ParsedComposition& piece);
    // Waits until the safe copy on disk is as the piece asks.
    void waitForSafeCopy();
    // The one command path of the piece. A change can be undone.
    Report apply(const PieceCommand& command);
    // Ctrl+Z and Ctrl+Y: the piece, the cursor and the page shown as they
    // were before the last change, or after the change undone; Unchanged
    // when there is none.
    Report undo();
    Report redo();
    // "<" and ">".
    Report moveCursor(CursorMove move);
    // The piece differs from what was last saved or loaded.
    bool pieceUnsaved() const { return m_recovery.unsaved(); }
    // "Importa…": the piece read from another program's file in place of
    // this one, as one change; what could not be kept is told, with
    // `fileLosses`, the reader's own sentence of it. The tempo bar follows
    // the file's tempo.
    Report importPiece(const storage::ImportedPiece& imported, const Text& fileLosses);
    // "Frase nella composizione": a phrase drawn from the practice's level,
    // key and range, in the piece's meter, becomes the piece, in one change
    // that can be undone. A range with too few notes for one keeps the piece
    // and says why.
    Report writePhrase(uint32_t seed);
    // The piece saved as FOLDER/NAME.txt; the piece is untouched. A NAME
    // that ends in ".zex" saves it as an exercise: the open exercise's
    // settings, or a new one's, titled NAME, in either case at the tempo the
    // bar shows; `settings`, when given, in their place.
    Report save(const std::filesystem::path& folder, const std::string& name,
        const std::optional<storage::ExerciseSettings>& settings = std::nullopt);
    // What an exercise saved as TITLE.zex would be set to: the open
    // exercise's settings, or a new one's, at the tempo the bar shows.
    storage::ExerciseSettings exerciseToSave(const std::string& title) const;
    // "Carica" on a file. An exercise becomes the piece in one change that
    // can be undone, the tempo bar follows its tempo, its title and
    // instructions are told, and it stays the exercise open until another
    // piece is loaded, "Nuovo" or an import. Any other file is loaded as a
    // composition.
    Report open(const std::filesystem::path& file);
    const std::optional<storage::ExerciseSettings>& exercise() const { return m_exercise; }

    // The modes and the keys ---------------------------------------------------
    // A mode button. "Nuovo" only asks: the piece changes in confirmNewPiece().
    // "Ascolta" starts the playback.
    Report switchMode(Mode mode, int64_t now, uint32_t seed);
    Report confirmNewPiece(int64_t now, uint32_t seed);
    // A piano key from the computer keyboard (Sounded) or a MIDI keyboard,
    // whose note has sounded already (DisplayOnly): an answer while the
    // trainer waits for one, otherwise a note of the piece. `stampMs` is the
    // key event's own time (0: none), which places a note read in time.
    Report keyDown(int16_t index, int64_t now, bool isAutoRepeat, KeySound sound, double stampMs = 0);
    Report keyUp(int16_t index, int64_t now, KeySound sound);
    // A MIDI keyboard's key, its note sounded already. Its note answers the
    // trainer whatever octave the computer keys play: it is a MIDI note.
    Report midiKeyboardDown(int16_t index, int64_t now, double stampMs = 0);
    Report midiKeyboardUp(int16_t index, int64_t now);
    // PageUp and PageDown move the computer keys by octaves in "Leggi" only.
    Report shiftKeyboard(int octaves);

    // The timers ------------------------------------------------------------
    Report trainerTick();
    Report answersDue(int64_t now);
    Report playbackDue(int64_t now);

    // The switches and choices --------------------------------------------------
    Report setDuration(int16_t code);
    Report setSpeakNames(bool speak);
    Report setMute(bool mute);
    // "Scrivi". Switched on in "Leggi", it names the note on the staff at once.
    Report setWriteNames(bool write);
    // "Do Re Mi" or "C D E". A name that shows (`nameShown`) is written again
    // at once: the trainer's note in "Leggi", else the last key named.
    Report setNaming(NoteNaming naming, bool nameShown);
    // The language changed: the score, the summary, the words of a wrong
    // answer and the keys' notes are drawn again in it.
    Report redrawWords();
    // "Scala"; a note being answered is replaced by the walk's first.
    Report setScaleWalk(bool walk, int64_t now);
    Report setTempo(int tempo);
    // The General MIDI program of the notes, sent at once and kept for a new output.
    Report setInstrument(int program);
    Report selectDevice(int16_t device);
    // What "Pratica" chose: which notes, how drawn, on which staves. A note
    // awaiting an answer came from the old choices and is drawn anew.
    Report choosePractice(const PracticeChoices& practice, int64_t now, uint32_t seed);
    // "Rispondi" switched; nothing changes outside "Leggi". The next start
    // follows the student's own switching. With an exercise open it starts
    // the exercise's exam, which the report tells once when it ends.
    Report setAnswering(bool on, int64_t now, uint32_t seed);
    // "Microfono", "Strumento" and "Diapason…". Switching "Microfono" on
    // again tries the input again after a failure.
    Report setListening(const ListeningChoices& listening);
    // The microphone stopped listening for `why`: the trainer goes on with
    // the keys, and the sentence stands among the notices.
    Report microphoneFailed(const Text& why);
    // A note heard at the microphone, as the sounding MIDI note, its attack
    // at `onset`: turned into the note the instrument reads, it answers as a
    // key would.
    Report heardNote(int soundingMidiNote, int64_t onset, int64_t now);
    // The choices the last run left, before anything is shown.
    void restoreChoices(const KeptChoices& choices, int64_t now, uint32_t seed);

    // Reading in time ("A tempo" with "Rispondi" in "Leggi"): the phrase on
    // the staff, from its count-in to its summary; the next key after the
    // summary starts the next phrase. Its clicks go to `track` (none: silent).
    void setClickTrack(ClickTrack* track) { m_clickTrack = track; }
    const TimedReading* timedReading() const { return m_timed ? &*m_timed : nullptr; }

    // The program closes: the trainer, its answers and playback fall silent.
    void close();

private:
    PieceOutcome change(const PieceCommand& command);
    void changed(const PieceSnapshot& before, bool loaded);
    PieceOutcome writeNote(int16_t index);
    PieceSnapshot snapshot() const;
    void restore(const PieceSnapshot& piece);
    PieceOutcome load(const std::filesystem::path& file);
    PieceOutcome setNotation(const SetNotation& notation);
    PieceOutcome replace(const ReplacePiece& piece);
    Report openExercise(const std::filesystem::path& file);
    void startExam(int64_t now);
    void leaveMode();
    void enterRead(uint32_t seed);
    void relayout(int scale);
    void startPlayback(int64_t now);
    std::optional<ListeningRequest> listeningRequest() const;
    // Reading in time.
    bool inTimeChosen() const { return m_answering.practiceChoices().inTime; }
    void startAnswers(int64_t now, uint32_t seed);
    void stopAnswers();
    void startTimed(int64_t now);
    void stopTimed();
    // A note played while a phrase is read in time: `midiNote` as written,
    // shown on the piano key `index` (which may lie off the piano).
    void timedKey(int16_t index, int midiNote, double onset, int64_t now, KeySound sound, AnswerInput input);
    void timedKeyUp(int16_t index);
    // Octaves the computer keys' notes are moved by now.
    int keysShift() const;
    void nextTimedPhrase(int64_t now);
    // An exam in time: its page read, the notes of the page into the exam;
    // after the last page the rest of the exam is asked note by note.
    void takeTimedExamPage(int64_t now);
    void showTimed(const std::vector<TimedMark>& marks, int64_t now);
    // The entries of a phrase read in time; the composition's page they
    // stand on, if they are its own, and where in a measure they begin.
    struct TimedPhrase {
        std::vector<Entry> entries;
        Key key;
        Meter meter;
        double startInMeasure = 0; // in whole notes
        std::optional<int> page;
        Clef clef = Clef::Treble;
    };
    std::optional<TimedPhrase> timedPhrase();
    TimedPhrase piecePage(int page) const;
    std::vector<SpelledNote> spelledPiece() const;

    Modulo1 m_m;
    Ports m_ports;
    std::function<void(int)> m_layout;
    Playback m_playback;
    Trainer m_trainer;
    Answering m_answering;
    PieceHistory m_history;
    RecoveryFile m_recovery;
    Mode m_mode = Mode::Compose;
    int m_tempo = 100;
    int m_beat = 0; // the trainer's beat in milliseconds, from the tempo
    int m_instrument = 0;
    bool m_trainerRunning = false;
    bool m_answerOnStart = false;
    ListeningChoices m_listening;
    bool m_microphoneFailed = false; // until "Microfono" is switched again
    bool m_beatRestarts = false; // the trainer on its own started anew: its beat starts from now
    std::optional<int64_t> m_playbackDue;
    StandingNotices m_notices;
    std::vector<Text> m_told;
    std::optional<storage::ExerciseSettings> m_exercise;
    std::optional<TimedReading> m_timed;
    std::optional<Exam> m_timedExam; // an exercise "A tempo" while its pages are read in time
    int64_t m_examStartedAt = 0;
    staff::Look m_timedLook; // how its page is drawn
    int m_timedPage = 0; // of the composition, with "Dalla composizione"
    uint32_t m_timedSeed = 0;
    std::optional<LocalTime> m_timedSession;
    AnswerInput m_timedInput = AnswerInput::Keys; // what played the last note
    // The note each computer key sounded while reading in time: the octaves
    // the keys are moved by may change before it is let go.
    std::array<int, NoteCountOnPiano> m_timedKeyNotes {};
    ClickTrack* m_clickTrack = nullptr;
    EventClock m_keyClock;
    EventClock m_midiClock;
};

} // namespace zintaro::compose
