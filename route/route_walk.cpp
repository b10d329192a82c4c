#include "route/route_walk.h"

std::vector<int> tableRoute(const std::map<int, int>& cameFrom, int start, int goal, std::size_t vertexCount)
{
    if (start < 0 || goal < 0)
        return {};
    return walkBack(goal, start, vertexCount, [&](int vertex) {
        const auto step = cameFrom.find(vertex);
        return step == cameFrom.end() ? -1 : step->second;
    });
}

std::vector<int> tableRoute(const Predecessors& cameFrom, int start, int goal, std::size_t vertexCount)
{
    if (start < 0 || goal < 0)
        return {};
    return walkBack(goal, start, vertexCount, [&](int vertex) { return cameFromOf(cameFrom, vertex); });
}

std::vector<int> routeTo(const SearchTrace& trace, int vertex)
{
    const std::size_t count = trace.parent.size();
    const std::size_t at = static_cast<std::size_t>(vertex);
    if (vertex < 0 || at >= count || at >= trace.reachedAt.size() || trace.reachedAt[at] == -1)
        return {};
    return walkBack(vertex, trace.start, count, [&](int v) {
        const int parent = trace.parent[static_cast<std::size_t>(v)];
        return parent < static_cast<int>(count) ? parent : -1;
    });
}

std::vector<int> traceRoute(const SearchTrace& trace)
{
    return trace.found ? routeTo(trace, trace.goal) : std::vector<int>{};
}

double routeCost(const std::vector<Vertex>& vertices, const std::vector<int>& route, bool givenCosts)
{
    if (route.empty())
        return kNoRoute;
    float cost = 0.0f;
    double wide = 0.0;
    for (std::size_t i = route.size() - 1; i > 0; --i) {
        const Link* link = findLink(vertices[route[i]], route[i - 1]);
        if (link == nullptr)
            return kNoRoute;
        cost = link->cost + cost;
        wide = wide + linkCost(vertices[route[i]], vertices[route[i - 1]], *link);
    }
    return givenCosts ? wide : cost;
}
