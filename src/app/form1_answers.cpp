#include "app/form1.h"
#include "app/trainer_timer.h"
#include "compose/answering.h"
#include "compose/trainer.h"
#include "input/piano_widget.h"
#include "midi/instruments.h"
#include "midi/midi_out.h"
#include "staff/staff.h"
#include "staff/staff_widget.h"
#include "storage/composition_file.h"
#include "storage/file_panel.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace zintaro::app {

void Form1::CkRisp_Click()
{
    const bool on = m_controls.answerSwitch->isChecked();
    // The next start follows the student's own switching; "Leggi" left
    // switches it off without changing their choice.
    const bool switched = (on && m_trainerTimer->isActive()) || (!on && m_answering->active());
    if (switched && on != m_choices.answering) {
        m_choices.answering = on;
        rememberChoices();
    }
    if (on && m_trainerTimer->isActive()) {
        // The student moves the trainer on: its timer rests meanwhile.
        m_trainerTimer->stop();
        m_answering->start(m_clock.elapsed());
        afterAnswering();
        // The answers come from the computer keyboard.
        m_controls.piano->focusFirstKey();
    } else if (!on && m_answering->active()) {
        stopAnswering();
        m_trainer->enter(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()));
        m_trainerTimer->start();
    } else {
        // Outside "Leggi" there is nothing to answer.
        m_controls.answerSwitch->setChecked(false);
    }
    updateLiveSound();
}

void Form1::stopAnswering()
{
    if (!m_answering->active())
        return;
    m_answering->stop();
    m_controls.answerSwitch->setChecked(false);
    afterAnswering();
}

void Form1::AnswerTimer_Timer()
{
    m_answering->timerDue(m_clock.elapsed());
    afterAnswering();
}

void Form1::afterAnswering()
{
    if (const auto due = m_answering->nextDue())
        m_answerTimer->start(static_cast<int>(std::clamp<int64_t>(*due - m_clock.elapsed(), 0, 60000)));
    else
        m_answerTimer->stop();
    m_controls.scoreLabel->setText(QString::fromStdString(m_answering->scoreLabel()));
    if (const auto notice = m_answering->takeNotice())
        showStatus(StatusSource::Answers, QString::fromStdString(*notice));
}

} // namespace zintaro::app
