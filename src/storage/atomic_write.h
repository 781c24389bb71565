#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zintaro::storage {

// Writes bytes to folder/fileName so that the file is either wholly new or
// as it was: the bytes go to a hidden temporary file in the same folder
// (".saving-<pid>-<n>"), which is flushed to the disk (when flush is true)
// and then renamed over the old file. A replaced file keeps its permissions.
// Gives 0, or the system's error number when anything failed; the temporary
// is removed then. The folder must exist.
int writeFileAtomically(
    const std::filesystem::path& folder, const std::string& fileName, std::string_view bytes, bool flush = true);

} // namespace zintaro::storage
