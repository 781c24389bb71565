#pragma once

#include "core/translation.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace zintaro::storage {

// Reads a regular file from the start, handing each chunk read to `take`
// until the file ends or `take` answers false. A file larger than maxBytes
// is refused before anything of it is read. Gives why, in the words that
// follow "…: ", when the file cannot be opened or read, is a folder or no
// plain file, or is too large; nothing when it was read.
std::optional<Text> readFileInChunks(const std::filesystem::path& path,
    const std::function<bool(std::string_view)>& take, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// The whole of a file of at most maxBytes, or why it could not be read.
struct FileBytes {
    std::string bytes;
    std::optional<Text> problem;
};
FileBytes readWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

} // namespace zintaro::storage
