#include "bench/agreement.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "bench/heap_astar.h"
#include "route/astar.h"

[[noreturn]] static void disagree(const char* what, int start, int goal)
{
    std::fprintf(stderr, "vialoom_bench: searches %d -> %d: %s\n", start, goal, what);
    std::exit(EXIT_FAILURE);
}

static const Link* findLink(const Vertex& from, int to)
{
    for (int i = 0; i < from.linkCount; ++i)
        if (from.links[i].to == to)
            return &from.links[i];
    return nullptr;
}

// Cost of the route left in cameFrom, summed from the start forwards as the
// search sums it; negative when the walk does not follow links to the start.
static float routeCost(const std::vector<Vertex>& graph, const std::map<int, int>& cameFrom,
                       int start, int goal)
{
    std::vector<int> backwards{goal};
    while (backwards.back() != start) {
        const auto step = cameFrom.find(backwards.back());
        if (step == cameFrom.end() || backwards.size() > graph.size())
            return -1.0f;
        backwards.push_back(step->second);
    }
    float cost = 0.0f;
    for (std::size_t i = backwards.size() - 1; i > 0; --i) {
        const Link* link = findLink(graph[backwards[i]], backwards[i - 1]);
        if (link == nullptr)
            return -1.0f;
        cost = link->cost + cost;
    }
    return cost;
}

void requireAgreement(const std::vector<Vertex>& graph, int start, int goal, bool expectFound)
{
    std::map<int, int> cameFrom;
    const bool found = aStarSearch(cameFrom, graph, start, goal);
    const HeapResult heap = heapAStar(graph, start, goal);
    if (found != expectFound || heap.found != expectFound)
        disagree("a route was found where none was expected, or the other way round", start, goal);
    if (!found) {
        if (static_cast<int>(cameFrom.size()) != heap.reached)
            disagree("the failed searches reached different vertices", start, goal);
        return;
    }
    const float cost = routeCost(graph, cameFrom, start, goal);
    if (cost < 0.0f)
        disagree("the program's route does not lead back to the start along links", start, goal);
    // Equally cheap routes may sum in a different order; allow for rounding.
    if (std::fabs(cost - heap.cost) > 1e-5f * heap.cost) {
        std::fprintf(stderr, "program cost %.9g, heap cost %.9g\n", cost, heap.cost);
        disagree("the route costs differ", start, goal);
    }
}
