// Bidirectional Dijkstra and bidirectional A*: one search from the start and
// one from the goal, each taking a turn when its next vertex ranks lower.
//
// Why the stopping rule is exact: mu is the cheapest route seen so far
// through a vertex both halves reached. A route cheaper than mu would have
// to pass a vertex neither half has taken yet, and such a route costs at
// least the sum of the two halves' lowest keys. So the search stops once
// those keys sum to mu or more, not when the halves first meet (the first
// vertex both halves take need not lie on the cheapest route).
//
// Bidirectional A* ranks by the potential p(v) = (hF(v) - hB(v)) / 2, hF the
// estimate to the goal and hB to the start: forwards g + p, backwards g - p.
// Both halves then see the same reduced link costs c - p(u) + p(v), which
// are never negative when the estimate is consistent (Euclidean, Chebyshev,
// zero), so the rule above holds for the keys as it does for costs.
#pragma once

#include <vector>

#include "graph/scene.h"
#include "route/search.h"

// Fills t, whose tables are sized for vertices and empty and whose mode
// (BiDijkstra or BiAStar), start, goal and heuristic are set, and sets its
// gBack, side and meeting. Costs are summed in double while searching; along
// the found route g and parent are then rewritten from the start forwards in
// float, so the trace's cost is routeCost's bit for bit. Links must be the
// same both ways (as every scene's are).
void bidirectionalSearch(SearchTrace& t, const std::vector<Vertex>& vertices);
