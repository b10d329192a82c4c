// A* over the scene's links: link costs as edge weights, straight-line
// distance to the goal as the heuristic.
#pragma once

#include <map>
#include <vector>

#include "graph/scene.h"

// Searches from start to goal (valid indices, possibly equal). Writes the
// predecessor of every vertex it improves into cameFrom and leaves all other
// entries alone; the start never gets one. True when the goal is taken for
// expansion, false once every vertex reachable from start is expanded.
bool aStarSearch(Predecessors& cameFrom, const std::vector<Vertex>& vertices, int start, int goal);
// The same writing into an ordered map (see searchRoute).
bool aStarSearch(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal);
