#include "route/astar.h"

#include "route/search.h"

// The heap search takes equally scored vertices in the order the original
// re-sorted waiting list did, so the table it leaves is the same entry for
// entry; tests/reference_search.cpp keeps that list search as the judge.
bool aStarSearch(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal)
{
    // Always the straight line, whatever heuristic the window has chosen.
    return searchRouteWith(cameFrom, vertices, start, goal, SearchChoice{}, nullptr);
}

bool aStarSearch(Predecessors& cameFrom, const std::vector<Vertex>& vertices, int start, int goal)
{
    return searchRouteWith(cameFrom, vertices, start, goal, SearchChoice{}, nullptr);
}
