#include "storage/user_folders.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zintaro::storage {
namespace {

// Every kind of folder by one rule: its XDG variable when absolute, else the
// default under the home folder, else none and why.
TEST(UserFolders, theXdgVariableWhenAbsoluteElseTheHomeFolderElseAReason)
{
    const struct {
        const char* what;
        UserFolder kind;
        const char* chosen; // the kind's XDG variable
        const char* home;
        const char* folder;
    } rows[] = {
        { "data, chosen", UserFolder::Data, "/data", "/home/ada", "/data/zintaro" },
        { "data, by default", UserFolder::Data, nullptr, "/home/ada", "/home/ada/.local/share/zintaro" },
        { "config, chosen", UserFolder::Config, "/cfg", "/home/ada", "/cfg/zintaro" },
        { "config, empty", UserFolder::Config, "", "/home/ada", "/home/ada/.config/zintaro" },
        { "state, chosen", UserFolder::State, "/st", nullptr, "/st/zintaro" },
        { "state, relative is ignored", UserFolder::State, "relative", "/home/ada", "/home/ada/.local/state/zintaro" },
        { "no home", UserFolder::Data, nullptr, nullptr, "" },
        { "a relative home is no home", UserFolder::Config, "relative", "home", "" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Environment environment;
        environment.home = row.home;
        (row.kind == UserFolder::Data            ? environment.dataHome
                : row.kind == UserFolder::Config ? environment.configHome
                                                 : environment.stateHome)
            = row.chosen;
        const FolderOutcome found = userFolder(row.kind, environment);
        EXPECT_EQ(found.folder.string(), row.folder);
        EXPECT_EQ(found.problem.empty(), !found.folder.empty()) << "why, exactly when there is no folder";
    }
}

TEST(UserFolders, eachFileLivesInTheFolderOfItsKind)
{
    Environment environment;
    environment.dataHome = "/data";
    environment.configHome = "/cfg";
    environment.stateHome = "/st";
    EXPECT_EQ(answersLogPath(environment), "/data/zintaro/answers.csv");
    EXPECT_EQ(settingsFilePath(environment), "/cfg/zintaro/zintaro.conf");
    EXPECT_EQ(recoveryFilePath(environment), "/st/zintaro/recovery.txt");
    EXPECT_TRUE(answersLogPath(Environment {}).empty()) << "without a home, no file at all";
}

TEST(UserFolders, dataFoldersAreTheUsersThenTheSystemsAbsoluteOnesEachOnce)
{
    const struct {
        const char* what;
        const char* dataHome;
        const char* dataDirs;
        std::vector<std::string> folders;
    } rows[] = {
        { "both set", "/d", "/s1::rel:/s2:/d", { "/d", "/s1", "/s2" } },
        { "the system's by default", nullptr, nullptr, { "/home/ada/.local/share", "/usr/local/share", "/usr/share" } },
        { "an empty list is the default", "/d", "", { "/d", "/usr/local/share", "/usr/share" } },
    };
    for (const auto& row : rows) {
        Environment environment;
        environment.dataHome = row.dataHome;
        environment.dataDirs = row.dataDirs;
        environment.home = "/home/ada";
        std::vector<std::string> found;
        for (const auto& folder : dataFolders(environment))
            found.push_back(folder.string());
        EXPECT_EQ(found, row.folders) << row.what;
    }
}

} // namespace
} // namespace zintaro::storage
