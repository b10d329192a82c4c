// A* with the scaled estimate against Dijkstra on a DIMACS-style road graph
// of about 200,000 nodes: a jittered grid with integer arc weights, as
// distances (every weight at least its length, up to 1.3 times it: the scale
// stays at 1) and as travel times (4 / speed per unit of length, speeds 1 to
// 5: the fastest roads set the scale at 0.8 while most cost 1.3 or more). The
// same graph with derived costs is the yardstick of what A* saves at scale 1.
// Each iteration runs both searches over the same pairs, in turn.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "graph/costs.h"
#include "route/search.h"

constexpr int kSide = 448; // 200,704 nodes
constexpr float kSpacing = 10.0f;
constexpr int kPairs = 16;

enum Weights { Derived = 0, Distance = 1, Time = 2 };

// Sets the link's cost at both ends.
static void setCost(std::vector<Vertex>& graph, int a, int b, float cost)
{
    for (auto [from, to] : {std::pair{a, b}, std::pair{b, a}})
        for (int i = 0; i < graph[from].linkCount; ++i)
            if (graph[from].links[i].to == to)
                graph[from].links[i].cost = cost;
}

static std::vector<Vertex> roadGraph(Weights weights)
{
    std::mt19937 random(9);
    std::uniform_real_distribution<float> jitter(-3.0f, 3.0f);
    std::vector<Vertex> graph(static_cast<std::size_t>(kSide) * kSide);
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c) {
            Vertex& v = graph[static_cast<std::size_t>(r) * kSide + c];
            v.x = c * kSpacing + jitter(random);
            v.y = r * kSpacing + jitter(random);
        }
    const float speeds[] = {1.0f, 2.0f, 3.0f, 5.0f};
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c) {
            const int a = r * kSide + c;
            for (int b : {c + 1 < kSide ? a + 1 : -1, r + 1 < kSide ? a + kSide : -1}) {
                if (b < 0 || random() % 10 == 0) // a few roads missing
                    continue;
                toggleLinkIn(graph, a, b);
                const float length = vertexDistance(graph[a], graph[b]);
                const float detour = 1.0f + static_cast<float>(random() % 4) / 10.0f;
                if (weights == Distance)
                    setCost(graph, a, b, std::ceil(length * detour));
                else if (weights == Time)
                    setCost(graph, a, b, std::ceil(length * 4.0f / speeds[random() % 4]));
            }
        }
    return graph;
}

static const std::vector<Vertex>& graphOf(Weights weights)
{
    static std::map<int, std::vector<Vertex>> built;
    auto found = built.find(weights);
    if (found == built.end())
        found = built.emplace(weights, roadGraph(weights)).first;
    return found->second;
}

// range(0): the weights.
static void BM_Weighted(benchmark::State& state)
{
    const Weights weights = static_cast<Weights>(state.range(0));
    const std::vector<Vertex>& graph = graphOf(weights);
    const CostModel costs = costModelOf(graph);
    std::mt19937 random(15);
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < kPairs; ++i)
        pairs.emplace_back(random() % graph.size(), random() % graph.size());
    double aStarSeconds = 0.0, dijkstraSeconds = 0.0;
    double aStarExpanded = 0.0, dijkstraExpanded = 0.0;
    std::map<int, int> table;
    SearchTrace trace;
    for (auto _ : state) {
        aStarExpanded = dijkstraExpanded = 0.0;
        double iteration = 0.0;
        for (const auto& [start, goal] : pairs) {
            for (SearchMode mode : {SearchMode::AStar, SearchMode::Dijkstra}) {
                table.clear();
                const auto began = std::chrono::steady_clock::now();
                searchRoute(table, graph, start, goal, mode, &trace, costs);
                const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
                const double expanded = static_cast<double>(trace.expanded.size());
                (mode == SearchMode::AStar ? aStarSeconds : dijkstraSeconds) += seconds;
                (mode == SearchMode::AStar ? aStarExpanded : dijkstraExpanded) += expanded;
                if (mode == SearchMode::AStar)
                    iteration += seconds;
            }
        }
        state.SetIterationTime(iteration);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["scale"] = costs.scale;
    state.counters["aStarExpanded"] = aStarExpanded / kPairs;
    state.counters["dijkstraExpanded"] = dijkstraExpanded / kPairs;
    state.counters["expandedRatio"] = aStarExpanded / dijkstraExpanded;
    state.counters["aStarMs"] = aStarSeconds * 1e3 / runs / kPairs;
    state.counters["dijkstraMs"] = dijkstraSeconds * 1e3 / runs / kPairs;
    state.counters["vsDijkstra"] = aStarSeconds / dijkstraSeconds;
}

BENCHMARK(BM_Weighted)
    ->ArgName("weights")
    ->Arg(Derived)
    ->Arg(Distance)
    ->Arg(Time)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
