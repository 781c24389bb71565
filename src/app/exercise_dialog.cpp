#include "app/exercise_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace zintaro::app {

namespace {

QString words(const char* text)
{
    return QCoreApplication::translate("Exercise", text);
}

QSpinBox* numberField(int lowest, int highest, int value, const QString& name, QWidget* parent)
{
    auto* field = new QSpinBox(parent);
    field->setObjectName(name);
    field->setRange(lowest, highest);
    field->setValue(value);
    return field;
}

} // namespace

ExerciseDialog::ExerciseDialog(const storage::ExerciseSettings& settings, QWidget* parent)
    : QDialog(parent)
    , m_given(settings)
{
    setObjectName(QStringLiteral("ExerciseDialog"));
    setWindowTitle(words(QT_TRANSLATE_NOOP("Exercise", "Esercizio")));
    m_title = new QLineEdit(QString::fromStdString(settings.title), this);
    m_title->setObjectName(QStringLiteral("TxtTitle"));
    m_instructions = new QPlainTextEdit(QString::fromStdString(settings.instructions), this);
    m_instructions->setObjectName(QStringLiteral("TxtInstructions"));
    // Tab leaves the instructions for the next field, as it does everywhere else.
    m_instructions->setTabChangesFocus(true);
    m_passMark = numberField(0, 100, settings.passMark, QStringLiteral("SpinPassMark"), this);
    m_passMark->setSuffix(QStringLiteral(" %"));
    m_repeats = numberField(0, storage::MostRepeats, settings.repeats, QStringLiteral("SpinRepeats"), this);
    m_countIn = numberField(0, storage::MostCountInMeasures, settings.countIn, QStringLiteral("SpinCountIn"), this);
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("CmbExerciseMode"));
    m_mode->addItem(words(QT_TRANSLATE_NOOP("Exercise", "Note singole")));
    m_mode->addItem(words(QT_TRANSLATE_NOOP("Exercise", "A tempo")));
    m_mode->setCurrentIndex(settings.mode == storage::ExerciseMode::InTime ? 1 : 0);

    // Qt's own words for the buttons, in the interface's language.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(words(QT_TRANSLATE_NOOP("Exercise", "&Titolo")), m_title);
    form->addRow(words(QT_TRANSLATE_NOOP("Exercise", "&Istruzioni")), m_instructions);
    form->addRow(words(QT_TRANSLATE_NOOP("Exercise", "&Soglia per superarlo")), m_passMark);
    form->addRow(words(QT_TRANSLATE_NOOP("Exercise", "Note sbagliate &richieste di nuovo")), m_repeats);
    form->addRow(words(QT_TRANSLATE_NOOP("Exercise", "&Battute di attacco")), m_countIn);
    form->addRow(words(QT_TRANSLATE_NOOP("Exercise", "&Modo")), m_mode);
    form->addRow(buttons);
    m_title->setFocus();
}

storage::ExerciseSettings ExerciseDialog::settings() const
{
    storage::ExerciseSettings s = m_given;
    s.title = m_title->text().toStdString();
    s.instructions = m_instructions->toPlainText().toStdString();
    s.passMark = m_passMark->value();
    s.repeats = m_repeats->value();
    s.countIn = m_countIn->value();
    s.mode = m_mode->currentIndex() == 1 ? storage::ExerciseMode::InTime : storage::ExerciseMode::SingleNotes;
    return s;
}

} // namespace zintaro::app
