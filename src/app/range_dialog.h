#pragma once

#include "compose/practice_choices.h"

#include <QDialog>

class QComboBox;

namespace zintaro::app {

// "Estensione…": the lowest and highest note to read on the staves chosen,
// and which notes of that range, by name with octave ("Do4", "Sol5"). Enter
// accepts, Escape cancels, Tab moves between the lists.
class RangeDialog : public QDialog {
    Q_OBJECT
public:
    RangeDialog(const compose::PracticeChoices& choices, NoteNaming naming, QWidget* parent = nullptr);

    // The choices given, with the range and notes of the dialog; a range
    // given upside down is turned round.
    compose::PracticeChoices choices() const;

    QComboBox* lowestList() const { return m_lowest; }
    QComboBox* highestList() const { return m_highest; }
    QComboBox* notesList() const { return m_notes; }

private:
    compose::PracticeChoices m_choices;
    QComboBox* m_lowest = nullptr;
    QComboBox* m_highest = nullptr;
    QComboBox* m_notes = nullptr;
};

} // namespace zintaro::app
