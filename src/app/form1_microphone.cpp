#include "app/form1.h"
#include "app/microphone.h"
#include "app/tuning_dialog.h"
#include "compose/workspace.h"
#include "input/piano_widget.h"

#include <QAction>
#include <QProgressBar>

// "Microfono", "Strumento" and "Diapason…" in "Ingresso", and the notes heard.
namespace zintaro::app {

void Form1::connectMicrophone()
{
    const WindowControls& c = m_controls;
    connect(c.microphoneAction, &QAction::triggered, this, [this](bool on) {
        compose::ListeningChoices listening = m_workspace->choices().listening;
        listening.microphone = on;
        chooseListening(listening);
    });
    for (std::size_t i = 0; i < c.playedInstrumentActions.size(); ++i) {
        connect(c.playedInstrumentActions.at(i), &QAction::triggered, this, [this, i] {
            compose::ListeningChoices listening = m_workspace->choices().listening;
            listening.instrument = static_cast<compose::PlayedInstrument>(i);
            chooseListening(listening);
        });
    }
    connect(c.tuningAction, &QAction::triggered, this, &Form1::mnf_Tuning_Click);
    connect(m_microphone, &Microphone::heard, this,
        [this](int note, qint64 onset) { showReport(m_workspace->heardNote(note, onset, now())); });
    connect(m_microphone, &Microphone::failed, this,
        [this](const Text& why) { showReport(m_workspace->microphoneFailed(why)); });
    connect(m_microphone, &Microphone::level, this, [this](int percent) {
        m_controls.levelMeter->setVisible(percent >= 0);
        m_controls.levelMeter->setValue(std::max(0, percent));
    });
}

void Form1::showListeningChoices(const compose::ListeningChoices& listening)
{
    m_controls.microphoneAction->setChecked(listening.microphone);
    m_controls.playedInstrumentActions.at(static_cast<std::size_t>(listening.instrument))->setChecked(true);
}

void Form1::chooseListening(const compose::ListeningChoices& listening)
{
    showListeningChoices(listening);
    showReport(m_workspace->setListening(listening));
}

void Form1::mnf_Tuning_Click()
{
    // Open, not exec: the window's timers and the inputs go on meanwhile.
    auto* dialog = new TuningDialog(m_workspace->choices().listening.tuningHz, m_workspace->state().Naming, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        compose::ListeningChoices listening = m_workspace->choices().listening;
        listening.tuningHz = dialog->tuningHz();
        chooseListening(listening);
        m_controls.piano->focusFirstKey();
    });
    dialog->open();
}

} // namespace zintaro::app
