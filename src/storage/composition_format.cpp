#include "storage/composition_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace zintaro::storage {

namespace {

// No line the program writes comes near this; longer ones are garbage and
// are skipped without being kept in memory.
constexpr std::size_t LongestLine = 1024;

// The duration buttons "1" to "1/64".
constexpr int DurationCodes = 7;

void appendNumber(std::string& out, int16_t value)
{
    std::array<char, 8> digits {};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), result.ptr);
}

void appendLine(std::string& out, Entry e)
{
    out += "\"_\",";
    appendNumber(out, e.RestFlag);
    out += ',';
    appendNumber(out, e.NoteIndex);
    out += ',';
    appendNumber(out, e.DurationCode);
    out += "\r\n";
}

std::string_view trimmed(std::string_view field)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!field.empty() && blank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && blank(field.back()))
        field.remove_suffix(1);
    return field;
}

// A whole field as a 16-bit number: an optional minus and digits, nothing else.
std::optional<int16_t> number(std::string_view field)
{
    field = trimmed(field);
    int16_t value = 0;
    const char* end = field.data() + field.size();
    const auto result = std::from_chars(field.data(), end, value);
    if (field.empty() || result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

// A tag and three numbers; the tag is not looked at.
std::optional<Entry> parseLine(std::string_view line)
{
    std::array<std::string_view, 4> fields;
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = line.find(',');
        if (count == fields.size())
            return std::nullopt;
        fields[count++] = line.substr(0, comma);
        if (comma == std::string_view::npos)
            break;
        line.remove_prefix(comma + 1);
    }
    if (count != fields.size())
        return std::nullopt;
    const auto rest = number(fields[1]);
    const auto note = number(fields[2]);
    const auto duration = number(fields[3]);
    if (!rest || !note || !duration)
        return std::nullopt;
    return Entry { *rest, *note, *duration };
}

// "3 7": positions from 0, ascending; anything else is no list.
std::optional<std::vector<int>> positionList(std::string_view value)
{
    std::vector<int> positions;
    while (!(value = trimmed(value)).empty()) {
        const std::size_t space = std::min(value.find_first_of(" \t"), value.size());
        const auto position = number(value.substr(0, space));
        if (!position || *position < 0 || *position >= MaxEntries
            || (!positions.empty() && *position <= positions.back()))
            return std::nullopt;
        positions.push_back(*position);
        value.remove_prefix(space);
    }
    if (positions.empty())
        return std::nullopt;
    return positions;
}

void appendPositions(std::string& out, const char* tag, const std::vector<int>& positions)
{
    if (positions.empty())
        return;
    out += '"';
    out += tag;
    out += "\",\"";
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (i > 0)
            out += ' ';
        appendNumber(out, static_cast<int16_t>(positions[i]));
    }
    out += "\"\r\n";
}

} // namespace

std::string writeCompositionText(const CompositionStore& store, int noteCount, Key key, Meter meter)
{
    noteCount = std::clamp(noteCount, 0, MaxEntries);
    std::string out;
    out.reserve(static_cast<std::size_t>(noteCount + 1) * 20 + 32);
    if (key != Key {})
        out += "\"key\",\"" + keyText(key) + "\"\r\n";
    if (meter != Meter {})
        out += "\"meter\",\"" + meterText(meter) + "\"\r\n";
    std::vector<int> dots;
    std::vector<int> ties;
    for (int i = 0; i < noteCount; ++i) {
        if (store.at(i).Dotted)
            dots.push_back(i);
        if (tieHolds(store, noteCount, i))
            ties.push_back(i);
    }
    appendPositions(out, "dots", dots);
    appendPositions(out, "ties", ties);
    for (int i = 0; i < noteCount; ++i)
        appendLine(out, store.at(i));
    appendLine(out, EndEntry);
    return out;
}

void CompositionReader::feed(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (full()) {
            // Line ends after the last position are not more lines.
            m_truncated = m_truncated || bytes.find_first_not_of("\r\n") != std::string_view::npos;
            return;
        }
        const char c = bytes.front();
        if (c == '\r' || c == '\n') {
            // The LF of a CR LF pair: the CR has already ended the line.
            if (c == '\r' || !m_afterCarriageReturn)
                endLine();
            m_afterCarriageReturn = c == '\r';
            bytes.remove_prefix(1);
            continue;
        }
        // The line's text up to its end or the end of the bytes, as much as a line may hold.
        const std::size_t text = std::min(bytes.find_first_of("\r\n"), bytes.size());
        const std::size_t room = LongestLine - std::min(m_line.size(), LongestLine);
        m_line.append(bytes.substr(0, std::min(text, room)));
        m_lineTooLong = m_lineTooLong || text > room;
        m_afterCarriageReturn = false;
        bytes.remove_prefix(text);
    }
}

bool isPlayableEntry(Entry e)
{
    return isPianoNote(e.NoteIndex) && e.DurationCode >= 0 && e.DurationCode < DurationCodes;
}

bool CompositionReader::readHeaderLine(std::string_view line)
{
    // A quoted tag, a comma and a quoted value.
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos)
        return false;
    const std::string_view tag = trimmed(line.substr(0, comma));
    std::string_view value = trimmed(line.substr(comma + 1));
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return false;
    value = value.substr(1, value.size() - 2);
    // Only before the entries: a key or meter line among them belongs to no piece.
    if (!m_rows.empty())
        return false;
    if (tag == "\"key\"") {
        if (const auto key = parseKey(value))
            m_key = *key;
        else
            m_unknownKey = std::string(value);
        return true;
    }
    if (tag == "\"meter\"") {
        if (const auto meter = parseMeter(value))
            m_meter = *meter;
        else
            m_unknownMeter = std::string(value);
        return true;
    }
    const bool dots = tag == "\"dots\"";
    if (dots || tag == "\"ties\"") {
        if (const auto positions = positionList(value)) {
            auto& marks = dots ? m_dots : m_ties;
            marks.insert(marks.end(), positions->begin(), positions->end());
        } else {
            ++m_skipped;
        }
        return true;
    }
    return false;
}

// Dots and ties go to the entries they name once the entries are known; a
// position past the piece, or a tie that does not lead into a note of the
// same key, makes its line one that could not be wholly read.
void CompositionReader::markEntries(ParsedComposition& parsed) const
{
    auto& entries = parsed.entries;
    const auto count = static_cast<int>(entries.size());
    bool dotLost = false;
    for (const int p : m_dots) {
        if (p < count)
            entries[static_cast<std::size_t>(p)].Dotted = true;
        dotLost = dotLost || p >= count;
    }
    bool tieLost = false;
    for (const int p : m_ties) {
        const bool holds = p + 1 < count && entries[static_cast<std::size_t>(p)].RestFlag == 0
            && entries[static_cast<std::size_t>(p) + 1].RestFlag == 0
            && entries[static_cast<std::size_t>(p)].NoteIndex == entries[static_cast<std::size_t>(p) + 1].NoteIndex;
        if (holds)
            entries[static_cast<std::size_t>(p)].TiedToNext = true;
        tieLost = tieLost || !holds;
    }
    parsed.linesSkipped += (dotLost ? 1 : 0) + (tieLost ? 1 : 0);
}

void CompositionReader::endLine()
{
    if (!m_lineTooLong && readHeaderLine(m_line)) {
        m_line.clear();
        return;
    }
    const std::optional<Entry> entry = m_lineTooLong ? std::nullopt : parseLine(m_line);
    // An end line takes its position for now: only the last one ends the piece.
    if (entry && (*entry == EndEntry || isPlayableEntry(*entry)))
        m_rows.push_back(*entry);
    else
        ++m_skipped;
    m_line.clear();
    m_lineTooLong = false;
}

ParsedComposition CompositionReader::finish()
{
    // A last line without its line end; an empty remainder is no line at all.
    if (!m_line.empty() || m_lineTooLong)
        endLine();

    ParsedComposition parsed;
    parsed.linesRead = static_cast<int>(m_rows.size());
    parsed.linesSkipped = m_skipped;
    parsed.truncated = m_truncated;
    parsed.key = m_key;
    parsed.meter = m_meter;
    parsed.unknownKey = m_unknownKey;
    parsed.unknownMeter = m_unknownMeter;
    parsed.endLineFound = !m_rows.empty() && m_rows.back() == EndEntry;
    if (parsed.endLineFound)
        m_rows.pop_back();
    // An end line before other lines would stop playback and editing in the middle of the piece.
    const auto ends = std::erase(m_rows, EndEntry);
    parsed.linesRead -= static_cast<int>(ends);
    parsed.linesSkipped += static_cast<int>(ends);
    if (static_cast<int>(m_rows.size()) > MaxEntries) {
        // 1001 entries and no end line: the last one has no room before the marker.
        m_rows.resize(MaxEntries);
        parsed.truncated = true;
    }
    parsed.entries = std::move(m_rows);
    markEntries(parsed);
    *this = CompositionReader {};
    return parsed;
}

ParsedComposition readCompositionText(std::string_view bytes)
{
    CompositionReader reader;
    reader.feed(bytes);
    return reader.finish();
}

void applyToStore(const ParsedComposition& parsed, CompositionStore& store)
{
    const int n = std::min(parsed.noteCount(), MaxEntries);
    for (int i = 0; i < n; ++i)
        store.set(i, parsed.entries[static_cast<std::size_t>(i)]);
    store.set(n, EndEntry);
}

} // namespace zintaro::storage
