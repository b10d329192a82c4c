#include "route/route.h"

#include "mapgen/random.h"
#include "graph/scene.h"
#include "route/search.h"

void updateRoute()
{
    if (goalVertex == -1 || startVertex == -1)
        return;
    const bool found = searchRoute(cameFrom, vertices, startVertex, goalVertex, searchMode, &lastSearch);
    if (!found)
        cameFrom.clear();
}

void pickRandomRoute()
{
    if (vertices.empty())
        return;
    const int count = static_cast<int>(vertices.size());
    startVertex = randomNext() % count;
    goalVertex = randomNext() % count;
    updateRoute();
}

std::vector<int> currentRoute()
{
    std::vector<int> route;
    if (goalVertex == -1 || startVertex == -1 || cameFrom.empty())
        return route;
    int vertex = goalVertex;
    while (route.size() <= vertices.size()) {
        route.push_back(vertex);
        if (vertex == startVertex)
            break;
        const auto step = cameFrom.find(vertex);
        if (step == cameFrom.end())
            break;
        vertex = step->second;
    }
    return route;
}
