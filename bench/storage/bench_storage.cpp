#include "core/modulo1.h"
#include "full_composition.h"
#include "staff/staff.h"
#include "storage/composition_file.h"
#include "storage/composition_format.h"
#include "storage/storage_test_support.h"
#include "support/recording_surface.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace zintaro;

using BenchFolder = testing::TemporaryFolder;
using bench::fullComposition;

void BM_WriteText1000(benchmark::State& state)
{
    const Modulo1 m = fullComposition();
    for (auto _ : state)
        benchmark::DoNotOptimize(storage::writeCompositionText(m.Composition, m.NoteCount));
}
BENCHMARK(BM_WriteText1000)->Unit(benchmark::kMicrosecond);

void BM_ReadText1000(benchmark::State& state)
{
    const Modulo1 m = fullComposition();
    const std::string text = storage::writeCompositionText(m.Composition, m.NoteCount);
    for (auto _ : state)
        benchmark::DoNotOptimize(storage::readCompositionText(text));
}
BENCHMARK(BM_ReadText1000)->Unit(benchmark::kMicrosecond);

// Loading a 1000-entry file from the disk and redrawing its last page with
// its bars, as a double click in the file list does.
void BM_LoadAndRedraw1000(benchmark::State& state)
{
    const BenchFolder folder;
    const Modulo1 source = fullComposition();
    if (storage::saveComposition(source, folder.path(), "full").result != storage::SaveResult::Saved)
        throw std::runtime_error("could not write the file");
    const fs::path path = folder.path() / "full.txt";

    Modulo1 m;
    testing::RecordingSurface surface;
    for (auto _ : state) {
        const auto outcome = storage::loadComposition(path);
        if (outcome.result != storage::LoadResult::Loaded)
            break;
        const auto& parsed = outcome.piece;
        storage::applyToStore(*parsed, m.Composition);
        m.NoteCount = parsed->noteCount();
        staff::drawPage(
            staff::Look {}, surface, staff::PageView { m.Composition, m.NoteCount, m.pageOf(m.NoteCount), {} });
        surface.setCursorLeft(staff::columnGrid(staff::Look {}).centre(m.columnOf(m.NoteCount)));
    }
    if (m.NoteCount != MaxEntries)
        state.SkipWithError("the file did not load");
}
BENCHMARK(BM_LoadAndRedraw1000)->Unit(benchmark::kMicrosecond);

// Saving a 1000-entry composition over an existing file; the argument says
// whether the new file is flushed to the disk before it replaces the old one.
void BM_Save1000(benchmark::State& state)
{
    const BenchFolder folder;
    const Modulo1 m = fullComposition();
    const storage::SaveOptions options { state.range(0) != 0 };
    bool failed = false;
    for (auto _ : state)
        failed = failed
            || storage::saveComposition(m, folder.path(), "full", options).result != storage::SaveResult::Saved;
    if (failed)
        state.SkipWithError("saving failed");
}
BENCHMARK(BM_Save1000)->ArgName("flush")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
