#include "app/range_dialog.h"

#include <QComboBox>
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
    { compose::NoteFilter::All, "Tutte" },
    { compose::NoteFilter::Lines, "Solo righe" },
    { compose::NoteFilter::Spaces, "Solo spazi" },
    { compose::NoteFilter::Ledger, "Tagli addizionali" },
} };

// The white keys of the piano, low to high, each with its MIDI note as data.
QComboBox* rangeList(SpelledNote chosen, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    for (int midi = midiNoteOf(compose::LowestRangeNote); midi <= midiNoteOf(compose::HighestRangeNote); ++midi) {
        const SpelledNote note = sharpSpelling(midi);
        if (note.accidental != Accidental::Natural)
            continue;
        list->addItem(QString::fromStdString(noteName(note, NoteNaming::Solfege, true)), midi);
        if (note == chosen)
            list->setCurrentIndex(list->count() - 1);
    }
    return list;
}

} // namespace

RangeDialog::RangeDialog(const compose::PracticeChoices& choices, QWidget* parent)
    : QDialog(parent)
    , m_choices(choices)
{
    setObjectName(QStringLiteral("RangeDialog"));
    setWindowTitle(QStringLiteral("Estensione"));
    m_lowest = rangeList(choices.lowest, this);
    m_lowest->setObjectName(QStringLiteral("CmbLowest"));
    m_highest = rangeList(choices.highest, this);
    m_highest->setObjectName(QStringLiteral("CmbHighest"));
    m_notes = new QComboBox(this);
    m_notes->setObjectName(QStringLiteral("CmbNotes"));
    for (const auto& [filter, name] : Presets) {
        m_notes->addItem(QString::fromUtf8(name), static_cast<int>(filter));
        if (filter == choices.filter)
            m_notes->setCurrentIndex(m_notes->count() - 1);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Dalla nota"), m_lowest);
    form->addRow(QStringLiteral("&Alla nota"), m_highest);
    form->addRow(QStringLiteral("&Quali note"), m_notes);
    form->addRow(buttons);
    m_lowest->setFocus();
}

compose::PracticeChoices RangeDialog::choices() const
{
    compose::PracticeChoices chosen = m_choices;
    const int low = m_lowest->currentData().toInt();
    const int high = m_highest->currentData().toInt();
    chosen.lowest = sharpSpelling(std::min(low, high));
    chosen.highest = sharpSpelling(std::max(low, high));
    chosen.filter = static_cast<compose::NoteFilter>(m_notes->currentData().toInt());
    return chosen;
}

} // namespace zintaro::app
