// ALT search and its landmarks against a plain Dijkstra in double over the
// same flat arcs: every cost bit for bit on thousands of random graphs built
// to be awkward (ties, equal whole costs, coincident vertices, parts apart,
// start at the goal, links of +infinity, one-way costs), and no landmark
// bound above the true cost.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>

#include "route/alt_search.h"
#include "route/cost_graph.h"
#include "route/landmarks.h"
#include "route/prepared.h"
#include "route/route_walk.h"
#include "route/search.h"

namespace {

using Graph = std::vector<Vertex>;
const double kNone = std::numeric_limits<double>::infinity();

// The textbook Dijkstra: the cheapest unsettled vertex by a scan, all in double.
std::vector<double> plainCosts(const CostGraph& graph, int source)
{
    const int n = costGraphSize(graph);
    std::vector<double> cost(static_cast<std::size_t>(n), kNone);
    std::vector<char> done(static_cast<std::size_t>(n), 0);
    cost[source] = 0.0;
    for (;;) {
        int v = -1;
        for (int w = 0; w < n; ++w)
            if (!done[w] && cost[w] < kNone && (v < 0 || cost[w] < cost[v]))
                v = w;
        if (v < 0)
            return cost;
        done[v] = 1;
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc)
            cost[graph.head[arc]] = std::min(cost[graph.head[arc]], cost[v] + static_cast<double>(graph.cost[arc]));
    }
}

void addArc(Graph& graph, int a, int b, float cost)
{
    if (graph[a].linkCount < kMaxLinks)
        graph[a].links[graph[a].linkCount++] = Link{b, cost};
}

// Kinds of graph, each awkward in its own way. Coordinates are whole on a
// small square, so vertices often coincide (zero-length links); costs are the
// straight line times a factor at least 1, or whole numbers drawn from few
// values (many ties), or fractions (sums that round), with now and then a link
// of +infinity; one graph in five has one-way costs.
Graph randomGraph(std::mt19937& rng)
{
    const int count = 1 + static_cast<int>(rng() % 40);
    const int side = 1 + static_cast<int>(rng() % 8);
    const int kind = static_cast<int>(rng() % 3);
    const bool oneWay = rng() % 5 == 0;
    Graph graph(static_cast<std::size_t>(count));
    for (Vertex& v : graph) {
        v.x = static_cast<float>(rng() % side);
        v.y = static_cast<float>(rng() % side);
    }
    for (int i = static_cast<int>(rng() % (3 * count + 1)); i > 0; --i) {
        const int a = static_cast<int>(rng() % count), b = static_cast<int>(rng() % count);
        if (a == b)
            continue;
        const float straight = vertexDistance(graph[a], graph[b]);
        float cost = kind == 0   ? straight * (1.0f + static_cast<float>(rng() % 4) * 0.25f)
                     : kind == 1 ? std::max(std::ceil(straight), static_cast<float>(rng() % 3))
                                 : straight + static_cast<float>(rng() % 1000) / 7.0f;
        if (rng() % 40 == 0)
            cost = std::numeric_limits<float>::infinity();
        addArc(graph, a, b, cost);
        addArc(graph, b, a, oneWay && rng() % 2 ? cost + static_cast<float>(rng() % 5) : cost);
    }
    return graph;
}

} // namespace

TEST(Alt, CostsEqualAPlainDijkstraBitForBitOnThousandsOfGraphs)
{
    std::mt19937 rng(1818);
    int apart = 0, same = 0, oneWay = 0;
    AltSearch result;
    for (int round = 0; round < 4000; ++round) {
        const Graph graph = randomGraph(rng);
        const CostGraph arcs = costGraphOf(graph);
        const Landmarks marks = chooseLandmarks(graph, arcs, 1 + static_cast<int>(rng() % kLandmarkCount), nullptr);
        oneWay += !marks.toward.empty();
        const int count = static_cast<int>(graph.size());
        for (int pair = 0; pair < 6; ++pair) {
            const int start = static_cast<int>(rng() % count);
            const int goal = pair == 0 ? start : static_cast<int>(rng() % count);
            const double cheapest = plainCosts(arcs, start)[goal];
            apart += cheapest == kNone;
            same += start == goal;
            altSearch(arcs, graph, marks, start, goal, result);
            const std::string at = "round " + std::to_string(round) + " " + std::to_string(start) + " -> " +
                                   std::to_string(goal);
            ASSERT_EQ(result.found, cheapest < kNone) << at;
            if (!result.found) {
                ASSERT_TRUE(result.route.empty()) << at;
                continue;
            }
            ASSERT_EQ(result.cost, cheapest) << at;
            std::vector<int> forwards(result.route.rbegin(), result.route.rend());
            ASSERT_EQ(forwards.front(), start) << at;
            ASSERT_EQ(costGraphRouteCost(arcs, forwards), cheapest) << at;
        }
    }
    EXPECT_GT(apart, 2000);
    EXPECT_GT(same, 3000);
    EXPECT_GT(oneWay, 500);
}

TEST(Alt, NoBoundExceedsTheTrueCost)
{
    std::mt19937 rng(2727);
    int tight = 0, proofs = 0;
    for (int round = 0; round < 1500; ++round) {
        const Graph graph = randomGraph(rng);
        const CostGraph arcs = costGraphOf(graph);
        const Landmarks marks = chooseLandmarks(graph, arcs, kLandmarkCount, nullptr);
        const int count = static_cast<int>(graph.size());
        std::vector<std::vector<double>> from;
        for (int v = 0; v < count; ++v)
            from.push_back(plainCosts(arcs, v));
        for (int goal = 0; goal < count; ++goal)
            for (int v = 0; v < count; ++v) {
                const double bound = landmarkBound(marks, v, goal);
                const double estimate = altEstimate(marks, graph, v, goal);
                ASSERT_LE(bound, from[v][goal]) << round << " " << v << " -> " << goal;
                ASSERT_LE(estimate, from[v][goal]) << round << " " << v << " -> " << goal;
                ASSERT_GE(bound, 0.0);
                tight += from[v][goal] < kNone && from[v][goal] > 0 && bound >= from[v][goal] * 0.999;
                proofs += bound == kNone;
            }
    }
    EXPECT_GT(tight, 1000) << "bounds too loose to test anything";
    EXPECT_GT(proofs, 1000) << "too few parts apart";
}

// Float costs whose double sums round: each landmark distance is kept rounded
// down to float, yet the bound from a landmark to itself and along a line of
// such links stays below the sum.
TEST(Alt, RoundedDistancesStayBelowTheSums)
{
    Graph line(200);
    for (int i = 0; i < 200; ++i)
        line[i].x = static_cast<float>(i);
    for (int i = 0; i + 1 < 200; ++i) {
        addArc(line, i, i + 1, 1.0f + 1.0f / 3.0f + static_cast<float>(i) * 1e-3f);
        addArc(line, i + 1, i, 1.0f + 1.0f / 3.0f + static_cast<float>(i) * 1e-3f);
    }
    const CostGraph arcs = costGraphOf(line);
    const Landmarks marks = chooseLandmarks(line, arcs, 2, nullptr);
    ASSERT_EQ(marks.count, 2);
    EXPECT_TRUE((marks.vertices[0] == 0 && marks.vertices[1] == 199) ||
                (marks.vertices[0] == 199 && marks.vertices[1] == 0));
    EXPECT_DOUBLE_EQ(marks.straightFactor, 1.0 - 0x1p-20);
    for (int v = 0; v < 200; v += 7) {
        const std::vector<double> from = plainCosts(arcs, v);
        for (int goal = 0; goal < 200; goal += 3) {
            ASSERT_LE(landmarkBound(marks, v, goal), from[goal]);
            ASSERT_GE(landmarkBound(marks, v, goal), from[goal] * 0.9999);
        }
    }
}

// Through the program's search: the trace, the table and the route agree,
// and a search on a graph the scene does not hold prepares one of its own.
TEST(Alt, ProgramSearchLeavesASoundTrace)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        const Graph graph = randomGraph(rng);
        const CostGraph arcs = costGraphOf(graph);
        const int count = static_cast<int>(graph.size());
        const int start = static_cast<int>(rng() % count), goal = static_cast<int>(rng() % count);
        std::map<int, int> cameFrom;
        SearchTrace trace;
        PreparedGraph prepared;
        const bool found = searchRouteWith(cameFrom, graph, start, goal, SearchChoice{SearchMode::Alt}, &trace,
                                           costModelOf(graph), &prepared);
        const double cheapest = plainCosts(arcs, start)[goal];
        ASSERT_EQ(found, cheapest < kNone) << round;
        ASSERT_TRUE(prepared.landmarksMade);
        if (!found)
            continue;
        std::vector<int> route = traceRoute(trace);
        ASSERT_EQ(route, tableRoute(cameFrom, start, goal, graph.size())) << round;
        std::reverse(route.begin(), route.end());
        ASSERT_EQ(costGraphRouteCost(arcs, route), cheapest) << round;
        ASSERT_EQ(trace.g[goal], cheapest) << round;
        for (int v : trace.expanded)
            ASSERT_LE(trace.h[v], trace.g[goal]) << round;
    }
}
