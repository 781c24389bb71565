#pragma once

#include "core/translation.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zintaro::storage {

// Writes bytes to folder/fileName so that the file is either wholly new or
// as it was: the bytes go to a hidden temporary file in the same folder
// (".saving-<pid>-<n>"), which is flushed to the disk (when flush is true)
// and then renamed over the old file. A replaced file keeps its permissions.
// Gives the system's reason when anything fails; the temporary is removed
// then. The folder must exist.
std::optional<Text> writeFileAtomically(
    const std::filesystem::path& folder, const std::string& fileName, std::string_view bytes, bool flush = true);

} // namespace zintaro::storage
