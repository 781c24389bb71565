#include "storage/importers.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

namespace {

using namespace zintaro;

// A score of 2,000 notes as score programs write them: 500 measures of four
// quarters with a name under each note, a chord every measure.
std::string twoThousandNoteScore()
{
    std::string xml
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\"><part-list>"
          "<score-part id=\"P1\"><part-name>Pianoforte</part-name></score-part></part-list><part id=\"P1\">";
    constexpr const char* Steps = "CDEFGAB";
    for (int measure = 0; measure < 500; ++measure) {
        xml += "<measure number=\"" + std::to_string(measure + 1) + "\">";
        if (measure == 0)
            xml += "<attributes><divisions>16</divisions><key><fifths>2</fifths></key><time><beats>4</beats>"
                   "<beat-type>4</beat-type></time><clef><sign>G</sign><line>2</line></clef></attributes>"
                   "<direction><sound tempo=\"100\"/></direction>";
        for (int beat = 0; beat < 4; ++beat) {
            const int n = measure * 4 + beat;
            xml += std::string(beat == 3 ? "<note><chord/>" : "<note>") + "<pitch><step>" + Steps[n % 7]
                + "</step><octave>" + std::to_string(4 + n % 2) + "</octave></pitch><duration>16</duration>"
                + "<voice>1</voice><type>quarter</type><stem>up</stem><lyric number=\"1\"><syllabic>single</syllabic>"
                + "<text>do</text></lyric></note>";
        }
        xml += "</measure>";
    }
    return xml + "</part></score-partwise>\n";
}

// Importing it; the goal is 200 ms at most.
void BM_ImportMusicXml2000(benchmark::State& state)
{
    const std::string xml = twoThousandNoteScore();
    double slowest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const storage::ImportOutcome outcome = storage::readMusicXml(xml);
        slowest = std::max(
            slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!outcome.piece) {
            state.SkipWithError("the score did not import");
            return;
        }
        benchmark::DoNotOptimize(outcome.piece->notes.data());
    }
    state.counters["slowest_ms"] = slowest;
    if (slowest > 200)
        state.SkipWithError("importing 2,000 notes took over 200 ms");
}
BENCHMARK(BM_ImportMusicXml2000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
