#pragma once

#include <array>
#include <vector>

namespace zintaro::compose {

// What is known of one written item when it is shown again: how much it was
// read right and wrong lately, and the hours since it was last seen.
//
// The two counts fade: each answer counts less as days pass, a miss faster
// than a right answer (RightFadeDays, WrongFadeDays), so a note learned
// again leaves the front within a few sessions and a note learned long ago
// and never practised since slowly counts as unknown again.
struct RecallEvidence {
    double right = 0;
    double wrong = 0;
    double hoursSinceSeen = 0;
};

inline constexpr double RightFadeDays = 10.0;
inline constexpr double WrongFadeDays = 2.0;
// How long ago an item never seen counts as seen, for the curve below.
inline constexpr double NeverSeenHours = 24.0 * 60;

// The weights of the curve
//   p = σ(w₀ + w₁·ln(1+right) + w₂·ln(1+wrong) + (w₃ + w₄·ln(1+right))·ln(1+hours)),
// a logistic model over fading counts (as the DASH family) with power-law
// forgetting whose pace slows as right answers pile up.
struct RecallWeights {
    std::array<double, 5> w {};

    // Fitted on the simulated students' pooled histories; see the README.
    static RecallWeights defaults();
};

std::array<double, 5> recallFeatures(const RecallEvidence& evidence);
double predictRecall(const RecallWeights& weights, const RecallEvidence& evidence);

// One first answer and what was known just before it.
struct RecallExample {
    std::array<float, 5> features {};
    bool right = false;
};

RecallExample recallExample(const RecallEvidence& evidence, bool right);

// The weights of greatest likelihood for the examples, pulled toward
// `prior` so that a few hundred answers cannot send them far (Newton's
// method on the penalised log loss; a handful of passes).
RecallWeights fitRecallWeights(const std::vector<RecallExample>& examples, const RecallWeights& prior);

// The mean log loss of the weights on the examples.
double recallLogLoss(const std::vector<RecallExample>& examples, const RecallWeights& weights);

} // namespace zintaro::compose
