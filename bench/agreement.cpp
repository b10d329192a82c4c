#include "bench/agreement.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "bench/heap_astar.h"
#include "route/astar.h"
#include "route/route_walk.h"

[[noreturn]] static void disagree(const char* what, int start, int goal)
{
    std::fprintf(stderr, "vialoom_bench: searches %d -> %d: %s\n", start, goal, what);
    std::exit(EXIT_FAILURE);
}

void requireAgreement(const std::vector<Vertex>& graph, int start, int goal, bool expectFound)
{
    std::map<int, int> cameFrom;
    std::map<int, int> heapCameFrom;
    const bool found = aStarSearch(cameFrom, graph, start, goal);
    const HeapResult heap = heapAStar(heapCameFrom, graph, start, goal);
    std::vector<int> parent;
    const HeapResult flat = flatAStar(parent, graph, start, goal);
    if (flat.found != heap.found || flat.cost != heap.cost)
        disagree("the two yardsticks differ", start, goal);
    if (found != expectFound || heap.found != expectFound)
        disagree("a route was found where none was expected, or the other way round", start, goal);
    if (!found) {
        if (cameFrom.size() != heapCameFrom.size())
            disagree("the failed searches reached different vertices", start, goal);
        return;
    }
    const float cost = routeCost(graph, tableRoute(cameFrom, start, goal, graph.size()));
    if (std::isinf(cost))
        disagree("the program's route does not lead back to the start along links", start, goal);
    // Equally cheap routes may sum in a different order; allow for rounding.
    if (std::fabs(cost - heap.cost) > 1e-5f * heap.cost) {
        std::fprintf(stderr, "program cost %.9g, heap cost %.9g\n", cost, heap.cost);
        disagree("the route costs differ", start, goal);
    }
}
