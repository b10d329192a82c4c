// ALT against a plain Dijkstra in double over the same flat arcs. Input: a
// vertex count byte (1 + byte % 48); each vertex's x and y bytes (% 16, so
// vertices often coincide); a landmark count byte; then arcs as four bytes
// (from, to, a cost byte, a flags byte: both ways or one, the cost whole,
// a fraction, a multiple of the length or +infinity); start and goal come
// from the first two bytes past the vertices. Missing bytes read as 0. ALT's
// cost must equal the Dijkstra's bit for bit, its route must cost that, and
// no landmark bound may exceed the true cost to the goal.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <queue>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "route/alt_search.h"
#include "route/cost_graph.h"
#include "route/landmarks.h"

static void require(bool holds, const char* rule)
{
    if (holds)
        return;
    std::fprintf(stderr, "%s\n", rule);
    std::abort();
}

static std::vector<double> costsFrom(const CostGraph& graph, int source)
{
    std::vector<double> cost(static_cast<std::size_t>(costGraphSize(graph)), HUGE_VAL);
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> frontier;
    frontier.push({cost[source] = 0.0, source});
    while (!frontier.empty()) {
        const auto [sum, v] = frontier.top();
        frontier.pop();
        for (int arc = graph.first[v]; sum == cost[v] && arc < graph.first[v + 1]; ++arc)
            if (sum + graph.cost[arc] < cost[graph.head[arc]])
                frontier.push({cost[graph.head[arc]] = sum + graph.cost[arc], graph.head[arc]});
    }
    return cost;
}

static void addArc(std::vector<Vertex>& vertices, int a, int b, float cost)
{
    if (vertices[a].linkCount < kMaxLinks)
        vertices[a].links[vertices[a].linkCount++] = Link{b, cost};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input{data, size, 0};
    const int count = 1 + readByte(input) % 48;
    std::vector<Vertex> vertices(static_cast<std::size_t>(count));
    for (Vertex& v : vertices) {
        v.x = static_cast<float>(readByte(input) % 16);
        v.y = static_cast<float>(readByte(input) % 16);
    }
    const int landmarks = readByte(input) % (kLandmarkCount + 1);
    const int start = readByte(input) % count;
    const int goal = readByte(input) % count;
    while (input.offset + 3 < input.size) {
        const int a = readByte(input) % count, b = readByte(input) % count;
        const int amount = readByte(input), flags = readByte(input);
        const float length = vertexDistance(vertices[a], vertices[b]);
        float cost = static_cast<float>(amount % 8); // many ties
        if (flags & 1)
            cost = length * (1.0f + static_cast<float>(amount) / 64.0f);
        else if (flags & 2)
            cost = static_cast<float>(amount) / 7.0f;
        if ((flags & 0x70) == 0x70)
            cost = std::numeric_limits<float>::infinity();
        addArc(vertices, a, b, cost);
        if (!(flags & 8))
            addArc(vertices, b, a, flags & 0x80 ? cost + 1.0f : cost);
    }
    const CostGraph arcs = costGraphOf(vertices);
    const Landmarks marks = chooseLandmarks(vertices, arcs, landmarks, nullptr);
    const std::vector<double> fromStart = costsFrom(arcs, start);
    AltSearch result;
    altSearch(arcs, vertices, marks, start, goal, result);
    require(result.found == std::isfinite(fromStart[goal]), "ALT and Dijkstra disagree on reaching the goal");
    if (result.found) {
        require(result.cost == fromStart[goal], "ALT's cost is not Dijkstra's");
        const std::vector<int> route(result.route.rbegin(), result.route.rend());
        require(route.front() == start && costGraphRouteCost(arcs, route) == fromStart[goal],
                "ALT's route does not cost what it says");
    }
    for (int v = 0; v < count; ++v) {
        const double toGoal = costsFrom(arcs, v)[goal];
        require(landmarkBound(marks, v, goal) <= toGoal, "a landmark bound exceeds the true cost");
        require(altEstimate(marks, vertices, v, goal) <= toGoal, "ALT's estimate exceeds the true cost");
    }
    return 0;
}
