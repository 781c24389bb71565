#pragma once

#include "storage/user_folders.h"

#include <filesystem>
#include <string_view>

namespace zintaro::storage {

// The folder that keeps the compositions of a program living in
// programFolder: "files" beside the program when the user may write there
// (a copy built and installed in ~/Zintaro), else "files" in the program's
// data folder (userFolder). A program
// in a bin folder or under /usr or /opt is shared by every user of the
// machine, so it never keeps anyone's compositions beside itself, whatever
// the folder's permissions say (they say "writable" to root). Without a
// usable data folder the compositions stay beside the program.
std::filesystem::path compositionsFolder(
    const std::filesystem::path& programFolder, bool programFolderWritable, const Environment& environment);

// The same for the running program, from the environment and the folder's
// permissions for this user, made when it is missing.
std::filesystem::path compositionsFolderFor(const std::filesystem::path& programFolder);

// Whether "Carica" lists a name of the compositions folder: every name that
// holds ".txt" (a composition, hidden ones too) and every name that ends in
// ".zex" (an exercise).
bool listedForLoading(std::string_view fileName);

} // namespace zintaro::storage
