#include "app/form1.h"
#include "compose/answering.h"
#include "compose/keyboard_octaves.h"
#include "compose/workspace.h"
#include "input/piano_widget.h"
#include "staff/shown_text.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace zintaro::app {

void Form1::CkRisp_Click()
{
    const bool on = m_controls.answerSwitch->isChecked();
    const bool wasAnswering = m_workspace->answering();
    const bool accepted = m_workspace->setAnswering(on, m_clock.elapsed(), seed());
    // The next start follows the student's own switching; "Leggi" left
    // switches it off without changing their choice.
    const bool switched = (on && accepted) || (!on && wasAnswering);
    if (switched && on != m_choices.answering) {
        m_choices.answering = on;
        rememberChoices();
    }
    if (!accepted) {
        // Outside "Leggi" there is nothing to answer.
        m_controls.answerSwitch->setChecked(false);
    } else if (on) {
        afterAnswering();
        // The answers come from the computer keyboard.
        m_controls.piano->focusFirstKey();
    } else {
        answersStopped();
    }
    syncTrainerTimer();
    updateLiveSound();
}

void Form1::stopAnswering()
{
    if (!m_workspace->answering())
        return;
    m_workspace->answers().stop();
    answersStopped();
}

void Form1::answersStopped()
{
    m_controls.answerSwitch->setChecked(false);
    afterAnswering();
}

void Form1::AnswerTimer_Timer()
{
    m_workspace->answers().timerDue(m_clock.elapsed());
    afterAnswering();
}

void Form1::afterAnswering()
{
    compose::Answering& answers = m_workspace->answers();
    if (const auto due = answers.nextDue())
        m_answerTimer->start(static_cast<int>(std::clamp<int64_t>(*due - m_clock.elapsed(), 0, 60000)));
    else
        m_answerTimer->stop();
    m_controls.scoreLabel->setText(staff::shown(answers.scoreLabel()));
    if (const auto notice = answers.takeNotice())
        showStatus(StatusSource::Answers, *notice);
    // The computer keys move by octaves only for answers.
    const int shift = answers.keyboardShift();
    showStatus(StatusSource::Keyboard,
        answers.active() && shift != 0 ? compose::keyboardRangeText(shift, state().Naming) : Text {});
}

void Form1::mnf_Clef_Click(Clef clef)
{
    compose::PracticeChoices practice = m_choices.practice;
    practice.clef = clef;
    choosePractice(practice);
    m_controls.piano->focusFirstKey();
}

void Form1::shiftKeyboard(int octaves)
{
    if (m_workspace->shiftKeyboard(octaves))
        afterAnswering();
}

} // namespace zintaro::app
