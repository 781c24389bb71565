#include "support/run_command.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using zintaro::testing::haveProgram;
using zintaro::testing::runCommand;
using zintaro::testing::shellQuoted;

const std::string Version = ZINTARO_VERSION;
const std::string Id = "org.zintaro.Zintaro";

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The package is made once, then unpacked into a root of the tests' own.
class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        deb = fs::path(ZINTARO_BUILD_DIR) / ("zintaro_" + Version + "_amd64.deb");
        scratch = fs::temp_directory_path() / ("zintaro-package-" + std::to_string(::getpid()));
        root = scratch / "root";
        fs::remove(deb);
        const auto made = runCommand("cmake --build " + shellQuoted(ZINTARO_BUILD_DIR) + " --target package 2>&1");
        madeLog = made.output;
        fs::create_directories(root);
        if (made.exitCode == 0 && fs::exists(deb))
            unpacked = runCommand("dpkg -x " + shellQuoted(deb) + " " + shellQuoted(root)).exitCode == 0;
    }
    static void TearDownTestSuite() { fs::remove_all(scratch); }

    void SetUp() override
    {
        if (!haveProgram("dpkg-deb"))
            GTEST_SKIP() << "dpkg-deb is missing";
        ASSERT_TRUE(fs::exists(deb)) << "the package was not made:\n" << madeLog;
        ASSERT_TRUE(unpacked);
    }

    static fs::path installed(const std::string& path) { return root / path; }

    static inline fs::path deb;
    static inline fs::path scratch;
    static inline fs::path root;
    static inline std::string madeLog;
    static inline bool unpacked = false;
};

TEST_F(Package, holdsWhatDesktopsAndDebianLookFor)
{
    const std::string listing = runCommand("dpkg-deb -c " + shellQuoted(deb)).output;
    std::vector<std::string> expected {
        "./usr/bin/zintaro",
        "./usr/share/applications/" + Id + ".desktop",
        "./usr/share/metainfo/" + Id + ".metainfo.xml",
        "./usr/share/icons/hicolor/48x48/apps/" + Id + ".png",
        "./usr/share/icons/hicolor/128x128/apps/" + Id + ".png",
        "./usr/share/icons/hicolor/256x256/apps/" + Id + ".png",
        "./usr/share/icons/hicolor/scalable/apps/" + Id + ".svg",
        "./usr/share/man/man1/zintaro.1.gz",
        "./usr/share/doc/zintaro/copyright",
        "./usr/share/doc/zintaro/changelog.gz",
    };
    expected.emplace_back("./usr/lib/zintaro/modules/zintaro-listen.so");
    expected.emplace_back("./usr/lib/zintaro/modules/zintaro-import.so");
    if (ZINTARO_HAS_PROGRESS_MODULE)
        expected.emplace_back("./usr/lib/zintaro/modules/zintaro-progress.so");
    for (const std::string& path : expected)
        EXPECT_NE(listing.find(" " + path + "\n"), std::string::npos) << path << " is not in\n" << listing;
    // The user's own layout stays out of the package.
    EXPECT_EQ(listing.find(" ./usr/zintaro\n"), std::string::npos) << listing;

    const auto field
        = [](const std::string& name) { return runCommand("dpkg-deb -f " + shellQuoted(deb) + " " + name).output; };
    EXPECT_EQ(field("Version"), Version + "\n");
    EXPECT_EQ(field("Section"), "sound\n");
    const std::string depends = field("Depends");
    std::vector<std::string> needs { "fluid-soundfont-gm", "espeak-ng-data", "libqt6widgets6", "libfluidsynth3" };
    if (ZINTARO_HAS_PROGRESS_MODULE)
        needs.emplace_back("libqt6charts6");
    for (const std::string& needed : needs)
        EXPECT_NE(depends.find(needed), std::string::npos) << needed << " is not in: " << depends;
}

TEST_F(Package, debianToolsFindNoError)
{
    if (!haveProgram("lintian") || !haveProgram("desktop-file-validate") || !haveProgram("appstreamcli"))
        GTEST_SKIP() << "lintian, desktop-file-utils or appstream is missing";
    const auto lintian = runCommand("lintian --tag-display-limit 0 " + shellQuoted(deb) + " 2>&1");
    EXPECT_EQ(lintian.exitCode, 0) << lintian.output;
    EXPECT_EQ(lintian.output.find("E: "), std::string::npos) << lintian.output;
    EXPECT_EQ(lintian.output.find("W: "), std::string::npos) << lintian.output;
    // Notes for information are left to a person; they show in the test's output.
    std::cout << "lintian:\n" << lintian.output;

    const auto desktop = runCommand(
        "desktop-file-validate " + shellQuoted(installed("usr/share/applications/" + Id + ".desktop")) + " 2>&1");
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output;
    const auto metainfo = runCommand("appstreamcli validate --no-net "
        + shellQuoted(installed("usr/share/metainfo/" + Id + ".metainfo.xml")) + " 2>&1");
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output;
}

TEST_F(Package, theManualAndTheAppStreamDataCarryTheProgramsVersion)
{
    if (!haveProgram("man"))
        GTEST_SKIP() << "man is missing";
    const std::string page = shellQuoted(installed("usr/share/man/man1/zintaro.1.gz"));
    const auto warnings = runCommand("MANWIDTH=80 man --warnings -l " + page + " 2>&1 >/dev/null");
    EXPECT_EQ(warnings.exitCode, 0);
    EXPECT_EQ(warnings.output, "");
    const auto rendered = runCommand("MANWIDTH=80 man -l " + page + " 2>/dev/null");
    EXPECT_NE(rendered.output.find("Zintaro " + Version), std::string::npos) << rendered.output;
    EXPECT_NE(rendered.output.find("--version"), std::string::npos) << rendered.output;

    const std::string metainfo = readText(installed("usr/share/metainfo/" + Id + ".metainfo.xml"));
    EXPECT_NE(metainfo.find("<release version=\"" + Version + "\""), std::string::npos) << metainfo;
}

struct Invocation {
    const char* arguments;
    int exitCode;
    const char* inOutput; // standard output and error together
};

TEST_F(Package, theInstalledProgramAnswersItsOptionsWithoutADisplay)
{
    const Invocation invocations[] = {
        { "--version", 0, "" },
        { "-v", 0, "" },
        { "--help", 0, "Usage: zintaro" },
        { "--frobnicate", 2, "unknown option '--frobnicate'" },
        { "-platform", 2, "needs a value" },
        { "song.txt", 2, "unexpected argument 'song.txt'" },
    };
    const std::string program = shellQuoted(installed("usr/bin/zintaro"));
    for (const Invocation& call : invocations) {
        SCOPED_TRACE(call.arguments);
        const auto run = runCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 " + program + " "
            + call.arguments + " 2>&1");
        EXPECT_EQ(run.exitCode, call.exitCode) << run.output;
        EXPECT_NE(run.output.find(call.inOutput), std::string::npos) << run.output;
    }
    EXPECT_EQ(runCommand(program + " --version").output, "zintaro " + Version + "\n");
    EXPECT_EQ(runCommand(program + " --bogus 2>/dev/null").output, "") << "a refusal goes to standard error";
}

// Started from /usr/bin (here the unpacked root's), the program cannot keep
// compositions beside itself: a save goes to the user's data folder.
TEST_F(Package, aPieceSavedByTheInstalledProgramLandsInTheUsersDataFolder)
{
    const fs::path home = scratch / "home";
    const fs::path dataHome = scratch / "data";
    struct Case {
        const char* what;
        bool dataHomeSet;
        fs::path expected;
    };
    const Case cases[] = {
        { "XDG_DATA_HOME set", true, dataHome / "zintaro" / "files" / "scala.txt" },
        { "XDG_DATA_HOME unset", false, home / ".local" / "share" / "zintaro" / "files" / "scala.txt" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(home);
        fs::remove_all(dataHome);
        fs::create_directories(home);
        fs::create_directories(scratch / "runtime");
        // Choices and recovery go to the temporary home too.
        const std::string environment
            = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u XDG_STATE_HOME ")
            + (c.dataHomeSet ? "XDG_DATA_HOME=" + shellQuoted(dataHome) : "-u XDG_DATA_HOME")
            + " HOME=" + shellQuoted(home) + " XDG_RUNTIME_DIR=" + shellQuoted(scratch / "runtime")
            + " TMPDIR=" + shellQuoted(scratch / "runtime")
            + " QT_QPA_PLATFORM=offscreen ZINTARO_TEST_ANSWER_DIALOGS=1 ZINTARO_TEST_SAVE_AS=scala";
        const auto run = runCommand(environment + " timeout 60 " + shellQuoted(installed("usr/bin/zintaro")) + " 2>&1");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output.find("dialog: "), std::string::npos) << run.output;
        ASSERT_TRUE(fs::exists(c.expected)) << run.output;
        EXPECT_EQ(readText(c.expected), "\"_\",111,111,111\r\n");
        EXPECT_FALSE(fs::exists(installed("usr/bin/files")));
    }
}

} // namespace
