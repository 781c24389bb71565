#pragma once

#include "core/pitch.h"

#include <array>
#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

namespace zintaro::compose {

// How a simulated student's memory works, each after a model of the literature:
// - Exponential: recall e^(−Δ/S) with a stability per note that grows with
//   right answers the more the note had faded (the spacing effect), falls
//   after a miss, and a floor that each study raises;
// - ActR: the activation of ACT-R with spacing-dependent decay (Pavlik and
//   Anderson), ln Σ (age_j)^(−d_j), d_j = c·e^(m_j) + a, with the time
//   between sessions counting for less;
// - Dash: a logistic over right answers and studies counted in windows of an
//   hour, a day, a week, a month and all time (Lindsey, Mozer and others);
// - PowerLaw: recall (1 + Δ/(9S))^(−1), the stability growing by a rule of
//   the FSRS kind (less for notes already stable, more for faded ones).
// Every note has its own difficulty: ledger lines and accidentals are
// harder, and each seed adds its own spread. A note not recalled is guessed
// among the keys of the range.
enum class StudentModel : uint8_t { Exponential, ActR, Dash, PowerLaw };

inline constexpr std::array AllStudentModels
    = { StudentModel::Exponential, StudentModel::ActR, StudentModel::Dash, StudentModel::PowerLaw };

std::string_view studentModelName(StudentModel model);

class SimulatedStudent {
public:
    SimulatedStudent(StudentModel model, const std::vector<SpelledNote>& notes, Clef clef, int keys, uint32_t seed);

    // The first answer to notes[note] at utcMs; the student learns from it,
    // and after a miss from the right key shown at correctionUtcMs.
    bool answer(size_t note, int64_t utcMs, int64_t correctionUtcMs);

    // The chance the first answer would be right at utcMs, guessing included.
    double chanceRight(size_t note, int64_t utcMs) const;
    double difficulty(size_t note) const { return m_items[note].difficulty; }
    size_t noteCount() const { return m_items.size(); }

private:
    struct Study {
        double atSeconds;
        double decay; // ActR
        bool right;
    };
    struct Item {
        double difficulty = 0;
        double stability = 0; // seconds
        double floor = 0; // seconds
        double lastSeconds = -1;
        std::vector<Study> studies;
    };

    double recall(const Item& item, double atSeconds) const;
    double activation(const Item& item, double atSeconds) const;
    void study(Item& item, bool right, double recallBefore, double atSeconds);

    StudentModel m_model;
    double m_guess;
    std::vector<Item> m_items;
    std::mt19937 m_random;
};

} // namespace zintaro::compose
