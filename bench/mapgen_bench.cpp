// Building the random lattice map, as key "2" does.
#include <benchmark/benchmark.h>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"

static void BM_GenerateGridMap(benchmark::State& state)
{
    for (auto _ : state) {
        randomSeed(1u);
        generateGridMap();
        benchmark::DoNotOptimize(scene.vertices.data());
    }
    clearMap();
}

BENCHMARK(BM_GenerateGridMap)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
