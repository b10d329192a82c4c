// Builds a small graph from the fuzzer's bytes, runs the program's search and
// the plain list search on it, and aborts unless both return the same, leave
// the same predecessor table and expand the same vertices in the same order.
//
// Input: vertex count (1 + byte % 96); a flags byte (bits 0-1 coordinate
// kind: whole 0-3, whole 0-15, eighths of 0-31, or signed 16-bit; bit 2 a
// depth per vertex; bits 3-4 the mode (A*, Dijkstra, greedy, or given
// costs); bit 5 no trace; bits 6-7 the range:
// as read, the whole map scaled by 2^(byte - 150) with the byte read first,
// each coordinate so scaled by a byte just before it, or each a float's four
// raw bytes, little end first, where infinity and NaN read as 0); the
// coordinates; start and goal bytes; up to three earlier table entries (a
// count byte, then pairs); then link toggles as byte pairs. Missing bytes
// read as 0. The scaled ranges reach from subnormal to the float limit, so
// links may be +infinity: the searches must still agree, and every distance
// they estimate must be finite.
//
// The same graph then goes to the searches the list search cannot judge,
// each with every heuristic (weighted A* with every weight): breadth-first
// must find the fewest links, the bidirectional ones the cheapest cost the
// plain Dijkstra finds (within float rounding, for coordinates as read; at
// the scaled ranges only that they find the goal as it does), and every one
// a route that reads back from cameFrom and costs what its trace says.
//
// With given costs every link gets a small integer cost and some vertices a
// factor, both from the start byte, and A*, Dijkstra and both bidirectional
// searches must each find exactly the plain Dijkstra's cost in double.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "graph/costs.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/dijkstra.h"
#include "route/route_walk.h"
#include "route/search.h"
#include "route/search_names.h"
#include "route/weighted.h"
#include "ui/stats_text.h"
#include "tests/reference_search.h"

static float readKind(Input& input, int kind)
{
    const int value = readByte(input);
    switch (kind) {
    case 0:
        return static_cast<float>(value % 4);
    case 1:
        return static_cast<float>(value % 16);
    case 2:
        return static_cast<float>(value) / 8.0f;
    default:
        return static_cast<float>(static_cast<std::int16_t>(value | readByte(input) << 8));
    }
}

enum Range { AsRead, MapScaled, EachScaled, RawBits };

static float readCoordinate(Input& input, int flags, int mapShift)
{
    std::uint32_t bits = 0;
    switch (flags >> 6) {
    case AsRead:
        return readKind(input, flags & 3);
    case MapScaled:
        return std::ldexp(readKind(input, flags & 3), mapShift);
    case EachScaled: {
        const int shift = readByte(input) - 150;
        return std::ldexp(readKind(input, flags & 3), shift);
    }
    default:
        for (int i = 0; i < 4; ++i)
            bits |= static_cast<std::uint32_t>(readByte(input)) << (8 * i);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return std::isfinite(value) ? value : 0.0f;
    }
}

static void buildGraph(Input& input, int count, int flags)
{
    const int mapShift = (flags >> 6) == MapScaled ? readByte(input) - 150 : 0;
    Scene placed;
    for (int i = 0; i < count; ++i) {
        Vertex vertex;
        vertex.x = readCoordinate(input, flags, mapShift);
        vertex.y = readCoordinate(input, flags, mapShift);
        if (flags & 4)
            vertex.z = readCoordinate(input, flags, mapShift);
        placed.vertices.push_back(vertex);
    }
    replaceScene(std::move(placed));
}

[[noreturn]] static void fail(const char* what, SearchMode mode)
{
    std::fprintf(stderr, "vialoom_fuzz_search: %s (%s)\n", what, searchModeName(mode));
    std::abort();
}

static int fewestLinks(const std::vector<Vertex>& vertices, int start, int goal)
{
    std::vector<int> hops(vertices.size(), -1);
    std::vector<int> waiting{start};
    hops[start] = 0;
    for (std::size_t next = 0; next < waiting.size(); ++next)
        for (int i = 0; i < vertices[waiting[next]].linkCount; ++i)
            if (hops[vertices[waiting[next]].links[i].to] < 0) {
                hops[vertices[waiting[next]].links[i].to] = hops[waiting[next]] + 1;
                waiting.push_back(vertices[waiting[next]].links[i].to);
            }
    return hops[goal];
}

static void checkLaboratory(int start, int goal, bool asRead)
{
    const std::vector<Vertex>& vertices = scene.vertices;
    const float cheapest = cheapestCost(vertices, start, goal, nullptr);
    const int fewest = fewestLinks(vertices, start, goal);
    const int count = static_cast<int>(vertices.size());
    for (SearchMode mode : {SearchMode::Weighted, SearchMode::BiDijkstra, SearchMode::BiAStar, SearchMode::Bfs})
        for (int h = 0; h < kHeuristicCount; ++h)
            for (int w = 0; w < (mode == SearchMode::Weighted ? kWeightCount : 1); ++w) {
                const Heuristic heuristic = static_cast<Heuristic>(h);
                std::map<int, int> table;
                SearchTrace trace;
                const bool found = searchRouteWith(table, vertices, start, goal,
                                                   SearchChoice{mode, heuristic, kWeights[w]}, &trace);
                const bool bidirectional = mode == SearchMode::BiDijkstra || mode == SearchMode::BiAStar;
                // Bidirectional costs are sums: a route only over +infinity links is none to them.
                if (found != (bidirectional ? cheapest < kNoRoute : fewest >= 0))
                    fail("a new search is wrong about the goal being reachable", mode);
                if (!found)
                    continue;
                const std::vector<int> route = traceRoute(trace);
                if (route.empty() || tableRoute(table, start, goal, vertices.size()) != route)
                    fail("a new search's route does not read back from cameFrom", mode);
                if (routeCost(vertices, route) != foundCost(trace) && !std::isinf(foundCost(trace)))
                    fail("a new search's route does not cost what its trace says", mode);
                if (mode == SearchMode::Bfs && static_cast<int>(route.size()) - 1 != fewest)
                    fail("breadth-first missed the fewest links", mode);
                const bool consistent = heuristic == Heuristic::Euclidean || heuristic == Heuristic::Chebyshev ||
                                        heuristic == Heuristic::Zero;
                if (bidirectional && asRead && consistent && !costsAgree(foundCost(trace), cheapest, count))
                    fail("a bidirectional search is not the cheapest", mode);
                if (mode == SearchMode::Weighted && asRead && consistent &&
                    !withinBound(foundCost(trace), cheapest, kWeights[w], count))
                    fail("weighted A* broke its bound", mode);
            }
}

// Small integer costs (ties everywhere) and factors, the same both ways.
static std::vector<Vertex> withGivenCosts(std::vector<Vertex> graph, unsigned seed)
{
    const float factors[] = {1.0f, 1.0f, 0.5f, 2.0f, 5.0f, 20.0f};
    for (std::size_t i = 0; i < graph.size(); ++i)
        graph[i].factor = factors[(i * 40503u + seed) % 6];
    for (std::size_t i = 0; i < graph.size(); ++i)
        for (int k = 0; k < graph[i].linkCount; ++k) {
            const unsigned ends = static_cast<unsigned>(i) + static_cast<unsigned>(graph[i].links[k].to);
            graph[i].links[k].cost = static_cast<float>(1 + (ends * 2654435761u + seed) % 5);
        }
    return graph;
}

static void checkGivenCosts(int start, int goal, unsigned seed)
{
    const std::vector<Vertex> graph = withGivenCosts(scene.vertices, seed);
    const CostModel costs = costModelOf(graph);
    const double judge = referenceGivenCost(graph, start, goal);
    for (SearchMode mode : {SearchMode::AStar, SearchMode::Dijkstra, SearchMode::Greedy, SearchMode::BiDijkstra,
                            SearchMode::BiAStar}) {
        std::map<int, int> cameFrom;
        SearchTrace trace;
        const bool found = searchRouteWith(cameFrom, graph, start, goal, SearchChoice{mode}, &trace, costs);
        if (found != std::isfinite(judge))
            fail("given costs: the search and the plain Dijkstra disagree on the result", mode);
        const double cost = routeCost(graph, tableRoute(cameFrom, start, goal, graph.size()), true);
        if (found && (cost != trace.g[static_cast<std::size_t>(goal)] || cost < judge))
            fail("given costs: the route does not cost what the search found", mode);
        if (found && mode != SearchMode::Greedy && cost != judge)
            fail("given costs: not the cheapest", mode);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input{data, size, 0};
    const int count = 1 + readByte(input) % 96;
    const int flags = readByte(input);
    buildGraph(input, count, flags);
    const int start = readByte(input) % count;
    const int goal = readByte(input) % count;
    std::map<int, int> earlier;
    for (int i = readByte(input) % 4; i > 0; --i) {
        const int vertex = readByte(input) % count;
        earlier[vertex] = readByte(input) % count;
    }
    while (input.offset < input.size) {
        const int a = readByte(input) % count;
        toggleLink(a, readByte(input) % count);
    }

    if (((flags >> 3) & 3) == 3) {
        checkGivenCosts(start, goal, static_cast<unsigned>(start));
        return 0;
    }
    const SearchMode modes[] = {SearchMode::AStar, SearchMode::Dijkstra, SearchMode::Greedy};
    const SearchMode mode = modes[(flags >> 3) & 3];
    std::map<int, int> expected = earlier;
    std::map<int, int> actual = earlier;
    std::vector<int> order;
    SearchTrace trace;
    const bool found = referenceSearch(expected, scene.vertices, start, goal, mode, &order);
    const bool traced = (flags & 32) == 0;
    if (searchRoute(actual, scene.vertices, start, goal, mode, traced ? &trace : nullptr) != found)
        fail("the searches disagree on the result", mode);
    if (actual != expected)
        fail("the predecessor tables differ", mode);
    if (traced && trace.expanded != order)
        fail("the expansion orders differ", mode);
    for (std::size_t v = 0; traced && v < trace.h.size(); ++v)
        if (trace.reachedAt[v] >= 0 && !std::isfinite(trace.h[v]))
            fail("a distance estimate is not finite", mode);
    checkLaboratory(start, goal, (flags >> 6) == AsRead);
    return 0;
}
