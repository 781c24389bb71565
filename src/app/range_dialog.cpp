#include "app/range_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QString>
#include <algorithm>
#include <array>
#include <utility>

namespace zintaro::app {

namespace {

constexpr std::array<std::pair<compose::NoteFilter, const char*>, 4> Presets { {
    { compose::NoteFilter::All, QT_TRANSLATE_NOOP("Practice", "Tutte") },
    { compose::NoteFilter::Lines, QT_TRANSLATE_NOOP("Practice", "Solo righe") },
    { compose::NoteFilter::Spaces, QT_TRANSLATE_NOOP("Practice", "Solo spazi") },
    { compose::NoteFilter::Ledger, QT_TRANSLATE_NOOP("Practice", "Tagli addizionali") },
} };

// The naturals the staves offer, low to high, each with its MIDI note as data.
QComboBox* rangeList(SpelledNote chosen, Clef clef, NoteNaming naming, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    const compose::NoteRange offered = compose::offeredRange(clef);
    for (int midi = midiNoteOf(offered.lowest); midi <= midiNoteOf(offered.highest); ++midi) {
        const SpelledNote note = sharpSpelling(midi);
        if (note.accidental != Accidental::Natural)
            continue;
        list->addItem(QString::fromStdString(noteName(note, naming, true)), midi);
        if (note == chosen)
            list->setCurrentIndex(list->count() - 1);
    }
    return list;
}

} // namespace

RangeDialog::RangeDialog(const compose::PracticeChoices& choices, NoteNaming naming, QWidget* parent)
    : QDialog(parent)
    , m_choices(choices)
{
    setObjectName(QStringLiteral("RangeDialog"));
    setWindowTitle(QCoreApplication::translate("Practice", "Estensione"));
    m_lowest = rangeList(choices.range().lowest, choices.clef, naming, this);
    m_lowest->setObjectName(QStringLiteral("CmbLowest"));
    m_highest = rangeList(choices.range().highest, choices.clef, naming, this);
    m_highest->setObjectName(QStringLiteral("CmbHighest"));
    m_notes = new QComboBox(this);
    m_notes->setObjectName(QStringLiteral("CmbNotes"));
    for (const auto& [filter, name] : Presets) {
        m_notes->addItem(QCoreApplication::translate("Practice", name), static_cast<int>(filter));
        if (filter == choices.filter)
            m_notes->setCurrentIndex(m_notes->count() - 1);
    }

    // Qt's own words for the buttons, in the interface's language.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QCoreApplication::translate("Practice", "&Dalla nota"), m_lowest);
    form->addRow(QCoreApplication::translate("Practice", "&Alla nota"), m_highest);
    form->addRow(QCoreApplication::translate("Practice", "&Quali note"), m_notes);
    form->addRow(buttons);
    m_lowest->setFocus();
}

compose::PracticeChoices RangeDialog::choices() const
{
    compose::PracticeChoices chosen = m_choices;
    const int low = m_lowest->currentData().toInt();
    const int high = m_highest->currentData().toInt();
    chosen.range() = { sharpSpelling(std::min(low, high)), sharpSpelling(std::max(low, high)) };
    chosen.filter = static_cast<compose::NoteFilter>(m_notes->currentData().toInt());
    return chosen;
}

} // namespace zintaro::app
