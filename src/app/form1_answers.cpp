#include "app/form1.h"
#include "app/trainer_timer.h"
#include "compose/answering.h"
#include "compose/trainer.h"
#include "compose/workspace.h"
#include "core/dialogs.h"
#include "input/key_map.h"
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
    if (!m_workspace->setAnswering(on, m_clock.elapsed(), seed())) {
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
    m_controls.scoreLabel->setText(QString::fromStdString(answers.scoreLabel()));
    if (const auto notice = answers.takeNotice())
        showStatus(StatusSource::Answers, QString::fromStdString(*notice));
}

} // namespace zintaro::app
