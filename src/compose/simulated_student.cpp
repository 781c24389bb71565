#include "compose/simulated_student.h"

#include "compose/practice_choices.h"

#include <algorithm>
#include <cmath>

namespace zintaro::compose {

namespace {

constexpr double Minute = 60;
constexpr double Hour = 3600;
constexpr double Day = 24 * Hour;

// ACT-R, with the values Pavlik and Anderson report for word pairs.
constexpr double DecayScale = 0.217;
constexpr double DecayFloor = 0.177;
constexpr double Threshold = -0.704;
constexpr double Noise = 0.255;
// Time between sessions counts this much (their psychological time).
constexpr double BetweenSessions = 0.025;
constexpr size_t StudiesKept = 300;

constexpr std::array<double, 5> DashWindows = { Hour, Day, 7 * Day, 30 * Day, 1e12 };
constexpr std::array<double, 5> DashRight = { 0.4, 0.35, 0.4, 0.3, 0.2 };
constexpr std::array<double, 5> DashStudied = { 0.15, 0.1, 0.1, 0.1, 0.05 };
constexpr double DashBias = -2.4;

double logistic(double x)
{
    return 1.0 / (1.0 + std::exp(-x));
}

double effectiveAge(double age)
{
    return age <= 10 * Minute ? age : 10 * Minute + BetweenSessions * (age - 10 * Minute);
}

} // namespace

std::string_view studentModelName(StudentModel model)
{
    switch (model) {
    case StudentModel::Exponential:
        return "exponential";
    case StudentModel::ActR:
        return "ACT-R";
    case StudentModel::Dash:
        return "DASH";
    case StudentModel::PowerLaw:
        return "power law";
    }
    return "";
}

SimulatedStudent::SimulatedStudent(
    StudentModel model, const std::vector<SpelledNote>& notes, Clef clef, int keys, uint32_t seed)
    : m_model(model)
    , m_guess(1.0 / std::max(keys, 1))
    , m_random(seed)
{
    std::normal_distribution<double> spread(0.0, 0.5);
    for (const SpelledNote note : notes) {
        Item item;
        item.difficulty = spread(m_random) + (needsLedgerLine(note, clef) ? 0.8 : 0.0)
            + (note.accidental != Accidental::Natural ? 0.5 : 0.0) + (note.accidental == Accidental::Flat ? 0.3 : 0.0);
        const double ease = std::exp(-item.difficulty);
        item.floor = (model == StudentModel::PowerLaw ? 60 : 90) * ease;
        item.stability = item.floor;
        m_items.push_back(item);
    }
}

double SimulatedStudent::activation(const Item& item, double atSeconds) const
{
    double sum = 0;
    for (const Study& s : item.studies)
        sum += std::pow(effectiveAge(std::max(atSeconds - s.atSeconds, 1.0)), -s.decay);
    return sum > 0 ? std::log(sum) - 0.6 * item.difficulty : -1e9;
}

double SimulatedStudent::recall(const Item& item, double atSeconds) const
{
    if (item.lastSeconds < 0)
        return 0;
    const double age = std::max(atSeconds - item.lastSeconds, 0.0);
    switch (m_model) {
    case StudentModel::Exponential:
        return std::exp(-age / item.stability);
    case StudentModel::ActR:
        return logistic((activation(item, atSeconds) - Threshold) / Noise);
    case StudentModel::Dash: {
        double x = DashBias - item.difficulty;
        for (size_t w = 0; w < DashWindows.size(); ++w) {
            int right = 0;
            int studied = 0;
            for (const Study& s : item.studies) {
                if (atSeconds - s.atSeconds <= DashWindows[w]) {
                    ++studied;
                    right += s.right ? 1 : 0;
                }
            }
            x += DashRight[w] * std::log1p(right) + DashStudied[w] * std::log1p(studied);
        }
        return logistic(x);
    }
    case StudentModel::PowerLaw:
        return 1.0 / (1.0 + age / (9.0 * item.stability));
    }
    return 0;
}

double SimulatedStudent::chanceRight(size_t note, int64_t utcMs) const
{
    const double r = recall(m_items[note], static_cast<double>(utcMs) / 1000.0);
    return m_guess + (1 - m_guess) * r;
}

void SimulatedStudent::study(Item& item, bool right, double recallBefore, double atSeconds)
{
    const double ease = std::exp(-0.5 * item.difficulty);
    switch (m_model) {
    case StudentModel::Exponential:
        item.floor *= 1.4;
        item.stability = right ? item.stability * (1.05 + 3.0 * ease * (1 - recallBefore))
                               : std::max(item.floor, 0.5 * item.stability);
        break;
    case StudentModel::PowerLaw: {
        item.floor *= 1.3;
        const double days = item.stability / Day;
        item.stability = right ? item.stability
                * (1.0 + std::exp(1.2) * ease * std::pow(days + 0.01, -0.15) * std::expm1(1 - recallBefore))
                               : std::max(item.floor, 0.3 * item.stability);
        break;
    }
    case StudentModel::ActR: {
        const double m = activation(item, atSeconds);
        item.studies.push_back({ atSeconds, DecayScale * std::exp(std::min(m, 5.0)) + DecayFloor, right });
        if (item.studies.size() > StudiesKept)
            item.studies.erase(item.studies.begin());
        break;
    }
    case StudentModel::Dash:
        item.studies.push_back({ atSeconds, 0, right });
        break;
    }
    item.lastSeconds = atSeconds;
}

bool SimulatedStudent::answer(size_t note, int64_t utcMs, int64_t correctionUtcMs)
{
    Item& item = m_items[note];
    const double at = static_cast<double>(utcMs) / 1000.0;
    const double r = recall(item, at);
    const double unit = static_cast<double>(m_random()) / 4294967296.0;
    const bool right = unit < m_guess + (1 - m_guess) * r;
    study(item, right, r, at);
    if (!right && m_model == StudentModel::ActR)
        study(item, false, r, static_cast<double>(correctionUtcMs) / 1000.0);
    return right;
}

} // namespace zintaro::compose
