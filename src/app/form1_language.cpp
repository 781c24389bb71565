#include "app/form1.h"
#include "app/midi_keyboard.h"
#include "compose/workspace.h"
#include "core/translation.h"
#include "staff/staff_widget.h"
#include "storage/file_panel.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>

namespace zintaro::app {

void Form1::setLanguage(Language language)
{
    const bool changed = language != m_language->current();
    m_language->apply(language);
    if (m_built && changed)
        rememberChoices();
    // The widgets hear of the change when the event loop next turns; the
    // window changes its words now.
    retranslate();
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
        m_controls.filePanel->actionLabel()->setText(m_panelAction->iconText());
    showStandingNotice();
    showReport(m_workspace->redrawWords());
}

} // namespace zintaro::app
