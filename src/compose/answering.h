#pragma once

#include "compose/answer_history.h"
#include "compose/answer_judge.h"
#include "compose/chord_review.h"
#include "compose/drawn_note.h"
#include "compose/exam.h"
#include "compose/listening.h"
#include "compose/note_memory.h"
#include "compose/piano_entry.h"
#include "compose/ports.h"
#include "compose/practice_draw.h"
#include "core/modulo1.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <future>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace zintaro::compose {

class Trainer;

// The reading trainer with "Rispondi" on: the student answers the shown note
// on the piano. Carries out the judge's steps on the trainer's column, the
// piano and the MIDI output, and writes every judged answer into the
// history. Time comes in as milliseconds of the window's monotonic clock;
// the window calls timerDue() at nextDue(). A call that writes an answer
// returns the sentence of the history's first failed write, once.
class Answering {
public:
    Answering(Modulo1& m, const Ports& ports, Trainer& trainer, std::filesystem::path historyFile);

    // "Rispondi" switched on: the plain trainer's note is silenced and a new
    // note shows at once.
    void start(int64_t now);

    // A new note at once, in place of the one shown ("Scala" switched).
    void showNewNote(int64_t now);

    // "Rispondi" switched on with an exercise open: its exam asks the
    // piece's notes, written as `notes` (by position in the piece), in place
    // of the draw; an exam begun in time (at `startedAt`) asks here what is
    // left of it, the notes missed asked again. Its result stands on the
    // staff at the end and goes into the history as one line titled `title`.
    void startExam(Exam exam, std::vector<SpelledNote> notes, std::string title, int64_t startedAt, int64_t now);
    // The exam that ended since the last call, once.
    std::optional<FinishedExam> takeFinishedExam() { return std::exchange(m_finishedExam, std::nullopt); }

    // What to read from the next note on ("Pratica"). The memory of the
    // notes is read from the history off the window's thread from the start.
    // With "Tutte, a caso" every session reads in a key of its own, drawn
    // as it starts; otherwise the key chosen is the trainer's.
    void setPracticeChoices(const PracticeChoices& choices);
    const PracticeChoices& practiceChoices() const { return m_choices; }
    // Seeds the draw; the window seeds it from the clock, tests fix it.
    void seedDraw(uint32_t seed)
    {
        m_draw.seed(seed);
        m_chordReview.seed(seed);
        m_keyDraw.seed(seed);
    }

    // "Rispondi" off, "Leggi" left or the program closing: the session ends
    // without a summary, the correction heard is silenced and the summary
    // wiped.
    void stop();

    bool active() const { return m_active; }

    // A computer key of the piano (0..35) going down or up: it answers with
    // its note moved by the keyboard's octave shift. The note is sounded,
    // spoken or shown on its key, never written.
    void keyDown(int16_t index, int64_t now, bool isAutoRepeat, KeySound sound = KeySound::Sounded);
    void keyUp(int16_t index, int64_t now, KeySound sound = KeySound::Sounded);

    // A computer key answers only while the keys reach the note awaited: a
    // note they cannot play is no miss of the student's.
    //
    // A note of a MIDI keyboard, any MIDI note: it has sounded already, so it
    // is only shown, on the key that plays it with the shift, if one does.
    void noteDown(int midiNote, int64_t now);
    void noteUp(int midiNote, int64_t now);

    // A note heard at the microphone, already the written note it answers
    // with: it answers from its attack (`onset`) as a key played and let go
    // would, shown on its key and never sounded. A note that began before
    // the shown note, is the program's own sound heard back, or repeats the
    // note heard last within HeldNoteMs of it (the same note held, its tail
    // heard anew in a room) is no answer; nor is anything while not
    // answering.
    static constexpr int64_t HeldNoteMs = 800;
    // Whether the note answered.
    bool heardNote(int writtenMidiNote, int64_t onset, int64_t now);

    // Octaves the computer keys' notes move by, LowestKeyboardShift to
    // HighestKeyboardShift; a value beyond them is held at the nearest.
    void setKeyboardShift(int octaves);
    int keyboardShift() const { return m_keyboardShift; }

    void timerDue(int64_t now);
    std::optional<int64_t> nextDue() const;

    // "giuste 7 su 8 · 1,4 s"; empty while not answering.
    Text scoreLabel() const;

    // The summary and the words of a wrong answer, if shown, drawn again:
    // the language or the note names changed.
    void redrawWords();
    // After a wrong answer, the words beside the red head until the next
    // note ("Hai suonato Mi4 · era Re4"); empty otherwise.
    const Text& wrongAnswerWords() const { return m_wrongWords; }

    // A note read in time, judged elsewhere, into the history as any answer.
    void appendAnswer(const AnswerRecord& record, const AnswerContext& context)
    {
        m_history.append(LocalTime::now(), record, context);
    }

    const AnswerJudge& judge() const { return m_judge; }
    const AnswerHistory& history() const { return m_history; }

private:
    void carryOut(const AnswerResult& result, int64_t now);
    void showNote(int64_t now);
    void showExamNote(int64_t now);
    void finishExam(int64_t now);
    void showSummary();
    void wipeSummary();
    void answerNote(int midiNote, int64_t now, KeySound sound, AnswerInput input, bool judged = true);
    void showWrongAnswerWords(const std::vector<int>& played, const std::vector<int>& shown);
    void wipeWrongAnswerWords();
    std::string namesOf(const std::vector<int>& notes) const;
    void pressCorrectionKey(int midiNote);
    void releaseCorrection(int midiNote, bool sounded, int64_t now);
    void speakName(int midiNote, int64_t now);
    int16_t keyOf(int midiNote) const;
    // The key the choices read in now: the chosen one, or the session's own.
    void readInKey(Key key);
    AnswerMode mode() const;
    // One answer to what was shown, into the memory.
    struct Remembered {
        std::string item;
        bool first;
        bool right;
        int64_t responseMs;
        int64_t utcMs;
    };
    void remember(const AnswerRecord& record, const LocalTime& when);
    void remember(const Remembered& answer);
    const NoteMemory& memory();

    Modulo1& m_m;
    Ports m_ports;
    Trainer& m_trainer;
    AnswerJudge m_judge;
    AnswerHistory m_history;
    bool m_active = false;
    bool m_summaryShown = false;
    std::vector<int16_t> m_correctionKeys; // the keys the correction pressed, so it releases them
    int m_keyboardShift = 0;
    // The note each computer key sounded as it went down: the shift may
    // change while a key is held, and its note-off must still match.
    std::array<int, NoteCountOnPiano> m_keyNotes {};

    PracticeChoices m_choices;
    PracticeDraw m_draw;
    ChordReview m_chordReview;
    std::mt19937 m_keyDraw;
    NoteMemory m_memory;
    std::future<NoteMemory> m_memoryReading; // valid until the memory is taken from it
    std::vector<Remembered> m_answeredWhileReading;
    DrawnNote m_shown;
    bool m_firstAnswerDue = false; // the shown note has had no answer yet
    std::optional<LocalTime> m_sessionStart;
    int m_playedMidi = -1; // the key being judged, for the words of a wrong answer
    AnswerInput m_input = AnswerInput::Keys; // what gave the answer being judged
    int64_t m_shownAt = 0;
    EchoGuard m_echo; // what the program sounds, for the microphone not to take it for answers
    std::optional<std::pair<int, int64_t>> m_lastHeard; // the note heard last and its attack
    Text m_wrongWords;
    // Played, shown: the MIDI notes the words name.
    std::optional<std::pair<std::vector<int>, std::vector<int>>> m_wrongAnswer;
    std::vector<SpelledNote> m_chord; // the interval or chord shown, low to high; empty for one note
    std::array<float, 4> m_wrongWordsBox {}; // left, top, right, bottom in surface pixels

    std::optional<Exam> m_exam; // while an exam is being answered
    std::vector<SpelledNote> m_examNotes;
    std::string m_examTitle;
    int64_t m_examStart = 0;
    std::vector<Text> m_examLines; // the result on the staff, in place of the summary
    std::optional<FinishedExam> m_finishedExam;
};

} // namespace zintaro::compose
