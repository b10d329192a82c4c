// Breadth-first search: the route with the fewest links, whatever they cost,
// to show what ignoring costs does.
#pragma once

#include <vector>

#include "graph/scene.h"
#include "route/search.h"

// Fills t, whose tables are sized for vertices and empty and whose start,
// goal and heuristic are set: vertices leave a first-in first-out queue,
// each reached once, from the first vertex that reaches it, in link order.
// g is the route's cost summed from the start forwards; h is the
// heuristic's estimate, kept for inspect. The goal, once taken, ends the search.
void breadthFirstSearch(SearchTrace& t, const std::vector<Vertex>& vertices);
