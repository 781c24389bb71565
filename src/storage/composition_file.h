#pragma once

#include "core/modulo1.h"
#include "core/translation.h"
#include "storage/composition_format.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zintaro::storage {

inline constexpr std::string_view FileExtension = ".txt";

// Why a typed name cannot become a file name, in plain words; nothing when it can.
// The name's length counts the extension its file gets (".txt", ".mid", …).
std::optional<Text> fileNameProblem(const std::string& baseName, std::string_view extension = FileExtension);

// Creates the folder (and its parents) if it is missing. Gives the system's
// reason when that fails or when the path is not a folder.
std::optional<Text> ensureFolder(const std::filesystem::path& folder);

enum class SaveResult {
    Saved,
    NameRefused, // the name cannot be a file in the folder; nothing written
    Failed, // the system refused; the old file, if any, is as it was
};

// What became of a save, and in plain words why it failed.
struct SaveOutcome {
    SaveResult result = SaveResult::Saved;
    Text text; // empty when saved
};

struct SaveOptions {
    // Flush the new file to the disk before it replaces the old one.
    bool flush = true;
};

// Writes the piece to folder/baseName.txt. The new text goes to a temporary
// file in the same folder that then replaces the old file in one step, so a
// failure never leaves a half-written composition behind. Every refusal and
// failure comes back with its words; the composition is never changed.
// Stale temporaries of saving in the folder are removed first.
SaveOutcome saveComposition(
    const Modulo1& m, const std::filesystem::path& folder, const std::string& baseName, SaveOptions options = {});

enum class LoadResult {
    Loaded,
    LoadedWithGaps, // some lines were skipped or left out; the words say how many
    Unreadable, // the file cannot be opened or read
    Foreign, // the file holds nothing of a composition
    UnknownNotation, // a key or meter this version does not know
};

struct LoadOutcome {
    LoadResult result = LoadResult::Loaded;
    std::optional<ParsedComposition> piece; // only when loaded
    Text text; // empty when loaded whole
};

// Reads a whole composition file and gives its entries; changes nothing and
// draws nothing. Gives no piece, with words that say why, when the file
// cannot be opened or read, or holds nothing of a composition (then the
// words are "<name> is not a Zintaro composition. Nothing was changed.").
// A file that loads with lines skipped (unreadable, or values outside the
// piano's notes and the durations) says how many. A file in a key or meter
// this version does not know gives no piece, with words that name it.
// Stale temporaries of
// saving in the file's folder are removed first.
LoadOutcome loadComposition(const std::filesystem::path& path);

// Whether a name in the files folder is a temporary of saving, ".saving-PID-N",
// and the process that made it.
std::optional<long> savingTemporaryOwner(std::string_view fileName);

// Removes the temporaries of saving that copies no longer running left in the
// folder (killed in the middle of a save). A running copy's are kept.
// Returns how many were removed.
int removeStaleTemporaries(const std::filesystem::path& folder);

} // namespace zintaro::storage
