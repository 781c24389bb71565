#pragma once

#include "core/pitch.h"
#include "core/translation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zintaro::compose {

// Notes in one answering session: after the last one is answered right the
// staff shows the summary.
inline constexpr int SessionNoteCount = 20;

// The figures that rank sessions: notes answered, right at the first try,
// and the median time of the first answers.
struct SessionFigures {
    int notes = 0;
    int rightAtFirstTry = 0;
    int64_t medianResponseMs = 0;

    // Whole percent, rounded half up; 0 without notes.
    int percentRight() const;
};

// True when `a` ranks above `b`: more right at the first try in proportion,
// then the lower median time.
bool ranksAbove(const SessionFigures& a, const SessionFigures& b);

// The median of response times (the mean of the middle two, rounded down,
// for an even count);
// nothing for none.
std::optional<int64_t> medianOf(std::vector<int64_t> times);

// Milliseconds as seconds with one decimal and a decimal comma: 1449 → "1,4 s".
Text secondsText(int64_t ms);

// The figures of the session being answered. Only the first answer to each
// note counts; a note counts as missed when its first answer was wrong.
class AnswerSession {
public:
    // A note appears; the first one starts the session's clock.
    void noteShown(int64_t now);

    // The first answer to a note, right or not, `responseMs` after it appeared.
    void firstAnswer(SpelledNote shown, bool right, int64_t responseMs);
    // The same for a note written as the natural or sharp of a MIDI note.
    void firstAnswer(int shownMidiNote, bool right, int64_t responseMs);
    // The same for an interval or chord, its notes low to high.
    void firstAnswer(const std::vector<SpelledNote>& shown, bool right, int64_t responseMs);

    // A note answered right at last; it stops the session's clock.
    void answeredRight(int64_t now);

    int notes() const { return static_cast<int>(m_responseMs.size()); }
    int rightAtFirstTry() const { return m_rightAtFirstTry; }
    int notesDone() const { return m_notesDone; }
    bool complete() const { return m_notesDone >= SessionNoteCount; }

    SessionFigures figures() const;
    std::optional<int64_t> medianResponseMs() const { return medianOf(m_responseMs); }

    // Notes answered right per minute of the session, rounded; nothing before
    // the first right answer.
    std::optional<int> notesPerMinute() const;

    // Up to `count` written notes, intervals or chords missed at the first
    // try, most often first, ties by the lower note (a sharp before the flat
    // of its key).
    std::vector<std::vector<SpelledNote>> mostMissed(size_t count = 3) const;

    // "giuste 7 su 8 · 1,4 s"; "giuste 0 su 0" before the first answer.
    Text scoreLabel() const;

    // The lines the staff shows when the session is complete. The best
    // session is the better of this one and `bestFromHistory`.
    std::vector<Text> summaryLines(
        const std::optional<SessionFigures>& bestFromHistory, NoteNaming naming = NoteNaming::Solfege) const;

private:
    std::vector<int64_t> m_responseMs;
    int m_rightAtFirstTry = 0;
    int m_notesDone = 0;
    std::optional<int64_t> m_startedAt;
    int64_t m_lastRightAt = 0;
    std::vector<std::pair<std::vector<SpelledNote>, int>> m_missed; // notes shown, times missed
};

// "Fa", "Sol#", … (or "F", "G#", … in letters) for a MIDI note on the
// piano; the number otherwise.
std::string noteNameOfMidi(int midiNote, NoteNaming naming = NoteNaming::Solfege);

} // namespace zintaro::compose
