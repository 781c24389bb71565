#pragma once

#include "compose/recall_replay.h"
#include "compose/study_run.h"

#include <array>
#include <string>
#include <vector>

namespace zintaro::compose {

inline constexpr std::array<int, 5> StudyLoads = { 20, 40, 60, 100, 200 };

// One cell of the comparison: a student model, a load, a range; the mean
// outcomes over the seeds with "Ripasso" and with the uniform draw.
struct StudyCell {
    StudentModel model = StudentModel::Exponential;
    int answersPerDay = 0;
    bool accidentals = false;
    StudyOutcome review;
    StudyOutcome uniform;

    // "Ripasso" at most half a point below the uniform draw, next day and
    // after a week; and where the uniform draw leaves the hardest fifth
    // between 20 % and 80 %, at least 5 points above it there.
    bool neverWorse() const;
    bool hardestHelped() const;
    bool hardestInPlay() const;
};

std::vector<StudyCell> studyTable(int seeds, int days = 28);
// The table as Markdown, one row per cell, shares in percent.
std::string studyTableText(const std::vector<StudyCell>& cells);

// The replay scores of every predictor on one student model's histories
// (varying load, eight weeks), averaged over the seeds; the fitted weights
// come from another history of the same model.
struct ReplayRow {
    StudentModel model = StudentModel::Exponential;
    std::array<ReplayScore, AllRecallPredictors.size()> scores {};
};

std::vector<ReplayRow> replayTable(int seeds);
std::string replayTableText(const std::vector<ReplayRow>& rows);

} // namespace zintaro::compose
