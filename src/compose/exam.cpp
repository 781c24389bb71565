#include "compose/exam.h"

#include <utility>

namespace zintaro::compose {

Exam::Exam(std::vector<int> notePositions, const storage::ExerciseSettings& settings)
    : m_positions(std::move(notePositions))
    , m_settings(settings)
{
    for (const int position : m_positions)
        m_asked.push_back({ position, false });
}

Exam Exam::of(const storage::ParsedExercise& exercise)
{
    std::vector<int> notes;
    const auto& entries = exercise.piece.entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].RestFlag == False16)
            notes.push_back(static_cast<int>(i));
    return { std::move(notes), exercise.settings };
}

std::optional<ExamQuestion> Exam::next() const
{
    if (m_current >= m_asked.size())
        return std::nullopt;
    return m_asked[m_current];
}

void Exam::answer(ExamAnswer given)
{
    const std::optional<ExamQuestion> asked = next();
    if (!asked)
        return;
    ++m_current;
    if (asked->again)
        return;
    const bool counts = given.right && (m_settings.mode == storage::ExerciseMode::SingleNotes || given.onTime);
    m_rightFirstTime += given.right ? 1 : 0;
    m_counted += counts ? 1 : 0;
    if (!counts)
        m_missed.push_back(asked->position);
    // The rounds again begin once the last note of the pass is answered.
    if (m_current == m_positions.size())
        for (int round = 0; round < m_settings.repeats; ++round)
            for (const int position : m_missed)
                m_asked.push_back({ position, true });
}

ExamResult Exam::result() const
{
    ExamResult r;
    r.notes = static_cast<int>(m_positions.size());
    r.rightFirstTime = m_rightFirstTime;
    r.counted = m_counted;
    r.passMark = m_settings.passMark;
    // Whole numbers, so that 79.6 % never passes a mark of 80 %.
    r.percent = r.notes == 0 ? 0 : r.counted * 100 / r.notes;
    r.passed = finished() && r.notes > 0 && r.counted * 100 >= r.passMark * r.notes;
    r.verdict = r.passed ? translate("Exam", "Superato") : translate("Exam", "Non superato");
    if (m_settings.mode == storage::ExerciseMode::InTime)
        r.summary = translate(
            "Exam", "Giuste al primo tentativo e a tempo: %1 su %2 (%3 %); giuste ma fuori tempo: %4. Soglia: %5 %.")
                        .arg(r.counted)
                        .arg(r.notes)
                        .arg(r.percent)
                        .arg(r.rightFirstTime - r.counted)
                        .arg(r.passMark);
    else
        r.summary = translate("Exam", "Giuste al primo tentativo: %1 su %2 (%3 %). Soglia: %4 %.")
                        .arg(r.counted)
                        .arg(r.notes)
                        .arg(r.percent)
                        .arg(r.passMark);
    return r;
}

} // namespace zintaro::compose
