// The program's search beside the heap yardsticks: on fully linked lattices
// of 1,600, 100,000 and 1,000,000 vertices, an unreachable goal (every vertex
// expanded) and the opposite corner; on a 512 x 512 Moving AI-like grid map
// (bench/grid_text.h), corner to corner and 100 random pairs. Each iteration
// runs the searches in turn, so the ratios compare them under the same
// machine load. The program's search writes the scene's kind of predecessor
// table, emptied between iterations outside the timing, as the flat
// yardstick's is inside it. Run the bench from an optimised build (the
// default RelWithDebInfo or Release).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>

#include "bench/agreement.h"
#include "bench/grid_text.h"
#include "bench/heap_astar.h"
#include "bench/lattice.h"
#include "bench/process_memory.h"
#include "mapio/movingai.h"
#include "route/astar.h"
#include "route/search.h"

constexpr int kRepetitions = 9;
constexpr int kSides[] = {40, 316, 1000};
constexpr int kLargestSide = 1000;
constexpr int kGridSide = 512;
constexpr int kGridPairs = 100;

// Problems on one graph, each checked against the yardsticks before timing.
struct SearchCase {
    const std::vector<Vertex>* graph = nullptr;
    std::vector<int> starts;
    std::vector<int> goals;
    bool reportMemory = false;
};

static SearchCase latticeCase(int side, bool farCorner)
{
    SearchCase made;
    made.graph = &fullLattice(side);
    const int goal = farCorner ? latticeFarCorner(side) : latticeIsolatedVertex(side);
    requireAgreement(*made.graph, kLatticeCorner, goal, farCorner);
    made.starts = {kLatticeCorner};
    made.goals = {goal};
    made.reportMemory = side == kLargestSide;
    return made;
}

static const std::vector<Vertex>& gridMap()
{
    static const Scene map = [] {
        Scene read;
        std::string error;
        if (!parseMovingAi(gridText(kGridSide, kGridSide), "generated.map", read, error, nullptr)) {
            std::fprintf(stderr, "vialoom_bench: %s\n", error.c_str());
            std::exit(EXIT_FAILURE);
        }
        return read;
    }();
    return map.vertices;
}

// Corner to corner (the first free cell to the last one it reaches), or
// random pairs, all of them reachable.
static SearchCase gridCase(bool pairs)
{
    SearchCase made;
    made.graph = &gridMap();
    const int count = static_cast<int>(made.graph->size());
    std::vector<int> parent;
    for (int goal = count - 1; !pairs && made.starts.empty(); --goal)
        if (flatAStar(parent, *made.graph, 0, goal).found) {
            made.starts = {0};
            made.goals = {goal};
        }
    std::mt19937 rng(512);
    while (pairs && static_cast<int>(made.starts.size()) < kGridPairs) {
        const int start = static_cast<int>(rng() % static_cast<unsigned>(count));
        const int goal = static_cast<int>(rng() % static_cast<unsigned>(count));
        if (!flatAStar(parent, *made.graph, start, goal).found)
            continue;
        made.starts.push_back(start);
        made.goals.push_back(goal);
    }
    for (std::size_t i = 0; i < made.starts.size(); ++i)
        requireAgreement(*made.graph, made.starts[i], made.goals[i], true);
    return made;
}

template <typename Search>
static double secondsOf(Search search)
{
    const auto began = std::chrono::steady_clock::now();
    search();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

static void BM_Search(benchmark::State& state, const std::function<SearchCase()>& makeCase)
{
    const SearchCase made = makeCase();
    const std::vector<Vertex>& graph = *made.graph;
    Predecessors table;
    std::map<int, int> heapTable;
    std::vector<int> parent;
    double programSeconds = 0.0;
    double heapSeconds = 0.0;
    double flatSeconds = 0.0;
    for (auto _ : state) {
        double program = 0.0;
        for (std::size_t i = 0; i < made.starts.size(); ++i) {
            const int start = made.starts[i];
            const int goal = made.goals[i];
            clearPredecessors(table);
            program += secondsOf([&] { benchmark::DoNotOptimize(aStarSearch(table, graph, start, goal)); });
            heapTable.clear();
            heapSeconds += secondsOf([&] { benchmark::DoNotOptimize(heapAStar(heapTable, graph, start, goal)); });
            flatSeconds += secondsOf([&] { benchmark::DoNotOptimize(flatAStar(parent, graph, start, goal)); });
        }
        programSeconds += program;
        state.SetIterationTime(program);
    }
    double expanded = 0.0;
    for (std::size_t i = 0; i < made.starts.size(); ++i) {
        SearchTrace trace;
        searchRoute(table, graph, made.starts[i], made.goals[i], SearchMode::AStar, &trace);
        expanded += static_cast<double>(trace.expanded.size());
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["expanded"] = expanded;
    state.counters["heapMs"] = heapSeconds * 1e3 / runs;
    state.counters["vsHeap"] = programSeconds / heapSeconds;
    state.counters["flatMs"] = flatSeconds * 1e3 / runs;
    state.counters["vsFlat"] = programSeconds / flatSeconds;
    state.counters["nsPerExpanded"] = expanded > 0 ? programSeconds * 1e9 / runs / expanded : 0.0;
    if (made.reportMemory) {
        state.counters["peakRssMB"] = statusMegabytes("VmHWM");
        state.counters["rssMB"] = statusMegabytes("VmRSS");
    }
#ifndef __OPTIMIZE__
    state.SetLabel("unoptimised build: numbers mean little");
#endif
}

static void registerSearch(const std::string& name, std::function<SearchCase()> makeCase)
{
    benchmark::RegisterBenchmark(name.c_str(), [makeCase](benchmark::State& state) { BM_Search(state, makeCase); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true);
}

static void registerSearchBenchmarks()
{
    for (int side : kSides)
        for (bool farCorner : {false, true})
            registerSearch(std::string(farCorner ? "BM_AStar_FarCorner/" : "BM_AStar_Unreachable/") +
                               std::to_string(side),
                           [side, farCorner] { return latticeCase(side, farCorner); });
    registerSearch("BM_AStar_Grid512/corners", [] { return gridCase(false); });
    registerSearch("BM_AStar_Grid512/pairs", [] { return gridCase(true); });
}

static const bool registered = (registerSearchBenchmarks(), true);
