// The laboratory's maps and words: the maze is a spanning tree, the rooms
// open only at their doors, and the stats panel reports on the heuristic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/route.h"
#include "ui/input.h"
#include "ui/stats_text.h"

namespace {

int linkCount(const Scene& map)
{
    int ends = 0;
    for (const Vertex& v : map.vertices)
        ends += v.linkCount;
    return ends / 2;
}

bool reachesAll(const std::vector<Vertex>& vertices, int from)
{
    std::vector<char> seen(vertices.size(), 0);
    std::vector<int> waiting{from};
    seen[from] = 1;
    for (std::size_t next = 0; next < waiting.size(); ++next)
        for (int i = 0; i < vertices[waiting[next]].linkCount; ++i) {
            const int to = vertices[waiting[next]].links[i].to;
            if (!seen[to]) {
                seen[to] = 1;
                waiting.push_back(to);
            }
        }
    return waiting.size() == vertices.size();
}

} // namespace

// 1,599 links joining all 1,600 vertices: a tree, so one route between any
// two. Every link joins lattice neighbours, and other seeds carve other mazes.
TEST(Maze, IsASpanningTreeOfTheLatticeWithItsEndsInOppositeCorners)
{
    std::vector<std::vector<Vertex>> seen;
    for (std::uint32_t seed : {1u, 2u, 77u}) {
        randomSeed(seed);
        generateMaze();
        ASSERT_EQ(scene.vertices.size(), 1600u);
        EXPECT_EQ(linkCount(scene), 1599) << seed;
        EXPECT_TRUE(reachesAll(scene.vertices, 0)) << seed;
        EXPECT_EQ(scene.startVertex, 0);
        EXPECT_EQ(scene.goalVertex, 1599);
        for (const Vertex& v : scene.vertices)
            for (int i = 0; i < v.linkCount; ++i) {
                const Vertex& w = scene.vertices[v.links[i].to];
                ASSERT_EQ(std::fabs(v.x - w.x) + std::fabs(v.y - w.y), 15.0f) << seed;
            }
        for (const auto& other : seen)
            EXPECT_FALSE(std::equal(other.begin(), other.end(), scene.vertices.begin(), [](const Vertex& a, const Vertex& b) {
                return a.linkCount == b.linkCount;
            })) << "seed " << seed << " carved the same maze";
        seen.push_back(scene.vertices);
    }
}

// Inside a room every neighbour, diagonals too; between rooms only the 24
// doors, each a straight link; and every room reaches every other.
TEST(Rooms, OpenOnlyAtOneDoorPerWall)
{
    randomSeed(9);
    generateRooms();
    ASSERT_EQ(scene.vertices.size(), 1600u);
    int doors = 0, diagonal = 0;
    for (int v = 0; v < 1600; ++v)
        for (int i = 0; i < scene.vertices[v].linkCount; ++i) {
            const int w = scene.vertices[v].links[i].to;
            const int dx = std::abs(w % 40 - v % 40), dy = std::abs(w / 40 - v / 40);
            ASSERT_TRUE(dx <= 1 && dy <= 1) << v << " " << w;
            const bool crosses = (w % 40) / 10 != (v % 40) / 10 || (w / 40) / 10 != (v / 40) / 10;
            if (crosses) {
                ++doors;
                EXPECT_EQ(dx + dy, 1) << "a door on the slant at " << v;
            }
            diagonal += dx + dy == 2;
        }
    EXPECT_EQ(doors / 2, 24);
    EXPECT_EQ(diagonal / 2, 16 * 2 * 81);
    EXPECT_TRUE(reachesAll(scene.vertices, 0));
    EXPECT_EQ(scene.startVertex, 0);
    EXPECT_EQ(scene.goalVertex, 1599);
}

// 3 and 4 are one step each, undone and redone like 1 and 2, and come with a route.
TEST(Maze, KeysThreeAndFourAreUndoableStepsWithARoute)
{
    clearHistory();
    randomSeed(3);
    handleKey('2', 0, 0);
    const std::vector<Vertex> lattice = scene.vertices;
    for (unsigned char key : {'3', '4'}) {
        handleKey(key, 0, 0);
        EXPECT_EQ(scene.vertices.size(), 1600u);
        EXPECT_FALSE(currentRoute().empty()) << key;
        EXPECT_EQ(currentRoute().front(), 1599);
        const std::vector<Vertex> made = scene.vertices;
        handleKey('u', 0, 0);
        EXPECT_EQ(linkCount(scene), [&] { Scene s; s.vertices = lattice; return linkCount(s); }()) << key;
        EXPECT_EQ(scene.startVertex, -1) << key;
        handleKey('r', 0, 0);
        EXPECT_EQ(scene.startVertex, 0) << key;
        handleKey('u', 0, 0);
    }
    clearHistory();
}

TEST(StatsText, ReportsTheHeuristicAndTheBound)
{
    EXPECT_EQ(countText(0), "0");
    EXPECT_EQ(countText(999), "999");
    EXPECT_EQ(countText(1600), "1,600");
    EXPECT_EQ(countText(1234567), "1,234,567");
    Admissibility report;
    report.checked = 1600;
    report.over = 312;
    report.worstPercent = 41.2;
    EXPECT_EQ(admissibilityLine(Heuristic::Manhattan, report),
              "Manhattan overestimates at 312 of 1,600 vertices, by up to 41 %");
    report.over = 0;
    EXPECT_EQ(admissibilityLine(Heuristic::Euclidean, report), "Euclidean never overestimates here (1,600 vertices checked)");

    // A weighted search 50 % dearer than the cheapest keeps w = 2, not w = 1.5 exactly.
    Scene map;
    map.vertices.resize(3);
    SearchTrace trace;
    trace.mode = SearchMode::Weighted;
    trace.start = 0;
    trace.goal = 2;
    trace.found = true;
    trace.g = {0.0f, 5.0f, 15.0f};
    trace.h = {0.0f, 0.0f, 0.0f};
    trace.parent = {-1, 0, 1};
    trace.reachedAt = {0, 1, 2};
    trace.expandedAt = {0, 1, -1};
    trace.expanded = {0, 1};
    Reference reference{10.0f, 2};
    EXPECT_EQ(checkLine(trace, reference, map), "Dijkstra check: cost 10.00, expanded 2 - cost <= 2 x cheapest: yes");
    trace.weight = 1.5f;
    EXPECT_EQ(checkLine(trace, reference, map), "Dijkstra check: cost 10.00, expanded 2 - cost <= 1.5 x cheapest: yes");
    trace.weight = 1.25f;
    EXPECT_EQ(checkLine(trace, reference, map), "Dijkstra check: cost 10.00, expanded 2 - cost <= 1.25 x cheapest: no");
    EXPECT_EQ(searchTitle(trace), "weighted A* (w 1.25, Euclidean)");
    trace.mode = SearchMode::AStar;
    EXPECT_EQ(searchTitle(trace), "A*");
    EXPECT_FALSE(showsAdmissibility(trace));
    trace.heuristic = Heuristic::Octile;
    EXPECT_EQ(searchTitle(trace), "A* (octile)");
    EXPECT_TRUE(showsAdmissibility(trace));
    trace.mode = SearchMode::BiDijkstra;
    EXPECT_EQ(searchTitle(trace), "bidirectional Dijkstra");
    EXPECT_FALSE(showsAdmissibility(trace));
    // Inspect shows both halves' costs.
    trace.gBack = {15.0f, 10.0f, 0.0f};
    EXPECT_EQ(inspectLines(map.vertices, 1, &trace).back(), "g forward 5.00, backward 10.00, h 0.00, expanded at step 2");
}
