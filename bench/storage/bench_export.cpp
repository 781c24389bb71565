#include "core/modulo1.h"
#include "full_composition.h"
#include "staff/pdf_export.h"
#include "storage/export_file.h"
#include "storage/export_writers.h"
#include "storage/storage_test_support.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace zintaro;

using BenchFolder = testing::TemporaryFolder;
using bench::fullComposition;

enum Format : int64_t { Midi, MusicXml, Pdf };

std::string bytesOf(const Modulo1& m, int64_t format)
{
    switch (format) {
    case Midi:
        return storage::writeMidiFile(m.Composition, m.NoteCount, 750'000, 0);
    case MusicXml:
        return storage::writeMusicXml(m.Composition, m.NoteCount, "Acoustic Grand Piano", true);
    default:
        return staff::writePdf(m.Composition, m.NoteCount, "full", true);
    }
}

// Making the bytes of a 1000-entry composition in each format.
void BM_Write1000(benchmark::State& state)
{
    const Modulo1 m = fullComposition();
    for (auto _ : state)
        benchmark::DoNotOptimize(bytesOf(m, state.range(0)));
}
BENCHMARK(BM_Write1000)->ArgName("midi0_xml1_pdf2")->DenseRange(Midi, Pdf)->Unit(benchmark::kMillisecond);

// What the menu item does: the bytes, then the file written, flushed and
// renamed over the last one.
void BM_Export1000(benchmark::State& state)
{
    const BenchFolder folder;
    const Modulo1 m = fullComposition();
    const auto kind = static_cast<storage::ExportKind>(state.range(0));
    bool failed = false;
    for (auto _ : state) {
        const auto outcome
            = storage::exportFile(folder.path(), "full", storage::exportExtension(kind), bytesOf(m, state.range(0)));
        failed = failed || outcome.result != storage::ExportResult::Exported;
    }
    if (failed)
        state.SkipWithError("exporting failed");
}
BENCHMARK(BM_Export1000)->ArgName("midi0_xml1_pdf2")->DenseRange(Midi, Pdf)->Unit(benchmark::kMillisecond);

} // namespace
