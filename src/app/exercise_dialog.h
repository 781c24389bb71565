#pragma once

#include "storage/exercise_file.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace zintaro::app {

// What "Salva" asks before it saves an exercise: its title, the
// instructions shown to the student, the pass mark, how many times a missed
// note is asked again, the count-in and how it is answered. Tab moves
// between the fields (the instructions included), Enter accepts, Escape
// cancels.
class ExerciseDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExerciseDialog(const storage::ExerciseSettings& settings, QWidget* parent = nullptr);

    // The settings as the fields stand, the tempo as it was given.
    storage::ExerciseSettings settings() const;

private:
    storage::ExerciseSettings m_given;
    QLineEdit* m_title = nullptr;
    QPlainTextEdit* m_instructions = nullptr;
    QSpinBox* m_passMark = nullptr;
    QSpinBox* m_repeats = nullptr;
    QSpinBox* m_countIn = nullptr;
    QComboBox* m_mode = nullptr;
};

} // namespace zintaro::app
