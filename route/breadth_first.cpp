#include "route/breadth_first.h"

#include <cstddef>

void breadthFirstSearch(SearchTrace& t, const std::vector<Vertex>& vertices)
{
    const Vertex& goal = vertices[static_cast<std::size_t>(t.goal)];
    std::vector<int> queue{t.start};
    t.g[t.start] = 0.0;
    t.h[t.start] = traceEstimate(t, vertices[t.start], goal);
    t.reachedAt[t.start] = 0;
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const int current = queue[next];
        if (current == t.goal) {
            t.found = true;
            return;
        }
        const int expansion = static_cast<int>(t.expanded.size());
        t.expandedAt[current] = expansion;
        t.expanded.push_back(current);
        const Vertex& vertex = vertices[static_cast<std::size_t>(current)];
        for (int i = 0; i < vertex.linkCount; ++i) {
            const int neighbour = vertex.links[i].to;
            if (t.reachedAt[neighbour] >= 0)
                continue;
            t.reachedAt[neighbour] = expansion + 1;
            t.parent[neighbour] = current;
            // The route's cost, summed as the other searches sum it, though not what it minimises.
            if (t.givenCosts)
                t.g[neighbour] = t.g[current] + linkCost(vertex, vertices[neighbour], vertex.links[i]);
            else
                t.g[neighbour] = vertex.links[i].cost + static_cast<float>(t.g[current]);
            t.h[neighbour] = traceEstimate(t, vertices[neighbour], goal);
            queue.push_back(neighbour);
        }
    }
}
