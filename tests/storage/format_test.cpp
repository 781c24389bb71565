#include "storage/composition_format.h"
#include "storage_test_support.h"

#include <gtest/gtest.h>

namespace zintaro::storage {
namespace {

using testing::compositionsData;
using testing::readBytes;

const std::string EndLine = "\"_\",111,111,111\r\n";

std::string textOf(const std::vector<Entry>& entries)
{
    CompositionStore store;
    for (std::size_t i = 0; i < entries.size(); ++i)
        store.set(static_cast<int>(i), entries[i]);
    return writeCompositionText(store, static_cast<int>(entries.size()));
}

TEST(CompositionText, writesTheBytesOfAQuarterRestAndTheEndLine)
{
    const std::string quarterRest = "\x22\x5F\x22\x2C\x2D\x31\x2C\x30\x2C\x32\x0D\x0A";
    EXPECT_EQ(textOf({ { -1, 0, 2 } }), quarterRest + EndLine);
    EXPECT_EQ(EndLine.size(), 17u);
}

TEST(CompositionText, savingAnEmptyCompositionWritesOnlyTheEndLine)
{
    EXPECT_EQ(textOf({}), EndLine);
    const ParsedComposition parsed = readCompositionText(EndLine);
    EXPECT_EQ(parsed.noteCount(), 0);
    EXPECT_TRUE(parsed.endLineFound);
}

TEST(CompositionText, goldenFilesRoundTripByteForByte)
{
    for (const char* name : { "empty.txt", "quarter_rest.txt", "melody.txt" }) {
        SCOPED_TRACE(name);
        const std::string bytes = readBytes(compositionsData() / name);
        ASSERT_FALSE(bytes.empty());
        const ParsedComposition parsed = readCompositionText(bytes);
        EXPECT_TRUE(parsed.endLineFound);
        EXPECT_EQ(parsed.linesSkipped, 0);

        CompositionStore store;
        applyToStore(parsed, store);
        EXPECT_EQ(store.at(parsed.noteCount()), EndEntry);
        EXPECT_EQ(writeCompositionText(store, parsed.noteCount()), bytes);
    }
    // Fields land in their own rows, in file order.
    const ParsedComposition melody = readCompositionText(readBytes(compositionsData() / "melody.txt"));
    ASSERT_EQ(melody.noteCount(), 12);
    EXPECT_EQ(melody.entries[4], (Entry { 0, 14, 1 }));
    EXPECT_EQ(melody.entries[5], (Entry { -1, 0, 2 }));

    // Values the program cannot play are not read; they are written back as the store holds them.
    const ParsedComposition unusual = readCompositionText(readBytes(compositionsData() / "unusual_values.txt"));
    EXPECT_TRUE(unusual.endLineFound);
    EXPECT_EQ(unusual.noteCount(), 0);
    EXPECT_EQ(unusual.linesSkipped, 4);
    CompositionStore store;
    store.set(0, { -32768, 32767, -1 });
    EXPECT_EQ(writeCompositionText(store, 1), "\"_\",-32768,32767,-1\r\n\"_\",111,111,111\r\n");
}

template<std::size_t N> std::string bytesOf(const char (&text)[N])
{
    return std::string(text, N - 1);
}

struct ReadCase {
    const char* what;
    std::string bytes;
    std::vector<Entry> entries;
    int skipped;
};

// Whatever a file holds, reading gives entries and never fails.
TEST(CompositionText, readsTolerantlyAndSkipsLinesItCannotRead)
{
    const Entry a { 0, 7, 2 };
    const Entry r { -1, 0, 3 };
    const std::vector<ReadCase> cases = {
        { "empty file", "", {}, 0 },
        { "LF line ends", "\"_\",0,7,2\n\"_\",-1,0,3\n\"_\",111,111,111\n", { a, r }, 0 },
        { "CR line ends", "\"_\",0,7,2\r\"_\",111,111,111\r", { a }, 0 },
        { "spaces and tabs around fields", " \"_\" , 0 ,\t7 , 2 \r\n\"_\",111, 111 ,111\r\n", { a }, 0 },
        { "no end line", "\"_\",0,7,2\r\n\"_\",-1,0,3\r\n", { a, r }, 0 },
        { "last line without its line end", "\"_\",0,7,2\r\n\"_\",111,111,111", { a }, 0 },
        { "an unquoted tag", "_,0,7,2\r\n", { a }, 0 },
        { "a blank line", "\"_\",0,7,2\r\n\r\n\"_\",111,111,111\r\n", { a }, 1 },
        { "a number over 16 bits", "\"_\",0,32768,2\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "a number under 16 bits", "\"_\",-32769,7,2\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "a huge number", "\"_\",0,99999999999999999999,2\r\n", {}, 1 },
        { "too few fields", "\"_\",0,7\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "too many fields", "\"_\",0,7,2,5\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "an empty number", "\"_\",,7,2\r\n", {}, 1 },
        { "a plus sign", "\"_\",+0,7,2\r\n", {}, 1 },
        { "letters after digits", "\"_\",0,7x,2\r\n", {}, 1 },
        { "a decimal point", "\"_\",0,7.5,2\r\n", {}, 1 },
        { "a space inside a number", "\"_\",0,1 4,2\r\n", {}, 1 },
        { "garbage bytes", bytesOf("\xff\x00\x13,\x80\x81\r\n\"_\",0,7,2\r\n"), { a }, 1 },
        { "a line far too long", std::string(5000, '7') + "\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "an end line in the middle is skipped", "\"_\",111,111,111\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "the highest note and the shortest duration", "\"_\",0,35,6\r\n", { { 0, 35, 6 } }, 0 },
        { "a note above the piano", "\"_\",0,36,2\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "a note below the piano", "\"_\",0,-1,2\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "a duration past 1/64", "\"_\",0,7,7\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "a negative duration", "\"_\",-1,0,-1\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "a rest with a note out of range", "\"_\",-1,111,2\r\n", {}, 1 },
        { "dots and ties", "\"dots\",\"0  2\"\r\n\"ties\",\"0\"\r\n\"_\",0,7,2\r\n\"_\",0,7,3\r\n\"_\",-1,0,3\r\n",
            { { 0, 7, 2, true, true }, { 0, 7, 3 }, { -1, 0, 3, true } }, 0 },
        { "positions out of order", "\"dots\",\"1 0\"\r\n\"_\",0,7,2\r\n\"_\",0,7,2\r\n", { a, a }, 1 },
        { "a position that is no number", "\"ties\",\"0 x\"\r\n\"_\",0,7,2\r\n\"_\",0,7,2\r\n", { a, a }, 1 },
        { "no positions", "\"dots\",\"\"\r\n\"_\",0,7,2\r\n", { a }, 1 },
        { "a dot past the piece", "\"dots\",\"0 1\"\r\n\"_\",0,7,2\r\n", { { 0, 7, 2, true } }, 1 },
        { "a tie into another note", "\"ties\",\"0\"\r\n\"_\",0,7,2\r\n\"_\",0,8,2\r\n", { a, { 0, 8, 2 } }, 1 },
        { "a dots line among the entries", "\"_\",0,7,2\r\n\"dots\",\"0\"\r\n", { a }, 1 },
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ParsedComposition parsed = readCompositionText(c.bytes);
        EXPECT_EQ(parsed.entries, c.entries);
        EXPECT_EQ(parsed.linesSkipped, c.skipped);
    }
}

std::string lines(int count, const std::string& line)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += line;
    return out;
}

TEST(CompositionText, readingStopsAtTheStoresPositions)
{
    const std::string entry = "\"_\",0,7,2\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        bool endLineFound;
    };
    const std::vector<Case> cases = {
        { "2000 entry lines", lines(2000, entry), false },
        { "1001 entry lines", lines(1001, entry), false },
        { "1000 entries and the end line", lines(1000, entry) + EndLine, true },
        { "1001 entries and the end line", lines(1001, entry) + EndLine, false },
        { "1000 entries, the end line and more", lines(1000, entry) + EndLine + lines(50, entry), true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ParsedComposition parsed = readCompositionText(c.bytes);
        EXPECT_EQ(parsed.noteCount(), MaxEntries);
        EXPECT_EQ(parsed.endLineFound, c.endLineFound);
    }
    EXPECT_FALSE(readCompositionText(lines(1000, entry) + EndLine + "\r\n\r\n").truncated);
    EXPECT_TRUE(readCompositionText(lines(2000, entry)).truncated);
}

} // namespace
} // namespace zintaro::storage
