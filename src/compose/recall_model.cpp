#include "compose/recall_model.h"

#include <algorithm>
#include <cmath>

namespace zintaro::compose {

namespace {

constexpr size_t Count = 5;
constexpr int MostPasses = 12;
// The pull toward the prior: as much as this many answers' worth of curvature.
constexpr double PriorStrength = 20.0;
constexpr double Smallest = 1e-6;

double logistic(double x)
{
    return 1.0 / (1.0 + std::exp(-x));
}

template<class Features> double dot(const RecallWeights& weights, const Features& x)
{
    double sum = 0;
    for (size_t i = 0; i < Count; ++i)
        sum += weights.w[i] * static_cast<double>(x[i]);
    return sum;
}

// Solves a·d = b in place by elimination with partial pivoting; false when singular.
bool solve(std::array<std::array<double, Count>, Count>& a, std::array<double, Count>& b)
{
    for (size_t col = 0; col < Count; ++col) {
        size_t pivot = col;
        for (size_t row = col + 1; row < Count; ++row) {
            if (std::abs(a[row][col]) > std::abs(a[pivot][col]))
                pivot = row;
        }
        if (std::abs(a[pivot][col]) < 1e-12)
            return false;
        std::swap(a[pivot], a[col]);
        std::swap(b[pivot], b[col]);
        for (size_t row = col + 1; row < Count; ++row) {
            const double factor = a[row][col] / a[col][col];
            for (size_t k = col; k < Count; ++k)
                a[row][k] -= factor * a[col][k];
            b[row] -= factor * b[col];
        }
    }
    for (size_t col = Count; col-- > 0;) {
        for (size_t k = col + 1; k < Count; ++k)
            b[col] -= a[col][k] * b[k];
        b[col] /= a[col][col];
    }
    return true;
}

} // namespace

RecallWeights RecallWeights::defaults()
{
    return { { 1.458, 0.983, -1.338, -0.875, 0.114 } };
}

std::array<double, 5> recallFeatures(const RecallEvidence& evidence)
{
    const double right = std::log1p(std::max(evidence.right, 0.0));
    const double hours = std::log1p(std::clamp(evidence.hoursSinceSeen, 0.0, 24.0 * 365 * 10));
    return { 1.0, right, std::log1p(std::max(evidence.wrong, 0.0)), hours, hours * right };
}

double predictRecall(const RecallWeights& weights, const RecallEvidence& evidence)
{
    return logistic(dot(weights, recallFeatures(evidence)));
}

RecallExample recallExample(const RecallEvidence& evidence, bool right)
{
    RecallExample example;
    const auto features = recallFeatures(evidence);
    for (size_t i = 0; i < Count; ++i)
        example.features[i] = static_cast<float>(features[i]);
    example.right = right;
    return example;
}

RecallWeights fitRecallWeights(const std::vector<RecallExample>& examples, const RecallWeights& prior)
{
    RecallWeights weights = prior;
    for (int pass = 0; pass < MostPasses; ++pass) {
        std::array<double, Count> gradient {};
        std::array<std::array<double, Count>, Count> curvature {};
        for (size_t i = 0; i < Count; ++i) {
            gradient[i] = PriorStrength * 0.25 * (weights.w[i] - prior.w[i]);
            curvature[i][i] = PriorStrength * 0.25;
        }
        for (const RecallExample& example : examples) {
            const double p = logistic(dot(weights, example.features));
            const double error = p - (example.right ? 1.0 : 0.0);
            const double slope = std::max(p * (1 - p), Smallest);
            for (size_t i = 0; i < Count; ++i) {
                const auto xi = static_cast<double>(example.features[i]);
                gradient[i] += error * xi;
                for (size_t k = i; k < Count; ++k)
                    curvature[i][k] += slope * xi * static_cast<double>(example.features[k]);
            }
        }
        for (size_t i = 0; i < Count; ++i) {
            for (size_t k = 0; k < i; ++k)
                curvature[i][k] = curvature[k][i];
        }
        if (!solve(curvature, gradient))
            return prior;
        double step = 0;
        for (size_t i = 0; i < Count; ++i) {
            weights.w[i] -= gradient[i];
            step = std::max(step, std::abs(gradient[i]));
        }
        if (step < 1e-4)
            break;
    }
    return weights;
}

double recallLogLoss(const std::vector<RecallExample>& examples, const RecallWeights& weights)
{
    if (examples.empty())
        return 0;
    double loss = 0;
    for (const RecallExample& example : examples) {
        const double p = std::clamp(logistic(dot(weights, example.features)), 1e-4, 1 - 1e-4);
        loss -= std::log(example.right ? p : 1 - p);
    }
    return loss / static_cast<double>(examples.size());
}

} // namespace zintaro::compose
