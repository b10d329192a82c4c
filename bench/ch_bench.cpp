// Contraction hierarchies on a city-like road network (bench/road_network.h)
// of 100,000 and 1,000,000 vertices: preprocessing once (seconds, peak
// memory), then 1,000 random pairs answered by the hierarchy, and some of
// them by the program's Dijkstra and by its A*, in the same run, each pair
// by all three in turn so the ratios see the same load. Every hierarchy answer
// must equal a double Dijkstra's bit for bit before anything is reported.
// Times are wall clock; the build's and the queries' processor time are
// reported beside them, for a machine shared with other work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <limits>
#include <map>
#include <queue>
#include <random>
#include <string>

#include "bench/process_memory.h"
#include "bench/road_network.h"
#include "route/astar.h"
#include "route/contraction.h"
#include "route/search.h"

// 1,000 pairs: 50 random starts with 20 random goals each, so one full
// Dijkstra per start judges 20 answers. The program's Dijkstra and A* are
// timed on each start's first goal (50 pairs): at a million vertices each
// of theirs takes hundreds of times a hierarchy query.
constexpr int kStarts = 50;
constexpr int kGoalsPerStart = 20;
constexpr int kPairs = kStarts * kGoalsPerStart;

static double cpuSecondsSince(std::clock_t began)
{
    return static_cast<double>(std::clock() - began) / CLOCKS_PER_SEC;
}

static double secondsSince(std::chrono::steady_clock::time_point began)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// The judge: Dijkstra over the same arcs summed in double, from start to
// every vertex.
static void doubleDijkstra(const CostGraph& graph, int start, std::vector<double>& cost)
{
    std::fill(cost.begin(), cost.end(), std::numeric_limits<double>::infinity());
    std::priority_queue<std::pair<double, int>, std::vector<std::pair<double, int>>, std::greater<>> queue;
    cost[start] = 0.0;
    queue.push({0.0, start});
    while (!queue.empty()) {
        const auto [at, v] = queue.top();
        queue.pop();
        if (at > cost[v])
            continue;
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc) {
            const int w = graph.head[arc];
            if (at + graph.cost[arc] < cost[w]) {
                cost[w] = at + graph.cost[arc];
                queue.push({cost[w], w});
            }
        }
    }
}

static void BM_ContractionHierarchy_Roads(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const std::vector<Vertex> roads = roadNetwork(side, 1);
    const CostGraph graph = costGraphOf(roads);
    const int count = costGraphSize(graph);
    std::mt19937 rng(42);
    std::vector<std::pair<int, int>> pairs;
    for (int s = 0; s < kStarts; ++s) {
        const int start = static_cast<int>(rng() % count);
        for (int g = 0; g < kGoalsPerStart; ++g)
            pairs.push_back({start, static_cast<int>(rng() % count)});
    }
    for (auto _ : state) {
        const double rssBefore = statusMegabytes("VmRSS");
        Hierarchy hierarchy;
        std::string why;
        const auto built = std::chrono::steady_clock::now();
        const std::clock_t builtCpu = std::clock();
        if (buildHierarchy(graph, hierarchy, HierarchyOptions{}, why) != HierarchyStatus::Built) {
            state.SkipWithError(why.c_str());
            return;
        }
        const double buildSeconds = secondsSince(built);
        const double buildCpuSeconds = cpuSecondsSince(builtCpu);
        const double peak = statusMegabytes("VmHWM");
        HierarchyWork work;
        std::vector<HierarchyRoute> answers;
        const auto queried = std::chrono::steady_clock::now();
        const std::clock_t queriedCpu = std::clock();
        for (const auto& [start, goal] : pairs)
            answers.push_back(hierarchyQuery(hierarchy, work, start, goal));
        const double chSeconds = secondsSince(queried);
        const double chCpuSeconds = cpuSecondsSince(queriedCpu);
        std::vector<double> cost(count);
        for (int i = 0; i < kPairs; ++i) {
            if (i % kGoalsPerStart == 0)
                doubleDijkstra(graph, pairs[i].first, cost);
            const double cheapest = cost[pairs[i].second];
            if (answers[i].cost != cheapest || (answers[i].found && answers[i].searchCost != cheapest)) {
                state.SkipWithError(("pair " + std::to_string(i) + " differs from Dijkstra").c_str());
                return;
            }
        }
        std::map<int, int> table;
        double chFirstSeconds = 0.0, dijkstraSeconds = 0.0, astarSeconds = 0.0; // on the first goals
        for (int i = 0; i < kPairs; i += kGoalsPerStart) {
            const int start = pairs[i].first, goal = pairs[i].second;
            auto began = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(hierarchyQuery(hierarchy, work, start, goal));
            chFirstSeconds += secondsSince(began);
            table.clear();
            began = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(searchRoute(table, roads, start, goal, SearchMode::Dijkstra, nullptr));
            dijkstraSeconds += secondsSince(began);
            table.clear();
            began = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(aStarSearch(table, roads, start, goal));
            astarSeconds += secondsSince(began);
        }
        state.SetIterationTime(chSeconds / kPairs);
        state.counters["vertices"] = count;
        state.counters["shortcuts"] = static_cast<double>(hierarchy.shortcuts);
        state.counters["buildS"] = buildSeconds;
        state.counters["buildCpuS"] = buildCpuSeconds;
        state.counters["buildPeakMB"] = peak;
        state.counters["buildRiseMB"] = peak - rssBefore;
        state.counters["chMs"] = chSeconds * 1e3 / kPairs;
        state.counters["chCpuMs"] = chCpuSeconds * 1e3 / kPairs;
        state.counters["dijkstraMs"] = dijkstraSeconds * 1e3 / kStarts;
        state.counters["astarMs"] = astarSeconds * 1e3 / kStarts;
        // Against the average query; a query right after a search that swept
        // the whole graph through the cache (chColdMs) is slower.
        state.counters["chColdMs"] = chFirstSeconds * 1e3 / kStarts;
        state.counters["vsDijkstra"] = dijkstraSeconds / kStarts / (chSeconds / kPairs);
        state.counters["vsAStar"] = astarSeconds / kStarts / (chSeconds / kPairs);
    }
#ifndef __OPTIMIZE__
    state.SetLabel("unoptimised build: numbers mean little");
#endif
}

BENCHMARK(BM_ContractionHierarchy_Roads)
    ->Arg(316)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
