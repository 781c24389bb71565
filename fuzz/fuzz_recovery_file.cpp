// The recovery copy an earlier run left. Copies are built from the
// fuzzer's bytes out of their parts (a key line, a meter line, the entries,
// the end line), as the program writes them, then perhaps cut short as a
// crash would, or with a byte changed, or garbage after them; or the bytes
// are the copy as they come. A copy as the program writes it comes back
// whole; anything else is set aside beside it with its bytes, never over an
// earlier copy set aside, and nothing is deleted.
#include "core/key_meter.h"
#include "fuzz_support.h"
#include "storage/composition_format.h"
#include "storage/recovery_file.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

using namespace zintaro;
using namespace zintaro::storage;
using fuzzing::require;
namespace fs = std::filesystem;

struct Copy {
    std::string bytes;
    bool whole = false; // as the program writes it
    bool cutShort = false; // ends before the end line's last digit
    ParsedComposition piece; // what a whole copy holds
};

Copy makeCopy(FuzzedDataProvider& in)
{
    Copy copy;
    if (in.ConsumeBool()) {
        copy.bytes = in.ConsumeRemainingBytesAsString();
        return copy;
    }
    const auto meters = offeredMeters();
    copy.piece.key = in.ConsumeBool() ? Key {}
                                      : Key { in.ConsumeIntegralInRange(-MostAccidentals, MostAccidentals),
                                            in.ConsumeBool() ? KeyMode::Major : KeyMode::Minor };
    copy.piece.meter = meters[in.ConsumeIntegralInRange<std::size_t>(0, meters.size() - 1)];
    CompositionStore store;
    const int count = in.ConsumeIntegralInRange(0, in.ConsumeBool() ? 8 : MaxEntries);
    for (int i = 0; i < count; ++i) {
        const Entry e { static_cast<int16_t>(in.ConsumeIntegralInRange(-1, 1)),
            static_cast<int16_t>(in.ConsumeIntegralInRange(0, 35)),
            static_cast<int16_t>(in.ConsumeIntegralInRange(0, 6)) };
        store.set(i, e);
        copy.piece.entries.push_back(e);
    }
    copy.bytes = writeCompositionText(store, count, copy.piece.key, copy.piece.meter);
    copy.whole = true;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 1: {
        // Cut before the end line's last digit: the end line is gone or damaged.
        const std::size_t end = in.ConsumeIntegralInRange<std::size_t>(0, copy.bytes.size() - 3);
        copy.bytes.resize(end);
        copy.whole = false;
        copy.cutShort = true;
        break;
    }
    case 2: {
        const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, copy.bytes.size() - 1);
        const char was = copy.bytes[at];
        copy.bytes[at] = in.ConsumeIntegral<char>();
        copy.whole = copy.bytes[at] == was;
        break;
    }
    case 3:
        copy.bytes += in.ConsumeRandomLengthString(40);
        copy.whole = false;
        break;
    default:
        break;
    }
    return copy;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const Copy copy = makeCopy(in);
    const fs::path folder = fuzzing::runFolder() / "state";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = folder / "recovery.txt";
    fuzzing::writeBytes(file, copy.bytes);
    // An earlier copy set aside under the name this second would give.
    const auto now
        = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    const fs::path earlier = folder / ("recovery-damaged-" + std::to_string(now) + ".txt");
    fuzzing::writeBytes(earlier, "earlier");

    const RecoveryRead read = readRecoveryFile(file);
    require(read.piece.has_value() != read.damaged);
    require(fuzzing::readBytes(earlier) == "earlier");
    if (read.piece) {
        require(fs::exists(file) && !read.setAside);
        const ParsedComposition& piece = *read.piece;
        require(piece.endLineFound && piece.linesSkipped == 0 && !piece.truncated);
        CompositionStore store;
        applyToStore(piece, store);
        const ParsedComposition again
            = readCompositionText(writeCompositionText(store, piece.noteCount(), piece.key, piece.meter));
        require(again.entries == piece.entries && again.key == piece.key && again.meter == piece.meter);
    } else {
        require(read.setAside && !fs::exists(file) && fuzzing::readBytes(*read.setAside) == copy.bytes);
    }
    if (copy.whole)
        require(read.piece && read.piece->entries == copy.piece.entries && read.piece->key == copy.piece.key
            && read.piece->meter == copy.piece.meter);
    require(!copy.cutShort || read.damaged);
    return 0;
}
