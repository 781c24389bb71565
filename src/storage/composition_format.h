#pragma once

#include "core/modulo1.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zintaro::storage {

// A composition file is ASCII text, one line per entry and an end line of
// three 111s, every line ended by CR LF:   "_",0,14,2
// The quoted tag is written but never read back. A piece in another key
// than C major or another meter than 4/4 begins with a line for each, before
// the entries:   "key","D"   "meter","3/4"
// Files of C major and 4/4 have neither, so they stay as every earlier
// version wrote them; a version that does not know these lines skips them.
// Likewise a piece with dotted values or ties lists their positions (from
// 0, ascending, space separated) in a line each before the entries:
//   "dots","3 7"   "ties","2"
// A piece with neither has no such lines. An older version skips them as
// lines it cannot read, and plays and draws every entry with its plain value.

// The bytes of the file for the piece at positions 0 .. noteCount − 1.
// Fields are written as the store holds them; noteCount is held to 0..1000.
std::string writeCompositionText(const CompositionStore& store, int noteCount, Key key = {}, Meter meter = {});

// What reading a file gives: the entries of the piece, without the end line.
struct ParsedComposition {
    std::vector<Entry> entries; // at most MaxEntries
    int linesRead = 0; // readable lines taken into positions, the end line included
    int linesSkipped = 0; // lines that could not be read or held values out of range
    bool endLineFound = false; // the last line read was a full end line
    bool truncated = false; // lines past the store's positions were ignored
    Key key;
    Meter meter;
    // A key or meter line whose value this version does not know: the words
    // of the file, as they stand. The piece cannot be read right without it.
    std::optional<std::string> unknownKey;
    std::optional<std::string> unknownMeter;

    int noteCount() const { return static_cast<int>(entries.size()); }
    // Nothing in the bytes looks like a composition: no entry the program can
    // play and no end line (random bytes, another encoding, a picture).
    bool isForeign() const { return entries.empty() && !endLineFound; }
};

// Whether an entry can be played and drawn: a note 0..35 and a duration 0..6.
// The rest flag is not checked: any value but 0 is a rest.
bool isPlayableEntry(Entry e);

// Reads a file's bytes a chunk at a time, so that a file of any size is read
// with bounded memory. Lines end with CR LF, LF or CR; spaces and tabs around
// fields are accepted. A line that is not a tag and three 16-bit numbers
// separated by commas is skipped and takes no position; so is an entry that
// is not playable, and an end line anywhere but last. Once the store's 1001
// positions are filled, further bytes are ignored.
class CompositionReader {
public:
    void feed(std::string_view bytes);
    // True once every position is filled: further bytes change nothing.
    bool full() const { return static_cast<int>(m_rows.size()) >= StorePositions; }
    // Ends the reading: a last line without a line end is read too. If the
    // last line read is not an end line, every line read is an entry and the
    // end marker is put after them (keeping at most 1000 entries).
    ParsedComposition finish();

private:
    void endLine();
    bool readHeaderLine(std::string_view line);
    void markEntries(ParsedComposition& parsed) const;

    std::vector<Entry> m_rows;
    std::string m_line;
    bool m_lineTooLong = false;
    bool m_afterCarriageReturn = false;
    int m_skipped = 0;
    bool m_truncated = false;
    Key m_key;
    Meter m_meter;
    std::optional<std::string> m_unknownKey;
    std::optional<std::string> m_unknownMeter;
    std::vector<int> m_dots;
    std::vector<int> m_ties;
};

ParsedComposition readCompositionText(std::string_view bytes);

// Puts the parsed piece into the store: its entries at positions 0 .. n − 1
// and the end marker at n. Positions past n keep what they held.
void applyToStore(const ParsedComposition& parsed, CompositionStore& store);

} // namespace zintaro::storage
