// Reading a found route back out of a predecessor table or a search trace,
// and pricing it. One walk serves both: a route is listed from its last
// vertex back to the start, and a walk that misses a step, or runs longer
// than the graph has vertices, gives no route at all (an empty list).
#pragma once

#include <cstddef>
#include <limits>
#include <map>
#include <vector>

#include "graph/scene.h"
#include "route/search.h"

// The cost of no route, wherever a cost is asked for one. A route over
// finite links never sums to it (see searchScore).
constexpr double kNoRoute = std::numeric_limits<double>::infinity();

// The walk itself: vertex, parentOf(vertex), ... up to start. parentOf gives
// -1 for a vertex without a predecessor. Empty when start is never met
// within vertexCount steps.
template <typename ParentOf>
std::vector<int> walkBack(int vertex, int start, std::size_t vertexCount, ParentOf parentOf)
{
    std::vector<int> route;
    while (vertex >= 0 && route.size() <= vertexCount) {
        route.push_back(vertex);
        if (vertex == start)
            return route;
        vertex = parentOf(vertex);
    }
    return {};
}

// The route from goal back to start in a predecessor table; empty when start
// or goal is -1, a step is missing, or the walk does not end.
std::vector<int> tableRoute(const Predecessors& cameFrom, int start, int goal, std::size_t vertexCount);
std::vector<int> tableRoute(const std::map<int, int>& cameFrom, int start, int goal, std::size_t vertexCount);

// The best route the trace knew to vertex, vertex first, start last; empty
// when the trace never reached it (or vertex lies beyond its tables).
std::vector<int> routeTo(const SearchTrace& trace, int vertex);

// The route the trace found to its goal; empty when it found none.
std::vector<int> traceRoute(const SearchTrace& trace);

// Cost of a route listed from goal back to start, summed from the start
// forwards exactly as the searches sum it (in float, or in double of
// linkCost where costs are given), so a found route's cost is bit for bit the
// goal's g. 0 for a single vertex; kNoRoute for an empty route or when two
// consecutive vertices are not linked.
double routeCost(const std::vector<Vertex>& vertices, const std::vector<int>& route, bool givenCosts = false);
