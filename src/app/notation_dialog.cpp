#include "app/notation_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QString>
#include <array>

namespace zintaro::app {

namespace {

// Around the circle of fifths: C and the sharp keys, then the flat keys.
constexpr std::array<int, 15> SignatureOrder = { 0, 1, 2, 3, 4, 5, 6, 7, -1, -2, -3, -4, -5, -6, -7 };

QString words(const char* text)
{
    return QCoreApplication::translate("Notation", text);
}

} // namespace

NotationDialog::NotationDialog(Key key, Meter meter, NoteNaming naming, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("NotationDialog"));
    setWindowTitle(words(QT_TRANSLATE_NOOP("Notation", "Armatura e metro")));
    m_signature = new QComboBox(this);
    m_signature->setObjectName(QStringLiteral("CmbSignature"));
    for (const int fifths : SignatureOrder) {
        m_signature->addItem(QString::fromStdString(keySignatureCaption(fifths, naming).render()), fifths);
        if (fifths == key.fifths)
            m_signature->setCurrentIndex(m_signature->count() - 1);
    }
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("CmbMode"));
    m_mode->addItem(words(QT_TRANSLATE_NOOP("Notation", "Maggiore")), static_cast<int>(KeyMode::Major));
    m_mode->addItem(words(QT_TRANSLATE_NOOP("Notation", "Minore")), static_cast<int>(KeyMode::Minor));
    m_mode->setCurrentIndex(key.mode == KeyMode::Minor ? 1 : 0);
    m_meter = new QComboBox(this);
    m_meter->setObjectName(QStringLiteral("CmbMeter"));
    for (const Meter offered : offeredMeters()) {
        m_meter->addItem(QString::fromStdString(meterText(offered)), QString::fromStdString(meterText(offered)));
        if (offered == meter)
            m_meter->setCurrentIndex(m_meter->count() - 1);
    }

    // Qt's own words for the buttons, in the interface's language.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(words(QT_TRANSLATE_NOOP("Notation", "&Armatura")), m_signature);
    form->addRow(words(QT_TRANSLATE_NOOP("Notation", "&Modo")), m_mode);
    form->addRow(words(QT_TRANSLATE_NOOP("Notation", "M&etro")), m_meter);
    form->addRow(buttons);
    m_signature->setFocus();
}

Key NotationDialog::key() const
{
    return { m_signature->currentData().toInt(), static_cast<KeyMode>(m_mode->currentData().toInt()) };
}

Meter NotationDialog::meter() const
{
    return parseMeter(m_meter->currentData().toString().toStdString()).value_or(Meter {});
}

} // namespace zintaro::app
