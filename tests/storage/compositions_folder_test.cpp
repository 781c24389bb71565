#include "storage/compositions_folder.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct FolderCase {
    const char* what;
    const char* programFolder;
    bool writable;
    const char* xdgDataHome;
    const char* home;
    const char* expected;
};

TEST(CompositionsFolder, besideTheProgramOnlyWhenTheUserOwnsItsFolder)
{
    const FolderCase cases[] = {
        { "a copy in the user's home keeps files beside it", "/home/ada/Zintaro", true, nullptr, "/home/ada",
            "/home/ada/Zintaro/files" },
        { "even with a data folder set", "/home/ada/Zintaro", true, "/data", "/home/ada", "/home/ada/Zintaro/files" },
        { "a folder the user cannot write", "/home/ada/Zintaro", false, nullptr, "/home/ada",
            "/home/ada/.local/share/zintaro/files" },
        { "the package's folder, writable for root", "/usr/bin", true, nullptr, "/root",
            "/root/.local/share/zintaro/files" },
        { "the data folder is taken when set", "/usr/bin", false, "/data", "/home/ada", "/data/zintaro/files" },
        { "a relative data folder is ignored", "/usr/bin", false, "data", "/home/ada",
            "/home/ada/.local/share/zintaro/files" },
        { "an empty data folder is ignored", "/usr/bin", false, "", "/home/ada",
            "/home/ada/.local/share/zintaro/files" },
        { "a package unpacked anywhere", "/tmp/root/usr/bin/", true, "/tmp/data", "/tmp/home",
            "/tmp/data/zintaro/files" },
        { "a local install", "/usr/local/bin", true, nullptr, "/home/ada", "/home/ada/.local/share/zintaro/files" },
        { "a program under /opt", "/opt/zintaro", true, nullptr, "/home/ada", "/home/ada/.local/share/zintaro/files" },
        { "a folder only named like /usr", "/usrdata/zintaro", true, nullptr, "/home/ada", "/usrdata/zintaro/files" },
        { "a user's own bin folder", "/home/ada/bin", true, nullptr, "/home/ada",
            "/home/ada/.local/share/zintaro/files" },
        { "no home and no data folder: beside, the only place known", "/usr/bin", false, nullptr, nullptr,
            "/usr/bin/files" },
        { "a relative home is no home", "/usr/bin", false, nullptr, "home", "/usr/bin/files" },
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        zintaro::storage::Environment environment;
        environment.dataHome = c.xdgDataHome;
        environment.home = c.home;
        EXPECT_EQ(zintaro::storage::compositionsFolder(c.programFolder, c.writable, environment).string(),
            std::string(c.expected));
    }
}

} // namespace
