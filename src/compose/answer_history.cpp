#include "compose/answer_history.h"

#include "core/translation.h"
#include "storage/log_file.h"
#include "storage/write_failure.h"

namespace zintaro::compose {

namespace {

// The figures of a finished stretch of first answers.
class SessionCounter {
public:
    void firstAnswer(const AnswerRecord& record)
    {
        times.push_back(record.responseMs);
        if (record.right)
            ++rightAtFirstTry;
    }
    SessionFigures figures() const
    {
        return { static_cast<int>(times.size()), rightAtFirstTry, medianOf(times).value_or(0) };
    }

    std::vector<int64_t> times;
    int rightAtFirstTry = 0;
    int notesDone = 0;
};

} // namespace

bool startsNewSession(const AnswerHistoryRow& row, const AnswerHistoryRow& previous)
{
    if (row.sessionUtcMs || previous.sessionUtcMs)
        return row.sessionUtcMs != previous.sessionUtcMs;
    return row.record.mode != previous.record.mode || row.utcMs - previous.utcMs > SessionBreakMs
        || row.utcMs < previous.utcMs;
}

std::optional<SessionFigures> bestSessionOf(const std::vector<AnswerHistoryRow>& rows)
{
    std::optional<SessionFigures> best;
    SessionCounter session;
    const AnswerHistoryRow* previous = nullptr;
    for (const auto& row : rows) {
        const bool breaks = previous && startsNewSession(row, *previous);
        if (breaks)
            session = {};
        const bool first = !previous || breaks || previous->record.right || previous->record.shown != row.record.shown;
        if (first)
            session.firstAnswer(row.record);
        if (row.record.right && ++session.notesDone == SessionNoteCount) {
            const SessionFigures figures = session.figures();
            if (!best || ranksAbove(figures, *best))
                best = figures;
            session = {};
        }
        previous = &row;
    }
    return best;
}

AnswerHistory::AnswerHistory(std::filesystem::path file)
    : m_file(std::move(file))
{
}

std::optional<Text> AnswerHistory::append(
    const LocalTime& when, const AnswerRecord& record, const AnswerContext& context)
{
    if (m_file.empty()) {
        m_failure = translate("Answers", "Le risposte non vengono salvate: manca la cartella dei dati");
        return m_failure;
    }
    m_waiting.push_back(storage::answerHistoryLine(when, record, context));
    while (!m_waiting.empty()) {
        if (const int error = storage::appendLogLine(m_file, storage::AnswerHistoryHeader, m_waiting.front())) {
            m_failure = storage::writeFailureText(storage::WrittenFile::Answers, error);
            return m_failure;
        }
        m_waiting.pop_front();
    }
    m_failure.reset();
    return std::nullopt;
}

std::optional<SessionFigures> AnswerHistory::bestSession() const
{
    return bestSessionOf(storage::readAnswerHistory(m_file));
}

} // namespace zintaro::compose
