#pragma once

#include "core/translation.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace zintaro::storage {

// The kinds of folder the program keeps a user's files in, after the XDG
// base directory rules: data (answers, compositions), configuration (the
// remembered choices) and state (the recovery copy).
enum class UserFolder { Data, Config, State };

// The variables the folders are read from; each may be missing.
struct Environment {
    // The user's data, config and state folders, the system's data folders
    // (a list with colons) and the home folder, as processEnvironment()
    // reads them.
    const char* dataHome = nullptr;
    const char* configHome = nullptr;
    const char* stateHome = nullptr;
    const char* dataDirs = nullptr;
    const char* home = nullptr;
};

// The running program's environment.
Environment processEnvironment();

struct FolderOutcome {
    std::filesystem::path folder; // empty when there is none
    Text problem; // why there is none
};

// The program's own folder of a kind: "zintaro" in the user's folder of that
// kind, which is the environment's data, config or state home when
// absolute (a relative or empty one is ignored, as the rules ask), else
// ~/.local/share, ~/.config or ~/.local/state. Without either, no folder and
// why. Nothing is created.
FolderOutcome userFolder(UserFolder kind, const Environment& environment = processEnvironment());

// The folders shared data is looked for in, the user's first: the user's data
// folder, then the absolute entries of the system's data folders, else /usr/local/share
// and /usr/share. Each appears once.
std::vector<std::filesystem::path> dataFolders(const Environment& environment = processEnvironment());

// The program's files in those folders; empty when there is no folder.
std::filesystem::path answersLogPath(const Environment& environment = processEnvironment());
std::filesystem::path recoveryFilePath(const Environment& environment = processEnvironment());
std::filesystem::path settingsFilePath(const Environment& environment = processEnvironment());

// The sentences of the command line's help that say where compositions are
// kept when the folder beside the program cannot be written.
std::string_view compositionsFolderHelp();

} // namespace zintaro::storage
