// Feeds arbitrary bytes to the composition reader and checks what every
// reading must give: a piece the store can hold, the end marker right after
// it, the same result however the bytes arrive, and a file written from the
// result that reads back to the same piece.
#include "storage/composition_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    using namespace zintaro;
    using namespace zintaro::storage;

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ParsedComposition parsed = readCompositionText(bytes);
    const int count = parsed.noteCount();
    require(count >= 0 && count <= MaxEntries);

    CompositionStore store;
    store.RestFlag.fill(-7);
    applyToStore(parsed, store);
    require(store.at(count) == EndEntry);
    for (int i = 0; i < count; ++i)
        require(store.at(i) == parsed.entries[static_cast<std::size_t>(i)]);

    // The same bytes in two pieces, split where the first byte says.
    const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
    CompositionReader reader;
    reader.feed(bytes.substr(0, split));
    reader.feed(bytes.substr(split));
    const ParsedComposition pieces = reader.finish();
    require(pieces.entries == parsed.entries && pieces.linesSkipped == parsed.linesSkipped);

    const ParsedComposition again = readCompositionText(writeCompositionText(store, count));
    require(again.entries == parsed.entries && again.endLineFound && again.linesSkipped == 0);
    return 0;
}
