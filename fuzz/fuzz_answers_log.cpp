// Builds answers' histories line by line from the fuzzer's bytes: headers of
// either length, answers written by the program (cut to the shorter lines of
// earlier versions), such lines with one field replaced by other bytes, and
// lines of garbage, ended by LF or CR LF. An exam's line keeps its title,
// whatever its bytes. Every answer the program wrote
// reads back as written; the history read in large pieces tells the same
// lines apart as line by line; the raw bytes are read as a history too.
#include "core/key_meter.h"
#include "core/pitch.h"
#include "fuzz_support.h"
#include "storage/answers_log.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace zintaro;
using namespace zintaro::storage;
using fuzzing::require;

LocalTime makeTime(FuzzedDataProvider& in)
{
    const int offset = in.ConsumeIntegralInRange(0, 23 * 60 + 59);
    return { in.ConsumeIntegralInRange(1, 9999), in.ConsumeIntegralInRange(1, 12), in.ConsumeIntegralInRange(1, 28),
        in.ConsumeIntegralInRange(0, 23), in.ConsumeIntegralInRange(0, 59), in.ConsumeIntegralInRange(0, 59),
        in.ConsumeIntegralInRange(0, 999), in.ConsumeBool() ? -offset : offset };
}

SpelledNote makeNote(FuzzedDataProvider& in, int midiNote)
{
    return in.ConsumeBool() ? sharpSpelling(midiNote) : flatSpelling(midiNote);
}

// An answer as the program writes it, and the row it must read back as.
struct Written {
    std::string line;
    LocalTime when;
    AnswerRecord record;
    AnswerContext context;
    std::size_t columns = 11;
};

Written makeAnswer(FuzzedDataProvider& in)
{
    Written w;
    w.when = makeTime(in);
    const int shown = in.ConsumeIntegralInRange(0, 127);
    w.record = { static_cast<AnswerMode>(in.ConsumeIntegralInRange(0, 2)), shown, in.ConsumeIntegralInRange(0, 127),
        in.ConsumeBool(), in.ConsumeIntegralInRange<int64_t>(0, int64_t { 1 } << 40) };
    std::vector<SpelledNote> above;
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
        above.push_back(makeNote(in, in.ConsumeIntegralInRange(shown, 127)));
    w.context = { makeTime(in), static_cast<Clef>(in.ConsumeIntegralInRange(0, 2)), makeNote(in, shown), above,
        Key { in.ConsumeIntegralInRange(-MostAccidentals, MostAccidentals),
            in.ConsumeBool() ? KeyMode::Major : KeyMode::Minor },
        static_cast<AnswerInput>(in.ConsumeIntegralInRange(0, 2)) };
    // An exam's result: always whole, its title last, whatever its bytes.
    if (in.ConsumeIntegralInRange(0, 3) == 0) {
        w.record.mode = AnswerMode::Exam;
        w.context.title = in.ConsumeRandomLengthString(40);
        w.line = answerHistoryLine(w.when, w.record, w.context);
        w.columns = 13;
        return w;
    }
    w.line = answerHistoryLine(w.when, w.record, w.context);
    // Earlier versions wrote 6, 9 or 10 columns.
    static constexpr std::array<std::size_t, 4> Columns { 6, 9, 10, 11 };
    w.columns = Columns[in.ConsumeIntegralInRange<std::size_t>(0, Columns.size() - 1)];
    std::size_t commas = 0;
    for (std::size_t at = 0; at < w.line.size(); ++at) {
        if (w.line[at] == ',' && ++commas == w.columns) {
            w.line.resize(at);
            break;
        }
    }
    return w;
}

bool readsAsWritten(const AnswerHistoryRow& row, const Written& w)
{
    if (row.utcMs != w.when.utcMilliseconds() || row.record != w.record)
        return false;
    // A title reads back on one line.
    std::string title = w.context.title;
    std::replace(title.begin(), title.end(), '\n', ' ');
    std::replace(title.begin(), title.end(), '\r', ' ');
    if (row.title != title)
        return false;
    if (w.columns < 9)
        return !row.sessionUtcMs && !row.clef && !row.spelled && !row.key && !row.input;
    if (row.sessionUtcMs != w.context.sessionStart.utcMilliseconds() || row.clef != w.context.clef
        || row.spelled != w.context.spelled || row.above != w.context.above)
        return false;
    if (w.columns < 10)
        return !row.key && !row.input;
    return row.key == w.context.key && (w.columns < 11 ? !row.input : row.input == w.context.input);
}

std::vector<AnswerLogLine::Kind> kindsOf(std::string_view text)
{
    std::vector<AnswerLogLine::Kind> kinds;
    std::istringstream stream { std::string(text) };
    readAnswerLog(stream, [&kinds](const AnswerLogLine& line) { kinds.push_back(line.kind); });
    return kinds;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    kindsOf(std::string_view(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider in(data, size);
    std::string text;
    AnswerLogLines lines;
    std::vector<AnswerLogLine::Kind> expected;
    while (in.remaining_bytes() > 0 && expected.size() < 400) {
        std::string line;
        std::optional<Written> written;
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
            line = in.ConsumeBool() ? std::string(AnswerHistoryHeader) : "time,mode,shown,answered,right,response_ms";
            break;
        case 1: {
            // One field of a written line replaced.
            std::string whole = makeAnswer(in).line;
            const std::size_t from = in.ConsumeIntegralInRange<std::size_t>(0, whole.size());
            const std::size_t comma = whole.find(',', from);
            std::string other = in.ConsumeRandomLengthString(12);
            std::erase(other, '\n');
            line = whole.substr(0, from) + other + (comma == std::string::npos ? "" : whole.substr(comma));
            break;
        }
        case 2: {
            line = in.ConsumeRandomLengthString(80);
            std::erase(line, '\n');
            break;
        }
        default:
            written = makeAnswer(in);
            line = written->line;
        }
        // As the file's reader sees it: up to the LF, a CR before it kept.
        const bool crlf = in.ConsumeBool();
        const auto read = lines.read(crlf ? line + '\r' : line);
        if (written) {
            require(read && read->kind == AnswerLogLine::Kind::Answer && readsAsWritten(read->row, *written));
            require(read->localDay == written->when.localDay());
        }
        if (read)
            expected.push_back(read->kind);
        text += line;
        text += crlf ? "\r\n" : "\n";
    }
    require(kindsOf(text) == expected);
    return 0;
}
