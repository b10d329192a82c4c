#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <queue>
#include <random>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/astar.h"

namespace {

struct Point {
    float x, y;
};

void makeGraph(const std::vector<Point>& points, const std::vector<std::pair<int, int>>& links)
{
    Scene placed;
    for (const Point& p : points)
        placed.vertices.push_back(Vertex{p.x, p.y, 0.0f});
    replaceScene(std::move(placed));
    for (const auto& [a, b] : links)
        toggleLink(a, b);
}

// Shortest distances from start, for checking the search against.
std::vector<double> dijkstra(int start)
{
    const double unreached = std::numeric_limits<double>::infinity();
    std::vector<double> distance(scene.vertices.size(), unreached);
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> frontier;
    distance[start] = 0.0;
    frontier.push({0.0, start});
    while (!frontier.empty()) {
        const auto [d, v] = frontier.top();
        frontier.pop();
        if (d > distance[v])
            continue;
        for (int i = 0; i < scene.vertices[v].linkCount; ++i) {
            const Link& link = scene.vertices[v].links[i];
            if (d + link.cost < distance[link.to]) {
                distance[link.to] = d + link.cost;
                frontier.push({distance[link.to], link.to});
            }
        }
    }
    return distance;
}

const Link* findLink(int from, int to)
{
    for (int i = 0; i < scene.vertices[from].linkCount; ++i)
        if (scene.vertices[from].links[i].to == to)
            return &scene.vertices[from].links[i];
    return nullptr;
}

} // namespace

TEST(AStarSearch, LeavesExactlyTheWorkedPredecessors)
{
    enum { a, b, c, d };
    makeGraph({{0, 0}, {5, 1}, {10, 0}, {5, 5}}, {{a, b}, {b, c}, {a, d}, {d, c}});
    std::map<int, int> table;
    EXPECT_TRUE(aStarSearch(table, scene.vertices, a, c));
    EXPECT_EQ(table, (std::map<int, int>{{b, a}, {c, b}, {d, a}}));
}

TEST(AStarSearch, BreaksTiesByLinkOrderAndKeepsTheFirstPredecessor)
{
    // s reaches p and q, both of which reach m at the same cost; goal g is isolated.
    enum { s, p, q, m, g };
    struct Case {
        Point q, m;
        std::vector<std::pair<int, int>> startLinks;
        int expectedFrom; // who m ends up reached from
    };
    const Case cases[] = {
        {{0, -10}, {-10, 0}, {{s, q}, {s, p}}, q}, // equal fScore: the first link's vertex goes first
        {{0, -10}, {-10, 0}, {{s, p}, {s, q}}, p},
        {{10, 0}, {10, 10}, {{s, p}, {s, q}}, q}, // q scores lower, so goes first whatever the order
    };
    for (const Case& c : cases) {
        std::vector<std::pair<int, int>> links = c.startLinks;
        links.insert(links.end(), {{p, m}, {q, m}});
        makeGraph({{0, 0}, {0, 10}, c.q, c.m, {300, 0}}, links);
        std::map<int, int> table;
        EXPECT_FALSE(aStarSearch(table, scene.vertices, s, g));
        EXPECT_EQ(table[m], c.expectedFrom) << "case " << (&c - cases);
    }
}

TEST(AStarSearch, EdgeCasesLeaveTheTableAsDescribed)
{
    // Two components: 0-1-2 and 3-4; 5 alone.
    makeGraph({{0, 0}, {10, 0}, {20, 0}, {50, 0}, {60, 0}, {90, 90}}, {{0, 1}, {1, 2}, {3, 4}});
    const std::map<int, int> earlier{{4, 3}};

    std::map<int, int> table = earlier;
    EXPECT_FALSE(aStarSearch(table, scene.vertices, 0, 3));
    EXPECT_EQ(table, (std::map<int, int>{{1, 0}, {2, 1}, {4, 3}}));

    table = earlier;
    EXPECT_TRUE(aStarSearch(table, scene.vertices, 2, 2));
    EXPECT_EQ(table, earlier);

    table = earlier;
    EXPECT_FALSE(aStarSearch(table, scene.vertices, 5, 0));
    EXPECT_EQ(table, earlier);
}

TEST(AStarSearch, FindsACheapestRouteOnRandomGraphs)
{
    std::mt19937 rng(20261207);
    for (int round = 0; round < 500; ++round) {
        clearMap();
        const int count = 2 + static_cast<int>(rng() % 40);
        for (int i = 0; i < count; ++i)
            addVertex(static_cast<int>(rng() % 800), static_cast<int>(rng() % 600));
        const int linkAttempts = static_cast<int>(rng() % (2 * count));
        for (int i = 0; i < linkAttempts; ++i)
            toggleLink(static_cast<int>(rng() % count), static_cast<int>(rng() % count));
        const int start = static_cast<int>(rng() % count);
        const int goal = static_cast<int>(rng() % count);

        std::map<int, int> table;
        const bool found = aStarSearch(table, scene.vertices, start, goal);
        const double shortest = dijkstra(start)[goal];
        ASSERT_EQ(found, std::isfinite(shortest)) << "round " << round;
        ASSERT_EQ(table.count(start), 0u) << "round " << round;
        if (!found)
            continue;
        double length = 0.0;
        for (int v = goal, steps = 0; v != start; ++steps) {
            ASSERT_LT(steps, count) << "round " << round;
            ASSERT_EQ(table.count(v), 1u) << "round " << round;
            const Link* link = findLink(table[v], v);
            ASSERT_NE(link, nullptr) << "round " << round;
            length += link->cost;
            v = table[v];
        }
        EXPECT_NEAR(length, shortest, 1e-4 * (1.0 + shortest)) << "round " << round;
    }
}
