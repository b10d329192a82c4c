// The program's search and the heap yardstick on the same lattice: an
// unreachable goal (every vertex expanded) and the opposite corner.
#include <benchmark/benchmark.h>

#include <map>

#include "bench/agreement.h"
#include "bench/heap_astar.h"
#include "bench/lattice.h"
#include "route/astar.h"

constexpr int kRepetitions = 9;

static const std::vector<Vertex>& checkedLattice()
{
    static const bool checked = [] {
        requireAgreement(fullLattice(), kLatticeCorner, kIsolatedVertex, false);
        requireAgreement(fullLattice(), kLatticeCorner, kLatticeFarCorner, true);
        return true;
    }();
    (void)checked;
    return fullLattice();
}

static void runProgramSearch(benchmark::State& state, int goal)
{
    const std::vector<Vertex>& graph = checkedLattice();
    std::map<int, int> cameFrom;
    for (auto _ : state) {
        state.PauseTiming();
        cameFrom.clear();
        state.ResumeTiming();
        benchmark::DoNotOptimize(aStarSearch(cameFrom, graph, kLatticeCorner, goal));
    }
}

static void runHeapSearch(benchmark::State& state, int goal)
{
    const std::vector<Vertex>& graph = checkedLattice();
    for (auto _ : state)
        benchmark::DoNotOptimize(heapAStar(graph, kLatticeCorner, goal));
}

static void BM_AStar_Unreachable(benchmark::State& state)
{
    runProgramSearch(state, kIsolatedVertex);
}

static void BM_AStar_FarCorner(benchmark::State& state)
{
    runProgramSearch(state, kLatticeFarCorner);
}

static void BM_HeapAStar_Unreachable(benchmark::State& state)
{
    runHeapSearch(state, kIsolatedVertex);
}

static void BM_HeapAStar_FarCorner(benchmark::State& state)
{
    runHeapSearch(state, kLatticeFarCorner);
}

BENCHMARK(BM_AStar_Unreachable)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_AStar_FarCorner)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_HeapAStar_Unreachable)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_HeapAStar_FarCorner)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
