#pragma once

#include "compose/answer_history.h"
#include "compose/answer_session.h"
#include "compose/practice_choices.h"
#include "core/pitch.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zintaro::compose {

// A note of a staff: how often its first answer was right, and how fast.
struct NoteProgress {
    SpelledNote note;
    int firstAnswers = 0;
    int rightAtFirstTry = 0;
    std::optional<int64_t> medianResponseMs; // of its first answers

    // Right at the first try in proportion; nothing when never seen.
    std::optional<double> share() const;
};

// Every note of a clef's range, low to high: the naturals of the range (the
// trainer's default for the clef, widened to every note seen) and the
// accidentals seen.
struct StaffProgress {
    Clef clef = Clef::Treble;
    std::vector<NoteProgress> notes;
};

// A note played in time is on time within this distance from its beat.
inline constexpr int OnTimeMs = 100;

struct DayProgress {
    int day = 0; // days since 1970-01-01, local
    int notes = 0; // first answers
    int rightAtFirstTry = 0;
    int notesDone = 0; // answered right at last
    int64_t practiceMs = 0; // from each note appearing to its answer
    int timedNotes = 0; // notes to play in time, those never played too
    int onTime = 0;
    int onsetsHeard = 0; // notes played in time with an onset error
    int64_t onsetErrorMs = 0; // their distances from the beat, added up

    double share() const { return notes > 0 ? double(rightAtFirstTry) / notes : 0.0; }
    // Nothing when the day's answers took no measurable time.
    std::optional<double> notesPerMinute() const;
    // Nothing on a day without notes to play in time, or none played.
    std::optional<double> onTimeShare() const;
    std::optional<double> meanOnsetErrorMs() const;
};

// A note shown and the note played in its place.
struct Confusion {
    SpelledNote shown;
    SpelledNote played;
    int count = 0;
};

inline constexpr int ProgressDays = 30;
inline constexpr std::size_t ProgressMistakes = 5;

struct ProgressFigures {
    int today = 0; // the local day the figures were made on
    int answers = 0; // lines read
    int damagedLines = 0;
    std::vector<StaffProgress> staves; // treble, bass, grand, those practised
    std::vector<DayProgress> recentDays; // the last ProgressDays days with answers, oldest first
    std::vector<Confusion> mistakes; // most frequent first
    int daysPractised = 0;
    int notesAnswered = 0;
    int sessionsComplete = 0;
    int currentRunOfDays = 0; // consecutive days up to today, or up to yesterday while today is still to come
    std::optional<SessionFigures> bestSession;
    // How far notes played in time fell from the beat on average, negative
    // when early; nothing when none was played.
    std::optional<int> meanOnsetMs;
    int examsTaken = 0; // exams' results in the history, which are not answers
    int examsPassed = 0;
};

// Builds the figures one line at a time, in file order.
class ProgressCounter {
public:
    // `ranges`: each clef's range chosen in "Estensione…", shown whole on
    // its staff, widened to any note seen beyond it.
    explicit ProgressCounter(int today, const std::array<NoteRange, 3>& ranges = FirstRanges);

    // A line of the history file: the header, an answer, or a damaged line.
    void addLine(std::string_view line);
    void add(const storage::AnswerLogLine& line);
    // An answer given on a day (days since 1970-01-01, in the time it was written in).
    void add(const AnswerHistoryRow& answer, int localDay);
    ProgressFigures finish();

private:
    struct NoteTally {
        int firstAnswers = 0;
        int rightAtFirstTry = 0;
        std::vector<int64_t> times;
    };
    struct ConfusionTally {
        SpelledNote shown;
        int played = 0;
        int count = 0;
    };
    using SeenNotes = std::vector<std::pair<SpelledNote, NoteTally>>;

    DayProgress& dayFor(int localDay);
    void countFirstAnswer(const AnswerHistoryRow& answer, DayProgress& day);
    void countRightAnswer(DayProgress& day);
    void countMistake(const AnswerHistoryRow& answer);
    void countTiming(const AnswerHistoryRow& answer, DayProgress& day);
    void closeSession();
    StaffProgress staffProgress(Clef clef, const SeenNotes& seen) const;
    void finishDays(ProgressFigures& figures);
    void finishMistakes(ProgressFigures& figures);

    ProgressFigures m_figures;
    std::array<NoteRange, 3> m_ranges;
    storage::AnswerLogLines m_lines;
    std::array<SeenNotes, 3> m_notes; // by clef
    std::vector<DayProgress> m_days; // in order of first answer
    std::vector<ConfusionTally> m_confusions;
    std::optional<AnswerHistoryRow> m_previous;
    std::vector<int64_t> m_sessionTimes;
    int m_sessionRight = 0;
    int m_sessionDone = 0;
    int64_t m_noteMs = 0; // the longest answer so far to the note shown
    int m_onsets = 0;
    int64_t m_onsetSumMs = 0;
};

// The figures of a history file; a missing file gives empty figures.
ProgressFigures readProgress(std::istream& in, int today, const std::array<NoteRange, 3>& ranges = FirstRanges);
ProgressFigures readProgress(
    const std::filesystem::path& file, int today, const std::array<NoteRange, 3>& ranges = FirstRanges);

// Days since 1970-01-01 of a calendar date.
int dayNumber(int year, int month, int day);
struct CalendarDate {
    int year = 1970;
    int month = 1;
    int day = 1;
};
CalendarDate calendarDate(int dayNumber);

// How a first-try share is coloured on the staff: red under 50 %, from
// orange at 50 % through yellow to green from 90 %; grey when the note was
// never seen.
struct ShareColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const ShareColour&, const ShareColour&) = default;
};
ShareColour shareColour(std::optional<double> share);

} // namespace zintaro::compose
