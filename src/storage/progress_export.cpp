#include "storage/progress_export.h"

#include "core/translation.h"
#include "storage/atomic_write.h"
#include "storage/composition_file.h"
#include "storage/system_reason.h"
#include "storage/write_steps.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace zintaro::storage {

namespace {

constexpr std::string_view ProgressStem = "progressi";

} // namespace

std::string datedPdfName(std::string_view stem, int year, int month, int day, int copy)
{
    char date[48];
    if (copy > 1)
        std::snprintf(date, sizeof date, "-%04d-%02d-%02d-%d.pdf", year, month, day, copy);
    else
        std::snprintf(date, sizeof date, "-%04d-%02d-%02d.pdf", year, month, day);
    return std::string(stem).append(date);
}

std::string progressPdfName(int year, int month, int day, int copy)
{
    return datedPdfName(ProgressStem, year, month, day, copy);
}

ProgressExport writeProgressPdf(
    const std::filesystem::path& folder, int year, int month, int day, std::string_view bytes)
{
    return writeDatedPdf(folder, ProgressStem, year, month, day, bytes);
}

ProgressExport writeDatedPdf(
    const std::filesystem::path& folder, std::string_view stem, int year, int month, int day, std::string_view bytes)
{
    if (const auto problem = ensureFolder(folder))
        return { {}, *problem };
    // Hidden and without the extension the file panel lists.
    // Built by appending: g++ 12 warns falsely about a string put after a
    // character with operator+.
    std::string temporary(1, '.');
    temporary.append(stem).append("-").append(std::to_string(::getpid())).append(".part");
    if (const int error = writeFileAtomically(folder, temporary, bytes))
        return { {}, systemReason(error) };
    const std::filesystem::path written = folder / temporary;
    ProgressExport result { {}, translate("Progress", "nessun nome libero nella cartella") };
    WriteSteps& steps = writeSteps();
    for (int copy = 1; copy < 1000; ++copy) {
        const std::filesystem::path target = folder / datedPdfName(stem, year, month, day, copy);
        const int error = steps.link(written, target);
        if (error == 0) {
            result = { target, {} };
            break;
        }
        // Folders without hard links (a FAT stick) take a rename to a free name.
        if ((error == EPERM || error == EOPNOTSUPP) && !std::filesystem::exists(target)
            && steps.rename(written, target) == 0)
            return { target, {} };
        if (error != EEXIST) {
            result = { {}, systemReason(error) };
            break;
        }
    }
    steps.remove(written);
    return result;
}

} // namespace zintaro::storage
