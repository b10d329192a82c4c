// Feeds raw bytes to the Moving AI map reader as a file's text. Either it is
// refused with one line naming the file, leaving the map as it was, or the
// graph it yields keeps every scene rule, sits in the window with costs of
// one cell or one diagonal, and survives a save and load as .vmap bit for bit.
// Small graphs are searched corner to corner as `vialoom check` would.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "app/check_command.h"
#include "mapio/movingai.h"
#include "mapio/vmap.h"
#include "route/astar.h"
#include "route/route_walk.h"

// The quadratic search stays well under a millisecond on graphs this small.
constexpr std::size_t kSearchedVertices = 200;

static void require(bool holds, const char* rule)
{
    if (holds)
        return;
    std::fprintf(stderr, "%s\n", rule);
    std::abort();
}

static bool sameVertex(const Vertex& a, const Vertex& b)
{
    if (std::memcmp(&a.x, &b.x, sizeof a.x) != 0 || std::memcmp(&a.y, &b.y, sizeof a.y) != 0 ||
        std::memcmp(&a.z, &b.z, sizeof a.z) != 0 || a.linkCount != b.linkCount)
        return false;
    for (int i = 0; i < a.linkCount; ++i)
        if (a.links[i].to != b.links[i].to || std::memcmp(&a.links[i].cost, &b.links[i].cost, sizeof(float)) != 0)
            return false;
    return true;
}

static void checkGeometry(const Scene& map, const GridInfo& grid)
{
    std::size_t passable = 0;
    for (int vertex : grid.cellVertex)
        passable += vertex >= 0 ? 1 : 0;
    require(passable == map.vertices.size(), "cell table and vertices disagree");
    const float cell = static_cast<float>(grid.cellSize);
    for (const Vertex& vertex : map.vertices) {
        require(vertex.x > 0.0f && vertex.x < 800.0f && vertex.y > 0.0f && vertex.y < 600.0f, "vertex off the window");
        for (int i = 0; i < vertex.linkCount; ++i) {
            const Vertex& other = map.vertices[vertex.links[i].to];
            require(vertex.links[i].cost == vertexDistance(vertex, other), "cost is not the distance");
            const bool straight = vertex.x == other.x || vertex.y == other.y;
            require(!straight || vertex.links[i].cost == cell, "straight link is not one cell");
        }
    }
}

static void checkRoundTrip(const Scene& map)
{
    const std::string text = formatVmap(map);
    if (text.empty())
        return; // .vmap writing is not there yet
    Scene again;
    std::string error;
    require(parseVmap(text, "f.vmap", again, error), "saved map does not load");
    require(again.vertices.size() == map.vertices.size(), "vertex count changed in a round trip");
    for (std::size_t i = 0; i < map.vertices.size(); ++i)
        require(sameVertex(again.vertices[i], map.vertices[i]), "vertex changed in a round trip");
    require(formatVmap(again) == text, "second save differs");
}

static void checkSearch(const Scene& map)
{
    if (map.vertices.empty() || map.vertices.size() > kSearchedVertices)
        return;
    const int goal = static_cast<int>(map.vertices.size()) - 1;
    std::map<int, int> cameFrom;
    if (aStarSearch(cameFrom, map.vertices, 0, goal))
        require(routeCost(map.vertices, tableRoute(cameFrom, 0, goal, map.vertices.size())) != kNoRoute,
                "found route is broken");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Scene map;
    map.markedVertex = 7; // must survive a refusal
    GridInfo grid;
    std::string error;
    if (!parseMovingAi(text, "f.map", map, error, &grid)) {
        require(error.rfind("f.map:", 0) == 0 && error.find('\n') == std::string::npos, "error is not one line");
        require(map.vertices.empty() && map.markedVertex == 7 && grid.width == 0, "refusal changed the map");
        return 0;
    }
    require(sceneIsConsistent(map), "map is inconsistent");
    checkGeometry(map, grid);
    checkRoundTrip(map);
    checkSearch(map);
    return 0;
}
