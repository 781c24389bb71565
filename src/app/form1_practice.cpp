#include "app/form1.h"
#include "app/range_dialog.h"
#include "compose/workspace.h"
#include "input/piano_widget.h"
#include "storage/user_folders.h"

#include <QAction>

namespace zintaro::app {

void Form1::loadChoices()
{
    m_choicesFile = storage::settingsFilePath();
    const LoadedChoices loaded = loadRememberedChoices(m_choicesFile);
    m_choices = loaded.choices;
    if (loaded.notice)
        showStatus(StatusSource::Notice, *loaded.notice);
    m_controls.reviewAction->setChecked(m_choices.practice.review);
    m_controls.accidentalsAction->setChecked(m_choices.practice.accidentals);
    m_controls.clefActions.at(static_cast<std::size_t>(m_choices.practice.clef))->setChecked(true);
    m_workspace->choosePractice(m_choices.practice, m_clock.elapsed(), seed());
    applyInterfaceChoices();
}

void Form1::choosePractice(const compose::PracticeChoices& practice)
{
    if (practice == m_choices.practice)
        return;
    m_choices.practice = practice;
    m_controls.reviewAction->setChecked(practice.review);
    m_controls.accidentalsAction->setChecked(practice.accidentals);
    m_controls.clefActions.at(static_cast<std::size_t>(practice.clef))->setChecked(true);
    m_workspace->choosePractice(practice, m_clock.elapsed(), seed());
    rememberChoices();
    afterAnswering();
}

void Form1::mnf_Review_Click()
{
    compose::PracticeChoices practice = m_choices.practice;
    practice.review = m_controls.reviewAction->isChecked();
    choosePractice(practice);
}

void Form1::mnf_Accidentals_Click()
{
    compose::PracticeChoices practice = m_choices.practice;
    practice.accidentals = m_controls.accidentalsAction->isChecked();
    choosePractice(practice);
}

void Form1::mnf_Range_Click()
{
    // Open, not exec: the window's timers and the MIDI keyboards go on meanwhile.
    auto* dialog = new RangeDialog(m_choices.practice, state().Naming, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        choosePractice(dialog->choices());
        m_controls.piano->focusFirstKey();
    });
    dialog->open();
}

} // namespace zintaro::app
