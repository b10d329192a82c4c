#include "route/admissibility.h"

#include <cfloat>
#include <functional>
#include <limits>
#include <queue>
#include <utility>

namespace {
using Pending = std::pair<double, int>; // distance to the goal, vertex
}

Admissibility checkAdmissibility(const std::vector<Vertex>& vertices, int goal, Heuristic heuristic,
                                 const CostModel& costs)
{
    const double unreached = std::numeric_limits<double>::infinity();
    std::vector<double> distance(vertices.size(), unreached);
    std::vector<int> hops(vertices.size(), 0);
    std::vector<char> settled(vertices.size(), 0);
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> pending;
    Admissibility report;
    distance[goal] = 0.0;
    pending.emplace(0.0, goal);
    while (!pending.empty()) {
        const int vertex = pending.top().second;
        pending.pop();
        if (settled[vertex])
            continue;
        settled[vertex] = 1;
        ++report.checked;
        const double truth = distance[vertex];
        const float straight = heuristicEstimate(heuristic, vertices[vertex], vertices[goal]);
        const double estimate = costs.given ? straight * costs.scale : straight;
        const double slack = static_cast<double>(hops[vertex] + 1) * FLT_EPSILON * truth;
        if (estimate > truth + slack) {
            ++report.over;
            if (truth > 0.0 && (estimate - truth) / truth * 100.0 > report.worstPercent)
                report.worstPercent = (estimate - truth) / truth * 100.0;
        }
        for (int i = 0; i < vertices[vertex].linkCount; ++i) {
            const Link& link = vertices[vertex].links[i];
            const double through = truth + linkCost(vertices[vertex], vertices[link.to], link);
            if (through < distance[link.to]) {
                distance[link.to] = through;
                hops[link.to] = hops[vertex] + 1;
                pending.emplace(through, link.to);
            }
        }
    }
    return report;
}
