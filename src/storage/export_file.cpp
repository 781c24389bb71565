#include "storage/export_file.h"

#include "core/dialogs.h"
#include "core/translation.h"
#include "storage/atomic_write.h"
#include "storage/composition_file.h"
#include "storage/quoted.h"

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

ExportResult ExportFile(const std::filesystem::path& folder, const std::string& baseName, std::string_view extension,
    std::string_view bytes, Dialogs& dialogs, bool flush)
{
    if (const auto problem = FileNameProblem(baseName, extension)) {
        dialogs.message(translate("Files", "%1 Non è stato salvato nulla.").arg(*problem));
        return ExportResult::NameRefused;
    }
    if (const auto problem = EnsureFolder(folder)) {
        dialogs.message(translate("Files", "%1 Non è stato salvato nulla.").arg(*problem));
        return ExportResult::Failed;
    }

    const std::string fileName = baseName + std::string(extension);
    if (const auto why = writeFileAtomically(folder, fileName, bytes, flush)) {
        dialogs.message(translate("Files", "La composizione non si è potuta esportare in %1: %2. Non è cambiato nulla.")
                            .arg(quoted(folder / fileName))
                            .arg(*why));
        return ExportResult::Failed;
    }
    return ExportResult::Exported;
}

} // namespace zintaro::storage
