// Jump Point Search against a plain Dijkstra over the same links, on every
// obstacle pattern of a small grid and on random grids; and the recogniser
// against graphs that are almost grids.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>

#include "mapio/movingai.h"
#include "route/grid_shape.h"
#include "route/jump_points.h"
#include "route/prepared.h"
#include "route/route_walk.h"
#include "ui/search_steps.h"
#include "tests/reference_search.h"

namespace {

Scene gridMap(const std::vector<std::string>& rows)
{
    std::string text = "type octile\nheight " + std::to_string(rows.size()) + "\nwidth " +
                       std::to_string(rows[0].size()) + "\nmap\n";
    for (const std::string& row : rows)
        text += row + "\n";
    Scene map;
    std::string error;
    EXPECT_TRUE(parseMovingAi(text, "grid.map", map, error, nullptr)) << error;
    return map;
}

// A width x height map with each cell a wall at the given percent chance,
// the first cell always open.
std::vector<std::string> randomRows(std::mt19937& rng, int width, int height, unsigned percent)
{
    std::vector<std::string> rows(height, std::string(width, '.'));
    for (std::string& row : rows)
        for (char& cell : row)
            if (rng() % 100 < percent)
                cell = '@';
    rows[0][0] = '.';
    return rows;
}

// Empty when the search agrees with Dijkstra from every vertex to every other,
// or, given pairs, between that many random ones.
std::string searchFault(const std::vector<Vertex>& vertices, std::mt19937* pairs = nullptr)
{
    GridShape grid;
    std::string why;
    if (!recogniseGrid(vertices, grid, why))
        return "not recognised: " + why;
    const int count = static_cast<int>(vertices.size());
    for (int n = 0; n < count * count; ++n) {
        if (pairs != nullptr && n >= 20)
            break;
        const int start = pairs != nullptr ? static_cast<int>((*pairs)() % count) : n / count;
        const int goal = pairs != nullptr ? static_cast<int>((*pairs)() % count) : n % count;
        {
            const double cheapest = cheapestInDouble(vertices, start, goal);
            const JumpSearch jumped = jumpPointSearch(grid, start, goal);
            const std::string pair = " from " + std::to_string(start) + " to " + std::to_string(goal);
            if (jumped.found != std::isfinite(cheapest))
                return "reachability differs" + pair;
            if (!jumped.found)
                continue;
            double walked = 0.0;
            for (std::size_t i = 1; i < jumped.route.size(); ++i) {
                const Link* link = findLink(vertices[jumped.route[i - 1]], jumped.route[i]);
                if (link == nullptr)
                    return "the route leaves the links" + pair;
                walked += link->cost;
            }
            if (jumped.route.front() != start || jumped.route.back() != goal)
                return "the route does not join the ends" + pair;
            if (std::fabs(walked - cheapest) > 1e-9 * cheapest || std::fabs(jumped.cost - cheapest) > 1e-9 * cheapest)
                return "costs " + std::to_string(jumped.cost) + ", cheapest " + std::to_string(cheapest) + pair;
        }
    }
    return "";
}

std::vector<std::string> pattern(unsigned bits, int width, int height)
{
    std::vector<std::string> rows(height, std::string(width, '.'));
    for (int cell = 0; cell < width * height; ++cell)
        if (bits >> cell & 1u)
            rows[cell / width][cell % width] = '@';
    return rows;
}

} // namespace

TEST(JumpPointSearch, AgreesWithDijkstraOnEveryPatternOfAFourByThreeGrid)
{
    for (unsigned bits = 0; bits < (1u << 12); ++bits) {
        if (bits == (1u << 12) - 1)
            continue; // no open cell: no map
        const Scene map = gridMap(pattern(bits, 4, 3));
        ASSERT_EQ(searchFault(map.vertices), "") << "pattern " << bits;
    }
}

TEST(JumpPointSearch, AgreesWithDijkstraOnRandomGrids)
{
    std::mt19937 rng(4242);
    for (int round = 0; round < 1000; ++round) {
        const int width = 1 + static_cast<int>(rng() % 40);
        const int height = 1 + static_cast<int>(rng() % 40);
        const unsigned density = rng() % 60;
        const std::vector<std::string> rows = randomRows(rng, width, height, density);
        const Scene map = gridMap(rows);
        ASSERT_EQ(searchFault(map.vertices, &rng), "") << "round " << round;
    }
}

TEST(JumpPointSearch, SkipsOpenGroundAndTurnsOnlyAtObstacles)
{
    const Scene open = gridMap(std::vector<std::string>(30, std::string(30, '.')));
    GridShape grid;
    std::string why;
    ASSERT_TRUE(recogniseGrid(open.vertices, grid, why)) << why;
    const JumpSearch corner = jumpPointSearch(grid, 0, 30 * 30 - 1);
    EXPECT_EQ(corner.diagonalMoves, 29);
    EXPECT_EQ(corner.straightMoves, 0);
    EXPECT_LE(corner.jumpPoints.size(), 2u); // the start, and nothing the diagonal passes
    EXPECT_EQ(corner.turns, (std::vector<int>{0, 30 * 30 - 1}));
    const JumpSearch same = jumpPointSearch(grid, 7, 7);
    EXPECT_TRUE(same.found);
    EXPECT_EQ(same.route, std::vector<int>{7});
    EXPECT_EQ(same.cost, 0.0);
}

TEST(RecogniseGrid, RefusesWhatIsNotAUniformGridWithoutCornerCutting)
{
    const Scene base = gridMap({"...", ".@.", "..."});
    struct Case {
        const char* name;
        void (*spoil)(std::vector<Vertex>&);
        const char* why; // empty: still a grid
    };
    const Case cases[] = {
        {"as read", [](std::vector<Vertex>&) {}, ""},
        {"a link removed", [](std::vector<Vertex>& v) { toggleLinkIn(v, 0, 1); }, "missing"},
        {"a corner cut", [](std::vector<Vertex>& v) { toggleLinkIn(v, 1, 3); }, "cuts a corner"},
        {"a long link", [](std::vector<Vertex>& v) { toggleLinkIn(v, 0, 2); }, "cuts a corner"},
        {"off the lattice", [](std::vector<Vertex>& v) { v[4].x += 0.3f; }, "lattice"},
        {"off the plane", [](std::vector<Vertex>& v) { v[2].z = 1.0f; }, "plane"},
        {"a dearer link",
         [](std::vector<Vertex>& v) {
             v[0].links[0].cost *= 2.0f;
         },
         "differ in cost"},
        {"two in one cell", [](std::vector<Vertex>& v) { v[7].x = v[6].x, v[7].y = v[6].y; }, "share a cell"},
        {"empty", [](std::vector<Vertex>& v) { v.clear(); }, "empty"},
        {"one vertex", [](std::vector<Vertex>& v) { v.resize(1), v[0].linkCount = 0; }, ""},
        // The side is read off the first vertex with links: a longer step
        // there puts the others off the lattice, never accepts a wrong grid.
        {"the first links long",
         [](std::vector<Vertex>& v) {
             while (v[0].linkCount > 0)
                 toggleLinkIn(v, 0, v[0].links[0].to);
             toggleLinkIn(v, 0, 2);
         },
         "lattice"},
        {"twice the size",
         [](std::vector<Vertex>& v) {
             for (Vertex& vertex : v) {
                 vertex.x *= 2.0f, vertex.y *= 2.0f;
                 for (int i = 0; i < vertex.linkCount; ++i)
                     vertex.links[i].cost *= 2.0f;
             }
         },
         ""},
    };
    for (const Case& c : cases) {
        std::vector<Vertex> vertices = base.vertices;
        c.spoil(vertices);
        GridShape grid;
        std::string why;
        const bool recognised = recogniseGrid(vertices, grid, why);
        EXPECT_EQ(recognised, std::string(c.why).empty()) << c.name << ": " << why;
        EXPECT_NE(why.find(c.why), std::string::npos) << c.name << ": " << why;
    }
}

// Through the program's search, as the window shows it: the jump points are
// the expanded vertices, each one's parent the jump point it was reached
// from, the route every cell; the grid is recognised once per revision of the
// scene, and a scene that stops being a grid is refused, not searched.
TEST(JumpPointSearch, FillsTheTraceAndFollowsTheScenesRevision)
{
    replaceScene(gridMap({".......", ".@@@@@.", ".@...@.", ".@..@@.", "...@...", "......."}));
    const int start = 0, goal = static_cast<int>(scene.vertices.size()) - 1;
    std::map<int, int> cameFrom;
    SearchTrace trace;
    ASSERT_TRUE(searchRouteWith(cameFrom, scene.vertices, start, goal, SearchChoice{SearchMode::Jps}, &trace));
    GridShape grid;
    std::string why;
    ASSERT_TRUE(recogniseGrid(scene.vertices, grid, why));
    const JumpSearch jumped = jumpPointSearch(grid, start, goal);
    EXPECT_EQ(trace.expanded, jumped.jumpPoints);
    EXPECT_EQ(stepCount(trace), static_cast<int>(jumped.jumpPoints.size()));
    std::vector<int> route(jumped.route.rbegin(), jumped.route.rend());
    EXPECT_EQ(traceRoute(trace), route);
    EXPECT_EQ(tableRoute(cameFrom, start, goal, scene.vertices.size()), route);
    const double cheapest = cheapestInDouble(scene.vertices, start, goal);
    EXPECT_NEAR(trace.g[goal], cheapest, 1e-12 * cheapest);
    for (std::size_t i = 0; i < trace.expanded.size(); ++i) {
        const int parent = trace.parent[trace.expanded[i]];
        if (i == 0) {
            EXPECT_EQ(parent, -1);
            continue;
        }
        ASSERT_GE(parent, 0);
        EXPECT_LT(trace.expandedAt[parent], static_cast<int>(i)) << "a jump from a point not yet expanded";
        EXPECT_LE(trace.reachedAt[trace.expanded[i]], static_cast<int>(i));
    }
    EXPECT_EQ(setsAtStep(trace, 1).expanded, std::vector<int>{start});
    // Walk the jumps back from the goal: each a straight or diagonal line of the route.
    for (int v = goal; trace.parent[v] >= 0; v = trace.parent[v]) {
        const Vertex& a = scene.vertices[v];
        const Vertex& b = scene.vertices[trace.parent[v]];
        const float dx = std::fabs(a.x - b.x), dy = std::fabs(a.y - b.y);
        EXPECT_TRUE(dx == 0.0f || dy == 0.0f || dx == dy) << v;
    }
    const PreparedGraph* kept = currentScenePreparation();
    ASSERT_NE(kept, nullptr);
    EXPECT_TRUE(kept->isGrid);
    // A link added by hand between cells that are no neighbours: no longer a grid.
    toggleLink(1, 7 + 2);
    EXPECT_EQ(currentScenePreparation(), nullptr);
    EXPECT_FALSE(searchUsable(scene.vertices, SearchMode::Jps, nullptr, why));
    EXPECT_EQ(why.rfind("jps needs a uniform eight-connected grid without corner cutting: ", 0), 0u) << why;
    cameFrom.clear();
    EXPECT_FALSE(searchRouteWith(cameFrom, scene.vertices, start, goal, SearchChoice{SearchMode::Jps}, &trace));
    EXPECT_TRUE(cameFrom.empty());
    EXPECT_TRUE(trace.expanded.empty());
    EXPECT_TRUE(traceRoute(trace).empty());
    toggleLink(1, 7 + 2);
    EXPECT_TRUE(searchUsable(scene.vertices, SearchMode::Jps, nullptr, why));
    replaceScene(Scene{});
}

// Terrain painted on one cell makes its links cost more than the rest: the
// searches would pay that, so the grid is no longer uniform and Jump Point
// Search, which prices every move alike, must not take it.
TEST(RecogniseGrid, PaintedTerrainIsNoUniformGrid)
{
    Scene map = gridMap({"....", "....", "...."});
    GridShape grid;
    std::string why;
    ASSERT_TRUE(recogniseGrid(map.vertices, grid, why)) << why;
    map.vertices[5].factor = 2.0f;
    EXPECT_FALSE(recogniseGrid(map.vertices, grid, why));
    EXPECT_EQ(why, "links of one kind differ in cost");
    map.vertices[5].factor = 1.0f;
    for (Vertex& v : map.vertices)
        v.factor = 3.0f; // the same everywhere: uniform again, each move dearer
    ASSERT_TRUE(recogniseGrid(map.vertices, grid, why)) << why;
    const JumpSearch jumped = jumpPointSearch(grid, 0, 11);
    EXPECT_DOUBLE_EQ(jumped.cost, referenceGivenCost(map.vertices, 0, 11));
    EXPECT_DOUBLE_EQ(jumped.cost, cheapestInDouble(map.vertices, 0, 11) * 3.0);
}

// The scans read 64 cells a word, carrying each side's last cell from one
// word into the next: grids whose rows and columns cross a word's edge, in
// either direction, at every offset near it.
TEST(JumpPointSearch, AgreesWithDijkstraAcrossTheScansWordEdges)
{
    std::mt19937 rng(6401);
    const int sides[] = {61, 62, 63, 64, 65, 66, 126, 127, 128, 129, 130};
    for (int round = 0; round < 60; ++round) {
        const int across = sides[rng() % std::size(sides)];
        const int down = 1 + static_cast<int>(rng() % 6);
        const bool tall = round % 2 == 1; // then the long lines are columns
        const int width = tall ? down : across, height = tall ? across : down;
        const std::vector<std::string> rows = randomRows(rng, width, height, 25);
        const Scene map = gridMap(rows);
        ASSERT_EQ(searchFault(map.vertices, &rng), "") << "round " << round << ", " << width << " x " << height;
    }
}

// Every stop word against its definition, cell by cell: a closed cell, or
// an open one beside which a cell is open although the one behind it (in
// the direction of the scan) is closed.
TEST(RecogniseGrid, StopWordsHoldExactlyTheCellsAScanMustStopAt)
{
    std::mt19937 rng(77);
    for (const int width : {1, 5, 62, 63, 64, 65, 127, 130}) {
        const int height = 3 + static_cast<int>(rng() % 4);
        const std::vector<std::string> rows = randomRows(rng, width, height, 30);
        GridShape grid;
        std::string why;
        ASSERT_TRUE(recogniseGrid(gridMap(rows).vertices, grid, why)) << why;
        // Positions run one past the border, as the bits do.
        const auto open = [&](int row, int column) {
            return row >= 0 && column >= 0 && row < grid.height && column < grid.width &&
                   grid.cellVertex[static_cast<std::size_t>(row) * grid.width + column] >= 0;
        };
        for (int row = 0; row < grid.height; ++row)
            for (int position = 0; position < grid.width + 2; ++position)
                for (int way = 0; way < 2; ++way) {
                    const int column = position - 1, behind = way == 0 ? column - 1 : column + 1;
                    const bool stop = !open(row, column) || (open(row - 1, column) && !open(row - 1, behind)) ||
                                      (open(row + 1, column) && !open(row + 1, behind));
                    const std::uint64_t word =
                        grid.rowStops[way][static_cast<std::size_t>(row + 1) * grid.rowWords + position / 64];
                    ASSERT_EQ((word >> (position % 64) & 1) != 0, stop)
                        << width << " wide, row " << row << ", position " << position << ", way " << way;
                }
    }
}
