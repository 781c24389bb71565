#include "app/tuning_dialog.h"

#include "compose/listening.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace zintaro::app {

TuningDialog::TuningDialog(int tuningHz, NoteNaming naming, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TuningDialog"));
    setWindowTitle(QCoreApplication::translate("Window", "Diapason"));
    m_hertz = new QSpinBox(this);
    m_hertz->setObjectName(QStringLiteral("SpinTuning"));
    m_hertz->setRange(compose::LowestTuningHz, compose::HighestTuningHz);
    m_hertz->setSuffix(QCoreApplication::translate("Window", " Hz"));
    m_hertz->setValue(tuningHz);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // "La4" or "A4", as the notes are named.
    const QString a4
        = QString::fromStdString(noteName(SpelledNote { Letter::A, Accidental::Natural, 4 }, naming, true));
    auto* form = new QFormLayout(this);
    form->addRow(QCoreApplication::translate("Window", "&%1 =").arg(a4), m_hertz);
    form->addRow(buttons);
    m_hertz->setFocus();
    m_hertz->selectAll();
}

int TuningDialog::tuningHz() const
{
    return m_hertz->value();
}

} // namespace zintaro::app
