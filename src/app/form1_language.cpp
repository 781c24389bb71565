#include "app/form1.h"
#include "app/midi_keyboard.h"
#include "app/trainer_timer.h"
#include "compose/answering.h"
#include "compose/workspace.h"
#include "core/translation.h"
#include "staff/staff_widget.h"
#include "storage/file_panel.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>

namespace zintaro::app {

// The choices of "Lingua", "Rispondi" and "Tastiera MIDI" as the last run
// left them; "Rispondi" takes effect when start-up enters "Leggi".
void Form1::applyInterfaceChoices()
{
    m_midiKeyboard->setSwitchedOff(m_choices.keyboardsOff);
    setNaming(m_choices.naming);
    if (m_choices.language != m_language->current())
        setLanguage(m_choices.language);
}

void Form1::rememberChoices()
{
    if (const auto failure = saveRememberedChoices(m_choicesFile, m_choices))
        showStatus(StatusSource::Notice, *failure);
}

void Form1::setLanguage(Language language)
{
    m_language->apply(language);
    if (m_built && m_choices.language != language) {
        m_choices.language = language;
        rememberChoices();
    }
    // The widgets hear of the change when the event loop next turns; the
    // window changes its words now.
    retranslate();
}

void Form1::setNaming(NoteNaming naming)
{
    if (!m_built) {
        m_workspace->setNaming(naming, false);
        return;
    }
    if (m_choices.naming != naming) {
        m_choices.naming = naming;
        rememberChoices();
    }
    m_controls.namingActions[naming == NoteNaming::Letters ? 1 : 0]->setChecked(true);
    m_workspace->setNaming(naming, !m_controls.nameLabel->text().isEmpty());
    afterAnswering(); // the keys' notes in the status text
}

void Form1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

// Everything that shows words gets them again in the new language: the
// captions, the notices that stand, the score, the summary and the words of
// a wrong answer.
void Form1::retranslate()
{
    setWindowTitle(QCoreApplication::translate("Window", "Zintaro     by the Zintaro developers"));
    if (!m_built)
        return;
    retranslateWindowControls(m_controls);
    m_controls.languageActions[m_language->current() == Language::English ? 1 : 0]->setChecked(true);
    ShowHelpText();
    if (m_panelAction)
        m_controls.filePanel->actionLabel()->setText(m_panelAction->text());
    showStandingNotice();
    m_workspace->answers().redrawWords();
    afterAnswering(); // the score and the keys' notes
}

} // namespace zintaro::app
