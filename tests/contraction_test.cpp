// Contraction hierarchies against a plain double Dijkstra over the same
// CostGraph, bit for bit, on thousands of random graphs and on shapes that
// need shortcuts of shortcuts; the unpacked route must be a real path that
// costs the answer; and preprocessing must stop cleanly when told to.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <queue>
#include <random>
#include <string>
#include <thread>

#include "route/contraction.h"
#include "route/hierarchy_cache.h"
#include "route/route.h"
#include "route/search.h"
#include "route/search_names.h"
#include "ui/compare_table.h"
#include "tests/reference_search.h"
#include "ui/hierarchy_build.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Arc {
    int from, to;
    float cost;
};

CostGraph graphOf(int count, const std::vector<Arc>& arcs)
{
    CostGraph graph;
    graph.first.assign(1, 0);
    for (int v = 0; v < count; ++v) {
        for (const Arc& arc : arcs)
            if (arc.from == v) {
                graph.head.push_back(arc.to);
                graph.cost.push_back(arc.cost);
            }
        graph.first.push_back(static_cast<int>(graph.head.size()));
    }
    return graph;
}

// Plain Dijkstra summing the arcs in double from the start.
double dijkstra(const CostGraph& graph, int start, int goal)
{
    return costGraphDistances(graph, start)[static_cast<std::size_t>(goal)];
}

Hierarchy built(const CostGraph& graph, int witnessLimit = 500)
{
    Hierarchy hierarchy;
    HierarchyOptions options;
    options.witnessSettleLimit = witnessLimit;
    std::string why;
    EXPECT_EQ(buildHierarchy(graph, hierarchy, options, why), HierarchyStatus::Built) << why;
    return hierarchy;
}

// Empty when the hierarchy answers every pair (or pairs random ones) as Dijkstra does.
std::string queryFault(const CostGraph& graph, const Hierarchy& hierarchy, int pairs = -1, unsigned seed = 1)
{
    HierarchyWork work;
    std::mt19937 rng(seed);
    const int count = costGraphSize(graph);
    const int total = pairs < 0 ? count * count : pairs;
    for (int n = 0; n < total; ++n) {
        const int start = pairs < 0 ? n / count : static_cast<int>(rng() % count);
        const int goal = pairs < 0 ? n % count : static_cast<int>(rng() % count);
        const std::string pair = " from " + std::to_string(start) + " to " + std::to_string(goal);
        const double cheapest = dijkstra(graph, start, goal);
        const HierarchyRoute found = hierarchyQuery(hierarchy, work, start, goal);
        if (found.found != (cheapest < kInf))
            return "reachability differs" + pair;
        if (!found.found)
            continue;
        if (found.route.front() != start || found.route.back() != goal)
            return "the route does not join the ends" + pair;
        if (costGraphRouteCost(graph, found.route) != found.cost)
            return "the route is not a path of its cost" + pair;
        std::vector<int> sorted = found.route;
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
            return "the route passes a vertex twice" + pair;
        if (found.cost != cheapest || found.searchCost != cheapest)
            return "costs " + std::to_string(found.cost) + " and " + std::to_string(found.searchCost) +
                   ", cheapest " + std::to_string(cheapest) + pair;
    }
    return "";
}

// Every cheapest route has an up-down twin of the same cost: the cheapest
// cost over up arcs then down arcs only equals Dijkstra's.
std::string upDownFault(const CostGraph& graph, const Hierarchy& h)
{
    const int count = costGraphSize(graph);
    for (int start = 0; start < count; ++start) {
        std::vector<double> upward(count, kInf); // up arcs only, in rank order
        std::vector<int> order(count);
        for (int v = 0; v < count; ++v)
            order[h.rank[v]] = v;
        upward[start] = 0.0;
        for (int v : order)
            for (int arc = h.up.first[v]; arc < h.up.first[v + 1]; ++arc)
                upward[h.up.head[arc]] = std::min(upward[h.up.head[arc]], upward[v] + h.up.cost[arc]);
        std::vector<double> upDown = upward; // then down arcs, highest first
        for (auto v = order.rbegin(); v != order.rend(); ++v)
            for (int arc = h.down.first[*v]; arc < h.down.first[*v + 1]; ++arc)
                upDown[*v] = std::min(upDown[*v], upDown[h.down.head[arc]] + h.down.cost[arc]);
        for (int goal = 0; goal < count; ++goal)
            if (upDown[goal] != dijkstra(graph, start, goal))
                return "no up-down route as cheap from " + std::to_string(start) + " to " + std::to_string(goal);
    }
    return "";
}

// A random graph in one of several families: integer costs with many ties,
// zero costs, float costs, a few infinite arcs, parallel arcs and loops,
// one way or both ways, often in several parts.
CostGraph randomGraph(std::mt19937& rng)
{
    const int count = 1 + static_cast<int>(rng() % 24);
    const int family = static_cast<int>(rng() % 4);
    const bool bothWays = rng() % 2 == 0;
    const int arcCount = static_cast<int>(rng() % (3 * count + 1));
    std::vector<Arc> arcs;
    for (int i = 0; i < arcCount; ++i) {
        Arc arc{static_cast<int>(rng() % count), static_cast<int>(rng() % count), 0.0f};
        if (family == 0)
            arc.cost = static_cast<float>(rng() % 3);
        else if (family == 1)
            arc.cost = static_cast<float>(rng() % 1000);
        else if (family == 2)
            arc.cost = 0.5f + std::uniform_real_distribution<float>(0.0f, 100.0f)(rng);
        else
            arc.cost = rng() % 20 == 0 ? std::numeric_limits<float>::infinity() : static_cast<float>(1 + rng() % 4);
        arcs.push_back(arc);
        if (bothWays)
            arcs.push_back(Arc{arc.to, arc.from, arc.cost});
    }
    return graphOf(count, arcs);
}

CostGraph gridGraph(int width, int height, std::mt19937& rng, bool ties)
{
    std::vector<Arc> arcs;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = y * width + x;
            for (const int w : {x + 1 < width ? v + 1 : -1, y + 1 < height ? v + width : -1})
                if (w >= 0) {
                    const float cost = ties ? 1.0f : static_cast<float>(1 + rng() % 9);
                    arcs.push_back(Arc{v, w, cost});
                    arcs.push_back(Arc{w, v, cost});
                }
        }
    return graphOf(width * height, arcs);
}

} // namespace

TEST(ContractionHierarchy, AgreesWithDijkstraOnThousandsOfRandomGraphs)
{
    std::mt19937 rng(2026);
    for (int i = 0; i < 3000; ++i) {
        const CostGraph graph = randomGraph(rng);
        // A witness limit of one keeps almost no witness: exactness must not care.
        const Hierarchy hierarchy = built(graph, i % 3 == 0 ? 1 : 500);
        ASSERT_EQ(queryFault(graph, hierarchy), "") << "graph " << i;
        if (i % 10 == 0) {
            ASSERT_EQ(upDownFault(graph, hierarchy), "") << "graph " << i;
        }
    }
}

TEST(ContractionHierarchy, AgreesWithDijkstraOnGrids)
{
    std::mt19937 rng(7);
    for (const bool ties : {true, false}) {
        const CostGraph graph = gridGraph(30, 20, rng, ties);
        const Hierarchy hierarchy = built(graph);
        EXPECT_GT(hierarchy.shortcuts, 0);
        EXPECT_EQ(queryFault(graph, hierarchy, 3000), "") << (ties ? "all ties" : "random costs");
    }
}

// Shapes whose contraction needs shortcuts over shortcuts.
TEST(ContractionHierarchy, AgreesWithDijkstraOnPathsStarsAndCliques)
{
    // Each shape's cost of the link between u < v, or NaN for no link; one-way
    // shapes link v -> v + 1 only.
    struct Shape {
        const char* name;
        int count;
        bool oneWay;
        std::function<float(int, int, int)> cost; // (u, v, count)
    };
    const float none = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Shape> shapes = {
        {"a long path", 200, false, [&](int u, int v, int) { return v == u + 1 ? 1.0f : none; }},
        {"a one-way ring", 60, true, [&](int u, int v, int n) { return v == (u + 1) % n ? 2.0f : none; }},
        {"a star", 40, false, [&](int u, int v, int) { return u == 0 ? static_cast<float>(v % 3) : none; }},
        {"a clique of ties", 16, false, [&](int, int, int) { return 1.0f; }},
        {"a clique with a cheap ring", 16, false,
         [&](int u, int v, int) { return v == u + 1 ? 1.0f : static_cast<float>(v - u); }},
        {"coincident vertices", 50, false,
         [&](int u, int v, int) { return v != u + 1 ? none : v % 4 == 0 ? 1.0f : 0.0f; }},
    };
    for (const Shape& shape : shapes) {
        std::vector<Arc> arcs;
        for (int u = 0; u < shape.count; ++u)
            for (int v = 0; v < shape.count; ++v) {
                const float cost = shape.cost(std::min(u, v), std::max(u, v), shape.count);
                const float oneWay = shape.cost(u, v, shape.count);
                if (shape.oneWay ? !std::isnan(oneWay) : u != v && !std::isnan(cost))
                    arcs.push_back(Arc{u, v, shape.oneWay ? oneWay : cost});
            }
        const CostGraph graph = graphOf(shape.count, arcs);
        const Hierarchy hierarchy = built(graph);
        EXPECT_EQ(queryFault(graph, hierarchy), "") << shape.name;
        EXPECT_EQ(upDownFault(graph, hierarchy), "") << shape.name;
    }
}

TEST(ContractionHierarchy, StartAtTheGoalAndUnreachableGoals)
{
    const CostGraph graph = graphOf(4, {{0, 1, 1.0f}, {1, 0, 1.0f}, {2, 3, std::numeric_limits<float>::infinity()}});
    const Hierarchy hierarchy = built(graph);
    HierarchyWork work;
    const HierarchyRoute same = hierarchyQuery(hierarchy, work, 2, 2);
    EXPECT_TRUE(same.found);
    EXPECT_EQ(same.route, std::vector<int>{2});
    EXPECT_EQ(same.cost, 0.0);
    for (const auto& [start, goal] : {std::pair<int, int>{0, 2}, {2, 3}, {3, 2}}) {
        const HierarchyRoute none = hierarchyQuery(hierarchy, work, start, goal);
        EXPECT_FALSE(none.found) << start << " to " << goal;
        EXPECT_TRUE(none.route.empty());
        EXPECT_EQ(none.cost, kInf);
    }
}

TEST(ContractionHierarchy, StopsWhenCancelledOrOverItsMemoryLimit)
{
    std::mt19937 rng(3);
    const CostGraph graph = gridGraph(40, 40, rng, false);
    Hierarchy hierarchy;
    std::string why;
    std::atomic<bool> cancel{true};
    HierarchyOptions options;
    options.cancel = &cancel;
    EXPECT_EQ(buildHierarchy(graph, hierarchy, options, why), HierarchyStatus::Cancelled);
    EXPECT_EQ(why, "building the hierarchy was cancelled");
    EXPECT_EQ(hierarchy.vertexCount, 0);

    options.cancel = nullptr;
    options.memoryLimit = hierarchyMemoryEstimate(graph) - 1;
    EXPECT_EQ(buildHierarchy(graph, hierarchy, options, why), HierarchyStatus::TooLarge);
    EXPECT_NE(why.find("more than the"), std::string::npos) << why;

    std::vector<double> fractions;
    options.progress = [](double fraction, void* seen) {
        static_cast<std::vector<double>*>(seen)->push_back(fraction);
    };
    options.context = &fractions;
    options.memoryLimit = kHierarchyMemoryLimit;
    EXPECT_EQ(buildHierarchy(graph, hierarchy, options, why), HierarchyStatus::Built);
    ASSERT_FALSE(fractions.empty());
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_EQ(fractions.back(), 1.0);
}

// The kept hierarchy answers only for the graph it was built from: another
// table of the same size and revision, or the same table after a change of
// revision, finds nothing and reads as stale.
TEST(HierarchyCache, AnswersOnlyForTheGraphItWasBuiltFrom)
{
    std::vector<Vertex> path(3), other(3);
    for (int v = 0; v < 3; ++v) {
        path[v].x = other[v].x = static_cast<float>(10 * v);
        other[v].y = 5.0f;
    }
    for (std::vector<Vertex>* graph : {&path, &other}) {
        toggleLinkIn(*graph, 0, 1);
        toggleLinkIn(*graph, 1, 2);
    }
    std::string why;
    ASSERT_EQ(prepareHierarchy(path, 7, HierarchyOptions{}, why), HierarchyStatus::Built) << why;
    EXPECT_TRUE(hierarchyReadyFor(path, 7));
    EXPECT_TRUE(hierarchyReadyFor(std::vector<Vertex>(path), 7)) << "a copy answers as the table";
    EXPECT_FALSE(hierarchyReadyFor(path, 8));
    EXPECT_FALSE(hierarchyReadyFor(other, 7));
    EXPECT_EQ(hierarchyNote(path, 7), "");
    EXPECT_EQ(hierarchyNote(path, 8), "hierarchy stale");
    forgetHierarchy();
    EXPECT_FALSE(hierarchyReadyFor(path, 7));

    // Through the search: a route once prepared for the scene's revision, none
    // before; the table of every search leaves it out until then.
    std::map<int, int> cameFrom;
    SearchTrace trace;
    EXPECT_FALSE(searchRouteWith(cameFrom, path, 0, 2, SearchChoice{SearchMode::Ch}, &trace));
    EXPECT_TRUE(trace.expanded.empty());
    EXPECT_EQ(compareSearches(path, 0, 2, SearchChoice{}).size(), static_cast<std::size_t>(kSearchModeCount - 1));
    ASSERT_EQ(prepareHierarchy(path, graphRevision(), HierarchyOptions{}, why), HierarchyStatus::Built) << why;
    const std::vector<CompareRow> rows = compareSearches(path, 0, 2, SearchChoice{});
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kSearchModeCount));
    EXPECT_EQ(rows.back().mode, SearchMode::Ch);
    EXPECT_TRUE(rows.back().found);
    EXPECT_EQ(rows.back().cost, 20.0f);
    ASSERT_TRUE(searchRouteWith(cameFrom, path, 0, 2, SearchChoice{SearchMode::Ch}, &trace));
    EXPECT_EQ(trace.meeting >= 0 && trace.meeting < 3, true);
    EXPECT_EQ(trace.g[2], 20.0f);
    EXPECT_EQ(trace.parent[2], 1);
    EXPECT_EQ(trace.parent[1], 0);
    EXPECT_EQ(cameFrom[2], 1);
    EXPECT_EQ(trace.expandedSide.size(), trace.expanded.size());
    forgetHierarchy();
}

// In the window the hierarchy is built on another thread: no route while it
// builds, the route once it is done; an edit cancels a build and starts anew.
TEST(HierarchyBuild, BuildsInTheBackgroundThenRoutes)
{
    const auto settle = [] {
        for (pollHierarchyBuild(); hierarchyBuildRunning(); pollHierarchyBuild())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    Scene map;
    std::mt19937 rng(11);
    const CostGraph grid = gridGraph(60, 60, rng, true);
    map.vertices.resize(3600);
    for (int v = 0; v < 3600; ++v) {
        map.vertices[v].x = static_cast<float>(v % 60 * 10);
        map.vertices[v].y = static_cast<float>(v / 60 * 10);
    }
    for (int v = 0; v < 3600; ++v)
        for (int arc = grid.first[v]; arc < grid.first[v + 1]; ++arc)
            if (v < grid.head[arc])
                toggleLinkIn(map.vertices, v, grid.head[arc]);
    replaceScene(map);
    scene.startVertex = 0;
    scene.goalVertex = 3599;
    searchMode = SearchMode::Ch;
    updateRoute();
    EXPECT_TRUE(currentRoute().empty()) << "no route before the hierarchy";
    pollHierarchyBuild();
    EXPECT_TRUE(hierarchyBuildRunning());
    toggleLink(0, 1); // cancels that build; the next poll starts another
    settle();
    EXPECT_TRUE(hierarchyReadyFor(scene.vertices, graphRevision()));
    EXPECT_EQ(currentRoute().size(), 119u);
    searchMode = SearchMode::AStar;
    replaceScene(Scene{});
    forgetHierarchy();
}
