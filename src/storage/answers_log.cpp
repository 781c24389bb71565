#include "storage/answers_log.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <system_error>
#include <utility>

namespace zintaro::storage {

namespace {

std::optional<AnswerMode> modeFromWord(std::string_view word)
{
    for (const AnswerMode mode :
        { AnswerMode::Random, AnswerMode::Scale, AnswerMode::Review, AnswerMode::Tempo, AnswerMode::Exam }) {
        if (word == answerModeWord(mode))
            return mode;
    }
    return std::nullopt;
}

std::string timeText(const LocalTime& when)
{
    const int offset = when.utcOffsetMinutes < 0 ? -when.utcOffsetMinutes : when.utcOffsetMinutes;
    char time[64];
    std::snprintf(time, sizeof time, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", when.year, when.month, when.day,
        when.hour, when.minute, when.second, when.millisecond, when.utcOffsetMinutes < 0 ? '-' : '+', offset / 60,
        offset % 60);
    return time;
}

// A whole number that fills the field exactly, within [low, high].
std::optional<int64_t> numberIn(std::string_view field, int64_t low, int64_t high)
{
    int64_t value = 0;
    const auto* end = field.data() + field.size();
    const auto result = std::from_chars(field.data(), end, value);
    if (field.empty() || result.ec != std::errc {} || result.ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

// "YYYY-MM-DDTHH:MM:SS.mmm+HH:MM", exactly as answerHistoryLine writes it.
std::optional<LocalTime> parseTime(std::string_view text)
{
    if (text.size() != 29 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':'
        || text[19] != '.' || (text[23] != '+' && text[23] != '-') || text[26] != ':')
        return std::nullopt;
    const auto year = numberIn(text.substr(0, 4), 1, 9999);
    const auto month = numberIn(text.substr(5, 2), 1, 12);
    const auto day = numberIn(text.substr(8, 2), 1, 31);
    const auto hour = numberIn(text.substr(11, 2), 0, 23);
    const auto minute = numberIn(text.substr(14, 2), 0, 59);
    const auto second = numberIn(text.substr(17, 2), 0, 60);
    const auto millisecond = numberIn(text.substr(20, 3), 0, 999);
    const auto offsetHours = numberIn(text.substr(24, 2), 0, 23);
    const auto offsetMinutes = numberIn(text.substr(27, 2), 0, 59);
    if (!year || !month || !day || !hour || !minute || !second || !millisecond || !offsetHours || !offsetMinutes)
        return std::nullopt;
    const int offset = static_cast<int>(*offsetHours * 60 + *offsetMinutes);
    return LocalTime { static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day),
        static_cast<int>(*hour), static_cast<int>(*minute), static_cast<int>(*second), static_cast<int>(*millisecond),
        text[23] == '-' ? -offset : offset };
}

// The columns a line may end after: the answer itself, the session, staff
// and spelling, the key, what answered, then the onset error. Each version
// of the file added columns at the end, so every older line is a prefix.
constexpr std::size_t AnswerColumns = 6;
constexpr std::size_t WrittenColumns = 9;
constexpr std::size_t KeyColumn = WrittenColumns;
constexpr std::size_t KeyedColumns = KeyColumn + 1;
constexpr std::size_t InputColumn = KeyedColumns;
constexpr std::size_t InputColumns = InputColumn + 1;
constexpr std::size_t OnsetColumn = InputColumns;
constexpr std::size_t AllColumns = OnsetColumn + 1;
constexpr std::size_t TitleColumn = AllColumns;

// The title as one field: in double quotes, a quote doubled, on one line.
std::string titleField(std::string_view title)
{
    std::string field = "\"";
    for (const char c : title) {
        if (c == '"')
            field += "\"\"";
        else
            field += c == '\n' || c == '\r' ? ' ' : c;
    }
    field += '"';
    return field;
}

std::optional<std::string> titleFromField(std::string_view field)
{
    if (field.size() < 2 || field.front() != '"' || field.back() != '"')
        return std::nullopt;
    std::string title;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        if (field[i] == '"' && (i + 2 >= field.size() || field[++i] != '"'))
            return std::nullopt;
        title += field[i];
    }
    return title;
}

// An onset error beyond a day is not one a student could have played.
constexpr int64_t MaxOnsetMs = int64_t { 24 } * 60 * 60 * 1000;

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

} // namespace

std::string_view answerModeWord(AnswerMode mode)
{
    switch (mode) {
    case AnswerMode::Scale:
        return "scale";
    case AnswerMode::Review:
        return "review";
    case AnswerMode::Tempo:
        return "tempo";
    case AnswerMode::Exam:
        return "exam";
    case AnswerMode::Random:
        break;
    }
    return "random";
}

std::string_view answerInputWord(AnswerInput input)
{
    switch (input) {
    case AnswerInput::Midi:
        return "midi";
    case AnswerInput::Microphone:
        return "mic";
    case AnswerInput::Keys:
        break;
    }
    return "keys";
}

std::optional<AnswerInput> answerInputFromWord(std::string_view word)
{
    for (const AnswerInput input : { AnswerInput::Keys, AnswerInput::Midi, AnswerInput::Microphone }) {
        if (word == answerInputWord(input))
            return input;
    }
    return std::nullopt;
}

LocalTime LocalTime::now()
{
    using namespace std::chrono;
    const auto clock = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(clock);
    std::tm local {};
    localtime_r(&seconds, &local);
    const auto ms = duration_cast<milliseconds>(clock.time_since_epoch()).count() % 1000;
    return { local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
        static_cast<int>(ms < 0 ? ms + 1000 : ms), static_cast<int>(local.tm_gmtoff / 60) };
}

int64_t LocalTime::utcMilliseconds() const
{
    const int64_t localMinutes = int64_t { localDay() } * 1440 + hour * 60 + minute - utcOffsetMinutes;
    return (localMinutes * 60 + second) * 1000 + millisecond;
}

std::string answerHistoryLine(const LocalTime& when, const AnswerRecord& record, const AnswerContext& context)
{
    std::string line = timeText(when);
    line += ',';
    line += answerModeWord(record.mode);
    line += ',' + std::to_string(record.shown) + ',' + std::to_string(record.answered) + ','
        + (record.right ? '1' : '0') + ',' + std::to_string(record.responseMs) + ',' + timeText(context.sessionStart)
        + ',';
    line += clefWord(context.clef);
    line += ',' + spelledText(context.spelled);
    for (const SpelledNote note : context.above)
        line += '+' + spelledText(note);
    line += ',';
    if (context.key != Key {})
        line += keyText(context.key);
    line += ',';
    line += answerInputWord(context.input);
    line += ',';
    if (record.onsetMs)
        line += std::to_string(*record.onsetMs);
    if (record.mode == AnswerMode::Exam)
        line += ',' + titleField(context.title);
    return line;
}

std::string answerHistoryLine(const LocalTime& when, const AnswerRecord& record)
{
    return answerHistoryLine(when, record, { when, Clef::Treble, sharpSpelling(record.shown) });
}

std::optional<AnswerHistoryRow> parseAnswerHistoryLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    auto fields = splitFields(line);
    // Only an exam's line has a title, and its commas are the title's own.
    const bool exam = fields.size() > TitleColumn && fields[1] == answerModeWord(AnswerMode::Exam);
    std::optional<std::string> title;
    if (exam) {
        const std::size_t start = static_cast<std::size_t>(fields[TitleColumn].data() - line.data());
        title = titleFromField(line.substr(start));
        fields.resize(AllColumns);
    }
    if (exam && !title)
        return std::nullopt;
    if (fields.size() != AnswerColumns && fields.size() != WrittenColumns && fields.size() != KeyedColumns
        && fields.size() != InputColumns && fields.size() != AllColumns)
        return std::nullopt;
    const auto time = parseTime(fields[0]);
    const auto mode = modeFromWord(fields[1]);
    const auto shown = numberIn(fields[2], 0, 127);
    const auto answered = numberIn(fields[3], 0, 127);
    const auto right = numberIn(fields[4], 0, 1);
    const auto response = numberIn(fields[5], 0, int64_t { 1 } << 40);
    if (!time || !shown || !answered || !right || !response || !mode)
        return std::nullopt;
    AnswerHistoryRow row { time->utcMilliseconds(),
        { *mode, static_cast<int>(*shown), static_cast<int>(*answered), *right == 1, *response } };
    if (fields.size() >= WrittenColumns) {
        const auto session = parseTime(fields[6]);
        const auto clef = clefFromWord(fields[7]);
        std::vector<SpelledNote> notes;
        for (std::string_view rest = fields[8];;) {
            const auto plus = rest.find('+');
            const auto note = parseSpelled(rest.substr(0, plus));
            if (!note)
                return std::nullopt;
            notes.push_back(*note);
            if (plus == std::string_view::npos)
                break;
            rest.remove_prefix(plus + 1);
        }
        if (!session || !clef || midiNoteOf(notes.front()) != row.record.shown)
            return std::nullopt;
        row.sessionUtcMs = session->utcMilliseconds();
        row.clef = clef;
        row.spelled = notes.front();
        row.above.assign(notes.begin() + 1, notes.end());
    }
    if (fields.size() >= KeyedColumns) {
        row.key = fields[KeyColumn].empty() ? std::optional<Key> { Key {} } : parseKey(fields[KeyColumn]);
        if (!row.key)
            return std::nullopt;
    }
    if (fields.size() >= InputColumns) {
        row.input = answerInputFromWord(fields[InputColumn]);
        if (!row.input)
            return std::nullopt;
    }
    if (fields.size() == AllColumns && !fields[OnsetColumn].empty()) {
        const auto onset = numberIn(fields[OnsetColumn], -MaxOnsetMs, MaxOnsetMs);
        if (!onset)
            return std::nullopt;
        row.record.onsetMs = static_cast<int>(*onset);
    }
    row.title = title.value_or(std::string {});
    return row;
}

std::vector<AnswerHistoryRow> readAnswerHistory(const std::filesystem::path& file)
{
    std::vector<AnswerHistoryRow> rows;
    readAnswerLog(file, [&rows](const AnswerLogLine& line) {
        if (line.kind == AnswerLogLine::Kind::Answer && line.row.record.mode != AnswerMode::Exam)
            rows.push_back(line.row);
    });
    return rows;
}

int LocalTime::localDay() const
{
    using namespace std::chrono;
    const sys_days date { std::chrono::year { year } / std::chrono::month { static_cast<unsigned>(month) }
        / std::chrono::day { static_cast<unsigned>(day) } };
    return static_cast<int>(date.time_since_epoch().count());
}

std::optional<AnswerLogLine> AnswerLogLines::read(std::string_view line)
{
    if (line.empty() || line == "\r")
        return std::nullopt;
    const bool first = std::exchange(m_first, false);
    if (auto row = parseAnswerHistoryLine(line))
        return AnswerLogLine { AnswerLogLine::Kind::Answer, *row, parseTime(line.substr(0, 29))->localDay() };
    // The first line is the header, of either length.
    if (first && line.starts_with("time,mode,"))
        return AnswerLogLine { AnswerLogLine::Kind::Header, {}, 0 };
    return AnswerLogLine {};
}

void readAnswerLog(std::istream& in, const std::function<void(const AnswerLogLine&)>& take)
{
    AnswerLogLines lines;
    const auto give = [&](std::string_view text) {
        if (const auto line = lines.read(text))
            take(*line);
    };
    std::string buffer;
    std::vector<char> chunk(1 << 16);
    while (in.read(chunk.data(), std::streamsize(chunk.size())) || in.gcount() > 0) {
        buffer.append(chunk.data(), std::size_t(in.gcount()));
        std::size_t start = 0;
        for (std::size_t end; (end = buffer.find('\n', start)) != std::string::npos; start = end + 1)
            give(std::string_view(buffer).substr(start, end - start));
        buffer.erase(0, start);
    }
    if (!buffer.empty())
        give(buffer);
}

void readAnswerLog(const std::filesystem::path& file, const std::function<void(const AnswerLogLine&)>& take)
{
    std::ifstream in(file, std::ios::binary);
    if (in)
        readAnswerLog(in, take);
}

} // namespace zintaro::storage
