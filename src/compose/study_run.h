#pragma once

#include "compose/answer_history.h"
#include "compose/simulated_student.h"

#include <cstdint>
#include <vector>

namespace zintaro::compose {

// Weeks of practice of one simulated student: every day one sitting of
// answersPerDay notes in sessions of SessionNoteCount, drawn by "Ripasso" or
// without it, on the first treble range, with "Alterazioni" or not.
struct StudyPlan {
    StudentModel model = StudentModel::Exponential;
    bool review = true;
    bool accidentals = false;
    int answersPerDay = 20;
    int days = 28;
    // Each day's count drawn among 0, 20, 40, 60, 100 and 200 instead.
    bool varyingLoad = false;
    uint32_t seed = 1;
};

// The share of the range read right at the first try (guesses included),
// a day after the last sitting and after a week away; the same for the
// fifth of the notes that are hardest for this student.
struct StudyOutcome {
    double nextDay = 0;
    double weekAway = 0;
    double hardestNextDay = 0;
    double hardestWeekAway = 0;
    // Every answer as the history would hold it, when asked for.
    std::vector<AnswerHistoryRow> rows;
};

StudyOutcome runStudy(const StudyPlan& plan, bool keepRows = false);

} // namespace zintaro::compose
