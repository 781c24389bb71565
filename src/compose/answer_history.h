#pragma once

#include "compose/answer_session.h"
#include "core/pitch.h"
#include "core/translation.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zintaro::compose {

// Where the notes come from: a random draw, the scale walk of "Scala", or the
// review draw of "Ripasso".
enum class AnswerMode : uint8_t { Random, Scale, Review };

// "random", "scale", "review": the words of the history's mode column.
std::string_view answerModeWord(AnswerMode mode);

// One answer as it goes into the history: the note shown and the note
// played, as MIDI note numbers, and the milliseconds from the note appearing
// to the key going down.
struct AnswerRecord {
    AnswerMode mode = AnswerMode::Random;
    int shown = 0;
    int answered = 0;
    bool right = false;
    int64_t responseMs = 0;

    friend bool operator==(const AnswerRecord&, const AnswerRecord&) = default;
};

// A moment in local time as the history writes it, with its distance from UTC.
struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int utcOffsetMinutes = 0;

    static LocalTime now();

    // Milliseconds since 1970-01-01 UTC.
    int64_t utcMilliseconds() const;
};

// The first line of a new file. Files begun before the last three columns
// existed keep their six-column first line, and their old lines still count.
inline constexpr std::string_view AnswerHistoryHeader
    = "time,mode,shown,answered,right,response_ms,session,clef,spelled";

// What a line says beyond the judged answer: when its session began, the
// staff the note was shown on and how it was written.
struct AnswerContext {
    LocalTime sessionStart;
    Clef clef = Clef::Treble;
    SpelledNote spelled;
};

// "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:00:00.000+02:00,treble,C4",
// without the newline.
std::string answerHistoryLine(const LocalTime& when, const AnswerRecord& record, const AnswerContext& context);
// The same with `when` as the session's start, the treble staff and the
// natural or sharp spelling of the shown note.
std::string answerHistoryLine(const LocalTime& when, const AnswerRecord& record);

// One answer read back. Lines written before the last three columns existed
// have no session, clef or spelling; the accessors below fill them in.
struct AnswerHistoryRow {
    AnswerHistoryRow() = default;
    AnswerHistoryRow(int64_t utc, const AnswerRecord& answer, std::optional<int64_t> sessionUtc = {},
        std::optional<Clef> staff = {}, std::optional<SpelledNote> written = {})
        : utcMs(utc)
        , record(answer)
        , sessionUtcMs(sessionUtc)
        , clef(staff)
        , spelled(written)
    {
    }

    int64_t utcMs = 0;
    AnswerRecord record;
    std::optional<int64_t> sessionUtcMs; // the session's start, UTC milliseconds
    std::optional<Clef> clef;
    std::optional<SpelledNote> spelled; // sounds as record.shown

    // As written, or for an old line the natural or sharp name of the note.
    SpelledNote spelledNote() const { return spelled.value_or(sharpSpelling(record.shown)); }
    Clef clefOrTreble() const { return clef.value_or(Clef::Treble); }
};

// One line of the history, six or nine fields; nothing for a header or a
// damaged line (a spelling that does not sound as the shown note is damage).
std::optional<AnswerHistoryRow> parseAnswerHistoryLine(std::string_view line);

// Every answer of a history file in file order, damaged lines skipped;
// nothing read from a missing or unreadable file.
std::vector<AnswerHistoryRow> readAnswerHistory(const std::filesystem::path& file);

// A pause longer than this between two answers, or a change of mode, ends
// any session that was not complete.
inline constexpr int64_t SessionBreakMs = 10 * 60 * 1000;

// Whether `row` begins another session than `previous`, the row before it:
// lines with a session say where it starts; between old lines a change of
// mode, a pause over SessionBreakMs or a clock gone back ends one.
bool startsNewSession(const AnswerHistoryRow& row, const AnswerHistoryRow& previous);

// The best complete session in rows of the history, in file order.
//
// The file keeps answers, not sessions, so sessions are found again: a
// note's first answer is the first row after a right answer, after a row for
// another shown note, or where a new session starts (startsNewSession). A session closes with its SessionNoteCount-th
// right answer; rows left over when a break comes or the file ends make no
// complete session and are not ranked. Best is by ranksAbove.
std::optional<SessionFigures> bestSessionOf(const std::vector<AnswerHistoryRow>& rows);

// The history file of every answer. It is only ever appended to: the header
// goes in when the file is new or empty, each answer is one line flushed at
// once, and the folder is made when it is missing.
class AnswerHistory {
public:
    explicit AnswerHistory(std::filesystem::path file);

    // Appends one answer. The first failing write returns a sentence to show
    // the user; later failures return nothing, so one message is all they see.
    std::optional<Text> append(const LocalTime& when, const AnswerRecord& record, const AnswerContext& context);

    bool writeFailed() const { return m_failed; }
    const std::filesystem::path& path() const { return m_file; }

    // The best complete session in the file; damaged lines are skipped.
    std::optional<SessionFigures> bestSession() const;

private:
    bool write(const std::string& line);

    std::filesystem::path m_file;
    bool m_failed = false;
};

} // namespace zintaro::compose
