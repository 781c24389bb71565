#include "compose/recall_replay.h"

#include "compose/note_memory.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <string>

namespace zintaro::compose {

namespace {

constexpr double DayMs = 24.0 * 3600 * 1000;

// FSRS-6's published default weights, w0 to w20.
constexpr std::array<double, 21> Fsrs6Weights = { 0.212, 1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001, 1.8722,
    0.1666, 0.796, 1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542 };

class Fsrs6 {
public:
    double predict(const std::string& item, int64_t nowUtcMs, double fallback) const
    {
        const auto found = m_cards.find(item);
        if (found == m_cards.end())
            return fallback;
        return retrievability(daysSince(found->second, nowUtcMs), found->second.stability);
    }

    // grade: 1 again, 2 hard, 3 good.
    void review(const std::string& item, int grade, int64_t nowUtcMs)
    {
        const auto& w = Fsrs6Weights;
        const auto found = m_cards.find(item);
        if (found == m_cards.end()) {
            m_cards[item] = { w.at(static_cast<size_t>(grade - 1)), initialDifficulty(grade), nowUtcMs };
            return;
        }
        Card& card = found->second;
        const double days = daysSince(card, nowUtcMs);
        const double r = retrievability(days, card.stability);
        const double s = card.stability;
        const double d = card.difficulty;
        if (days < 1.0) {
            double growth = std::exp(w[17] * (grade - 3 + w[18])) * std::pow(s, -w[19]);
            if (grade >= 3)
                growth = std::max(growth, 1.0);
            card.stability = s * growth;
        } else if (grade == 1) {
            const double forgotten
                = w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp(w[14] * (1 - r));
            card.stability = std::min(forgotten, s);
        } else {
            const double hard = grade == 2 ? w[15] : 1.0;
            card.stability
                = s * (1 + std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) * (std::exp(w[10] * (1 - r)) - 1) * hard);
        }
        card.stability = std::max(card.stability, 0.001);
        const double change = -w[6] * (grade - 3);
        const double damped = d + change * (10 - d) / 9;
        card.difficulty = std::clamp(w[7] * initialDifficulty(4) + (1 - w[7]) * damped, 1.0, 10.0);
        card.lastUtcMs = nowUtcMs;
    }

private:
    struct Card {
        double stability;
        double difficulty;
        int64_t lastUtcMs;
    };

    static double daysSince(const Card& card, int64_t nowUtcMs)
    {
        return std::max(static_cast<double>(nowUtcMs - card.lastUtcMs), 0.0) / DayMs;
    }
    static double retrievability(double days, double stability)
    {
        const double decay = -Fsrs6Weights[20];
        const double factor = std::pow(0.9, 1 / decay) - 1;
        return std::pow(1 + factor * days / stability, decay);
    }
    static double initialDifficulty(int grade)
    {
        const auto& w = Fsrs6Weights;
        return std::clamp(w[4] - std::exp(w[5] * (grade - 1)) + 1, 1.0, 10.0);
    }

    std::map<std::string, Card> m_cards;
};

// The half-life regression with the hand weights "Ripasso" had before.
class HandHalfLife {
public:
    double predict(const std::string& item, int64_t nowUtcMs, double fallback) const
    {
        const auto found = m_traces.find(item);
        if (found == m_traces.end())
            return fallback;
        const Trace& t = found->second;
        const double exponent
            = std::clamp(std::sqrt(t.quick) + 0.4 * std::sqrt(t.slow) - 1.5 * std::sqrt(t.wrong), -12.0, 24.0);
        const double halfLife = 12.0 * 3600 * 1000 * std::exp2(exponent);
        return std::exp2(-std::max(static_cast<double>(nowUtcMs - t.lastSeenUtcMs), 0.0) / halfLife);
    }
    void answer(const std::string& item, bool right, bool slow, int64_t nowUtcMs)
    {
        Trace& t = m_traces[item];
        (right ? (slow ? t.slow : t.quick) : t.wrong) += 1;
        t.lastSeenUtcMs = nowUtcMs;
    }
    void seenAgain(const std::string& item, int64_t nowUtcMs)
    {
        const auto found = m_traces.find(item);
        if (found != m_traces.end())
            found->second.lastSeenUtcMs = nowUtcMs;
    }

private:
    struct Trace {
        double quick = 0;
        double slow = 0;
        double wrong = 0;
        int64_t lastSeenUtcMs = 0;
    };
    std::map<std::string, Trace> m_traces;
};

} // namespace

std::string_view recallPredictorName(RecallPredictor predictor)
{
    switch (predictor) {
    case RecallPredictor::RunningAverage:
        return "running average";
    case RecallPredictor::HandHalfLife:
        return "half-life, hand weights";
    case RecallPredictor::Fsrs6:
        return "FSRS-6, default weights";
    case RecallPredictor::Model:
        return "Ripasso, default weights";
    case RecallPredictor::ModelFitted:
        return "Ripasso, fitted weights";
    }
    return "";
}

ReplayScore scorePredictions(const std::vector<double>& predicted, const std::vector<bool>& right)
{
    ReplayScore score;
    score.answers = predicted.size();
    if (predicted.empty())
        return score;
    constexpr size_t Bins = 10;
    std::array<double, Bins> binPredicted {};
    std::array<double, Bins> binRight {};
    std::array<double, Bins> binCount {};
    for (size_t i = 0; i < predicted.size(); ++i) {
        const double p = std::clamp(predicted[i], 1e-4, 1 - 1e-4);
        score.logLoss -= std::log(right[i] ? p : 1 - p);
        const auto bin = std::min(static_cast<size_t>(p * Bins), Bins - 1);
        binPredicted[bin] += p;
        binRight[bin] += right[i] ? 1 : 0;
        binCount[bin] += 1;
    }
    const auto n = static_cast<double>(predicted.size());
    score.logLoss /= n;
    for (size_t bin = 0; bin < Bins; ++bin)
        score.calibration += std::abs(binPredicted[bin] - binRight[bin]) / n;
    // The area under the curve as the rank sum of the right answers, ties sharing their ranks.
    std::vector<size_t> order(predicted.size());
    std::iota(order.begin(), order.end(), size_t { 0 });
    std::sort(order.begin(), order.end(), [&predicted](size_t a, size_t b) { return predicted[a] < predicted[b]; });
    double rankSum = 0;
    double rights = 0;
    for (size_t i = 0; i < order.size();) {
        size_t j = i;
        while (j < order.size() && predicted[order[j]] == predicted[order[i]])
            ++j;
        const double rank = (static_cast<double>(i + j) + 1) / 2;
        for (size_t k = i; k < j; ++k) {
            if (right[order[k]]) {
                rankSum += rank;
                rights += 1;
            }
        }
        i = j;
    }
    const double wrongs = n - rights;
    if (rights > 0 && wrongs > 0)
        score.auc = (rankSum - rights * (rights + 1) / 2) / (rights * wrongs);
    return score;
}

ReplayScore replayScore(
    const std::vector<AnswerHistoryRow>& rows, RecallPredictor predictor, const RecallWeights& fitted)
{
    NoteMemory memory(predictor == RecallPredictor::ModelFitted ? fitted : RecallWeights::defaults());
    HandHalfLife halfLife;
    Fsrs6 fsrs;
    double rights = 1;
    double answers = 2;
    std::vector<double> predicted;
    std::vector<bool> outcomes;
    for (size_t i = 0; i < rows.size(); ++i) {
        const AnswerHistoryRow& row = rows[i];
        const std::string item = NoteMemory::itemOf(row);
        if (!NoteMemory::isFirstAnswer(rows, i)) {
            memory.seenAgain(item, row.utcMs);
            halfLife.seenAgain(item, row.utcMs);
            continue;
        }
        const double average = rights / answers;
        switch (predictor) {
        case RecallPredictor::RunningAverage:
            predicted.push_back(average);
            break;
        case RecallPredictor::HandHalfLife:
            predicted.push_back(halfLife.predict(item, row.utcMs, average));
            break;
        case RecallPredictor::Fsrs6:
            predicted.push_back(fsrs.predict(item, row.utcMs, average));
            break;
        case RecallPredictor::Model:
        case RecallPredictor::ModelFitted:
            predicted.push_back(memory.predictedRecall(item, row.utcMs));
            break;
        }
        const bool right = row.record.right;
        outcomes.push_back(right);
        const bool slow = static_cast<double>(row.record.responseMs)
            > static_cast<double>(memory.medianResponseMs()) * NoteMemory::SlowShareOfMedian;
        halfLife.answer(item, right, slow, row.utcMs);
        fsrs.review(item, right ? (slow ? 2 : 3) : 1, row.utcMs);
        memory.firstAnswer(item, right, row.record.responseMs, row.utcMs);
        rights += right ? 1 : 0;
        answers += 1;
    }
    return scorePredictions(predicted, outcomes);
}

} // namespace zintaro::compose
