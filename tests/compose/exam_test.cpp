#include "compose/exam.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zintaro::compose {
namespace {

using storage::ExerciseMode;

// Answers: R right on time, L right but late, W wrong; first the pass over
// the piece, then the notes asked again.
struct ExamCase {
    const char* what;
    ExerciseMode mode;
    int repeats;
    int passMark;
    const char* answers;
    std::vector<int> asked;
    int percent;
    bool passed;
};

TEST(Exam, missedNotesAreAskedAgainAfterThePassAndOnlyFirstTriesCount)
{
    const ExamCase cases[] = {
        { "below the mark", ExerciseMode::SingleNotes, 0, 80, "RRRW", { 0, 1, 2, 3 }, 75, false },
        { "exactly the mark", ExerciseMode::SingleNotes, 0, 80, "RRRRW", { 0, 1, 2, 3, 4 }, 80, true },
        { "two thirds is below 67 %", ExerciseMode::SingleNotes, 0, 67, "RRW", { 0, 1, 2 }, 66, false },
        { "each miss once more; a right retry changes nothing", ExerciseMode::SingleNotes, 1, 50, "WRWRRR",
            { 0, 1, 2, 3, 0, 2 }, 50, true },
        { "two rounds, a miss in a round asks no more", ExerciseMode::SingleNotes, 2, 80, "WRRRWW",
            { 0, 1, 2, 3, 0, 0 }, 75, false },
        { "late counts as missed in time", ExerciseMode::InTime, 1, 75, "RLRRR", { 0, 1, 2, 3, 1 }, 75, true },
        { "late is right note by note", ExerciseMode::SingleNotes, 1, 100, "RLRR", { 0, 1, 2, 3 }, 100, true },
        { "late and wrong in time", ExerciseMode::InTime, 1, 50, "LWRRLL", { 0, 1, 2, 3, 0, 1 }, 50, true },
    };
    for (const ExamCase& c : cases) {
        SCOPED_TRACE(c.what);
        storage::ExerciseSettings settings;
        settings.mode = c.mode;
        settings.repeats = c.repeats;
        settings.passMark = c.passMark;
        const std::string answers = c.answers;
        // The piece's notes are at 0, 1, 2, …: the first pass asks them in order.
        std::vector<int> positions;
        for (std::size_t i = 0; i < answers.size() && i < c.asked.size(); ++i)
            if (c.asked[i] == static_cast<int>(i))
                positions.push_back(c.asked[i]);
        Exam exam(positions, settings);
        std::vector<int> asked;
        for (const char a : answers) {
            ASSERT_TRUE(exam.next());
            asked.push_back(exam.next()->position);
            EXPECT_EQ(exam.next()->again, asked.size() > positions.size());
            exam.answer({ a != 'W', a == 'R' });
        }
        EXPECT_TRUE(exam.finished());
        EXPECT_EQ(asked, c.asked);
        const ExamResult r = exam.result();
        EXPECT_EQ(r.percent, c.percent);
        EXPECT_EQ(r.passed, c.passed);
        EXPECT_EQ(r.verdict.render(), c.passed ? "Superato" : "Non superato");
    }
}

TEST(Exam, aSimulatedStudentSitsAnExerciseWithRests)
{
    // Eight notes and two rests; the student misses Sol (note 18) the first
    // time and plays the sixth note late.
    const auto reading = storage::readExerciseText("Zintaro exercise 1\nmode: in time\npass mark: 75\nrepeats: 2\n"
                                                   "piece:\n\"_\",0,14,2\n\"_\",0,15,2\n\"_\",-1,0,2\n\"_\",0,16,2\n"
                                                   "\"_\",0,17,2\n\"_\",0,18,2\n\"_\",0,19,2\n\"_\",-1,0,2\n"
                                                   "\"_\",0,20,2\n\"_\",0,21,2\n");
    ASSERT_TRUE(reading.exercise);
    Exam exam = Exam::of(*reading.exercise);
    std::vector<ExamQuestion> asked;
    std::vector<bool> sol;
    for (int answered = 0; exam.next(); ++answered) {
        const ExamQuestion q = *exam.next();
        asked.push_back(q);
        const int note = reading.exercise->piece.entries.at(std::size_t(q.position)).NoteIndex;
        exam.answer({ note != 18 || q.again, answered != 5 });
        if (answered == 3) {
            EXPECT_FALSE(exam.result().passed) << "an exam not finished has not passed";
        }
    }
    const std::vector<ExamQuestion> expected { { 0, false }, { 1, false }, { 3, false }, { 4, false }, { 5, false },
        { 6, false }, { 8, false }, { 9, false }, { 5, true }, { 6, true }, { 5, true }, { 6, true } };
    EXPECT_EQ(asked, expected);
    const ExamResult r = exam.result();
    EXPECT_EQ(r.verdict.render(), "Superato");
    EXPECT_EQ(r.summary.render(),
        "Giuste al primo tentativo e a tempo: 6 su 8 (75 %); giuste ma fuori tempo: 1. Soglia: 75 %.");
}

} // namespace
} // namespace zintaro::compose
