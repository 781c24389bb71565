#include "core/modulo1.h"

#include <benchmark/benchmark.h>

// Clearing the store happens on every "Nuovo": 3 × 1001 values.
static void BM_ClearComposition(benchmark::State& state)
{
    zintaro::CompositionStore store;
    for (auto _ : state) {
        store.clear();
        benchmark::DoNotOptimize(store.RestFlag.data());
    }
}
BENCHMARK(BM_ClearComposition);

BENCHMARK_MAIN();
