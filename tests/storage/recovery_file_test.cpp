#include "storage/recovery_file.h"
#include "storage_test_support.h"

#include <gtest/gtest.h>

namespace zintaro::testing {
namespace {

namespace fs = std::filesystem;

// Start-up takes back only a copy wholly as the program writes it, of this
// version (with a key and meter) or an earlier one (entries only); anything
// else is renamed aside, never over an earlier one, and is not read again.
TEST(RecoveryFileTest, onlyAWholeCopyIsTakenBackAndTheRestIsSetAside)
{
    TemporaryFolder temp;
    const fs::path file = temp.path() / "state" / "recovery.txt";
    CompositionStore store;
    store.set(0, { 0, 4, 2 });
    store.set(1, { 1, 0, 3 });
    store.set(2, EndEntry);
    const std::string now = storage::writeCompositionText(store, 2, { -3, KeyMode::Minor }, { 6, 8 });
    const std::string earlier = storage::writeCompositionText(store, 2);
    const struct {
        const char* name;
        std::string bytes;
        bool whole;
    } copies[] = {
        { "this version's", now, true },
        { "an earlier version's", earlier, true },
        { "cut before its end line", earlier.substr(0, earlier.rfind("\"_\",111")), false },
        { "with a line it cannot read", "\"_\",0,4,2\r\nnoise\r\n" + earlier.substr(earlier.find("\"_\",1")), false },
        { "of another program", "\x89PNG\r\n\x1a\n", false },
    };
    ASSERT_FALSE(storage::writeRecoveryFile(file, now)) << "the folder is made";
    int setAside = 0;
    for (const auto& copy : copies) {
        writeBytes(file, copy.bytes);
        const storage::RecoveryRead read = storage::readRecoveryFile(file);
        EXPECT_EQ(read.piece.has_value(), copy.whole) << copy.name;
        EXPECT_EQ(read.damaged, !copy.whole) << copy.name;
        if (copy.whole) {
            EXPECT_EQ(read.piece->noteCount(), 2) << copy.name;
            EXPECT_EQ(storage::writeCompositionText(store, 2, read.piece->key, read.piece->meter), copy.bytes);
            continue;
        }
        ASSERT_TRUE(read.setAside) << copy.name;
        EXPECT_EQ(readBytes(*read.setAside), copy.bytes) << copy.name;
        EXPECT_EQ(namesIn(file.parent_path()).size(), static_cast<std::size_t>(++setAside)) << copy.name;
        EXPECT_FALSE(storage::readRecoveryFile(file).damaged) << "set aside: " << copy.name;
    }

    // No piece to keep: the copy goes, and going again is no failure.
    writeBytes(file, now);
    EXPECT_FALSE(storage::writeRecoveryFile(file, std::nullopt));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(storage::writeRecoveryFile(file, std::nullopt));
}

} // namespace
} // namespace zintaro::testing
