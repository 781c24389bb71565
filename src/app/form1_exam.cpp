#include "app/exercise_dialog.h"
#include "app/form1.h"
#include "compose/workspace.h"
#include "core/dialogs.h"
#include "input/piano_widget.h"
#include "storage/certificate_pdf.h"

#include <QCoreApplication>
#include <QDate>
#include <filesystem>

// A teacher's exercise saved with its settings, and the certificate of a
// passed exam.
namespace zintaro::app {

namespace {

// The certificate's words in the language the window shows.
std::string installedWords(const char* context, const char* source)
{
    return QCoreApplication::translate(context, source).toStdString();
}

} // namespace

void Form1::saveExercise(const std::string& name)
{
    const std::string title = name.substr(0, name.size() - storage::ExerciseExtension.size());
    // Open, not exec: the window's timers and the MIDI keyboards go on meanwhile.
    auto* dialog = new ExerciseDialog(m_workspace->exerciseToSave(title), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, name] {
        m_controls.piano->focusFirstKey();
        const compose::Report report
            = m_workspace->save(m_services.filesFolder.toStdString(), name, dialog->settings());
        showReport(report);
        if (report.askName)
            mnf_Save_Click();
    });
    connect(dialog, &QDialog::rejected, this, [this] { m_controls.piano->focusFirstKey(); });
    dialog->open();
}

// Offered once for each exam passed; the name is asked the first time only.
void Form1::offerCertificate(const compose::FinishedExam& exam)
{
    Dialogs& dialogs = m_services.dialogs;
    const Text title = translate("Certificate", "Attestato");
    if (!dialogs.question(translate("Certificate", "Esame superato. Vuoi l'attestato?"), title))
        return;
    if (m_student.empty()) {
        const auto name = dialogs.typeLine(translate("Certificate", "Il tuo nome, per l'attestato:"), title, {});
        if (!name || name->empty())
            return;
        m_student = *name;
        rememberChoices();
    }
    const QDate today = QDate::currentDate();
    const compose::ExamResult& r = exam.result;
    const storage::Certificate certificate { m_student, exam.title, today.year(), today.month(), today.day(),
        exam.inTime, r.counted, r.notes, r.percent, r.passMark };
    const storage::ProgressExport written
        = storage::writeCertificate(m_services.filesFolder.toStdString(), certificate, installedWords);
    if (written.written())
        dialogs.message(translate("Certificate", "Attestato salvato: %1").arg(written.file.filename().string()));
    else
        dialogs.message(written.error);
    m_controls.piano->focusFirstKey();
}

} // namespace zintaro::app
