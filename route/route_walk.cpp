#include "route/route_walk.h"

std::vector<int> traceRoute(const SearchTrace& trace)
{
    std::vector<int> route;
    if (!trace.found)
        return route;
    for (int v = trace.goal; route.size() <= trace.parent.size(); v = trace.parent[v]) {
        route.push_back(v);
        if (v == trace.start)
            return route;
        if (trace.parent[v] < 0)
            break;
    }
    return {};
}

std::vector<int> tableRoute(const std::map<int, int>& cameFrom, int start, int goal, std::size_t vertexCount)
{
    std::vector<int> route;
    if (start < 0 || goal < 0)
        return route;
    for (int v = goal; route.size() <= vertexCount;) {
        route.push_back(v);
        if (v == start)
            return route;
        const auto step = cameFrom.find(v);
        if (step == cameFrom.end())
            break;
        v = step->second;
    }
    return {};
}

float routeCost(const std::vector<Vertex>& vertices, const std::vector<int>& route)
{
    if (route.empty())
        return -1.0f;
    float cost = 0.0f;
    for (std::size_t i = route.size() - 1; i > 0; --i) {
        const Link* link = findLink(vertices[route[i]], route[i - 1]);
        if (link == nullptr)
            return -1.0f;
        cost = link->cost + cost;
    }
    return cost;
}
