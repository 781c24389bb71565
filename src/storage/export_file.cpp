#include "storage/export_file.h"

#include "core/translation.h"
#include "storage/atomic_write.h"
#include "storage/composition_file.h"
#include "storage/write_failure.h"

#include <system_error>

namespace zintaro::storage {

std::string_view exportExtension(ExportKind kind)
{
    switch (kind) {
    case ExportKind::Midi:
        return ".mid";
    case ExportKind::MusicXml:
        return ".musicxml";
    case ExportKind::Pdf:
        return ".pdf";
    }
    return {};
}

std::string_view exportListPattern(ExportKind kind)
{
    switch (kind) {
    case ExportKind::Midi:
        return "*.mid";
    case ExportKind::MusicXml:
        return "*.musicxml";
    case ExportKind::Pdf:
        return "*.pdf";
    }
    return {};
}

ExportOutcome exportFile(const std::filesystem::path& folder, const std::string& baseName, std::string_view extension,
    std::string_view bytes, bool flush)
{
    if (const auto problem = fileNameProblem(baseName, extension))
        return { ExportResult::NameRefused, translate("Files", "%1 Non è stato salvato nulla.").arg(*problem) };
    if (const auto problem = ensureFolder(folder))
        return { ExportResult::Failed, translate("Files", "%1 Non è stato salvato nulla.").arg(*problem) };

    const std::string fileName = baseName + std::string(extension);
    std::error_code missing;
    const bool earlier = std::filesystem::exists(folder / fileName, missing);
    if (const int error = writeFileAtomically(folder, fileName, bytes, flush))
        return { ExportResult::Failed, writeFailureText(WrittenFile::Export, error, earlier) };
    return {};
}

} // namespace zintaro::storage
