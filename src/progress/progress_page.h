#pragma once

#include "progress/progress_module.h"
#include "storage/progress_export.h"

#include <QByteArray>
#include <QWidget>

class QLabel;
class QGridLayout;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace zintaro::progress {

// The "Progressi" page: the staves of the clefs practised, the chart of the
// last days, the most frequent mistakes and the totals, with "Esporta PDF".
// A window of its own that Escape closes; it deletes itself when closed.
class ProgressPage : public QWidget {
    Q_OBJECT
public:
    ProgressPage(const PageInput& input, QWidget* parent = nullptr);

    // The part of the page that is printed.
    QWidget* sheet() const { return m_sheet; }
    QPushButton* exportButton() const { return m_exportButton; }
    QLabel* exportNote() const { return m_exportNote; }

    // The sheet as one A4 page.
    QByteArray pdf() const;
    // Writes pdf() into the files folder and says on the page what became of it.
    storage::ProgressExport exportPdf();

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildSheet(const compose::ProgressFigures& figures);
    void addStaff(QVBoxLayout& layout, const compose::StaffProgress& staff);
    QWidget* buildChart(const compose::ProgressFigures& figures);
    QGridLayout* buildMistakesAndTotals(const compose::ProgressFigures& figures);

    QString m_filesFolder;
    int m_today = 0;
    NoteNaming m_naming = NoteNaming::Solfege;
    compose::ProgressFigures m_figures;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_sheet = nullptr;
    QPushButton* m_exportButton = nullptr;
    QLabel* m_exportNote = nullptr;
};

} // namespace zintaro::progress
