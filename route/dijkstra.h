// A textbook Dijkstra with a binary heap, written apart from the program's
// searches so that it can vouch for their costs.
#pragma once

#include <vector>

#include "graph/costs.h"
#include "graph/scene.h"

// Cheapest cost from start to goal (valid indices), each route summed from the
// start forwards as the searches sum it: link costs in float, or linkCost in
// double where costs are given; 0 when start == goal,
// +infinity when the goal cannot be reached. With finite links (every map a
// reader accepts) a route's sum stays below 2^90 (see searchScore), so
// +infinity never stands for a route. When expandedCount is given it
// receives how many vertices were settled before the goal was taken (all
// reachable ones when it never is).
double cheapestCost(const std::vector<Vertex>& vertices, int start, int goal, int* expandedCount,
                    bool givenCosts = false);
