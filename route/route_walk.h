// Reading a found route back out of a search's results and pricing it.
#pragma once

#include <map>
#include <vector>

#include "graph/scene.h"
#include "route/search.h"

// The route a trace found, from goal back to start; empty when it found none
// or its parents do not lead back to the start within vertex-count steps.
std::vector<int> traceRoute(const SearchTrace& trace);

// The same walk over a predecessor table; empty when a step is missing, when
// the walk runs longer than vertexCount steps, or when start or goal is -1.
std::vector<int> tableRoute(const std::map<int, int>& cameFrom, int start, int goal, std::size_t vertexCount);

// Cost of a route listed from goal back to start (as above), summed from the
// start forwards exactly as the searches sum it, so a found route's cost is
// bit for bit the goal's g. 0 for a single vertex; -1 for an empty route or
// when two consecutive vertices are not linked.
float routeCost(const std::vector<Vertex>& vertices, const std::vector<int>& route);
