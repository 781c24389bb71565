// The whole way of a file into the program and back out: load it from the
// disk as a double click does, put it into the store, draw every page of it
// at both drawing scales, save it, and load the saved file again. Whatever
// the bytes, loading either refuses or gives only entries that can be played,
// and the saved file reads back to the same piece and the same bytes.
#include "core/modulo1.h"
#include "staff/staff.h"
#include "storage/composition_file.h"
#include "storage/composition_format.h"
#include "support/recording_surface.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace zintaro;

void require(bool holds)
{
    if (!holds)
        std::abort();
}

// One folder for the whole run, on a memory file system where there is one.
class RunFolder {
public:
    RunFolder()
    {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "zintaro-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary folder");
        m_path = pattern;
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;
    ~RunFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

const RunFolder& runFolder()
{
    static const RunFolder folder;
    return folder;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const fs::path folder = runFolder().path();
    const fs::path input = folder / "input.txt";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

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
    for (const int scale : { 1, 5 }) {
        for (int page = 0; page <= m.pageOf(m.NoteCount); ++page)
            staff::drawPage(staff::Look { scale, true, NoteNaming::Solfege, {}, {} }, surface,
                staff::PageView { m.Composition, m.NoteCount, page, {} });
    }

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
