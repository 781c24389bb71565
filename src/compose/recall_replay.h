#pragma once

#include "compose/answer_history.h"
#include "compose/recall_model.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace zintaro::compose {

// The ways of predicting a first answer that the replay compares:
// - RunningAverage: the share of first answers right so far, every note alike;
// - HandHalfLife: the half-life regression with hand-set weights that
//   "Ripasso" used before;
// - Fsrs6: the FSRS-6 scheduler's memory model with its published default
//   weights (quick right as Good, slow right as Hard, a miss as Again);
// - Model: the memory of "Ripasso" (NoteMemory) with its default weights;
// - ModelFitted: the same with weights fitted beforehand on another history.
enum class RecallPredictor : uint8_t { RunningAverage, HandHalfLife, Fsrs6, Model, ModelFitted };

inline constexpr std::array AllRecallPredictors = { RecallPredictor::RunningAverage, RecallPredictor::HandHalfLife,
    RecallPredictor::Fsrs6, RecallPredictor::Model, RecallPredictor::ModelFitted };

std::string_view recallPredictorName(RecallPredictor predictor);

// How well the predictions of every first answer, each made before it was
// seen, matched: mean log loss, the area under the ROC curve, and the
// calibration error (the answers' weighted mean gap between predicted and
// actual share, in ten bins of prediction).
struct ReplayScore {
    double logLoss = 0;
    double auc = 0.5;
    double calibration = 0;
    size_t answers = 0;
};

// Replays the rows in time order as NoteMemory::fromHistory reads them.
ReplayScore replayScore(
    const std::vector<AnswerHistoryRow>& rows, RecallPredictor predictor, const RecallWeights& fitted = {});

// The score of predictions against what happened.
ReplayScore scorePredictions(const std::vector<double>& predicted, const std::vector<bool>& right);

} // namespace zintaro::compose
