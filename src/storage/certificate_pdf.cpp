#include "storage/certificate_pdf.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>

namespace zintaro::storage {

std::vector<Text> certificateLines(const Certificate& c)
{
    char date[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", c.day, c.month, c.year);
    const char* const figures = c.inTime
        ? QT_TRANSLATE_NOOP("Certificate", "Note giuste al primo tentativo e a tempo: %1 su %2 (%3 %)")
        : QT_TRANSLATE_NOOP("Certificate", "Note giuste al primo tentativo: %1 su %2 (%3 %)");
    return {
        translate("Certificate", "Attestato"),
        translate("Certificate", "Studente: %1").arg(c.student),
        translate("Certificate", "Esercizio: %1").arg(c.title),
        translate("Certificate", "Data: %1").arg(std::string_view(date)),
        translate("Certificate", figures).arg(c.counted).arg(c.notes).arg(c.percent),
        translate("Certificate", "Soglia per superarlo: %1 %").arg(c.passMark),
        translate("Certificate", "Esame superato"),
    };
}

std::string certificatePdf(const Certificate& certificate, Lookup lookup)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const std::vector<Text> lines = certificateLines(certificate);
    const auto shown = [&](const Text& text) { return QString::fromStdString(text.render(lookup)); };

    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(25, 25, 25, 25), QPageLayout::Millimeter);
    writer.setTitle(shown(lines.front()));
    writer.setCreator(QStringLiteral("Zintaro"));
    QPainter painter(&writer);
    const QRect page = painter.viewport();
    QFont font = painter.font();
    font.setPointSizeF(28);
    font.setBold(true);
    painter.setFont(font);
    const int headingHeight = page.height() / 8;
    painter.drawText(
        QRect(page.left(), page.top(), page.width(), headingHeight), Qt::AlignCenter, shown(lines.front()));
    font.setPointSizeF(14);
    font.setBold(false);
    painter.setFont(font);
    // Long names and titles wrap within the page rather than run off it.
    int top = page.top() + headingHeight + page.height() / 20;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const QRect room(page.left(), top, page.width(), page.bottom() - top);
        QRect used;
        painter.drawText(room, Qt::AlignLeft | Qt::TextWordWrap, shown(lines[i]), &used);
        top = used.bottom() + painter.fontMetrics().height() / 2;
    }
    painter.end();
    return bytes.toStdString();
}

ProgressExport writeCertificate(const std::filesystem::path& folder, const Certificate& certificate, Lookup lookup)
{
    return writeDatedPdf(
        folder, "attestato", certificate.year, certificate.month, certificate.day, certificatePdf(certificate, lookup));
}

} // namespace zintaro::storage
