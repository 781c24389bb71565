#pragma once

#include "core/translation.h"
#include "storage/exercise_file.h"

#include <optional>
#include <string>
#include <vector>

namespace zintaro::compose {

// One answer of the student to the note asked: right or not, and in
// "A tempo" whether it came on time.
struct ExamAnswer {
    bool right = false;
    bool onTime = true;
};

// A note the exam asks: its position in the piece, and whether it is asked
// again after a miss (only first tries count in the result).
struct ExamQuestion {
    int position = 0;
    bool again = false;

    friend bool operator==(const ExamQuestion&, const ExamQuestion&) = default;
};

// The figures of a finished (or stopped) exam and what they say.
struct ExamResult {
    int notes = 0; // the notes of the piece
    int rightFirstTime = 0; // right at the first try (in "A tempo", on time or late)
    int counted = 0; // those that count: right at the first try, and on time in "A tempo"
    int percent = 0; // counted of notes, rounded down so that it never shows a pass that is not
    int passMark = 0;
    bool passed = false;
    Text verdict; // "Superato" or "Non superato"
    Text summary;
};

// An exam at its end, as the window offers its certificate.
struct FinishedExam {
    ExamResult result;
    std::string title;
    bool inTime = false;
};

// The exam of an exercise: the rules only, as data in and out. The piece's
// notes are asked in order, its rests skipped; then each note missed at the
// first try (wrong, or late in "A tempo") is asked again, as many rounds as
// the exercise's repeats, in the order of the piece. A miss in a round
// again asks for nothing more.
class Exam {
public:
    Exam(std::vector<int> notePositions, const storage::ExerciseSettings& settings);
    static Exam of(const storage::ParsedExercise& exercise);

    // The note to answer now; nothing once the exam is over.
    std::optional<ExamQuestion> next() const;
    // The answer to the note of next(); nothing happens once the exam is over.
    void answer(ExamAnswer given);
    bool finished() const { return !next(); }
    const storage::ExerciseSettings& settings() const { return m_settings; }
    bool inTime() const { return m_settings.mode == storage::ExerciseMode::InTime; }
    ExamResult result() const;

private:
    std::vector<int> m_positions;
    storage::ExerciseSettings m_settings;
    std::vector<ExamQuestion> m_asked; // first pass, then the rounds again as misses add them
    std::size_t m_current = 0;
    int m_rightFirstTime = 0;
    int m_counted = 0;
    std::vector<int> m_missed; // positions missed at the first try, in the piece's order
};

} // namespace zintaro::compose
