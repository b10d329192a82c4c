#include "route/search.h"

#include "route/astar.h"

SearchMode searchMode = SearchMode::AStar;
SearchTrace lastSearch;

bool searchRoute(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                 SearchMode, SearchTrace*)
{
    return aStarSearch(cameFrom, vertices, start, goal);
}

const char* searchModeName(SearchMode mode)
{
    switch (mode) {
    case SearchMode::AStar:
        return "A*";
    case SearchMode::Dijkstra:
        return "Dijkstra";
    case SearchMode::Greedy:
        return "greedy best-first";
    }
    return "?";
}
