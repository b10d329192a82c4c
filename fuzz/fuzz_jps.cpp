// Jump Point Search against a plain Dijkstra. Input: width and height bytes
// (1 + byte % 24 each); a bit per cell, set where it is blocked; start and
// goal bytes; then link toggles as byte pairs, which may spoil the grid.
// Missing bytes read as 0. Whatever graph results, either the recogniser
// refuses it or Jump Point Search finds exactly Dijkstra's cheapest cost
// along links that exist.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "mapio/movingai.h"
#include "route/grid_shape.h"
#include "route/jump_points.h"
#include "tests/reference_search.h"

static void require(bool holds, const char* rule)
{
    if (holds)
        return;
    std::fprintf(stderr, "%s\n", rule);
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input{data, size, 0};
    const int width = 1 + readByte(input) % 24;
    const int height = 1 + readByte(input) % 24;
    std::string text = "type octile\nheight " + std::to_string(height) + "\nwidth " + std::to_string(width) + "\nmap\n";
    int bits = 0, byte = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            if (bits-- == 0)
                byte = readByte(input), bits = 7;
            text += byte >> bits & 1 ? '@' : '.';
        }
        text += '\n';
    }
    Scene map;
    std::string error;
    std::vector<Vertex>& vertices = map.vertices;
    if (!parseMovingAi(text, "fuzz.map", map, error, nullptr) || vertices.empty())
        return 0;
    const int count = static_cast<int>(vertices.size());
    const int start = readByte(input) * 256 % count;
    const int goal = (readByte(input) * 7 + start) % count;
    while (input.offset + 1 < input.size) {
        const int a = readByte(input) % count;
        const int b = readByte(input) % count;
        if (a != b)
            toggleLinkIn(vertices, a, b);
    }
    GridShape grid;
    if (!recogniseGrid(vertices, grid, error))
        return 0;
    const JumpSearch jumped = jumpPointSearch(grid, start, goal);
    const double cheapest = cheapestInDouble(vertices, start, goal);
    require(jumped.found == std::isfinite(cheapest), "reachability differs from Dijkstra");
    if (!jumped.found)
        return 0;
    double walked = 0.0;
    for (std::size_t i = 1; i < jumped.route.size(); ++i) {
        const Link* link = findLink(vertices[jumped.route[i - 1]], jumped.route[i]);
        require(link != nullptr, "the route leaves the links");
        walked += link->cost;
    }
    require(jumped.route.front() == start && jumped.route.back() == goal, "the route does not join the ends");
    require(std::fabs(walked - cheapest) <= 1e-9 * cheapest, "the route is not the cheapest");
    require(std::fabs(jumped.cost - cheapest) <= 1e-9 * cheapest, "the cost is not the cheapest");
    return 0;
}
