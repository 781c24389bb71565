#pragma once

#include "compose/exam.h"
#include "compose/listening.h"
#include "core/translation.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zintaro::compose {

// What a change to the piece did.
enum class PieceOutcome {
    Changed, // the piece is different now
    Unchanged, // nothing to do (an empty piece to delete from, a note drawn while listening)
    Full, // the piece holds all it can keep; nothing was written
    NotLoaded, // the file could not be read or is no composition; the piece is as it was
};

// The notices of the status text that stand as long as they are true; an
// empty text says nothing. What is about the student's work comes first.
struct StandingNotices {
    // The unsaved piece: brought back at start-up, or its save failed (a
    // full disk), which ends when the piece is saved, replaced or loaded; or
    // its safe copy failing, for as long as the copy cannot be written.
    Text piece;
    // Where the computer keys play while they answer moved by octaves.
    Text keyboard;
    // Why "Microfono" does not listen: no input, the input gone, refused.
    // It ends when "Microfono" is switched again.
    Text microphone;
};

// What the window shows after a command of the workspace, all of it as the
// workspace stands now; the staff has been drawn already. Times are of the
// window's monotonic clock.
struct Report {
    PieceOutcome piece = PieceOutcome::Unchanged;
    bool canUndo = false;
    bool canRedo = false;

    // The trainer's beat while it runs on its own, in milliseconds.
    std::optional<int> trainerBeat;
    bool beatRestarts = false; // the trainer started anew: its first beat comes a beat from now
    // When the answers and the playback are next due.
    std::optional<int64_t> answersDue;
    std::optional<int64_t> playbackDue;

    bool answering = false; // "Rispondi" shows on
    bool liveSound = true; // a MIDI keyboard's notes sound as they come
    Text score; // "giuste 7 su 8 · 1,4 s"; empty while not answering
    StandingNotices notices;
    // What the microphone listens for now; nothing: it is not to listen (off,
    // failed, no answer awaited).
    std::optional<ListeningRequest> listening;
    // Set by a note heard at the microphone: what the status text says of
    // it ("Nota giusta, in un'altra ottava"), or an empty text.
    std::optional<Text> heard;
    // Why answers wait in memory to be written to the history; it stands
    // until they are written.
    Text answersFailure;
    // Told once, by the command that met it: a full piece, a file that could
    // not be loaded or was loaded in part.
    std::vector<Text> told;

    // Said in the status text, where it stands until something else is said
    // there: why "Frase nella composizione" wrote nothing.
    Text said;

    // The answer to a click that asked for it (a save): a box, whatever it says.
    Text answer;
    // The exam that has just ended: a passed one offers its certificate.
    std::optional<FinishedExam> exam;
    // An imported piece's tempo: the tempo bar moves to it.
    std::optional<int> tempo;

    // What the command asks of the window.
    bool focusPiano = false; // the computer keyboard plays the piano again
    bool confirmNew = false; // "Nuovo": ask "Sicuro?", then confirmNewPiece()
    bool maximize = false; // "Leggi" shows the window maximised
    bool choicesChanged = false; // a choice kept between runs changed: keep them
    bool askName = false; // the name given cannot be a file: the panel comes back to mend it
};

} // namespace zintaro::compose
