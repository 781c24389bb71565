#include "storage/user_folders.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace zintaro::storage {

namespace {

namespace fs = std::filesystem;

bool isAbsolute(const char* folder)
{
    return folder != nullptr && folder[0] == '/';
}

// The user's folder of a kind, before the program's own name.
std::optional<fs::path> baseFolder(UserFolder kind, const Environment& environment)
{
    const char* chosen = kind == UserFolder::Data ? environment.dataHome
        : kind == UserFolder::Config              ? environment.configHome
                                                  : environment.stateHome;
    if (isAbsolute(chosen))
        return fs::path(chosen);
    if (!isAbsolute(environment.home))
        return std::nullopt;
    const fs::path home(environment.home);
    switch (kind) {
    case UserFolder::Data:
        return home / ".local" / "share";
    case UserFolder::Config:
        return home / ".config";
    case UserFolder::State:
        return home / ".local" / "state";
    }
    return std::nullopt;
}

fs::path fileIn(UserFolder kind, const char* name, const Environment& environment)
{
    const FolderOutcome found = userFolder(kind, environment);
    return found.folder.empty() ? fs::path {} : found.folder / name;
}

} // namespace

Environment processEnvironment()
{
    return { std::getenv("XDG_DATA_HOME"), std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_STATE_HOME"),
        std::getenv("XDG_DATA_DIRS"), std::getenv("HOME") };
}

FolderOutcome userFolder(UserFolder kind, const Environment& environment)
{
    if (const auto base = baseFolder(kind, environment))
        return { *base / "zintaro", {} };
    return { {}, translate("Files", "manca la cartella di casa (HOME)") };
}

std::vector<fs::path> dataFolders(const Environment& environment)
{
    std::vector<fs::path> folders;
    if (const auto own = baseFolder(UserFolder::Data, environment))
        folders.push_back(*own);
    const std::string_view dirs = environment.dataDirs && *environment.dataDirs != '\0'
        ? std::string_view(environment.dataDirs)
        : std::string_view("/usr/local/share:/usr/share");
    std::string_view rest = dirs;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const fs::path folder(rest.substr(0, colon));
        if (folder.is_absolute() && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
        rest = colon == std::string_view::npos ? std::string_view {} : rest.substr(colon + 1);
    }
    return folders;
}

fs::path answersLogPath(const Environment& environment)
{
    return fileIn(UserFolder::Data, "answers.csv", environment);
}

fs::path recoveryFilePath(const Environment& environment)
{
    return fileIn(UserFolder::State, "recovery.txt", environment);
}

fs::path settingsFilePath(const Environment& environment)
{
    return fileIn(UserFolder::Config, "zintaro.conf", environment);
}

std::string_view compositionsFolderHelp()
{
    return "Compositions are kept in the folder files beside the program when you may\n"
           "write there, otherwise in $XDG_DATA_HOME/zintaro/files\n"
           "(~/.local/share/zintaro/files).\n";
}

} // namespace zintaro::storage
