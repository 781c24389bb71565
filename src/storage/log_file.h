#pragma once

#include <filesystem>
#include <string_view>

namespace zintaro::storage {

// Appends one line to a file that is only ever appended to (the answers
// log): the header goes in first when the file is new or empty, a last line
// cut short (a crash in the middle of a write) is ended first so the new
// line stays whole, and the folder is made when it is missing. A write that
// fails is cut back off, so the lines before it stay as they were. Gives 0,
// or the system's error number when the line could not be written.
int appendLogLine(const std::filesystem::path& file, std::string_view header, std::string_view line);

} // namespace zintaro::storage
