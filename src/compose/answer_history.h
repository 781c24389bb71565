#pragma once

#include "compose/answer_session.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zintaro::compose {

// Where the notes come from: a random draw, or the scale walk of "Scala".
enum class AnswerMode : uint8_t { Random, Scale };

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

inline constexpr std::string_view AnswerHistoryHeader = "time,mode,shown,answered,right,response_ms";

// "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375", without the newline.
std::string answerHistoryLine(const LocalTime& when, const AnswerRecord& record);

struct AnswerHistoryRow {
    int64_t utcMs = 0;
    AnswerRecord record;
};

// One line of the history; nothing for the header or a damaged line.
std::optional<AnswerHistoryRow> parseAnswerHistoryLine(std::string_view line);

// A pause longer than this between two answers, or a change of mode, ends
// any session that was not complete.
inline constexpr int64_t SessionBreakMs = 10 * 60 * 1000;

// The best complete session in rows of the history, in file order.
//
// The file keeps answers, not sessions, so sessions are found again: a
// note's first answer is the first row after a right answer, after a row for
// another shown note, or after a break (mode changed, or more than
// SessionBreakMs of silence). A session closes with its SessionNoteCount-th
// right answer; rows left over when a break comes or the file ends make no
// complete session and are not ranked. Best is by ranksAbove.
std::optional<SessionFigures> bestSessionOf(const std::vector<AnswerHistoryRow>& rows);

// $XDG_DATA_HOME/zintaro/answers.csv, or ~/.local/share/zintaro/answers.csv
// when XDG_DATA_HOME is unset, empty or not absolute; empty without a home.
std::filesystem::path answerHistoryPath(const char* xdgDataHome, const char* home);

// answerHistoryPath from the environment of the program.
std::filesystem::path answerHistoryPathFromEnvironment();

// The history file of every answer. It is only ever appended to: the header
// goes in when the file is new or empty, each answer is one line flushed at
// once, and the folder is made when it is missing.
class AnswerHistory {
public:
    explicit AnswerHistory(std::filesystem::path file);

    // Appends one answer. The first failing write returns a sentence to show
    // the user; later failures return nothing, so one message is all they see.
    std::optional<std::string> append(const LocalTime& when, const AnswerRecord& record);

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
