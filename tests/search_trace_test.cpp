// The trace against the table the same search wrote, the three modes against
// an independent Dijkstra, and the route walks the search view relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/dijkstra.h"
#include "route/route.h"
#include "route/route_walk.h"

static bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

static const Link* findLink(int from, int to)
{
    const Link* links = scene.vertices[from].links;
    const Link* end = links + scene.vertices[from].linkCount;
    const Link* found = std::find_if(links, end, [to](const Link& link) { return link.to == to; });
    return found == end ? nullptr : found;
}

// The first fault in the trace's per-vertex facts; empty when there is none.
static std::string traceFault(const SearchTrace& t, const std::map<int, int>& table)
{
    if (t.reachedAt[t.start] != 0 || !sameBits(t.g[t.start], 0.0f) || t.parent[t.start] != -1)
        return "start not reached at step 0 with cost 0";
    for (std::size_t k = 0; k < t.expanded.size(); ++k)
        if (t.expandedAt[t.expanded[k]] != static_cast<int>(k) || t.reachedAt[t.expanded[k]] > static_cast<int>(k))
            return "expanded and expandedAt disagree, or a vertex expanded before it waited";
    std::map<int, int> parents;
    for (int v = 0; v < static_cast<int>(scene.vertices.size()); ++v) {
        if (t.reachedAt[v] < 0 && (t.parent[v] != -1 || t.expandedAt[v] != -1 || !std::isinf(t.g[v])))
            return "an unreached vertex has entries";
        if (t.reachedAt[v] < 0 || v == t.start)
            continue;
        parents[v] = t.parent[v];
        const Link* link = findLink(t.parent[v], v);
        if (link == nullptr || !sameBits(t.g[v], link->cost + t.g[t.parent[v]]))
            return "g is not the parent's g plus the link";
        if (!sameBits(t.h[v], distanceEstimate(scene.vertices[v], scene.vertices[t.goal])))
            return "h is not the distance to the goal";
        const int reacher = t.expanded[t.reachedAt[v] - 1];
        if (findLink(reacher, v) == nullptr || t.expandedAt[reacher] > t.expandedAt[t.parent[v]])
            return "reachedAt does not name the expansion that first reached it";
    }
    return parents == table ? "" : "parents differ from the predecessor table";
}

TEST(SearchTrace, AgreesWithItsTableAndTheModesWithAnIndependentDijkstra)
{
    std::mt19937 rng(4242);
    SearchTrace trace; // reused across graphs of every size, as lastSearch is
    for (int round = 0; round < 1500; ++round) {
        clearMap();
        const int count = 1 + static_cast<int>(rng() % 60);
        const int side = 3 + static_cast<int>(rng() % 30);
        for (int i = 0; i < count; ++i)
            addVertex(static_cast<int>(rng() % side), static_cast<int>(rng() % side));
        for (int i = static_cast<int>(rng() % (3 * count + 1)); i > 0; --i)
            toggleLink(static_cast<int>(rng() % count), static_cast<int>(rng() % count));
        const int start = static_cast<int>(rng() % count);
        const int goal = rng() % 6 == 0 ? start : static_cast<int>(rng() % count);
        int settled = 0;
        const float cheapest = cheapestCost(scene.vertices, start, goal, &settled);
        for (SearchMode mode : {SearchMode::AStar, SearchMode::Dijkstra, SearchMode::Greedy}) {
            std::map<int, int> table;
            const bool found = searchRoute(table, scene.vertices, start, goal, mode, &trace);
            ASSERT_EQ(traceFault(trace, table), "") << "round " << round;
            ASSERT_EQ(found, std::isfinite(cheapest)) << "round " << round;
            const std::vector<int> route = traceRoute(trace);
            ASSERT_EQ(route, found ? tableRoute(table, start, goal, scene.vertices.size()) : std::vector<int>{});
            if (!found) {
                ASSERT_EQ(static_cast<int>(trace.expanded.size()), settled) << "round " << round;
                continue;
            }
            const float cost = routeCost(scene.vertices, route);
            ASSERT_TRUE(sameBits(cost, trace.g[goal])) << "round " << round;
            if (mode == SearchMode::Dijkstra)
                ASSERT_TRUE(sameBits(cost, cheapest)) << "round " << round;
            else if (mode == SearchMode::AStar)
                ASSERT_NEAR(cost, cheapest, 1e-5f * cheapest) << "round " << round;
            else
                ASSERT_GE(cost, cheapest) << "round " << round;
        }
    }
}

TEST(RouteWalk, StopsAtGapsAndCycles)
{
    clearMap();
    for (int x : {0, 3, 9, 50})
        addVertex(x, x == 0 ? 0 : 4);
    toggleLink(0, 1);
    toggleLink(1, 2);
    EXPECT_EQ(routeCost(scene.vertices, {3, 0}), kNoRoute) << "unlinked";
    EXPECT_EQ(routeCost(scene.vertices, {}), kNoRoute) << "no route at all";
    EXPECT_TRUE(tableRoute(predecessorTable({{2, 1}}), 0, 2, 4).empty()) << "a missing step";
    EXPECT_TRUE(tableRoute(predecessorTable({{2, 1}, {1, 2}}), 0, 2, 4).empty()) << "a cycle";
}

TEST(UpdateRoute, FollowsTheModeAndKeepsTheTrace)
{
    clearMap();
    for (int x : {0, 10, 20})
        addVertex(x, 0);
    toggleLink(0, 1);
    toggleLink(1, 2);
    scene.startVertex = 0;
    scene.goalVertex = 2;
    searchMode = SearchMode::Greedy;
    updateRoute();
    searchMode = SearchMode::AStar;
    EXPECT_EQ(lastSearch.mode, SearchMode::Greedy);
    EXPECT_EQ(lastSearch.expanded, (std::vector<int>{0, 1}));
    EXPECT_EQ(predecessorEntries(scene.cameFrom), (PredecessorEntries{{1, 0}, {2, 1}}));
}
