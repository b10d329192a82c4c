#include "graph/scene.h"

static bool isIndex(const std::vector<Vertex>& graph, int index)
{
    return index >= 0 && index < static_cast<int>(graph.size());
}

static bool isSelection(const std::vector<Vertex>& graph, int index)
{
    return index == -1 || isIndex(graph, index);
}

static bool linksAreSound(const std::vector<Vertex>& graph, int index)
{
    const Vertex& vertex = graph[index];
    if (vertex.linkCount < 0 || vertex.linkCount > kMaxLinks)
        return false;
    for (int i = 0; i < vertex.linkCount; ++i) {
        const Link& link = vertex.links[i];
        if (!isIndex(graph, link.to) || link.to == index)
            return false;
        if (findLink(vertex, link.to) != &link) // an earlier duplicate
            return false;
        const Link* twin = findLink(graph[link.to], index);
        if (twin == nullptr || twin->cost != link.cost)
            return false;
    }
    return true;
}

bool sceneIsConsistent(const Scene& checked)
{
    const std::vector<Vertex>& graph = checked.vertices;
    for (int i = 0; i < static_cast<int>(graph.size()); ++i)
        if (!linksAreSound(graph, i))
            return false;
    std::size_t entries = 0;
    for (std::size_t vertex = 0; vertex < checked.cameFrom.from.size(); ++vertex) {
        const int from = checked.cameFrom.from[vertex];
        if (from == -1)
            continue;
        if (vertex >= graph.size() || !isIndex(graph, from))
            return false;
        ++entries;
    }
    if (entries != checked.cameFrom.count)
        return false;
    return isSelection(graph, checked.startVertex) && isSelection(graph, checked.goalVertex) &&
           isSelection(graph, checked.markedVertex);
}
