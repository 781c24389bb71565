#pragma once

#include "core/modulo1.h"
#include "storage/composition_format.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zintaro {
class Dialogs;
}

namespace zintaro::storage {

inline constexpr std::string_view FileExtension = ".txt";

// Why a typed name cannot become a file name, in plain words; nothing when it can.
// The name's length counts the extension its file gets (".txt", ".mid", …).
std::optional<std::string> FileNameProblem(const std::string& baseName, std::string_view extension = FileExtension);

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
// Stale temporaries of saving in the folder are removed first.
SaveResult SaveComposition(const Modulo1& m, const std::filesystem::path& folder, const std::string& baseName,
    Dialogs& dialogs, SaveOptions options = {});

// Reads a whole composition file and gives its entries; changes nothing and
// draws nothing. Returns nothing, after one message that says why, when the
// file cannot be opened or read, or holds nothing of a composition (then the
// message is "<name> is not a Zintaro composition. Nothing was changed.").
// A file that loads with lines skipped (unreadable, or values outside the
// piano's notes and the durations) says once how many. Stale temporaries of
// saving in the file's folder are removed first.
std::optional<ParsedComposition> LoadComposition(const std::filesystem::path& path, Dialogs& dialogs);

// Whether a name in the files folder is a temporary of saving, ".saving-PID-N",
// and the process that made it.
std::optional<long> SavingTemporaryOwner(std::string_view fileName);

// Removes the temporaries of saving that copies no longer running left in the
// folder (killed in the middle of a save). A running copy's are kept.
// Returns how many were removed.
int RemoveStaleTemporaries(const std::filesystem::path& folder);

} // namespace zintaro::storage
