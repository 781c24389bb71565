#include "app/form1.h"
#include "app/importer.h"
#include "compose/workspace.h"
#include "input/piano_widget.h"
#include "staff/shown_text.h"
#include "storage/exercise_file.h"

#include <QFileDialog>

namespace zintaro::app {

// "Importa…": the desktop's file chooser, opening in the compositions folder.
void Form1::mnf_Import_Click()
{
    auto* chooser = new QFileDialog(this, staff::shown(translate("Window", "Importa")), m_services.filesFolder);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setObjectName(QStringLiteral("importChooser"));
    chooser->setFileMode(QFileDialog::ExistingFile);
    chooser->setNameFilters({
        staff::shown(
            translate("Window", "Partiture, file MIDI ed esercizi (*.musicxml *.xml *.mxl *.mid *.midi *.zex)")),
        staff::shown(translate("Window", "Partiture MusicXML (*.musicxml *.xml *.mxl)")),
        staff::shown(translate("Window", "File MIDI (*.mid *.midi)")),
        staff::shown(translate("Window", "Esercizi (*.zex)")),
        staff::shown(translate("Window", "Tutti i file (*)")),
    });
    connect(chooser, &QFileDialog::fileSelected, this, [this](const QString& chosen) {
        const std::filesystem::path file = chosen.toStdString();
        if (file.filename().string().ends_with(storage::ExerciseExtension))
            openExercise(file);
        else
            importFile(file, std::nullopt);
    });
    chooser->open();
}

// An exercise from anywhere opens as "Carica" opens one from the
// compositions folder, once the piece not saved may go.
void Form1::openExercise(const std::filesystem::path& file)
{
    if (m_workspace->pieceUnsaved()
        && !m_services.dialogs.question(translate("Window", "Sicuro?"), translate("Window", "Importa")))
        return;
    m_controls.piano->focusFirstKey();
    showReport(m_workspace->open(file));
}

// The file is read off the window's thread; `part` is the one the user
// picked, none before they were asked.
void Form1::importFile(const std::filesystem::path& file, std::optional<int> part)
{
    m_importer->read(
        file, part.value_or(0), [this, part](const ImportRead& read) { imported(read, part.has_value()); });
}

void Form1::imported(const ImportRead& read, bool partChosen)
{
    // Asked for by a click: a refusal gets its box.
    if (!read.outcome.piece) {
        m_services.dialogs.message(read.outcome.text);
        return;
    }
    const storage::ImportedPiece& piece = *read.outcome.piece;
    if (!partChosen && piece.parts.size() > 1) {
        const auto part = m_services.dialogs.choose(
            translate("Window", "Quale parte importare?"), translate("Window", "Importa"), piece.parts);
        if (!part)
            return;
        if (*part != piece.chosenPart) {
            importFile(read.file, *part);
            return;
        }
    }
    if (m_workspace->pieceUnsaved()
        && !m_services.dialogs.question(translate("Window", "Sicuro?"), translate("Window", "Importa")))
        return;
    m_controls.piano->focusFirstKey();
    showReport(m_workspace->importPiece(piece, read.losses));
}

} // namespace zintaro::app
