#include "core/modulo1.h"
#include "storage/export_file.h"
#include "storage/system_reason.h"
#include "storage_test_support.h"
#include "support/scripted_dialogs.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

// Export files on disk: where they go, what they are called, and what a
// failure to write one leaves.
namespace zintaro::storage {
namespace {

namespace fs = std::filesystem;
using testing::exportTelling;
using testing::namesIn;
using testing::readBytes;
using testing::ScriptedDialogs;
using testing::TemporaryFolder;
using testing::writeBytes;

class ExportFileTest : public ::testing::Test {
protected:
    fs::path files() const { return m_temp.path() / "files"; }

    TemporaryFolder m_temp;
    ScriptedDialogs dialogs;
};

TEST_F(ExportFileTest, writesTheNamedFileReplacingAnOldOneAndLeavesNothingElse)
{
    EXPECT_EQ(exportTelling(files(), "song", ".mid", "new bytes", dialogs), ExportResult::Exported);
    writeBytes(files() / "song.pdf", "old");
    EXPECT_EQ(exportTelling(files(), "song", ".pdf", "new pdf", dialogs), ExportResult::Exported);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(readBytes(files() / "song.mid"), "new bytes");
    EXPECT_EQ(readBytes(files() / "song.pdf"), "new pdf");
    EXPECT_EQ(namesIn(files()), (std::vector<std::string> { "song.mid", "song.pdf" }));
}

TEST_F(ExportFileTest, namesFollowTheCompositionsRulesAndTheExtensionsLength)
{
    struct Case {
        std::string name;
        std::string_view extension;
        ExportResult result;
    };
    const std::vector<Case> cases = {
        { "", ".mid", ExportResult::NameRefused },
        { "..", ".pdf", ExportResult::NameRefused },
        { "../escape", ".mid", ExportResult::NameRefused },
        { "line\nbreak", ".musicxml", ExportResult::NameRefused },
        { std::string(247, 'x'), ".musicxml", ExportResult::NameRefused },
        { std::string(246, 'x'), ".musicxml", ExportResult::Exported },
        { std::string(251, 'x'), ".mid", ExportResult::Exported },
        { "la mia canzone. 2", ".pdf", ExportResult::Exported },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.shown.clear();
        EXPECT_EQ(exportTelling(files(), c.name, c.extension, "bytes", dialogs), c.result);
        if (c.result == ExportResult::NameRefused) {
            ASSERT_EQ(dialogs.shown.size(), 1u);
            EXPECT_NE(dialogs.shown[0].text.find("Non è stato salvato nulla"), std::string::npos);
        } else {
            EXPECT_EQ(readBytes(files() / (c.name + std::string(c.extension))), "bytes");
        }
    }
    EXPECT_EQ(namesIn(m_temp.path()), std::vector<std::string> { "files" });
    EXPECT_EQ(namesIn(files()).size(), 3u);
}

// Cuts every file this process writes at a few bytes, so that writing fails
// half way even for the superuser, whom permissions do not stop.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(ExportFileTest, aFailureIsToldOnceWithTheSystemsReasonAndLeavesNoPartialFile)
{
    fs::create_directories(files());
    writeBytes(files() / "song.mid", "old");
    writeBytes(m_temp.path() / "plain", "not a folder");
    fs::create_directories(files() / "taken.pdf");
    struct Case {
        const char* what;
        fs::path folder;
        const char* name;
        const char* extension;
        int error;
    };
    const std::vector<Case> cases = {
        { "the folder is a file", m_temp.path() / "plain" / "files", "song", ".mid", ENOTDIR },
        { "a folder stands at the name", files(), "taken", ".pdf", EISDIR },
        { "the disk takes only part of it", files(), "song", ".mid", EFBIG },
    };
    const std::string bytes(4096, 'b');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.shown.clear();
        ExportResult result {};
        {
            const FileSizeLimit limit(c.error == EFBIG ? 100 : RLIM_INFINITY);
            result = exportTelling(c.folder, c.name, c.extension, bytes, dialogs);
        }
        EXPECT_EQ(result, ExportResult::Failed);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_NE(dialogs.shown[0].text.find(systemReason(c.error).render()), std::string::npos)
            << dialogs.shown[0].text;
    }
    EXPECT_EQ(readBytes(files() / "song.mid"), "old");
    EXPECT_EQ(namesIn(files()), (std::vector<std::string> { "song.mid", "taken.pdf" }));
    EXPECT_TRUE(fs::is_empty(files() / "taken.pdf"));
    EXPECT_EQ(readBytes(m_temp.path() / "plain"), "not a folder");
}

TEST_F(ExportFileTest, aReadOnlyFolderIsToldAndItsFilesKept)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "skipped: permissions do not bind the superuser";
    fs::create_directories(files());
    writeBytes(files() / "song.musicxml", "old");
    fs::permissions(files(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(exportTelling(files(), "song", ".musicxml", "new", dialogs), ExportResult::Failed);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find(systemReason(EACCES).render()), std::string::npos);
    EXPECT_EQ(readBytes(files() / "song.musicxml"), "old");
}

} // namespace
} // namespace zintaro::storage
