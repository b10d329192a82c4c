// Whether a heuristic overestimates on this map, for this goal: every
// vertex's estimate against its true distance from a Dijkstra run backwards
// from the goal.
#pragma once

#include <vector>

#include "graph/costs.h"
#include "graph/scene.h"
#include "route/heuristic.h"

struct Admissibility {
    int checked = 0;          // vertices that can reach the goal, the goal included
    int over = 0;             // of those, how many the heuristic overestimates
    double worstPercent = 0.0; // the largest overestimate, in percent of the true distance
};

// The report for goal (a valid index). The true distances sum float links in
// double; an estimate counts as over only beyond the rounding a float sum
// of as many links as its route has could explain, so the straight line never
// does. A vertex at distance 0 from the goal is checked but cannot be over
// by a percentage; an estimate above 0 there counts as over with no percent.
// Under given costs the links cost linkCost and the estimate is scaled by
// costs.scale, as the searches see both.
Admissibility checkAdmissibility(const std::vector<Vertex>& vertices, int goal, Heuristic heuristic,
                                 const CostModel& costs = CostModel{});
