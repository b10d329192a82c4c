// Jump Point Search and ALT run into the program's search trace and
// predecessor table, so the route, the search view and its replay read them
// as any other search.
#pragma once

#include <utility>
#include <vector>

#include "graph/scene.h"
#include "route/prepared.h"
#include "route/search.h"

// Runs mode (Jps or Alt) from start to goal over vertices, prepared for it
// by prepareSearch. trace, when given, must hold tables reset for vertices;
// fills them: Jump Point Search's expanded vertices are its jump
// points, each one's parent the jump point it was reached from, and route
// the full route cell by cell; ALT's are those of an A*. Sets writes to the
// (vertex, predecessor) pairs for the predecessor table: the route's (Jump
// Point Search, ascending by vertex) or those of every vertex reached (ALT),
// each vertex once. True when the goal was taken.
bool runPreparedSearch(SearchTrace* trace, std::vector<std::pair<int, int>>& writes,
                       const std::vector<Vertex>& vertices, SearchMode mode, int start, int goal,
                       PreparedGraph& prepared);
