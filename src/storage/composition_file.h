#pragma once

#include "core/modulo1.h"
#include "staff/staff_surface.h"

#include <filesystem>
#include <optional>
#include <string>

namespace zintaro {
class Dialogs;
}

namespace zintaro::storage {

inline constexpr std::string_view FileExtension = ".txt";

// Why a typed name cannot become a file name, in plain words; nothing when it can.
std::optional<std::string> FileNameProblem(const std::string& baseName);

// Creates the folder (and its parents) if it is missing. Gives the system's
// reason when that fails or when the path is not a folder.
std::optional<std::string> EnsureFolder(const std::filesystem::path& folder);

enum class SaveResult {
    Saved,
    NameRefused, // the name cannot be a file in the folder; nothing written
    Failed, // the system refused; the old file, if any, is as it was
};

struct SaveOptions {
    // Flush the new file to the disk before it replaces the old one.
    bool flush = true;
};

// Writes the piece to folder/baseName.txt. The new text goes to a temporary
// file in the same folder that then replaces the old file in one step, so a
// failure never leaves a half-written composition behind. Every refusal and
// failure is told through the dialogs; the composition is never changed.
SaveResult SaveComposition(const Modulo1& m, const std::filesystem::path& folder, const std::string& baseName,
    Dialogs& dialogs, SaveOptions options = {});

enum class LoadResult {
    Loaded,
    Unreadable, // the file could not be opened or read; nothing changed
};

// Replaces the piece by a file's content and redraws the staff: the page
// that holds the cursor, which stands after the last entry, with its bars.
// Lines that cannot be read are skipped. When the file cannot be opened or
// read, one message tells why and the composition and the staff are kept.
LoadResult LoadComposition(
    Modulo1& m, staff::StaffSurface& surface, Dialogs& dialogs, const std::filesystem::path& path);

} // namespace zintaro::storage
