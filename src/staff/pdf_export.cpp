#include "staff/pdf_export.h"

#include "staff/score_layout.h"
#include "staff/score_page.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace zintaro::staff {

std::string writePdf(const CompositionStore& store, int noteCount, const std::string& title, bool writeNames,
    NoteNaming naming, Key key, Meter meter)
{
    ScoreFrame frame = ScoreSheet::frame(writeNames);
    frame.key = key;
    frame.meter = meter;
    const std::vector<ScorePage> pages = layOutScore(store, std::clamp(noteCount, 0, MaxEntries), frame);
    const ScoreDocument document { store, title, writeNames, static_cast<int>(pages.size()), scoreClef(), naming, key,
        meter };

    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QString::fromStdString(title));
        pdf.setCreator(QStringLiteral("Zintaro"));
        // The score keeps its own margins, so the painter spans the sheet.
        pdf.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));

        QPainter painter(&pdf);
        const double perMillimetre = painter.viewport().width() / ScoreSheet::Width;
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                pdf.newPage();
            painter.resetTransform();
            painter.scale(perMillimetre, perMillimetre);
            engraveScorePage(painter, document, pages[i], static_cast<int>(i));
        }
    }
    return bytes.toStdString();
}

} // namespace zintaro::staff
