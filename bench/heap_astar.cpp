#include "bench/heap_astar.h"

#include <functional>
#include <limits>
#include <queue>
#include <utility>

namespace {
using Entry = std::pair<float, int>; // fScore, vertex
}

// The one loop of both yardsticks; remember(neighbour, current) records a
// predecessor in whichever table the caller keeps.
template <typename Remember>
static HeapResult heapSearch(const std::vector<Vertex>& graph, int start, int goal, Remember remember)
{
    const std::size_t count = graph.size();
    std::vector<float> gScore(count, std::numeric_limits<float>::infinity());
    std::vector<char> closed(count, 0);
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    gScore[start] = 0.0f;
    open.emplace(vertexDistance(graph[start], graph[goal]), start);

    HeapResult result;
    while (!open.empty()) {
        const int current = open.top().second;
        open.pop();
        if (closed[current])
            continue; // a stale entry left behind by a later improvement
        if (current == goal) {
            result.found = true;
            result.cost = gScore[current];
            break;
        }
        closed[current] = 1;
        const Vertex& vertex = graph[current];
        for (int i = 0; i < vertex.linkCount; ++i) {
            const int neighbour = vertex.links[i].to;
            if (closed[neighbour])
                continue;
            const float tentative = vertex.links[i].cost + gScore[current];
            if (tentative >= gScore[neighbour])
                continue;
            gScore[neighbour] = tentative;
            remember(neighbour, current);
            open.emplace(tentative + vertexDistance(graph[neighbour], graph[goal]), neighbour);
        }
    }
    return result;
}

HeapResult heapAStar(std::map<int, int>& cameFrom, const std::vector<Vertex>& graph, int start, int goal)
{
    return heapSearch(graph, start, goal, [&](int vertex, int from) { cameFrom[vertex] = from; });
}

HeapResult flatAStar(std::vector<int>& parent, const std::vector<Vertex>& graph, int start, int goal)
{
    parent.assign(graph.size(), -1);
    return heapSearch(graph, start, goal, [&](int vertex, int from) { parent[vertex] = from; });
}
