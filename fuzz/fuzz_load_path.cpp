// The whole way of a file into the program and back out: load it from the
// disk as a double click does, put it into the store, draw every page of it,
// save it, and load the saved file again. Whatever the bytes, loading either
// refuses or gives only entries that can be played, and the saved file reads
// back to the same piece and the same bytes.
#include "core/modulo1.h"
#include "fuzz_support.h"
#include "staff/staff.h"
#include "storage/composition_file.h"
#include "storage/composition_format.h"
#include "support/recording_surface.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

using namespace zintaro;
using fuzzing::readBytes;
using fuzzing::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::filesystem::path& folder = fuzzing::runFolder();
    const std::filesystem::path input = folder / "input.txt";
    fuzzing::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    const auto outcome = storage::loadComposition(input);
    // Words only when refused, or loaded with lines skipped.
    const auto& parsed = outcome.piece;
    if (!parsed) {
        require(!outcome.text.empty());
        return 0;
    }
    require(parsed->noteCount() <= MaxEntries);
    for (const Entry& e : parsed->entries)
        require(storage::isPlayableEntry(e));
    require(outcome.text.empty() == (parsed->linesSkipped == 0 && !parsed->truncated));
    require((outcome.result == storage::LoadResult::Loaded) == outcome.text.empty());

    Modulo1 m;
    storage::applyToStore(*parsed, m.Composition);
    m.NoteCount = parsed->noteCount();
    testing::RecordingSurface surface;
    // At one of the two drawing scales, picked by the file's length, so that
    // a run draws at both and no input pays for drawing its pages twice.
    const int scale = size % 2 == 0 ? 1 : 5;
    for (int page = 0; page <= m.pageOf(m.NoteCount); ++page)
        staff::drawPage(staff::Look { scale, true, NoteNaming::Solfege, {}, {} }, surface,
            staff::PageView { m.Composition, m.NoteCount, page, {} });

    const storage::SaveOptions noFlush { false };
    require(storage::saveComposition(m, folder, "saved", noFlush).result == storage::SaveResult::Saved);
    const std::string saved = readBytes(folder / "saved.txt");
    require(saved == storage::writeCompositionText(m.Composition, m.NoteCount));

    const auto again = storage::loadComposition(folder / "saved.txt").piece;
    require(again && again->entries == parsed->entries && again->endLineFound && again->linesSkipped == 0);
    Modulo1 reloaded;
    storage::applyToStore(*again, reloaded.Composition);
    require(storage::writeCompositionText(reloaded.Composition, again->noteCount()) == saved);
    return 0;
}
