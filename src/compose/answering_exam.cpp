#include "compose/answering.h"
#include "compose/trainer.h"
#include "staff/staff_surface.h"

#include <utility>

// The exam of an exercise, answered as the trainer's notes are: the piece's
// notes in order, the missed ones again, then the result on the staff.
namespace zintaro::compose {

void Answering::startExam(Exam exam, std::vector<SpelledNote> notes, std::string title, int64_t startedAt, int64_t now)
{
    m_exam = std::move(exam);
    m_examNotes = std::move(notes);
    m_examTitle = std::move(title);
    m_examStart = startedAt;
    m_examLines.clear();
    start(now);
}

void Answering::showExamNote(int64_t now)
{
    const std::optional<ExamQuestion> asked = m_exam->next();
    if (!asked) {
        finishExam(now);
        return;
    }
    m_chord.clear();
    m_trainer.showDrawnNote({ m_examNotes.at(static_cast<std::size_t>(asked->position)), m_trainer.clef() });
    m_shown = m_trainer.shown();
    m_shownAt = now;
    m_firstAnswerDue = true;
    if (!m_sessionStart)
        m_sessionStart = LocalTime::now();
    // The piece's notes, whatever "Scala" says.
    carryOut(m_judge.noteShown(m_shown.note, now, AnswerMode::Random), now);
}

void Answering::finishExam(int64_t now)
{
    const ExamResult result = m_exam->result();
    const bool inTime = m_exam->inTime();
    m_exam.reset();
    m_examLines = { result.verdict, result.summary };
    showSummary();

    // The percent stands where a line's shown note does, spelled so that
    // the line reads back as any other.
    const LocalTime when = LocalTime::now();
    const AnswerRecord record { AnswerMode::Exam, result.percent, result.passMark, result.passed, now - m_examStart };
    AnswerContext context { m_sessionStart.value_or(when), Clef::Treble, sharpSpelling(result.percent) };
    context.title = m_examTitle;
    m_history.append(when, record, context);
    m_sessionStart.reset();
    m_finishedExam = FinishedExam { result, m_examTitle, inTime };
}

} // namespace zintaro::compose
