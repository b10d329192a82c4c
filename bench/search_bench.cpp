// The program's search beside the heap yardstick on fully linked lattices of
// 1,600, 100,000 and 1,000,000 vertices: an unreachable goal (every vertex
// expanded) and the opposite corner. Each iteration runs both searches in
// turn, so the ratio compares them under the same machine load. Run the
// bench from an optimised build (the default RelWithDebInfo or Release).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>

#include "bench/agreement.h"
#include "bench/heap_astar.h"
#include "bench/lattice.h"
#include "bench/process_memory.h"
#include "route/astar.h"
#include "route/search.h"

constexpr int kRepetitions = 9;
constexpr int kSides[] = {40, 316, 1000};
constexpr int kLargestSide = 1000;

static const std::vector<Vertex>& checkedLattice(int side, int goal)
{
    const std::vector<Vertex>& graph = fullLattice(side);
    requireAgreement(graph, kLatticeCorner, goal, goal != latticeIsolatedVertex(side));
    return graph;
}

template <typename Search>
static double secondsOf(Search search)
{
    const auto began = std::chrono::steady_clock::now();
    search();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// range(0): lattice side; range(1): 1 for the far corner, 0 for the unreachable goal.
static void BM_Search(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const int goal = state.range(1) != 0 ? latticeFarCorner(side) : latticeIsolatedVertex(side);
    const std::vector<Vertex>& graph = checkedLattice(side, goal);
    std::map<int, int> table;
    std::vector<int> parent;
    double programSeconds = 0.0;
    double heapSeconds = 0.0;
    double flatSeconds = 0.0;
    for (auto _ : state) {
        table.clear();
        const double program =
            secondsOf([&] { benchmark::DoNotOptimize(aStarSearch(table, graph, kLatticeCorner, goal)); });
        table.clear();
        heapSeconds +=
            secondsOf([&] { benchmark::DoNotOptimize(heapAStar(table, graph, kLatticeCorner, goal)); });
        flatSeconds += secondsOf([&] { benchmark::DoNotOptimize(flatAStar(parent, graph, kLatticeCorner, goal)); });
        programSeconds += program;
        state.SetIterationTime(program);
    }
    SearchTrace trace;
    searchRoute(table, graph, kLatticeCorner, goal, SearchMode::AStar, &trace);
    const double expanded = static_cast<double>(trace.expanded.size());
    const double runs = static_cast<double>(state.iterations());
    state.counters["expanded"] = expanded;
    state.counters["heapMs"] = heapSeconds * 1e3 / runs;
    state.counters["vsHeap"] = programSeconds / heapSeconds;
    state.counters["flatMs"] = flatSeconds * 1e3 / runs;
    state.counters["vsFlat"] = programSeconds / flatSeconds;
    state.counters["nsPerExpanded"] = expanded > 0 ? programSeconds * 1e9 / runs / expanded : 0.0;
    if (side == kLargestSide) {
        state.counters["peakRssMB"] = statusMegabytes("VmHWM");
        state.counters["rssMB"] = statusMegabytes("VmRSS");
    }
#ifndef __OPTIMIZE__
    state.SetLabel("unoptimised build: numbers mean little");
#endif
}

static void registerSearchBenchmarks()
{
    for (int side : kSides)
        for (int farCorner : {0, 1})
            benchmark::RegisterBenchmark(farCorner ? "BM_AStar_FarCorner" : "BM_AStar_Unreachable", BM_Search)
                ->Args({side, farCorner})
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Repetitions(kRepetitions)
                ->ReportAggregatesOnly(true);
}

static const bool registered = (registerSearchBenchmarks(), true);
