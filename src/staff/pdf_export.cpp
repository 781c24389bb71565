#include "staff/pdf_export.h"

#include "staff/painter_surface.h"
#include "staff/staff.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace zintaro::staff {

namespace {

// A sheet in staff pixels: the staff and what stands beyond its right end
// fit across; below the title come the staff pages, one above the other.
constexpr double SheetWidth = 1240;
constexpr double TitleHeight = 50;
constexpr double SystemHeight = 150;
constexpr int SystemsPerSheet = 5;
constexpr double NameTop = 118; // below the lowest ledger line and stem
constexpr double NameHeight = 14;

QFont textFont(double pixelSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(int(pixelSize));
    font.setBold(bold);
    return font;
}

// The names of the page's notes, each centred under its column.
void writeNamesUnder(QPainter& painter, const Modulo1& m, int page)
{
    painter.setFont(textFont(10, false));
    painter.setPen(Qt::black);
    const int first = page * StaffColumns;
    const int end = std::min(first + StaffColumns, m.NoteCount);
    for (int p = first; p < end; ++p) {
        const Entry e = m.Composition.at(p);
        // Glyphs are drawn for codes 0..6 only; other notes have no name.
        if (e.RestFlag != 0 || e.DurationCode < 0 || e.DurationCode > 6)
            continue;
        const std::string_view name = writtenName(e.NoteIndex, m.Naming);
        if (name.empty())
            continue;
        const double centre = columnX(p - first);
        painter.drawText(QRectF(centre - 10, NameTop, 20, NameHeight), Qt::AlignHCenter | Qt::AlignTop,
            QString::fromLatin1(name.data(), qsizetype(name.size())));
    }
}

} // namespace

std::string writePdf(
    const CompositionStore& store, int noteCount, const std::string& title, bool writeNames, NoteNaming naming)
{
    Modulo1 m;
    m.Naming = naming;
    m.Composition = store;
    m.NoteCount = std::clamp(noteCount, 0, MaxEntries);
    m.DrawScale = 1;
    // The glyph routines would write each name into the labels; the sheet
    // writes them under the notes instead.
    m.WriteNames = false;
    const int pages = std::max(1, (m.NoteCount + StaffColumns - 1) / StaffColumns);
    const int sheets = (pages + SystemsPerSheet - 1) / SystemsPerSheet;

    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QString::fromStdString(title));
        pdf.setCreator(QStringLiteral("Zintaro"));
        pdf.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));

        const StaffPictures pictures;
        QPainter painter(&pdf);
        const double scale = painter.viewport().width() / SheetWidth;
        const double sheetHeight = painter.viewport().height() / scale;
        for (int sheet = 0; sheet < sheets; ++sheet) {
            if (sheet > 0)
                pdf.newPage();
            painter.resetTransform();
            painter.scale(scale, scale);

            painter.setPen(Qt::black);
            painter.setFont(textFont(24, true));
            painter.drawText(
                QRectF(0, 0, SheetWidth, TitleHeight), Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(title));

            const int firstPage = sheet * SystemsPerSheet;
            const int endPage = std::min(firstPage + SystemsPerSheet, pages);
            for (int page = firstPage; page < endPage; ++page) {
                painter.save();
                painter.translate(0, TitleHeight + SystemHeight * (page - firstPage));
                PainterSurface surface(painter, pictures);
                drawPage(m, surface, page);
                surface.paintChildren();
                if (writeNames)
                    writeNamesUnder(painter, m, page);
                painter.restore();
            }
            painter.setPen(Qt::black);
            painter.setFont(textFont(12, false));
            painter.drawText(QRectF(0, sheetHeight - 20, SheetWidth, 20), Qt::AlignHCenter | Qt::AlignBottom,
                QStringLiteral("%1 / %2").arg(sheet + 1).arg(sheets));
        }
    }
    return bytes.toStdString();
}

} // namespace zintaro::staff
