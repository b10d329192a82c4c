#include "route/route.h"

#include "graph/costs.h"
#include "graph/scene.h"
#include "route/route_walk.h"
#include "route/search.h"

void updateRoute()
{
    if (scene.goalVertex == -1 || scene.startVertex == -1)
        return;
    const bool found = searchRoute(scene.cameFrom, scene.vertices, scene.startVertex, scene.goalVertex, searchMode,
                                   &lastSearch, sceneCostModel());
    if (!found)
        clearPredecessors(scene.cameFrom);
}

bool lastSearchApplies()
{
    return scene.startVertex != -1 && scene.goalVertex != -1 && lastSearch.start == scene.startVertex &&
           lastSearch.goal == scene.goalVertex && lastSearch.mode == searchMode && lastSearch.heuristic == searchHeuristic &&
           lastSearch.weight == searchWeight && !lastSearch.reachedAt.empty() &&
           lastSearch.reachedAt.size() <= scene.vertices.size();
}

void refreshLastSearch()
{
    if (scene.startVertex == -1 || scene.goalVertex == -1 || lastSearchApplies())
        return;
    Predecessors ownTable;
    searchRoute(ownTable, scene.vertices, scene.startVertex, scene.goalVertex, searchMode, &lastSearch,
                sceneCostModel());
}

std::vector<int> currentRoute()
{
    if (noPredecessors(scene.cameFrom))
        return {};
    return tableRoute(scene.cameFrom, scene.startVertex, scene.goalVertex, scene.vertices.size());
}
