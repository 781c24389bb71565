#pragma once

#include "compose/answer_session.h"
#include "core/translation.h"
#include "storage/answers_log.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zintaro::compose {

using storage::AnswerContext;
using storage::AnswerHistoryRow;
using storage::AnswerInput;
using storage::AnswerMode;
using storage::AnswerRecord;
using storage::LocalTime;

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

    // Appends one answer. An answer that cannot be written waits in memory
    // and goes in, in order and once, before the next one; while any waits
    // the sentence that says why stands, and append returns it.
    std::optional<Text> append(const LocalTime& when, const AnswerRecord& record, const AnswerContext& context);

    const std::optional<Text>& failure() const { return m_failure; }
    bool writeFailed() const { return m_failure.has_value(); }
    const std::filesystem::path& path() const { return m_file; }

    // The best complete session in the file; damaged lines are skipped.
    std::optional<SessionFigures> bestSession() const;

private:
    std::filesystem::path m_file;
    std::deque<std::string> m_waiting; // answers not written yet, oldest first
    std::optional<Text> m_failure;
};

} // namespace zintaro::compose
