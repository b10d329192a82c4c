// ALT beside the program's A* on road-like maps of 200 thousand and a
// million vertices (bench/road_lattice.h): the landmarks' preparation time
// and memory, then the same random pairs by both, their expansions and
// times. Every ALT cost must equal A*'s (both sum these given costs in
// double) before anything is reported.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <map>
#include <random>
#include <vector>

#include "bench/process_memory.h"
#include "bench/road_lattice.h"
#include "route/alt_search.h"
#include "route/cost_graph.h"
#include "route/landmarks.h"
#include "route/search.h"

constexpr int kPairs = 1000;

static double secondsSince(std::chrono::steady_clock::time_point began)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// The map of side x side, one at a time: a million vertices take 150 MB.
static const std::vector<Vertex>& roadsOfSide(int side)
{
    static int made = 0;
    static std::vector<Vertex> roads;
    if (made != side) {
        roads = std::vector<Vertex>{};
        roads = roadLattice(side, 2026);
        made = side;
    }
    return roads;
}

static void BM_AltVsAStar_Roads(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const std::vector<Vertex>& roads = roadsOfSide(side);
    const int count = static_cast<int>(roads.size());
    std::mt19937 rng(31);
    std::vector<int> starts, goals;
    for (int i = 0; i < kPairs; ++i) {
        starts.push_back(static_cast<int>(rng() % count));
        goals.push_back(static_cast<int>(rng() % count));
    }
    // A* only on every aStarEvery-th pair on the largest map, where all of
    // them would take minutes; the ratio is taken over the pairs both ran.
    const int aStarEvery = state.range(1);
    double prepareSeconds = 0.0, prepareCpuSeconds = 0.0, landmarkMb = 0.0, altSeconds = 0.0, aStarSeconds = 0.0;
    double altExpanded = 0.0, altExpandedShared = 0.0, aStarExpanded = 0.0;
    for (auto _ : state) {
        const double before = statusMegabytes("VmRSS");
        auto began = std::chrono::steady_clock::now();
        const std::clock_t cpuBegan = std::clock();
        const CostGraph arcs = costGraphOf(roads);
        const Landmarks marks = chooseLandmarks(roads, arcs, kLandmarkCount, nullptr);
        prepareSeconds = secondsSince(began);
        prepareCpuSeconds = static_cast<double>(std::clock() - cpuBegan) / CLOCKS_PER_SEC;
        landmarkMb = statusMegabytes("VmRSS") - before;
        AltSearch alt;
        std::vector<double> altCosts;
        began = std::chrono::steady_clock::now();
        for (int i = 0; i < kPairs; ++i) {
            altSearch(arcs, roads, marks, starts[i], goals[i], alt);
            altCosts.push_back(alt.found ? alt.cost : -1.0);
            altExpanded += static_cast<double>(alt.expanded.size());
            if (i % aStarEvery == 0)
                altExpandedShared += static_cast<double>(alt.expanded.size());
        }
        altSeconds = secondsSince(began);
        SearchTrace trace;
        const CostModel costs = costModelOf(roads);
        began = std::chrono::steady_clock::now();
        for (int i = 0; i < kPairs; i += aStarEvery) {
            std::map<int, int> cameFrom;
            const bool found = searchRouteWith(cameFrom, roads, starts[i], goals[i], SearchChoice{}, &trace, costs);
            aStarExpanded += static_cast<double>(trace.expanded.size());
            const double cost = found ? trace.g[goals[i]] : -1.0;
            if ((cost < 0) != (altCosts[i] < 0) || std::fabs(cost - altCosts[i]) > 1e-5 * altCosts[i]) {
                state.SkipWithError("ALT and A* disagree on a cost");
                return;
            }
        }
        aStarSeconds = secondsSince(began);
        state.SetIterationTime(altSeconds);
    }
    const double shared = static_cast<double>((kPairs + aStarEvery - 1) / aStarEvery);
    state.counters["vertices"] = count;
    state.counters["prepareS"] = prepareSeconds;
    state.counters["prepareCpuS"] = prepareCpuSeconds; // the wall time less what other processes took
    state.counters["landmarkMb"] = landmarkMb;
    state.counters["rssMb"] = statusMegabytes("VmRSS");
    state.counters["altExpanded"] = altExpanded / kPairs;
    state.counters["aStarExpanded"] = aStarExpanded / shared;
    state.counters["expandedRatio"] = altExpandedShared / aStarExpanded;
    state.counters["altMs"] = altSeconds * 1e3 / kPairs;
    state.counters["aStarMs"] = aStarSeconds * 1e3 / shared;
    state.counters["speedUp"] = (aStarSeconds / shared) / (altSeconds / kPairs);
#ifndef __OPTIMIZE__
    state.SetLabel("unoptimised build: numbers mean little");
#endif
}

// 448 x 448 is 200 704 vertices, 1000 x 1000 a million.
BENCHMARK(BM_AltVsAStar_Roads)
    ->Args({448, 1})
    ->Args({1000, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
