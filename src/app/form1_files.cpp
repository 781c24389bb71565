#include "app/form1.h"
#include "app/notation_dialog.h"
#include "app/piece_export.h"
#include "compose/workspace.h"
#include "input/piano_widget.h"
#include "midi/midi_out.h"
#include "storage/file_panel.h"

#include <QAction>
#include <QListWidget>
#include <string>

namespace zintaro::app {

void Form1::mnf_Load_Click()
{
    m_exporting.reset();
    m_panelAction = m_controls.loadAction;
    m_controls.filePanel->openForLoading(m_services.filesFolder, m_panelAction->iconText());
    m_controls.filePanel->raise();
}

void Form1::mnf_Save_Click()
{
    m_exporting.reset();
    m_panelAction = m_controls.saveAction;
    m_controls.filePanel->openForSaving(m_services.filesFolder, m_panelAction->iconText());
    m_controls.filePanel->raise();
}

void Form1::mnf_Export_Click(storage::ExportKind kind)
{
    m_exporting = kind;
    // The export entries stand in the menu in the order of the kinds.
    m_panelAction = m_controls.exportActions.at(static_cast<std::size_t>(kind));
    m_controls.filePanel->openForSaving(
        m_services.filesFolder, m_panelAction->iconText(), QString::fromLatin1(storage::exportExtension(kind).data()));
    m_controls.filePanel->raise();
}

void Form1::mnf_Notation_Click()
{
    const Modulo1& m = m_workspace->state();
    // Open, not exec: the window's timers and the MIDI keyboards go on meanwhile.
    auto* dialog = new NotationDialog(m.PieceKey, m.PieceMeter, m.Naming, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_controls.piano->focusFirstKey();
        showReport(m_workspace->apply(compose::SetNotation { dialog->key(), dialog->meter() }));
    });
    dialog->open();
}

void Form1::File1_DblClick(const std::filesystem::path& file)
{
    // The list of an export only offers names to write over.
    if (m_exporting)
        return;
    m_controls.filePanel->hide();
    m_controls.piano->focusFirstKey();
    showReport(m_workspace->open(file));
}

void Form1::Txf_Enter(const QString& text)
{
    m_controls.filePanel->hide();
    m_controls.piano->focusFirstKey();
    const std::filesystem::path folder = m_services.filesFolder.toStdString();
    if (m_exporting) {
        const auto kind = *m_exporting;
        const auto outcome
            = exportPiece(m_workspace->state(), kind, folder, text.toStdString(), m_workspace->instrument());
        // Asked for by a click: every failure gets its box.
        if (!outcome.text.empty())
            m_services.dialogs.message(outcome.text);
        if (outcome.result == storage::ExportResult::NameRefused)
            mnf_Export_Click(kind);
        return;
    }
    if (text.endsWith(QString::fromLatin1(storage::ExerciseExtension.data()))) {
        saveExercise(text.toStdString());
        return;
    }
    const compose::Report report = m_workspace->save(folder, text.toStdString());
    showReport(report);
    // A name that cannot be a file is told; the panel comes back to mend it.
    if (report.askName)
        mnf_Save_Click();
}

// A failure of the output is shown for as long as it lasts; the first of
// its kind since the device was chosen also gets a box.
void Form1::soundFailed(const midi::MidiFailure& failure)
{
    showStatus(StatusSource::Sound, failure.text);
    m_notices.boxOnce("sound:" + std::to_string(failure.code), failure.text);
}

} // namespace zintaro::app
