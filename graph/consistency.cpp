#include "graph/scene.h"

static bool isIndex(int index)
{
    return index >= 0 && index < static_cast<int>(vertices.size());
}

static bool isSelection(int index)
{
    return index == -1 || isIndex(index);
}

static const Link* linkTo(const Vertex& from, int target)
{
    for (int i = 0; i < from.linkCount; ++i)
        if (from.links[i].to == target)
            return &from.links[i];
    return nullptr;
}

static bool linksAreSound(int index)
{
    const Vertex& vertex = vertices[index];
    if (vertex.linkCount < 0 || vertex.linkCount > kMaxLinks)
        return false;
    for (int i = 0; i < vertex.linkCount; ++i) {
        const Link& link = vertex.links[i];
        if (!isIndex(link.to) || link.to == index)
            return false;
        if (linkTo(vertex, link.to) != &link) // an earlier duplicate
            return false;
        const Link* twin = linkTo(vertices[link.to], index);
        if (twin == nullptr || twin->cost != link.cost)
            return false;
    }
    return true;
}

bool sceneIsConsistent()
{
    for (int i = 0; i < static_cast<int>(vertices.size()); ++i)
        if (!linksAreSound(i))
            return false;
    for (const auto& [vertex, from] : cameFrom)
        if (!isIndex(vertex) || !isIndex(from))
            return false;
    return isSelection(startVertex) && isSelection(goalVertex) && isSelection(markedVertex);
}
