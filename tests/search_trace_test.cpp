// The trace against the search that wrote it, the three modes against an
// independent Dijkstra, and the route walks the search view relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/dijkstra.h"
#include "route/route.h"
#include "route/route_walk.h"
#include "route/search.h"

namespace {

const SearchMode kModes[] = {SearchMode::AStar, SearchMode::Dijkstra, SearchMode::Greedy};

void buildRandomGraph(std::mt19937& rng)
{
    clearMap();
    const int count = 1 + static_cast<int>(rng() % 60);
    const int side = 3 + static_cast<int>(rng() % 30);
    for (int i = 0; i < count; ++i)
        addVertex(static_cast<int>(rng() % side), static_cast<int>(rng() % side));
    const int toggles = static_cast<int>(rng() % (3 * count + 1));
    for (int i = 0; i < toggles; ++i)
        toggleLink(static_cast<int>(rng() % count), static_cast<int>(rng() % count));
}

const Link* findLink(int from, int to)
{
    for (int i = 0; i < vertices[from].linkCount; ++i)
        if (vertices[from].links[i].to == to)
            return &vertices[from].links[i];
    return nullptr;
}

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every per-vertex fact of the trace, checked against the table the same
// search wrote into an empty map. Returns a description of the first fault.
std::string traceFault(const SearchTrace& t, const std::map<int, int>& table)
{
    const int count = static_cast<int>(vertices.size());
    if (t.reachedAt.size() != vertices.size() || t.g.size() != vertices.size() || t.h.size() != vertices.size())
        return "tables not sized to the graph";
    if (t.reachedAt[t.start] != 0 || !sameBits(t.g[t.start], 0.0f) || t.parent[t.start] != -1)
        return "start not reached at step 0 with cost 0";
    for (std::size_t k = 0; k < t.expanded.size(); ++k)
        if (t.expandedAt[t.expanded[k]] != static_cast<int>(k) || t.reachedAt[t.expanded[k]] > static_cast<int>(k))
            return "expanded and expandedAt disagree, or a vertex expanded before it waited";
    std::map<int, int> parents;
    for (int v = 0; v < count; ++v) {
        if (t.reachedAt[v] < 0) {
            if (t.parent[v] != -1 || t.expandedAt[v] != -1 || !std::isinf(t.g[v]) || !std::isinf(t.h[v]))
                return "an unreached vertex has entries";
            continue;
        }
        if (!sameBits(t.h[v], vertexDistance(vertices[v], vertices[t.goal])))
            return "h is not the distance to the goal";
        if (v == t.start)
            continue;
        parents[v] = t.parent[v];
        const Link* link = t.parent[v] >= 0 ? findLink(t.parent[v], v) : nullptr;
        if (link == nullptr || t.expandedAt[t.parent[v]] < 0)
            return "a parent that is not an expanded neighbour";
        if (!sameBits(t.g[v], link->cost + t.g[t.parent[v]]))
            return "g is not the parent's g plus the link";
        const int reacher = t.expanded[t.reachedAt[v] - 1];
        if (findLink(reacher, v) == nullptr || t.expandedAt[reacher] > t.expandedAt[t.parent[v]])
            return "reachedAt does not name the expansion that first reached it";
    }
    if (parents != table)
        return "parents differ from the predecessor table";
    return "";
}

} // namespace

TEST(SearchTrace, AgreesWithTheTableAndTheRouteOnRandomGraphs)
{
    std::mt19937 rng(4242);
    SearchTrace trace; // reused, as lastSearch is, across graphs of every size
    for (int round = 0; round < 1500; ++round) {
        buildRandomGraph(rng);
        const int start = static_cast<int>(rng() % vertices.size());
        const int goal = rng() % 6 == 0 ? start : static_cast<int>(rng() % vertices.size());
        const SearchMode mode = kModes[round % 3];
        std::map<int, int> table;
        const bool found = searchRoute(table, vertices, start, goal, mode, &trace);
        ASSERT_EQ(trace.found, found);
        ASSERT_EQ(trace.mode, mode);
        ASSERT_EQ(traceFault(trace, table), "") << "round " << round;
        ASSERT_GE(trace.seconds, 0.0);
        const std::vector<int> route = traceRoute(trace);
        ASSERT_EQ(route, found ? tableRoute(table, start, goal, vertices.size()) : std::vector<int>{});
        if (found)
            ASSERT_TRUE(sameBits(routeCost(vertices, route), trace.g[goal])) << "round " << round;
        else
            ASSERT_EQ(trace.expanded.size(), table.size() + 1); // every reachable vertex, start included
    }
}

TEST(SearchModes, CostsAgainstAnIndependentDijkstra)
{
    std::mt19937 rng(9001);
    for (int round = 0; round < 1500; ++round) {
        if (round % 10 == 0) {
            generateRandomMap();
        } else {
            buildRandomGraph(rng);
        }
        const int start = static_cast<int>(rng() % vertices.size());
        const int goal = static_cast<int>(rng() % vertices.size());
        int settled = 0;
        const float cheapest = cheapestCost(vertices, start, goal, &settled);
        for (SearchMode mode : kModes) {
            std::map<int, int> table;
            SearchTrace trace;
            const bool found = searchRoute(table, vertices, start, goal, mode, &trace);
            ASSERT_EQ(found, std::isfinite(cheapest)) << "round " << round;
            if (!found) {
                ASSERT_EQ(static_cast<int>(trace.expanded.size()), settled) << "round " << round;
                continue;
            }
            const float cost = routeCost(vertices, tableRoute(table, start, goal, vertices.size()));
            if (mode == SearchMode::Dijkstra)
                ASSERT_TRUE(sameBits(cost, cheapest)) << "round " << round;
            else if (mode == SearchMode::AStar)
                ASSERT_NEAR(cost, cheapest, 1e-5f * cheapest) << "round " << round;
            else
                ASSERT_GE(cost, cheapest) << "round " << round;
        }
    }
}

TEST(RouteWalk, EdgeCases)
{
    clearMap();
    addVertex(0, 0);
    addVertex(3, 4);
    addVertex(9, 4);
    addVertex(50, 50);
    toggleLink(0, 1);
    toggleLink(1, 2);
    struct Case {
        const char* what;
        std::vector<int> route;
        float cost;
    };
    const Case costs[] = {
        {"no route", {}, -1.0f}, {"one vertex", {3}, 0.0f}, {"two links", {2, 1, 0}, 11.0f}, {"a gap", {3, 0}, -1.0f},
    };
    for (const Case& c : costs)
        EXPECT_EQ(routeCost(vertices, c.route), c.cost) << c.what;

    EXPECT_EQ(tableRoute({{1, 0}, {2, 1}}, 0, 2, 4), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(tableRoute({}, 2, 2, 4), (std::vector<int>{2}));
    EXPECT_TRUE(tableRoute({{2, 1}}, 0, 2, 4).empty()) << "a missing step";
    EXPECT_TRUE(tableRoute({{2, 1}, {1, 2}}, 0, 2, 4).empty()) << "a cycle";
    EXPECT_TRUE(tableRoute({{2, 1}}, -1, 2, 4).empty()) << "no start";

    int settled = -1;
    EXPECT_EQ(cheapestCost(vertices, 1, 1, &settled), 0.0f);
    EXPECT_EQ(settled, 0);
    EXPECT_EQ(cheapestCost(vertices, 0, 3, &settled), std::numeric_limits<float>::infinity());
    EXPECT_EQ(settled, 3);
}

TEST(UpdateRoute, FollowsTheModeAndKeepsTheTrace)
{
    clearMap();
    addVertex(0, 0);
    addVertex(10, 0);
    addVertex(20, 0);
    toggleLink(0, 1);
    toggleLink(1, 2);
    startVertex = 0;
    goalVertex = 2;
    searchMode = SearchMode::Greedy;
    updateRoute();
    searchMode = SearchMode::AStar;
    EXPECT_EQ(lastSearch.mode, SearchMode::Greedy);
    EXPECT_TRUE(lastSearch.found);
    EXPECT_EQ(lastSearch.expanded, (std::vector<int>{0, 1}));
    EXPECT_EQ(traceRoute(lastSearch), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(cameFrom, (std::map<int, int>{{1, 0}, {2, 1}}));
}
