#include "route/dijkstra.h"

#include <functional>
#include <limits>
#include <queue>
#include <utility>

namespace {
using Pending = std::pair<double, int>; // cost so far, vertex
}

double cheapestCost(const std::vector<Vertex>& vertices, int start, int goal, int* expandedCount, bool givenCosts)
{
    const double unreached = std::numeric_limits<double>::infinity();
    std::vector<double> cost(vertices.size(), unreached);
    std::vector<char> settled(vertices.size(), 0);
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> pending;
    int settledCount = 0;
    cost[start] = 0.0;
    pending.emplace(0.0, start);
    while (!pending.empty()) {
        const int vertex = pending.top().second;
        pending.pop();
        if (settled[vertex])
            continue;
        if (vertex == goal)
            break;
        settled[vertex] = 1;
        ++settledCount;
        for (int i = 0; i < vertices[vertex].linkCount; ++i) {
            const Link& link = vertices[vertex].links[i];
            const double through = givenCosts ? cost[vertex] + linkCost(vertices[vertex], vertices[link.to], link)
                                              : link.cost + static_cast<float>(cost[vertex]);
            if (through < cost[link.to]) {
                cost[link.to] = through;
                pending.emplace(through, link.to);
            }
        }
    }
    if (expandedCount != nullptr)
        *expandedCount = settledCount;
    return cost[goal];
}
