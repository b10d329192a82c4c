// The searches added beside A*, against a plain Dijkstra: every exact one
// finds the cheapest cost, weighted A* keeps its bound, breadth-first the
// fewest links; the bidirectional ones on graphs that trap a search stopping
// where its halves first meet; the admissibility report against a brute force.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <queue>
#include <random>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/admissibility.h"
#include "route/dijkstra.h"
#include "route/hierarchy_cache.h"
#include "route/prepared.h"
#include "route/route_walk.h"
#include "route/search_names.h"
#include "route/weighted.h"
#include "ui/stats_text.h"

namespace {

using Graph = std::vector<Vertex>;

void link(Graph& graph, int a, int b, float cost)
{
    if (a == b || findLink(graph[a], b) != nullptr || graph[a].linkCount == kMaxLinks ||
        graph[b].linkCount == kMaxLinks)
        return;
    graph[a].links[graph[a].linkCount++] = Link{b, cost};
    graph[b].links[graph[b].linkCount++] = Link{a, cost};
}

// Whole coordinates on a small square and whole costs no shorter than the
// straight line: sums are exact, so equal routes tie exactly and every cost
// can be compared with ==; Euclidean, Chebyshev and zero stay consistent.
// Some vertices stay unlinked, and some graphs fall into parts.
Graph wholeGraph(std::mt19937& rng)
{
    const int count = 1 + static_cast<int>(rng() % 30);
    const int side = 2 + static_cast<int>(rng() % 8);
    Graph graph(static_cast<std::size_t>(count));
    for (Vertex& v : graph) {
        v.x = static_cast<float>(rng() % side);
        v.y = static_cast<float>(rng() % side);
    }
    const int slack = static_cast<int>(rng() % 3);
    for (int i = static_cast<int>(rng() % (3 * count + 1)); i > 0; --i) {
        const int a = static_cast<int>(rng() % count);
        const int b = static_cast<int>(rng() % count);
        const float straight = std::ceil(vertexDistance(graph[a], graph[b]));
        link(graph, a, b, std::max(1.0f, straight) + static_cast<float>(slack == 0 ? 0 : rng() % (slack + 1)));
    }
    return graph;
}

// Fewest links from start to goal; -1 when unreachable.
int fewestLinks(const Graph& graph, int start, int goal)
{
    std::vector<int> hops(graph.size(), -1);
    std::queue<int> waiting;
    hops[start] = 0;
    waiting.push(start);
    while (!waiting.empty()) {
        const int v = waiting.front();
        waiting.pop();
        for (int i = 0; i < graph[v].linkCount; ++i)
            if (hops[graph[v].links[i].to] < 0) {
                hops[graph[v].links[i].to] = hops[v] + 1;
                waiting.push(graph[v].links[i].to);
            }
    }
    return hops[goal];
}

// The classic mistake, kept here to prove the traps trap: stop as soon as a
// vertex has been taken by both halves and take the route through it.
float firstMeetingCost(const Graph& graph, int start, int goal)
{
    using Pending = std::pair<float, int>;
    const float none = std::numeric_limits<float>::infinity();
    std::vector<float> g[2] = {std::vector<float>(graph.size(), none), std::vector<float>(graph.size(), none)};
    std::vector<char> taken[2] = {std::vector<char>(graph.size(), 0), std::vector<char>(graph.size(), 0)};
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> heap[2];
    g[0][start] = g[1][goal] = 0.0f;
    heap[0].emplace(0.0f, start);
    heap[1].emplace(0.0f, goal);
    for (;;) {
        for (auto& h : heap)
            while (!h.empty() && taken[&h - heap][h.top().second])
                h.pop();
        if (heap[0].empty() || heap[1].empty())
            return none;
        const int s = heap[0].top().first <= heap[1].top().first ? 0 : 1;
        const int v = heap[s].top().second;
        taken[s][v] = 1;
        if (taken[1 - s][v])
            return g[0][v] + g[1][v];
        for (int i = 0; i < graph[v].linkCount; ++i) {
            const Link& l = graph[v].links[i];
            if (g[s][v] + l.cost < g[s][l.to]) {
                g[s][l.to] = g[s][v] + l.cost;
                heap[s].emplace(g[s][l.to], l.to);
            }
        }
    }
}

struct Outcome {
    bool found;
    float cost;
    std::vector<int> route;
    std::map<int, int> table;
    SearchTrace trace;
};

Outcome run(const Graph& graph, int start, int goal, SearchMode mode, Heuristic heuristic, float weight = 2.0f)
{
    Outcome out;
    std::string why;
    if (mode == SearchMode::Ch && !hierarchyReadyFor(graph, graphRevision())) {
        EXPECT_EQ(prepareHierarchy(graph, graphRevision(), HierarchyOptions{}, why), HierarchyStatus::Built) << why;
    }
    out.found = searchRouteWith(out.table, graph, start, goal, SearchChoice{mode, heuristic, weight}, &out.trace);
    out.cost = foundCost(out.trace);
    out.route = traceRoute(out.trace);
    return out;
}

// What holds of every search's result: the route runs from start to goal over
// links, costs exactly what the trace says, and is the one cameFrom now holds.
std::string soundRoute(const Graph& graph, int start, int goal, const Outcome& out)
{
    if (!out.found)
        return out.route.empty() ? "" : "a route left behind by a failed search";
    if (out.route.empty() || out.route.back() != start || out.route.front() != goal)
        return "the route does not join start and goal";
    if (routeCost(graph, out.route) != out.cost)
        return "the route does not cost what the trace says";
    if (tableRoute(out.table, start, goal, graph.size()) != out.route)
        return "cameFrom holds another route";
    return "";
}

} // namespace

TEST(SearchLab, EverySearchAgainstAPlainDijkstraOnTenThousandGraphs)
{
    const Heuristic consistent[] = {Heuristic::Euclidean, Heuristic::Chebyshev, Heuristic::Zero};
    const Heuristic overestimating[] = {Heuristic::Octile, Heuristic::Manhattan};
    std::mt19937 rng(170017);
    int trapped = 0, startIsGoal = 0, apart = 0;
    for (int round = 0; round < 10000; ++round) {
        const Graph graph = wholeGraph(rng);
        const int count = static_cast<int>(graph.size());
        const int start = static_cast<int>(rng() % count);
        const int goal = rng() % 10 == 0 ? start : static_cast<int>(rng() % count);
        const float cheapest = cheapestCost(graph, start, goal, nullptr);
        const bool reachable = cheapest != kNoRoute;
        startIsGoal += start == goal;
        apart += !reachable;
        if (reachable && firstMeetingCost(graph, start, goal) != cheapest)
            ++trapped;
        const std::string at = "round " + std::to_string(round) + " ";
        for (SearchMode mode : kSearchModes) {
            for (Heuristic heuristic : consistent) {
                for (float weight : mode == SearchMode::Weighted ? std::vector<float>(kWeights, kWeights + kWeightCount)
                                                                 : std::vector<float>{2.0f}) {
                    const Outcome out = run(graph, start, goal, mode, heuristic, weight);
                    const std::string what = at + searchModeKey(mode) + " " + heuristicKey(heuristic);
                    std::string why;
                    if (!searchUsable(graph, mode, nullptr, why)) { // Jump Point Search off a grid
                        ASSERT_FALSE(out.found) << what;
                        ASSERT_TRUE(out.trace.expanded.empty()) << what;
                        continue;
                    }
                    ASSERT_EQ(out.found, reachable) << what;
                    ASSERT_EQ(soundRoute(graph, start, goal, out), "") << what;
                    if (!reachable)
                        continue;
                    if (promisesCheapest(mode))
                        ASSERT_EQ(out.cost, cheapest) << what;
                    else if (mode == SearchMode::Weighted)
                        ASSERT_LE(out.cost, weight * cheapest) << what << " w " << weight;
                    else if (mode == SearchMode::Bfs)
                        ASSERT_EQ(static_cast<int>(out.route.size()) - 1, fewestLinks(graph, start, goal)) << what;
                    else
                        ASSERT_GE(out.cost, cheapest) << what;
                }
            }
            // A heuristic that overestimates may cost more, but never loses the goal.
            std::string why;
            for (Heuristic heuristic : overestimating) {
                if (!searchUsable(graph, mode, nullptr, why))
                    break;
                const Outcome out = run(graph, start, goal, mode, heuristic);
                ASSERT_EQ(out.found, reachable) << at << searchModeKey(mode) << " " << heuristicKey(heuristic);
                ASSERT_EQ(soundRoute(graph, start, goal, out), "") << at << searchModeKey(mode);
                if (reachable) {
                    ASSERT_GE(out.cost, cheapest) << at << searchModeKey(mode) << " " << heuristicKey(heuristic);
                }
            }
        }
    }
    // The families hold what they are for.
    EXPECT_GT(trapped, 100) << "too few graphs where the first meeting is not the cheapest";
    EXPECT_GT(startIsGoal, 500);
    EXPECT_GT(apart, 500);
}

// Float costs on the program's own maps: the exact searches agree with the
// plain Dijkstra to the rounding of a float sum.
TEST(SearchLab, ExactSearchesAgreeOnTheProgramsOwnMaps)
{
    const std::function<void()> generators[] = {generateGridMap, generateRandomMap, generateMaze, generateRooms};
    std::mt19937 rng(4242);
    for (int round = 0; round < 40; ++round) {
        randomSeed(rng());
        generators[round % 4]();
        const int count = static_cast<int>(scene.vertices.size());
        const int start = static_cast<int>(rng() % count);
        const int goal = static_cast<int>(rng() % count);
        const float cheapest = cheapestCost(scene.vertices, start, goal, nullptr);
        for (SearchMode mode : {SearchMode::AStar, SearchMode::Dijkstra, SearchMode::BiDijkstra, SearchMode::BiAStar}) {
            const Outcome out = run(scene.vertices, start, goal, mode, Heuristic::Euclidean);
            ASSERT_EQ(soundRoute(scene.vertices, start, goal, out), "") << round << " " << searchModeKey(mode);
            ASSERT_TRUE(costsAgree(out.cost, cheapest, count)) << round << " " << searchModeKey(mode);
        }
    }
}

// Two corridors: the upper one's middle vertex is the first both halves take
// (at 6 + 6), yet the lower one costs 4 + 3 + 4. Also with the corridors'
// order in the link tables swapped, and at a scale where the keys are large.
// Every link is at least as long as the straight line, for bidirectional A*.
TEST(SearchLab, BidirectionalSearchesDoNotStopAtTheFirstMeeting)
{
    for (const float scale : {1.0f, 1000.0f})
        for (const bool swapped : {false, true}) {
            Graph graph(5); // 0 start, 1 upper middle, 2 and 3 lower, 4 goal
            const float x[5] = {0, 5, 3.5f, 6.5f, 10};
            const float y[5] = {0, -3, 0.5f, 0.5f, 0};
            for (int i = 0; i < 5; ++i) {
                graph[i].x = x[i] * scale;
                graph[i].y = y[i] * scale;
            }
            const auto upper = [&] { link(graph, 0, 1, 6 * scale); link(graph, 1, 4, 6 * scale); };
            const auto lower = [&] { link(graph, 0, 2, 4 * scale); link(graph, 2, 3, 3 * scale); link(graph, 3, 4, 4 * scale); };
            swapped ? (lower(), upper()) : (upper(), lower());
            ASSERT_EQ(firstMeetingCost(graph, 0, 4), 12 * scale) << "the trap no longer traps";
            for (SearchMode mode : {SearchMode::BiDijkstra, SearchMode::BiAStar}) {
                const Outcome out = run(graph, 0, 4, mode, Heuristic::Euclidean);
                EXPECT_EQ(out.cost, 11 * scale) << searchModeKey(mode) << " scale " << scale;
                EXPECT_EQ(out.route, (std::vector<int>{4, 3, 2, 0})) << searchModeKey(mode);
                EXPECT_TRUE(out.trace.meeting == 2 || out.trace.meeting == 3) << out.trace.meeting;
                EXPECT_EQ(out.trace.gBack[4], 0.0f);
                EXPECT_EQ(out.trace.side[4], 1);
                EXPECT_EQ(out.trace.side[0], 0);
            }
        }
}

// The report against every vertex's true distance from Floyd-Warshall, on
// whole costs where an overestimate is never within rounding of the truth.
TEST(SearchLab, AdmissibilityReportMatchesABruteForceCheck)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 600; ++round) {
        const Graph graph = wholeGraph(rng);
        const int n = static_cast<int>(graph.size());
        const double none = std::numeric_limits<double>::infinity();
        std::vector<std::vector<double>> d(n, std::vector<double>(n, none));
        for (int v = 0; v < n; ++v) {
            d[v][v] = 0.0;
            for (int i = 0; i < graph[v].linkCount; ++i)
                d[v][graph[v].links[i].to] = std::min<double>(d[v][graph[v].links[i].to], graph[v].links[i].cost);
        }
        for (int k = 0; k < n; ++k)
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    d[i][j] = std::min(d[i][j], d[i][k] + d[k][j]);
        const int goal = static_cast<int>(rng() % n);
        for (int h = 0; h < kHeuristicCount; ++h) {
            const Heuristic heuristic = static_cast<Heuristic>(h);
            Admissibility expected;
            for (int v = 0; v < n; ++v) {
                if (d[v][goal] == none)
                    continue;
                ++expected.checked;
                const double estimate = heuristicEstimate(heuristic, graph[v], graph[goal]);
                if (estimate > d[v][goal]) {
                    ++expected.over;
                    expected.worstPercent =
                        std::max(expected.worstPercent, (estimate - d[v][goal]) / d[v][goal] * 100.0);
                }
            }
            const Admissibility report = checkAdmissibility(graph, goal, heuristic);
            ASSERT_EQ(report.checked, expected.checked) << round << " " << heuristicKey(heuristic);
            ASSERT_EQ(report.over, expected.over) << round << " " << heuristicKey(heuristic);
            ASSERT_NEAR(report.worstPercent, expected.worstPercent, 1e-9) << round;
            if (heuristic == Heuristic::Euclidean || heuristic == Heuristic::Chebyshev ||
                heuristic == Heuristic::Zero) {
                ASSERT_EQ(report.over, 0) << round << " " << heuristicKey(heuristic);
            }
        }
    }
}

// On lattices with diagonal links Manhattan both overestimates and, somewhere,
// leads A* to a dearer route; the straight line never overestimates there.
TEST(SearchLab, ManhattanOnDiagonalsOverestimatesAndCostsMore)
{
    bool dearer = false;
    for (std::uint32_t seed = 1; seed <= 20 && !dearer; ++seed) {
        randomSeed(seed);
        generateGridMap();
        const float cheapest = cheapestCost(scene.vertices, 0, 1599, nullptr);
        if (cheapest == kNoRoute)
            continue;
        const Admissibility manhattan = checkAdmissibility(scene.vertices, 1599, Heuristic::Manhattan);
        EXPECT_GT(manhattan.over, 0);
        EXPECT_GT(manhattan.worstPercent, 10.0);
        EXPECT_EQ(checkAdmissibility(scene.vertices, 1599, Heuristic::Euclidean).over, 0);
        dearer = run(scene.vertices, 0, 1599, SearchMode::AStar, Heuristic::Manhattan).cost > cheapest;
    }
    EXPECT_TRUE(dearer);
}

TEST(SearchLab, HeuristicsEstimateAsNamed)
{
    Vertex a, b;
    b.x = 3.0f;
    b.y = -4.0f;
    const std::pair<Heuristic, float> cases[] = {
        {Heuristic::Euclidean, 5.0f},
        {Heuristic::Octile, static_cast<float>(4.0 + (std::sqrt(2.0) - 1.0) * 3.0)},
        {Heuristic::Manhattan, 7.0f},
        {Heuristic::Chebyshev, 4.0f},
        {Heuristic::Zero, 0.0f},
    };
    for (const auto& [heuristic, expected] : cases) {
        EXPECT_EQ(heuristicEstimate(heuristic, a, b), expected) << heuristicKey(heuristic);
        Heuristic named = Heuristic::Zero;
        ASSERT_TRUE(heuristicFromKey(heuristicKey(heuristic), named));
        EXPECT_EQ(named, heuristic);
    }
    // Far apart, an estimate stops at FLT_MAX rather than +infinity.
    b.x = 3e38f;
    b.y = -3e38f;
    EXPECT_EQ(heuristicEstimate(Heuristic::Manhattan, a, b), FLT_MAX);
    Heuristic unknown = Heuristic::Octile;
    EXPECT_FALSE(heuristicFromKey("Euclidean", unknown));
    EXPECT_EQ(unknown, Heuristic::Octile);
}

TEST(SearchLab, NamesCycleAndReadBack)
{
    SearchMode mode = SearchMode::AStar;
    std::string seen;
    for (int i = 0; i < kSearchModeCount; ++i) {
        seen += std::string(searchModeKey(mode)) + " ";
        SearchMode back = SearchMode::Bfs;
        ASSERT_TRUE(searchModeFromKey(searchModeKey(mode), back));
        EXPECT_EQ(back, mode);
        mode = nextSearchMode(mode);
    }
    EXPECT_EQ(seen, "astar dijkstra greedy weighted bidijkstra biastar bfs jps alt ch ");
    EXPECT_EQ(mode, SearchMode::AStar);
    EXPECT_FALSE(searchModeFromKey("JPS", mode));
    float weight = 2.0f;
    std::string weights;
    for (int i = 0; i < kWeightCount; ++i)
        weights += std::to_string(weight = nextWeight(weight)) + " ";
    EXPECT_EQ(weights, "3.000000 5.000000 1.500000 2.000000 ");
    EXPECT_EQ(nextWeight(7.0f), 1.5f);
}
