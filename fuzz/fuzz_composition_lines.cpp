// Builds composition files line by line from the fuzzer's bytes: key and
// meter lines, entries with their quoted tag and blanks around the fields,
// end lines, lines of garbage and lines too long, ended by CR LF, LF or CR.
// A model of the format says what each line must give; the reader must give
// that, the same fed in any pieces, and the piece written back (with its key
// and meter) must read back the same.
#include "core/key_meter.h"
#include "fuzz_support.h"
#include "storage/composition_format.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace zintaro;
using namespace zintaro::storage;
using fuzzing::require;

// What the format makes of one line.
struct ModelLine {
    enum class Kind : uint8_t { Entry, Header, Skipped, Unknown };
    Kind kind = Kind::Skipped;
    Entry entry;
    std::optional<Key> key;
    std::optional<Meter> meter;
};

std::string blanks(FuzzedDataProvider& in)
{
    static constexpr std::array<const char*, 4> Blanks { "", " ", "\t", " \t " };
    return Blanks[in.ConsumeIntegralInRange<std::size_t>(0, Blanks.size() - 1)];
}

int16_t field(FuzzedDataProvider& in, int low, int high)
{
    // Mostly values the program writes, sometimes any 16-bit number.
    if (in.ConsumeBool())
        return static_cast<int16_t>(in.ConsumeIntegralInRange(low, high));
    return in.ConsumeIntegral<int16_t>();
}

// One line without its line end, and what the model says of it.
std::string makeLine(FuzzedDataProvider& in, ModelLine& model)
{
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: {
        const Key key { in.ConsumeIntegralInRange(-MostAccidentals, MostAccidentals),
            in.ConsumeBool() ? KeyMode::Major : KeyMode::Minor };
        model = { ModelLine::Kind::Header, {}, key, {} };
        return blanks(in) + "\"key\"" + blanks(in) + ",\"" + keyText(key) + "\"";
    }
    case 1: {
        const auto meters = offeredMeters();
        const Meter meter = meters[in.ConsumeIntegralInRange<std::size_t>(0, meters.size() - 1)];
        model = { ModelLine::Kind::Header, {}, {}, meter };
        return "\"meter\"," + blanks(in) + "\"" + meterText(meter) + "\"" + blanks(in);
    }
    case 2:
    case 3:
    case 4: {
        const Entry e { field(in, -1, 1), field(in, 0, 35), field(in, 0, 6) };
        model = { isPlayableEntry(e) ? ModelLine::Kind::Entry : ModelLine::Kind::Skipped, e, {}, {} };
        const std::string tag = in.ConsumeBool() ? "\"_\"" : in.ConsumeRandomLengthString(6);
        if (tag.find_first_of(",\r\n") != std::string::npos)
            model = { ModelLine::Kind::Unknown, {}, {}, {} };
        return tag + "," + blanks(in) + std::to_string(e.RestFlag) + blanks(in) + "," + std::to_string(e.NoteIndex)
            + "," + blanks(in) + std::to_string(e.DurationCode) + blanks(in);
    }
    case 5:
        model = { ModelLine::Kind::Entry, EndEntry, {}, {} };
        return "\"_\",111,111,111";
    case 6:
        model = { ModelLine::Kind::Skipped, {}, {}, {} };
        return std::string(in.ConsumeIntegralInRange<std::size_t>(1025, 3000), '1');
    default: {
        std::string raw = in.ConsumeRandomLengthString(40);
        std::erase_if(raw, [](char c) { return c == '\r' || c == '\n'; });
        model = { ModelLine::Kind::Unknown, {}, {}, {} };
        return raw;
    }
    }
}

// The model's reading of the lines, as the format describes it.
struct ModelPiece {
    std::vector<Entry> rows;
    int skipped = 0;
    Key key;
    Meter meter;
};

ModelPiece readModel(const std::vector<ModelLine>& lines)
{
    ModelPiece piece;
    for (const ModelLine& line : lines) {
        if (static_cast<int>(piece.rows.size()) >= StorePositions)
            break;
        if (line.kind == ModelLine::Kind::Header && piece.rows.empty()) {
            piece.key = line.key.value_or(piece.key);
            piece.meter = line.meter.value_or(piece.meter);
        } else if (line.kind == ModelLine::Kind::Entry) {
            piece.rows.push_back(line.entry);
        } else {
            ++piece.skipped;
        }
    }
    return piece;
}

bool sameReading(const ParsedComposition& a, const ParsedComposition& b)
{
    return a.entries == b.entries && a.linesRead == b.linesRead && a.linesSkipped == b.linesSkipped
        && a.endLineFound == b.endLineFound && a.truncated == b.truncated && a.key == b.key && a.meter == b.meter
        && a.unknownKey == b.unknownKey && a.unknownMeter == b.unknownMeter;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    static constexpr std::array<const char*, 3> LineEnds { "\r\n", "\n", "\r" };
    std::string text;
    std::vector<ModelLine> lines;
    bool known = true;
    while (in.remaining_bytes() > 0 && lines.size() < 1200) {
        ModelLine model;
        text += makeLine(in, model);
        known = known && model.kind != ModelLine::Kind::Unknown;
        lines.push_back(model);
        if (in.remaining_bytes() > 0 || in.ConsumeBool())
            text += LineEnds[in.ConsumeIntegralInRange<std::size_t>(0, LineEnds.size() - 1)];
    }

    const ParsedComposition parsed = readCompositionText(text);
    require(parsed.noteCount() <= MaxEntries);
    if (known) {
        require(!parsed.unknownKey && !parsed.unknownMeter);
        ModelPiece model = readModel(lines);
        const bool ended = !model.rows.empty() && model.rows.back() == EndEntry;
        if (ended)
            model.rows.pop_back();
        const auto ends = std::erase(model.rows, EndEntry);
        if (model.rows.size() > static_cast<std::size_t>(MaxEntries))
            model.rows.resize(MaxEntries);
        require(parsed.entries == model.rows && parsed.endLineFound == ended);
        require(parsed.linesSkipped == model.skipped + static_cast<int>(ends));
        require(parsed.key == model.key && parsed.meter == model.meter);
    }

    // The same text fed in pieces cut where the rest of the bytes say.
    CompositionReader reader;
    std::size_t at = 0;
    for (int piece = 0; piece < 8 && at < text.size(); ++piece) {
        const std::size_t length = data[(at + static_cast<std::size_t>(piece)) % (size == 0 ? 1 : size)] % 97;
        reader.feed(std::string_view(text).substr(at, length));
        at += length;
    }
    reader.feed(std::string_view(text).substr(std::min(at, text.size())));
    require(sameReading(reader.finish(), parsed));

    // Written back with its key and meter, it reads back whole.
    CompositionStore store;
    applyToStore(parsed, store);
    const ParsedComposition again
        = readCompositionText(writeCompositionText(store, parsed.noteCount(), parsed.key, parsed.meter));
    require(again.entries == parsed.entries && again.key == parsed.key && again.meter == parsed.meter);
    require(again.endLineFound && again.linesSkipped == 0 && !again.truncated);
    return 0;
}
