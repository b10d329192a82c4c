// Contraction hierarchies against a plain double Dijkstra. Input: a vertex
// count byte (1 + byte % 32), a flags byte (bit 0: arcs both ways; bits 1-2:
// witness limit 1, 4, 30 or 500), then arcs as (from, to, cost) byte triples:
// cost bytes below 200 give byte % 8 (many ties and zeros), 200 to 254 a
// fraction (byte / 8), 255 +infinity. Missing bytes read as 0. Every pair of
// vertices must then get Dijkstra's cost bit for bit, over a route along
// arcs that exist and costs that much.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <queue>
#include <string>

#include "fuzz/fuzz_input.h"
#include "route/contraction.h"
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
    const int count = 1 + readByte(input) % 32;
    const int flags = readByte(input);
    const int limits[] = {1, 4, 30, 500};
    std::vector<std::vector<std::pair<int, float>>> arcs(count);
    while (input.offset < input.size) {
        const int from = readByte(input) % count, to = readByte(input) % count, byte = readByte(input);
        const float cost = byte < 200   ? static_cast<float>(byte % 8)
                           : byte < 255 ? static_cast<float>(byte) / 8.0f
                                        : std::numeric_limits<float>::infinity();
        arcs[from].push_back({to, cost});
        if (flags & 1)
            arcs[to].push_back({from, cost});
    }
    CostGraph graph;
    graph.first.push_back(0);
    for (const auto& list : arcs) {
        for (const auto& [to, cost] : list) {
            graph.head.push_back(to);
            graph.cost.push_back(cost);
        }
        graph.first.push_back(static_cast<int>(graph.head.size()));
    }
    Hierarchy hierarchy;
    HierarchyOptions options;
    options.witnessSettleLimit = limits[flags >> 1 & 3];
    std::string why;
    require(buildHierarchy(graph, hierarchy, options, why) == HierarchyStatus::Built, "preprocessing failed");
    HierarchyWork work;
    for (int start = 0; start < count; ++start) {
        const std::vector<double> cheapest = costGraphDistances(graph, start);
        for (int goal = 0; goal < count; ++goal) {
            const HierarchyRoute found = hierarchyQuery(hierarchy, work, start, goal);
            require(found.found == std::isfinite(cheapest[goal]), "reachability differs from Dijkstra");
            if (!found.found)
                continue;
            require(found.route.front() == start && found.route.back() == goal, "the route does not join the ends");
            require(costGraphRouteCost(graph, found.route) == found.cost, "the route is not a path of its cost");
            require(found.cost == cheapest[goal] && found.searchCost == cheapest[goal], "the cost is not the cheapest");
        }
    }
    return 0;
}
